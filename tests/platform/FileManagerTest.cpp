#include "TestHome.h"
#include "support/RawFiles.h"

#include "platform/FileManager.h"

#include <QFile>
#include <QSet>

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Names as old Korean and Japanese collections bring them, and bytes that are UTF-8 only
// almost: cut off, overlong, an encoded surrogate, and UTF-8 that spells one of the very
// characters standing for raw bytes.
const QList<QByteArray> kRawNames = {
    QByteArray("\xB3\xEB\xB7\xA1.mp3"), // EUC-KR
    QByteArray("\x89\xB9\x8A\x79.mp3"), // Shift_JIS, its last byte plain ASCII
    QByteArray("caf\xE9"), // Latin-1
    QByteArray("\xE6\x97"), // cut off
    QByteArray("\xC0\xAF"), // overlong "/"
    QByteArray("\xED\xA0\x80"), // encoded surrogate
    QByteArray("\xEE\xBE\x80"), // UTF-8 of U+EF80
    QByteArray("\xF4\x90\x80\x80"), // beyond U+10FFFF
    QByteArray("\xFF\xFE"),
    QByteArray("a\x80"),
};

QByteArray documentsBytes(const TestHome &home)
{
    return FileManager::fileSystemRepresentation(home.documents());
}

TEST(FileNames, BytesThatAreNotUtf8ComeBackByteForByte)
{
    QSet<QString> seen;
    for (const QByteArray &raw : kRawNames) {
        const QString name = FileManager::stringWithFileSystemRepresentation(raw);
        EXPECT_EQ(FileManager::fileSystemRepresentation(name), raw) << raw.toHex().constData();
        EXPECT_FALSE(name.contains(QChar::ReplacementCharacter)) << raw.toHex().constData();
        EXPECT_EQ(FileManager::stringWithFileSystemRepresentation(FileManager::fileSystemRepresentation(name)), name);
        seen.insert(name);
    }
    EXPECT_EQ(seen.size(), kRawNames.size()) << "different names stay different";
    // Valid UTF-8 is plain text, as everywhere else in the program.
    for (const char *utf8 : {"café.mp3", "노래.mp3", "音楽", "😀 song", "plain"}) {
        EXPECT_EQ(FileManager::stringWithFileSystemRepresentation(utf8), QString::fromUtf8(utf8));
        EXPECT_EQ(FileManager::fileSystemRepresentation(QString::fromUtf8(utf8)), QByteArray(utf8));
    }
    // The ASCII tail of a name survives as text, so its extension still tells a song.
    EXPECT_TRUE(FileManager::stringWithFileSystemRepresentation(kRawNames[1]).endsWith(".mp3"));
}

TEST(FileNames, ListedNamesOpenTheFilesTheyCameFrom)
{
    TestHome home;
    const QByteArray folder = documentsBytes(home) + "/";
    for (int i = 0; i < kRawNames.size(); ++i)
        ASSERT_TRUE(RawFiles::write(folder + kRawNames[i], "song " + QByteArray::number(i))) << i;

    const QStringList names = FileManager::contentsOfDirectory(home.documents());
    ASSERT_EQ(names.size(), kRawNames.size());
    for (const QString &name : names) {
        const QByteArray raw = FileManager::fileSystemRepresentation(name);
        const int i = int(kRawNames.indexOf(raw));
        ASSERT_GE(i, 0) << "a listed name that is on no file: " << raw.toHex().constData();
        const QString path = home.documents() + "/" + name;
        EXPECT_TRUE(FileManager::isRegularFile(path));
        EXPECT_TRUE(FileManager::fileExists(path));
        EXPECT_TRUE(FileManager::modificationDate(path).has_value());
        EXPECT_EQ(FileManager::canonicalPath(path), FileManager::canonicalPath(home.documents()) + "/" + name);
        QFile file;
        ASSERT_TRUE(FileManager::openFile(file, path, QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), "song " + QByteArray::number(i));
    }
}

TEST(FileNames, WritingANameWritesExactlyItsBytes)
{
    TestHome home;
    const QString name = FileManager::stringWithFileSystemRepresentation("\xB0\xA1\xBF\xE4");
    QFile file;
    ASSERT_TRUE(FileManager::openFile(file, home.documents() + "/" + name, QIODevice::WriteOnly));
    file.write("new");
    file.close();
    EXPECT_EQ(RawFiles::read(documentsBytes(home) + "/\xB0\xA1\xBF\xE4"), QByteArray("new"));
    EXPECT_EQ(FileManager::contentsOfDirectory(home.documents()), QStringList{name});
}

