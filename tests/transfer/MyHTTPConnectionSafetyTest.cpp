// What the upload application refuses or guards against: other sites, hostile names and
// folders, too much form data, files it must never serve.
#include "TestHome.h"
#include "transfer/LoopbackClient.h"
#include "transfer/MyHTTPConnection.h"
#include "transfer/RequestMemoryBudget.h"
#include "transfer/UploadApp.h"
#include "transfer/UploadCommit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSemaphore>
#include <QSysInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Descriptors of this process open on files below a folder (unnamed temporary files included).
int openFilesUnder(const QString &folder)
{
    const QByteArray prefix = QFile::encodeName(QFileInfo(folder).canonicalFilePath()) + '/';
    int count = 0;
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        char target[PATH_MAX];
        const ssize_t length = ::readlink(entry.path().c_str(), target, sizeof target - 1);
        if (length > 0 && QByteArray(target, length).startsWith(prefix))
            ++count;
    }
    return count;
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

QByteArray field(const QByteArray &name, const QByteArray &value)
{
    return "--xyz\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n";
}

QByteArray filePart(const QByteArray &filename, const QByteArray &content)
{
    return "--xyz\r\nContent-Disposition: form-data; name=\"file\"; filename=\"" + filename + "\"\r\n\r\n" + content
        + "\r\n";
}

TEST(MyHTTPConnectionSafety, OtherSitesCannotWriteAndOtherNamesCannotReachTheServer)
{
    UploadApp app;
    const QByteArray port = QByteArray::number(app.server.port());
    const QByteArray song = randomBytes(2000);
    struct Case
    {
        QByteArray host;
        QByteArray extra;
        int status;
    };
    // A page elsewhere posting into the library, or creating folders through the browser.
    for (const Case &c :
         {Case{kTestHost, "Origin: http://evil.example\r\n", 403}, Case{kTestHost, "Origin: null\r\n", 403},
          Case{kTestHost, "Origin: http://127.0.0.1:1\r\n", 403},
          Case{kTestHost, "Sec-Fetch-Site: cross-site\r\n", 403},
          // DNS rebinding: a name that is not this machine's.
          Case{"evil.example:" + port, {}, 403}}) {
        QByteArray upload = pageUpload("cross.mp3", "/", song, c.extra);
        upload.replace("Host: " + QByteArray(kTestHost), "Host: " + c.host);
        auto posted = app.request(upload);
        ASSERT_TRUE(posted) << c.extra.constData() << c.host.constData();
        EXPECT_EQ(posted->status, c.status) << c.extra.constData() << c.host.constData();
        auto made = app.request("GET /___makeFolderCross HTTP/1.1\r\nHost: " + c.host + "\r\n" + c.extra + "\r\n");
        ASSERT_TRUE(made);
        EXPECT_EQ(made->status, c.status) << c.extra.constData() << c.host.constData();
    }
    EXPECT_FALSE(QFileInfo::exists(app.home.documents() + "/cross.mp3"));
    EXPECT_FALSE(QFileInfo::exists(app.home.documents() + "/Cross"));
    EXPECT_TRUE(app.messages.isEmpty());
    auto rebound = app.request("GET / HTTP/1.1\r\nHost: attacker.example\r\n\r\n");
    ASSERT_TRUE(rebound);
    EXPECT_EQ(rebound->status, 403);

    // The page's own uploader, curl, and every name this machine answers to keep working.
    const QByteArray hostName = QSysInfo::machineHostName().toUtf8();
    int n = 0;
    for (const QByteArray &host : {"127.0.0.1:" + port, "[::1]:" + port, "localhost:" + port, QByteArray("localhost"),
                                   hostName + ".local:" + port, hostName.toUpper(), "192.168.1.20:" + port}) {
        const QByteArray name = "ok" + QByteArray::number(++n) + ".mp3";
        // A browser names the origin with its port; without one it is port 80, not this server.
        const QByteArray origin = host.contains(':') ? "Origin: http://" + host + "\r\n" : QByteArray();
        QByteArray upload = pageUpload(name, "/", song, origin + "Sec-Fetch-Site: same-origin\r\n");
        upload.replace("Host: " + QByteArray(kTestHost), "Host: " + host);
        auto posted = app.request(upload);
        ASSERT_TRUE(posted) << host.constData();
        EXPECT_EQ(posted->status, 200) << host.constData();
        EXPECT_EQ(readFile(app.home.documents() + '/' + name), song) << host.constData();
    }
    auto typed = app.get("/___makeFolderTyped", "Sec-Fetch-Site: none\r\n");
    ASSERT_TRUE(typed);
    EXPECT_EQ(typed->status, 200);
    EXPECT_TRUE(QFileInfo(app.home.documents() + "/Typed").isDir());
}

