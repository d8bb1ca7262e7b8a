#include "TestHome.h"

#include "library/SongCache.h"
#include "library/LibraryErrorReporter.h"
#include "library/ZivoModel.h"
#include "platform/FileManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>
#include <unistd.h>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool isLink(const QString &path)
{
    return QFileInfo(path).isSymLink();
}

// Warnings of the library, kept while it lives.
class WarningLog
{
public:
    WarningLog()
    {
        s_lines.clear();
        m_previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
            if (type == QtWarningMsg)
                s_lines << text;
        });
    }
    ~WarningLog() { qInstallMessageHandler(m_previous); }
    QStringList lines() const { return s_lines; }

private:
    static inline QStringList s_lines;
    QtMessageHandler m_previous = nullptr;
};

class FileOperationEdges : public ::testing::Test, public LibraryErrorReporter
{
protected:
    void SetUp() override
    {
        ZivoModel::appInit();
        ZivoModel::setErrorReporter(this);
    }
    void TearDown() override
    {
        ZivoModel::setErrorReporter(nullptr);
        FileManager::setRenameCall(nullptr);
    }
    void reportError(const QString &t, const QString &m, const QString &) override { alerts << t + "|" + m; }
    QString doc(const QString &relative) const { return home.documents() + "/" + relative; }
    // A folder of the test home beside Documents, with the song x.mp3 ("outside") in it.
    QString songOutsideTheLibrary() const
    {
        const QString elsewhere = home.path() + "/Elsewhere";
        QDir().mkpath(elsewhere);
        QFile song(elsewhere + "/x.mp3");
        if (song.open(QIODevice::WriteOnly))
            song.write("outside");
        return elsewhere;
    }
    void link(const QString &target, const QString &at) const
    {
        ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(at).constData()), 0);
    }

    TestHome home;
    QStringList alerts;
};

int crossDevice(const char *, const char *)
{
    errno = EXDEV;
    return -1;
}

TEST_F(FileOperationEdges, MovesIntoAnotherFileSystemCopyFlushAndRemoveTheSource)
{
    home.writeFile("Rock/a.mp3", "song");
    home.writeFile("Pop/b.mp3", "old b");
    home.writeFile("Rock/b.mp3", "new b");
    SongCache::ensureFolder();
    SongCache::store("Rock", "a.mp3", {{"title", "T"}, {"artwork", QByteArray("png")}});
    FileManager::setRenameCall(&crossDevice);

    ZivoModel::moveFileFrom("Rock", "Pop", "a.mp3");
    EXPECT_FALSE(QFile::exists(doc("Rock/a.mp3")));
    EXPECT_EQ(contents(doc("Pop/a.mp3")), QByteArray("song"));
    EXPECT_EQ(contents(SongCache::artworkFilePath("Pop", "a.mp3")), QByteArray("png"));
    EXPECT_FALSE(QFile::exists(SongCache::artworkFilePath("Rock", "a.mp3")));
    EXPECT_EQ(SongCache::readTagFile("Pop", "a.mp3"), (QVariantMap{{"title", "T"}}));

    ZivoModel::moveFileFrom("Rock", "Pop", "b.mp3");
    EXPECT_EQ(contents(doc("Rock/b.mp3")), QByteArray("new b")) << "an existing song is never replaced";
    EXPECT_EQ(contents(doc("Pop/b.mp3")), QByteArray("old b"));
    EXPECT_EQ(FileManager::contentsOfDirectory(doc("Pop")).size(), 2) << "and no scratch copy stays";
}