// Makes every move look like one between two file systems while it lives.
struct CrossDeviceRenames
{
    static int crossDevice(const char *, const char *)
    {
        errno = EXDEV;
        return -1;
    }
    CrossDeviceRenames() { FileManager::setRenameCall(&crossDevice); }
    ~CrossDeviceRenames() { FileManager::setRenameCall(nullptr); }
};

QStringList scratchFiles(const QString &folder)
{
    return FileManager::contentsOfDirectory(folder).filter(QStringLiteral(".orbo-move-"));
}

TEST(FileMoves, BetweenFileSystemsAFileIsCopiedFlushedAndItsSourceRemoved)
{
    TestHome home;
    const QString from = home.writeFile("Rock/a.mp3", QByteArray(300000, 's'));
    const QString to = home.makeFolder("Pop") + "/a.mp3";
    ASSERT_EQ(::chmod(QFile::encodeName(from).constData(), 0640), 0);
    struct stat before
    {};
    ASSERT_EQ(::stat(QFile::encodeName(from).constData(), &before), 0);

    CrossDeviceRenames seam;
    ASSERT_TRUE(FileManager::moveItem(from, to));
    EXPECT_FALSE(FileManager::fileExists(from));
    EXPECT_EQ(RawFiles::read(QFile::encodeName(to)), QByteArray(300000, 's'));
    struct stat after
    {};
    ASSERT_EQ(::stat(QFile::encodeName(to).constData(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0640u) << "the permissions go along";
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec) << "and so does the modification time";
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_TRUE(scratchFiles(home.documents() + "/Pop").isEmpty());
}

TEST(FileMoves, BetweenFileSystemsNothingIsEverReplaced)
{
    TestHome home;
    const QString from = home.writeFile("Rock/a.mp3", "new");
    const QString to = home.writeFile("Pop/a.mp3", "old");
    CrossDeviceRenames seam;
    EXPECT_FALSE(FileManager::moveItem(from, to));
    EXPECT_EQ(RawFiles::read(QFile::encodeName(from)), QByteArray("new"));
    EXPECT_EQ(RawFiles::read(QFile::encodeName(to)), QByteArray("old"));
    EXPECT_TRUE(scratchFiles(home.documents() + "/Pop").isEmpty()) << "no half-made copy is left behind";

    // A name that is not UTF-8 moves with its own bytes.
    const QByteArray raw = "\x89\xB9\x8A\x79.mp3";
    ASSERT_TRUE(RawFiles::write(documentsBytes(home) + "/Rock/" + raw, "sjis"));
    const QString name = FileManager::stringWithFileSystemRepresentation(raw);
    ASSERT_TRUE(FileManager::moveItem(home.documents() + "/Rock/" + name, home.documents() + "/Pop/" + name));
    EXPECT_EQ(RawFiles::read(documentsBytes(home) + "/Pop/" + raw), QByteArray("sjis"));
    EXPECT_FALSE(RawFiles::exists(documentsBytes(home) + "/Rock/" + raw));

    // A folder is not copied piecemeal: it stays where it is.
    home.writeFile("Rock/inner/b.mp3");
    EXPECT_FALSE(FileManager::moveItem(home.documents() + "/Rock/inner", home.documents() + "/Pop/inner"));
    EXPECT_TRUE(FileManager::fileExists(home.documents() + "/Rock/inner/b.mp3"));
}

TEST(FileMoves, OtherFailuresAreNotTurnedIntoCopies)
{
    TestHome home;
    const QString from = home.writeFile("Rock/a.mp3", "song");
    EXPECT_FALSE(FileManager::moveItem(from, home.documents() + "/Missing/a.mp3"));
    EXPECT_TRUE(FileManager::fileExists(from));
    EXPECT_FALSE(FileManager::moveItem(home.documents() + "/Rock/none.mp3", home.documents() + "/x.mp3"));
}

TEST(FileRemoval, ALinkIsRemovedNeverWhatItPointsTo)
{
    TestHome home;
    const QString target = home.writeFile("Real/keep.mp3", "keep");
    const QString link = home.documents() + "/Linked";
    ASSERT_EQ(::symlink(QFile::encodeName(home.documents() + "/Real").constData(), QFile::encodeName(link).constData()),
              0);
    EXPECT_TRUE(FileManager::removeItem(link));
    EXPECT_FALSE(FileManager::fileExists(link));
    EXPECT_EQ(RawFiles::read(QFile::encodeName(target)), QByteArray("keep"));
}

} // namespace