TEST(MyHTTPConnectionSafety, ThePagesOwnRoutesWinAndDownloadsAreNeverRenderedAsPages)
{
    UploadApp app;
    const QByteArray page = app.get("/")->body;
    const QByteArray success = app.get("/success")->body;
    ASSERT_TRUE(page.contains("Orbo File UPLOAD"));
    for (const QByteArray &name : {QByteArray("index.html"), QByteArray("success"), QByteArray("success2")})
        ASSERT_EQ(app.request(pageUpload(name, "/", "<script>alert(1)</script>"))->status, 200) << name.constData();
    EXPECT_EQ(app.get("/")->body, page);
    EXPECT_EQ(app.get("/success")->body, success);
    EXPECT_EQ(app.get("/success2")->body, page);

    auto download = app.get("/index.html");
    ASSERT_TRUE(download);
    EXPECT_EQ(download->body, "<script>alert(1)</script>");
    EXPECT_EQ(download->headers.value("x-content-type-options"), "nosniff");
    EXPECT_EQ(download->headers.value("content-disposition"), "attachment");
    EXPECT_FALSE(download->headers.contains("content-type"));
    // The page's own assets are used by the page: they are not forced into downloads.
    auto style = app.get("/___Uploader/uploadify.css");
    ASSERT_TRUE(style);
    EXPECT_FALSE(style->headers.contains("content-disposition"));
    EXPECT_FALSE(style->headers.contains("x-content-type-options"));
}

TEST(MyHTTPConnectionSafety, FileNamesKeepBackslashesAndOnlyWindowsPathsAreCut)
{
    UploadApp app;
    app.home.writeFile("DC.mp3", "the other song");
    const QByteArray song = randomBytes(3000);
    ASSERT_EQ(app.request(pageUpload("AC\\DC.mp3", "/", song))->status, 200);
    EXPECT_EQ(readFile(app.home.documents() + "/AC\\DC.mp3"), song);
    EXPECT_EQ(readFile(app.home.documents() + "/DC.mp3"), "the other song");
    EXPECT_EQ(app.messages, QStringList{"[AC\\DC.mp3] upload Success\n"});

    ASSERT_EQ(app.request(formPost(filePart("C:\\Users\\ann\\Music\\old.mp3", song) + "--xyz--\r\n"))->status, 200);
    EXPECT_EQ(readFile(app.home.documents() + "/old.mp3"), song);
    ASSERT_EQ(app.request(formPost(filePart("\\\\server\\share\\unc.mp3", song) + "--xyz--\r\n"))->status, 200);
    EXPECT_EQ(readFile(app.home.documents() + "/unc.mp3"), song);
}

TEST(MyHTTPConnectionSafety, AFolderThatCannotBeReadWholeRefusesTheUpload)
{
    UploadApp app;
    app.home.makeFolder("Rock");
    const QByteArray song = randomBytes(2000);
    auto tooLong =
        app.request(formPost(field("folder", QByteArray(70 * 1024, 'R')) + filePart("a.mp3", song) + "--xyz--\r\n"));
    ASSERT_TRUE(tooLong);
    EXPECT_GE(tooLong->status, 400);
    QByteArray manyFields;
    for (int i = 0; i < 64; ++i)
        manyFields += field("f" + QByteArray::number(i), "v");
    auto late = app.request(formPost(manyFields + field("folder", "Rock") + filePart("b.mp3", song) + "--xyz--\r\n"));
    ASSERT_TRUE(late);
    EXPECT_GE(late->status, 400);
    EXPECT_TRUE(filesIn(app.home.documents()).isEmpty());
    EXPECT_TRUE(filesIn(app.home.documents() + "/Rock").isEmpty());
    EXPECT_TRUE(app.messages.isEmpty());
}

TEST(MyHTTPConnectionSafety, FormFieldsAreBoundedInAll)
{
    UploadApp app;
    const QByteArray song = randomBytes(1000);
    // 80 KB of ordinary fields in all, each well under any per-field limit.
    // Then a large file: the refusal comes at once, and the client, still sending, gets it whole.
    LoopbackClient client(app.server.port());
    EXPECT_TRUE(client.send(formPost(field("a", QByteArray(40 * 1024, 'a')) + field("b", QByteArray(40 * 1024, 'b'))
                                     + filePart("f.mp3", randomBytes(4 * 1024 * 1024)) + "--xyz--\r\n")));
    auto fields = client.readResponse();
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->status, 413);
    EXPECT_TRUE(client.waitForClose());
    EXPECT_FALSE(QFileInfo::exists(app.home.documents() + "/f.mp3"));

    // Fields within the bound are held only until their response is sent.
    LoopbackClient keptOpen(app.server.port());
    keptOpen.send(formPost(field("note", QByteArray(30 * 1024, 'n')) + filePart("g.mp3", song) + "--xyz--\r\n"));
    auto stored = keptOpen.readResponse();
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->status, 200);
    EXPECT_EQ(RequestMemoryBudget::inUse(), 0);
}

