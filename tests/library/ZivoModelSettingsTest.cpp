#include "TestHome.h"

#include "library/SettingsKeys.h"
#include "library/ZivoModel.h"
#include "platform/Date.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QFile>

#include <gtest/gtest.h>

namespace {
using namespace SettingsKeys;

// Runs the test under a given bundle version and puts the build's version back.
class VersionGuard
{
public:
    explicit VersionGuard(const QString &version) : m_old(QCoreApplication::applicationVersion())
    {
        QCoreApplication::setApplicationVersion(version);
    }
    ~VersionGuard() { QCoreApplication::setApplicationVersion(m_old); }

private:
    QString m_old;
};

TEST(AppInit, FirstRunWritesTheDefaultsAndFlushesThem)
{
    TestHome home;
    VersionGuard version(QStringLiteral("3.1"));
    const Date before = Date::now();
    ZivoModel::appInit();
    UserDefaults &store = UserDefaults::standard();

    EXPECT_EQ(store.stringForKey(appsettingplaymodekey), QStringLiteral("1")) << "shuffle off";
    EXPECT_EQ(store.stringForKey(appsettingloopmodekey), QStringLiteral("0")) << "repeat on";
    EXPECT_EQ(store.objectForKey(playlistfolderkey).typeId(), QMetaType::QVariantMap);
    EXPECT_TRUE(store.dictionaryForKey(playlistfolderkey).isEmpty());
    EXPECT_EQ(store.stringForKey(appinitkey), QStringLiteral("3.1"));
    EXPECT_EQ(store.stringForKey(reviewDontShowVerKey), QStringLiteral("3.1"));
    const QVariantList folderList = store.arrayForKey(folderlistkey);
    ASSERT_EQ(folderList.size(), 1);
    EXPECT_GE(folderList.first().value<Date>(), before);
    EXPECT_EQ(store.objectForKey(selectedEncodingNumberKey).toLongLong(), 4);
    EXPECT_EQ(store.stringForKey(selectedEncodingNameKey), QString::fromUtf8("Unicode\xE2\x84\xA2 (UTF-8)"));
    for (const QString &absent : {ScreenAutoSleepModeKey, beepSoundModeKey, reviewWriteVerKey, caution3gmsgkey,
                                  demoMusicCopyKey, shuffleHistoryKey})
        EXPECT_FALSE(store.objectForKey(absent).isValid()) << absent.toStdString();
    EXPECT_TRUE(QFile::exists(store.filePath())) << "first-run defaults are flushed at once";
}

TEST(AppInit, LaterLaunchesChangeNothingAndKeepTheFirstVersion)
{
    TestHome home;
    {
        VersionGuard version(QStringLiteral("1.0"));
        ZivoModel::appInit();
    }
    UserDefaults::standard().setObject(QStringLiteral("0"), appsettingplaymodekey);
    home.restart();
    const QVariantMap before = UserDefaults::standard().dictionaryRepresentation();

    VersionGuard update(QStringLiteral("2.0"));
    ZivoModel::appInit();
    UserDefaults &store = UserDefaults::standard();
    EXPECT_EQ(store.dictionaryRepresentation(), before);
    EXPECT_EQ(store.stringForKey(appinitkey), QStringLiteral("1.0"));
    EXPECT_EQ(store.stringForKey(reviewDontShowVerKey), QStringLiteral("1.0"));
    EXPECT_EQ(store.stringForKey(appsettingplaymodekey), QStringLiteral("0"));
}

TEST(AppInit, RestoresBothEncodingKeysWhenTheNumberWasRemoved)
{
    TestHome home;
    ZivoModel::appInit();
    UserDefaults &store = UserDefaults::standard();
    store.setObject(QStringLiteral("1"), appsettingloopmodekey);
    store.removeObjectForKey(selectedEncodingNumberKey);
    store.setObject(QStringLiteral("Korean (EUC)"), selectedEncodingNameKey);
    home.restart();

    ZivoModel::appInit();
    UserDefaults &reopened = UserDefaults::standard();
    EXPECT_EQ(reopened.objectForKey(selectedEncodingNumberKey).toLongLong(), 4);
    EXPECT_EQ(reopened.stringForKey(selectedEncodingNameKey), QString::fromUtf8("Unicode\xE2\x84\xA2 (UTF-8)"));
    EXPECT_EQ(reopened.stringForKey(appsettingloopmodekey), QStringLiteral("1")) << "other settings stay";
}

TEST(AppInit, CorruptStoreStartsFromTheFirstRunDefaults)
{
    TestHome home;
    ZivoModel::appInit();
    UserDefaults::standard().setObject(QStringLiteral("1"), beepSoundModeKey);
    const QString path = UserDefaults::standard().filePath();
    UserDefaults::resetStandard();
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("\x00\x01garbage", 9);
    }
    ZivoModel::appInit();
    UserDefaults &store = UserDefaults::standard();
    EXPECT_EQ(store.stringForKey(appsettingplaymodekey), QStringLiteral("1"));
    EXPECT_EQ(store.objectForKey(selectedEncodingNumberKey).toLongLong(), 4);
    EXPECT_FALSE(store.objectForKey(beepSoundModeKey).isValid());
    EXPECT_TRUE(QFile::exists(path + ".corrupt"));
}

TEST(AppInit, FoldersNamedLikeSettingsKeysNeverOverwriteSettings)
{
    TestHome home;
    ZivoModel::appInit();
    const QStringList keyNames{appinitkey, folderlistkey, appsettingplaymodekey, selectedEncodingNumberKey,
                               playlistfolderkey};
    for (const QString &name : keyNames)
        home.writeFile(name + "/song.mp3");
    const QVariantMap before = UserDefaults::standard().dictionaryRepresentation();

    QStringList folders = ZivoModel::getFolderList();
    for (const QString &name : keyNames) {
        EXPECT_TRUE(folders.contains(name));
        EXPECT_EQ(ZivoModel::getFileListAtFolder(name), QStringList{"song.mp3"});
    }
    home.restart();
    ZivoModel::appInit();
    UserDefaults &store = UserDefaults::standard();
    for (const QString &key : {appinitkey, appsettingplaymodekey, selectedEncodingNumberKey, playlistfolderkey})
        EXPECT_EQ(store.objectForKey(key), before.value(key)) << key.toStdString();
    EXPECT_EQ(store.arrayForKey(folderlistkey).value(0).typeId(), QMetaType::fromType<Date>().id());
    for (const QString &name : keyNames)
        EXPECT_EQ(ZivoModel::getFileListAtFolder(name), QStringList{"song.mp3"}) << "cached list after restart";
}

} // namespace
