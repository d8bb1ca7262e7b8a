#include "DemoSongInstaller.h"

#include "app/Util.h"
#include "library/SettingsKeys.h"
#include "library/ZivoModel.h"
#include "platform/Bundle.h"
#include "platform/FileManager.h"
#include "platform/UserDefaults.h"

#include <QLoggingCategory>
#include <QUrl>
#include <QVariantMap>

Q_LOGGING_CATEGORY(lcDemo, "orbo.demo")

namespace {
const char *const songs[] = {
    "Orbo_folder1/Orbo_01-CountryMan.mp3",   "Orbo_folder2/Orbo_02-ButterBass.mp3",
    "Orbo_folder3/Orbo_03-CowbellHouse.mp3", "Orbo_folder4/Orbo_04-theClassicBeatbox.mp3",
    "Orbo_folder5/Orbo_05-HumanBeatbox.mp3",
};
} // namespace

QStringList DemoSongInstaller::playlistEntries()
{
    QStringList entries;
    for (const char *song : songs)
        entries << QString::fromLatin1(song);
    return entries;
}

QStringList DemoSongInstaller::folderNames()
{
    QStringList folders;
    for (const QString &entry : playlistEntries())
        folders << entry.section(QLatin1Char('/'), 0, 0);
    return folders;
}

QStringList DemoSongInstaller::playlistNames()
{
    QStringList names;
    for (int i = 1; i <= 5; ++i)
        names << QStringLiteral("Orbo PlayList%1").arg(i);
    return names;
}

bool DemoSongInstaller::isOfferDue()
{
    return !UserDefaults::standard().objectForKey(SettingsKeys::demoMusicCopyKey).isValid();
}

void DemoSongInstaller::install()
{
    install(Bundle::installedResourceFolder(QStringLiteral("sampleMp3")));
}

void DemoSongInstaller::install(const QString &sampleRoot)
{
    if (sampleRoot.isEmpty())
        qCWarning(lcDemo) << "the demo songs are not installed with the program; only their playlists are added";
    // 1. The folders, in order. Only what was copied is marked: a folder of the user's that
    // happens to have the name stays as it was, backed up as before.
    const QString documents = ZivoModel::getPathWithFolderName(ZivoModel::documentsFolderName);
    for (const QString &folder : folderNames()) {
        const QString target = FileManager::appendingPathComponent(documents, folder);
        if (sampleRoot.isEmpty()
            || !ZivoModel::copyFileFrom(FileManager::appendingPathComponent(sampleRoot, folder), target))
            continue;
        if (!Util::addSkipBackupAttributeToItemAtURL(QUrl::fromLocalFile(target)))
            qCInfo(lcDemo) << "the file system keeps no backup mark on" << folder;
    }

    // 2. The playlists: the demo's own are added (or replaced); the user's stay.
    UserDefaults &defaults = UserDefaults::standard();
    QVariantMap store = defaults.dictionaryForKey(SettingsKeys::playlistfolderkey);
    QVariantList entries;
    for (const QString &entry : playlistEntries())
        entries << entry;
    for (const QString &name : playlistNames())
        store.insert(name, entries);
    defaults.setObject(store, SettingsKeys::playlistfolderkey);

    // 3.
    defaults.setObject(QStringLiteral("YES"), SettingsKeys::demoMusicCopyKey);
    defaults.synchronize();
}