TEST(MyHTTPConnectionSafety, HostileNamesAreRefusedAndThePageListsOnlyFoldersUploadsAccept)
{
    UploadApp app;
    const QByteArray song = randomBytes(1000);
    for (const QByteArray &name : {QByteArray("bad\xff\xfe.mp3"), QByteArray("c1\xc2\x85.mp3"),
                                   QByteArray("rtl\xe2\x80\xaegpj.mp3"), QByteArray("iso\xe2\x81\xa6x.mp3")}) {
        auto refused = app.request(pageUpload(name, "/", song));
        ASSERT_TRUE(refused) << name.toHex().constData();
        EXPECT_EQ(refused->status, 400) << name.toHex().constData();
    }
    EXPECT_TRUE(filesIn(app.home.documents()).isEmpty());
    for (const QByteArray &folder : {QByteArray("/___makeFolder%FF%FE"), QByteArray("/___makeFolderA%C2%85"),
                                     QByteArray("/___makeFolderA%E2%80%AEB"), QByteArray("/___makeFolderA%0AB")}) {
        auto refused = app.get(folder);
        ASSERT_TRUE(refused) << folder.constData();
        EXPECT_EQ(refused->status, 400) << folder.constData();
    }
    EXPECT_TRUE(QDir(app.home.documents()).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());

    // Folders made on disk by other means: the page offers only those an upload accepts.
    QTemporaryDir outside;
    app.home.makeFolder("Rock");
    app.home.makeFolder("Line\nBreak");
    app.home.makeFolder(".hidden");
    QFile::link(outside.path(), app.home.documents() + "/Linked");
    QFile::link(app.home.documents() + "/Rock", app.home.documents() + "/Alias");
    ASSERT_EQ(::mkdir(QFile::encodeName(app.home.documents()) + "/Raw\xff", 0755), 0);
    const QByteArray listed = app.get("/")->body;
    EXPECT_EQ(listed.count("name='folderChechBox'"), 2) << listed.constData();
    EXPECT_TRUE(listed.contains("value='Rock'"));
    for (const char *folder : {"Line\nBreak", "Linked", "Alias", ".hidden", "Raw"})
        EXPECT_FALSE(listed.contains(QByteArray("/Documents/") + folder)) << folder;
    for (const char *folder : {"Line\nBreak", "Linked", "Alias", ".hidden"}) {
        auto refused = app.request(pageUpload("x.mp3", folder, song));
        ASSERT_TRUE(refused) << folder;
        EXPECT_GE(refused->status, 400) << folder;
    }
    EXPECT_TRUE(filesIn(outside.path()).isEmpty());
    EXPECT_TRUE(app.messages.isEmpty());
    ::rmdir(QFile::encodeName(app.home.documents()) + "/Raw\xff"); // a name the temporary folder cannot remove
}

TEST(MyHTTPConnectionSafety, AnUploadIntoALinkedFolderNeverWritesOutside)
{
    UploadApp app;
    QTemporaryDir outside;
    ASSERT_TRUE(QFile::link(outside.path(), app.home.documents() + "/Linked"));
    const QByteArray upload = pageUpload("song.mp3", "Linked", randomBytes(400000));
    LoopbackClient client(app.server.port());
    // The fields and the start of the file; the rest never comes.
    client.send(upload.left(upload.indexOf("application/octet-stream") + 100000));
    std::optional<LoopbackClient::Response> response;
    waitUntil(
        [&] {
            if (!response)
                response = client.readResponse(false, 10);
            return openFilesUnder(outside.path()) > 0 || response;
        },
        3000);
    EXPECT_EQ(openFilesUnder(outside.path()), 0);
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 404);
    EXPECT_TRUE(filesIn(outside.path()).isEmpty());
}