TEST_F(FileOperationEdges, DeletingALinkRemovesTheLinkNeverItsTarget)
{
    const QString elsewhere = songOutsideTheLibrary();
    home.writeFile("Real/inner.mp3", "inside");
    link(elsewhere, doc("Linked"));
    link(elsewhere + "/x.mp3", doc("link.mp3"));
    link(doc("Real"), doc("Inner"));

    // The listing shows the links as what they lead to.
    const QStringList folders = ZivoModel::getFolderList();
    EXPECT_TRUE(folders.contains("Linked"));
    EXPECT_TRUE(folders.contains("Inner"));
    EXPECT_TRUE(ZivoModel::getFileListAtFolder("Documents").contains("link.mp3"));
    EXPECT_EQ(ZivoModel::getFileListAtFolder("Linked"), QStringList{"x.mp3"});

    ZivoModel::deleteFile("Documents", "link.mp3");
    EXPECT_FALSE(isLink(doc("link.mp3")));
    EXPECT_EQ(contents(elsewhere + "/x.mp3"), QByteArray("outside"));

    ZivoModel::deleteDir(doc("Linked"));
    EXPECT_FALSE(isLink(doc("Linked")));
    EXPECT_EQ(contents(elsewhere + "/x.mp3"), QByteArray("outside"));

    ZivoModel::deleteDir(doc("Inner"));
    EXPECT_FALSE(isLink(doc("Inner")));
    EXPECT_EQ(contents(doc("Real/inner.mp3")), QByteArray("inside"));

    // The root's songs: a link among them goes as a link.
    link(elsewhere + "/x.mp3", doc("again.mp3"));
    ZivoModel::deleteDir(home.documents());
    EXPECT_FALSE(isLink(doc("again.mp3")));
    EXPECT_EQ(contents(elsewhere + "/x.mp3"), QByteArray("outside"));
}

TEST_F(FileOperationEdges, LinkedFoldersWorkInsideTheLibraryAndSayWhyNotOutsideIt)
{
    const QString elsewhere = songOutsideTheLibrary();
    home.writeFile("Real/a.mp3", "a");
    home.writeFile("Real/b.mp3", "b");
    link(elsewhere, doc("Linked"));
    link(doc("Real"), doc("Inner"));

    // A link to a folder of the library is that folder.
    ZivoModel::moveFileFrom("Inner", "Documents", "a.mp3");
    EXPECT_EQ(contents(doc("a.mp3")), QByteArray("a"));
    ZivoModel::deleteFile("Inner", "b.mp3");
    EXPECT_FALSE(QFile::exists(doc("Real/b.mp3")));
    EXPECT_TRUE(ZivoModel::createDir(doc("Inner/New")));
    EXPECT_TRUE(QFileInfo(doc("Real/New")).isDir());
    EXPECT_TRUE(alerts.isEmpty());

    // One leading out of the library is refused, with its reason.
    WarningLog log;
    EXPECT_FALSE(ZivoModel::createDir(doc("Linked/New")));
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts.first(), QStringLiteral("Error|Folders can only be made inside the Documents folder."));
    EXPECT_FALSE(QFileInfo::exists(elsewhere + "/New"));
    ZivoModel::deleteFile("Linked", "x.mp3");
    ZivoModel::moveFileFrom("Linked", "Documents", "x.mp3");
    EXPECT_TRUE(QFile::exists(elsewhere + "/x.mp3"));
    EXPECT_FALSE(QFile::exists(doc("x.mp3")));
    const QStringList lines = log.lines();
    EXPECT_EQ(lines.filter("deleteFile refused").filter("Linked/x.mp3").size(), 1) << lines.join('\n').toStdString();
    EXPECT_EQ(lines.filter("moveFileFrom refused").filter("Linked/x.mp3").size(), 1);
}

TEST_F(FileOperationEdges, MovingALinkMovesTheLinkItself)
{
    const QString elsewhere = songOutsideTheLibrary();
    home.makeFolder("Rock");
    link(elsewhere + "/x.mp3", doc("link.mp3"));
    ZivoModel::moveFileFrom("Documents", "Rock", "link.mp3");
    EXPECT_TRUE(isLink(doc("Rock/link.mp3")));
    EXPECT_FALSE(isLink(doc("link.mp3")));
    EXPECT_EQ(contents(doc("Rock/link.mp3")), QByteArray("outside"));
    EXPECT_EQ(contents(elsewhere + "/x.mp3"), QByteArray("outside"));
}

TEST(FolderSort, WithoutALocaleNamesFollowTheRootCollation)
{
    const QLocale saved;
    QLocale::setDefault(QLocale::c());
    const QStringList sorted = ZivoModel::folderSortToTopDocument(
        {"émile", "Zed", "Oz", "Eve", "Documents", "가요", "Ökonomie", "eve", "Émile"});
    QLocale::setDefault(saved);
    // Accents and case do not move a name away from its letters; a code-point order would
    // put "émile" and "Ökonomie" after "Zed".
    EXPECT_EQ(sorted, (QStringList{"Documents", "émile", "Émile", "Eve", "eve", "Ökonomie", "Oz", "Zed", "가요"}));
}

} // namespace