TEST(MyHTTPConnectionSafety, AConnectionKeepsAtMostOnePartFileOpen)
{
    UploadApp app;
    QByteArray body;
    for (int i = 0; i < 64; ++i)
        body += filePart("part" + QByteArray::number(i) + ".mp3", randomBytes(1000));
    // Then a field that goes on and on: every file is complete, the body is not.
    body += "--xyz\r\nContent-Disposition: form-data; name=\"pad\"\r\n\r\n" + QByteArray(40000, 'p');
    const QByteArray request = formPost(body + QByteArray(100000, 'p'));
    LoopbackClient client(app.server.port());
    client.send(request.left(request.size() - 100000));
    const QString documents = app.home.documents();
    const auto seen = [&] { return openFilesUnder(documents) + int(app.hiddenFiles().size()); };
    EXPECT_TRUE(waitUntil([&] { return seen() >= 64; })) << seen();
    EXPECT_LE(openFilesUnder(documents), 1);
    client.close();
    EXPECT_TRUE(waitUntil([&] { return app.server.numberOfHTTPConnections() == 0; }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(app.hiddenFiles().isEmpty()); // the parked parts went with the connection
}

TEST(MyHTTPConnectionSafety, TemporaryFilesAreNeverServedAndStaleOnesGoAtStart)
{
    UploadApp app;
    app.home.writeFile(".orbo-upload-abc123", "half an upload");
    app.home.writeFile("Rock/.orbo-upload-def456", "another half");
    for (const QByteArray &path : {QByteArray("/.orbo-upload-abc123"), QByteArray("/Rock/.orbo-upload-def456")}) {
        auto response = app.get(path);
        ASSERT_TRUE(response);
        EXPECT_NE(response->body, readFile(app.home.documents() + QString::fromUtf8(path))) << path.constData();
    }
    app.server.stop();
    app.home.writeFile("Rock/keep.mp3", "a song");
    ASSERT_TRUE(app.server.start());
    EXPECT_FALSE(QFileInfo::exists(app.home.documents() + "/.orbo-upload-abc123"));
    EXPECT_FALSE(QFileInfo::exists(app.home.documents() + "/Rock/.orbo-upload-def456"));
    EXPECT_TRUE(QFileInfo::exists(app.home.documents() + "/Rock/keep.mp3"));
}

TEST(MyHTTPConnectionSafety, HeadNeverCreatesAFolderAndEachStoredFileIsAnnouncedOnce)
{
    UploadApp app;
    LoopbackClient client(app.server.port());
    client.send("HEAD /___makeFolderHeadOnly HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    auto head = client.readResponse(true);
    ASSERT_TRUE(head);
    EXPECT_EQ(head->status, 200);
    EXPECT_FALSE(QFileInfo::exists(app.home.documents() + "/HeadOnly"));

    const QByteArray first = randomBytes(500);
    const QByteArray second = randomBytes(700);
    ASSERT_EQ(app.request(formPost(filePart("twice.mp3", first) + filePart("twice.mp3", second) + "--xyz--\r\n"))
                  ->status,
              200);
    EXPECT_EQ(readFile(app.home.documents() + "/twice.mp3"), second);
    EXPECT_EQ(app.messages, QStringList{"[twice.mp3] upload Success\n"});
    EXPECT_TRUE(app.hiddenFiles().isEmpty());
}

TEST(MyHTTPConnectionSafety, TheDiskFlushRunsAsideAndTheUploadIsAnsweredOnceItsFilesAreInPlace)
{
    UploadApp app;
    QSemaphore entered;
    QSemaphore release;
    UploadCommit::setWorkerGate([&] {
        entered.release();
        release.tryAcquire(1, 10000);
    });
    const QByteArray song = randomBytes(100000);
    LoopbackClient uploader(app.server.port());
    uploader.send(pageUpload("held.mp3", "/", song));
    ASSERT_TRUE(waitUntil([&] { return entered.available() > 0; }));

    // While the files are being flushed, the others are served...
    auto page = app.get("/");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    // ...and the upload is neither answered nor announced before its file is in place.
    EXPECT_FALSE(uploader.readResponse(false, 100));
    EXPECT_TRUE(app.messages.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(app.home.documents() + "/held.mp3"));

    release.release();
    auto answered = uploader.readResponse();
    UploadCommit::setWorkerGate(nullptr);
    ASSERT_TRUE(answered);
    EXPECT_EQ(answered->status, 200);
    EXPECT_EQ(readFile(app.home.documents() + "/held.mp3"), song);
    EXPECT_EQ(app.messages, QStringList{"[held.mp3] upload Success\n"});
}

TEST(MyHTTPConnectionSafety, AFileThatCannotTakeItsNameIsNeitherStoredNorAnnounced)
{
    UploadApp app;
    // Between the checks and the renaming, something takes the name as a folder.
    UploadCommit::setWorkerGate([&] { QDir().mkdir(app.home.documents() + "/late.mp3"); });
    auto response = app.request(pageUpload("late.mp3", "/", randomBytes(1000)));
    UploadCommit::setWorkerGate(nullptr);
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 500);
    EXPECT_TRUE(QFileInfo(app.home.documents() + "/late.mp3").isDir());
    EXPECT_TRUE(app.messages.isEmpty());
    EXPECT_TRUE(app.hiddenFiles().isEmpty());
}

} // namespace
