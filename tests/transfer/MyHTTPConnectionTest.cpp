#include "TestHome.h"
#include "library/NotificationNames.h"
#include "platform/NotificationCenter.h"
#include "platform/Sandbox.h"
#include "platform/Translations.h"
#include "transfer/HTTPServer.h"
#include "transfer/LoopbackClient.h"
#include "transfer/UploadApp.h"
#include "transfer/MyHTTPConnection.h"
#include "transfer/localhostAddresses.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

using App = UploadApp;

// Song bytes that would fool a careless parser: CRLFs and lines that look like the
// boundary without being its delimiter (which no client lets into a part), also at the end.
QByteArray awkwardSong(const QByteArray &boundary)
{
    return randomBytes(70000) + "\r\n--" + boundary.chopped(1) + "\r\n\r\nx--" + boundary + "--\r\n"
        + randomBytes(40000) + "\r\n-" + boundary + "\r\n\r\n";
}

TEST(MyHTTPConnection, ServesTheUploadPageByteForByte)
{
    App app;
    auto empty = app.get("/");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->status, 200);
    EXPECT_FALSE(empty->headers.contains("content-type"));
    EXPECT_EQ(empty->body.count("name='folderChechBox'"), 1);

    app.home.makeFolder("Rock");
    app.home.makeFolder("___Uploader");
    app.home.writeFile("song.mp3");
    auto page = app.get("/success2");
    ASSERT_TRUE(page);
    const QByteArray expected =
        QByteArrayLiteral(
            "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />"
            "<title>Orbo File UPLOAD</title>"
            "<link href=\"/___Uploader/uploadify.css\" type=\"text/css\" rel=\"stylesheet\" />"
            "<script type=\"text/javascript\" src=\"/___Uploader/jquery-1.4.2.min.js\"></script>"
            "<script type=\"text/javascript\" src=\"/___Uploader/swfobject.js\"></script>"
            "<script type=\"text/javascript\" src=\"/___Uploader/jquery.uploadify.v2.1.4.min.js\"></script>"
            "<script type=\"text/javascript\">$(document).ready(function() {$('#file_upload').uploadify({"
            "'uploader'  : '/___Uploader/uploadify.swf','script'    : '/success2','cancelImg' : "
            "'/___Uploader/cancel.png',"
            "'folder'    : '/','fileExt'   : '*.mp3;*.m4a;','fileDesc'   : 'MP3, M4A(ALAC)','multi'     : true,"
            "'auto'      : true});});</script><script type='text/javascript'>function makeFolder(){"
            "\tif(form1.folderName.value.length == 0){\t\talert('")
        + QString("폴더명을 입력해 주세요.").toUtf8()
        + QByteArrayLiteral("');"
                            "\t\treturn;\t}else{\t\tlocation.href='/___makeFolder'+form1.folderName.value;\t}}"
                            "function checkBoxSelect(){\tfor(var i=0 ; i < form1.folderChechBox.length; i++){"
                            "\t\tif(form1.folderChechBox[i].value == "
                            "form1.folderName.value){\t\t\tform1.folderChechBox[i].checked = true;"
                            "\t\t}else{\t\t\tform1.folderChechBox[i].checked = false;\t\t}\t}}</script></head><body>"
                            "<image src='/___Uploader/Orbo_filetransfer_page.jpg'><br><br>")
        + QString("■ upload several files <br><br>").toUtf8()
        + QByteArrayLiteral("<form name='form1'><input type='hidden' name='uploadFolder' value='/'>"
                            "To copy a file folder : /Documents/<input type='text' id='folderName' readonly><br><hr "
                            "width='800' align='left'>"
                            "<input name='folderChechBox' checked type='checkbox' value='/' "
                            "onclick=\"$('#file_upload').uploadifySettings('folder','/');"
                            "folderName.value='/';checkBoxSelect();\">/Documents<br>"
                            "<input name='folderChechBox' type='checkbox' value='Rock' "
                            "onclick=\"$('#file_upload').uploadifySettings('folder','Rock');"
                            "folderName.value='Rock';checkBoxSelect();\">/Documents/Rock<br>"
                            "<hr width='800' align='left'><input type='file' id='file_upload' name='file_upload' "
                            "/></form></body></html>");
    EXPECT_EQ(page->body, expected);
    EXPECT_EQ(app.get("/whatever/else")->body, expected);
    EXPECT_EQ(app.get("/Rock")->body, expected); // a folder is not served as a file

    // A name with quotes cannot break out of the page's markup or scripts.
    app.home.makeFolder("It's <b>");
    const QByteArray withQuote = app.get("/")->body;
    EXPECT_TRUE(withQuote.contains("value='It&#39;s &lt;b&gt;'"));
    EXPECT_TRUE(withQuote.contains("uploadifySettings('folder','It\\&#39;s &lt;b&gt;')"));

    auto success = app.get("/success");
    ASSERT_TRUE(success);
    EXPECT_TRUE(success->body.startsWith("<html><head><title>File Upload Success</title><style>"));
    EXPECT_TRUE(success->body.endsWith("<p><a href='/'>Back</a><br />\n</p></body></html>"));

    // The page's own texts come from the string table.
    ASSERT_TRUE(Translations::install(QLocale(QLocale::Korean, QLocale::SouthKorea)));
    EXPECT_TRUE(app.get("/success")->body.contains(QString("파일을 올렸습니다.").toUtf8()));
    EXPECT_TRUE(app.get("/")->body.contains(QString("■ 여러 파일을 한 번에 올리기 <br><br>").toUtf8()));
    Translations::uninstall();
}

TEST(MyHTTPConnection, ServesAssetsAndSongsButNothingOutside)
{
    App app;
    auto icon = app.get("/___Uploader/cancel.png");
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->status, 200);
    EXPECT_EQ(icon->body, readFile(MyHTTPConnection::uploaderResourcePath() + "/cancel.png"));
    EXPECT_TRUE(icon->body.startsWith("\x89PNG"));
    for (const char *name : {"uploadify.css", "jquery-1.4.2.min.js", "jquery.uploadify.v2.1.4.min.js", "swfobject.js",
                             "uploadify.swf", "Orbo_filetransfer_page.jpg"})
        EXPECT_EQ(app.get(QByteArray("/___Uploader/") + name)->status, 200) << name;
    for (const char *path :
         {"/___Uploader/missing.png", "/___Uploader/../CMakeLists.txt", "/___Uploader/%2e%2e/CMakeLists.txt",
          "/___Uploader/..%2F..%2FCMakeLists.txt", "/___UploaderX"})
        EXPECT_EQ(app.get(path)->status, 404) << path;

    const QByteArray song = randomBytes(5000);
    app.home.writeFile("Rock/my song.mp3", song);
    auto whole = app.get("/Rock/my%20song.mp3");
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->body, song);
    auto part = app.request("GET /Rock/my%20song.mp3 HTTP/1.1\r\nRange: bytes=100-199\r\n\r\n");
    ASSERT_TRUE(part);
    EXPECT_EQ(part->status, 206);
    EXPECT_EQ(part->body, song.mid(100, 100));
}

TEST(MyHTTPConnection, MakesFoldersOnlyWithSafeNames)
{
    App app;
    auto made = app.get("/___makeFolderNew%20Songs");
    ASSERT_TRUE(made);
    EXPECT_EQ(made->status, 200);
    EXPECT_TRUE(QFileInfo(app.home.documents() + "/New Songs").isDir());
    EXPECT_TRUE(made->body.contains("/Documents/New Songs<br>"));
    EXPECT_EQ(app.get("/___makeFolderNew%20Songs")->status, 200);
    EXPECT_EQ(QDir(app.home.documents()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);

    for (const char *bad : {"/___makeFolder..", "/___makeFolder..%2F..%2Fescaped", "/___makeFolder%2Ftmp%2Fx",
                            "/___makeFolder___Uploader", "/___makeFolder", "/___makeFolderA%00B",
                            "/___makeFolder.hidden", "/___makeFolderDocuments"}) {
        auto refused = app.get(bad);
        ASSERT_TRUE(refused) << bad;
        EXPECT_EQ(refused->status, 400) << bad;
    }
    EXPECT_EQ(QDir(app.home.documents()).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden).size(), 1);
    EXPECT_FALSE(QFileInfo::exists(app.home.path() + "/escaped"));
}

TEST(MyHTTPConnection, StoresThePageUploaderFilesByteIdenticalAndReplacesThem)
{
    App app;
    app.home.makeFolder("Rock");
    const QByteArray first = awkwardSong("----OrboBoundary7MA4YWxkTrZu0gW");
    auto response = app.request(pageUpload("song.mp3", "Rock", first));
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 200);
    EXPECT_TRUE(response->body.startsWith("<html><head>"));
    EXPECT_EQ(readFile(app.home.documents() + "/Rock/song.mp3"), first);
    EXPECT_EQ(app.messages, QStringList{"[song.mp3] upload Success\n"});

    const QByteArray second = randomBytes(1000) + "\r\n";
    ASSERT_EQ(app.request(pageUpload("song.mp3", "Rock", second))->status, 200);
    EXPECT_EQ(readFile(app.home.documents() + "/Rock/song.mp3"), second);

    ASSERT_EQ(app.request(pageUpload("root.mp3", "/", first))->status, 200);
    EXPECT_EQ(readFile(app.home.documents() + "/root.mp3"), first);
    EXPECT_TRUE(app.hiddenFiles().isEmpty());
    EXPECT_TRUE(app.hiddenFiles("Rock").isEmpty());
}

TEST(MyHTTPConnection, AcceptsStandardFormsInAnyFieldOrder)
{
    App app;
    app.home.makeFolder("Jazz");
    const QByteArray song = awkwardSong("xyz");
    const QByteArray b = "xyz";
    // The file first, the folder after it; then a form with no folder field at all.
    QByteArray body = "--" + b
        + "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"C:\\Music\\blue.mp3\"\r\n"
          "Content-Type: audio/mpeg\r\n\r\n"
        + song + "\r\n--" + b + "\r\nContent-Disposition: form-data; name=\"folder\"\r\n\r\nJazz\r\n--" + b + "--\r\n";
    auto stored =
        app.request("POST /upload HTTP/1.1\r\nContent-Type: multipart/form-data; boundary=xyz\r\nContent-Length: "
                    + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->status, 200);
    EXPECT_EQ(readFile(app.home.documents() + "/Jazz/blue.mp3"), song);

    body = "--" + b + "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"plain.m4a\"\r\n\r\n" + song
        + "\r\n--" + b + "--\r\n";
    ASSERT_EQ(app.request("POST / HTTP/1.1\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body)
                  ->status,
              200);
    EXPECT_EQ(readFile(app.home.documents() + "/plain.m4a"), song);
    EXPECT_EQ(app.messages.size(), 2);

    // As curl sends a large upload: the header alone, and the body only once told to go on.
    LoopbackClient curl(app.server.port());
    curl.send("POST /success2 HTTP/1.1\r\nContent-Type: multipart/form-data; boundary=xyz\r\nExpect: 100-continue\r\n"
              "Content-Length: "
              + QByteArray::number(body.size()) + "\r\n\r\n");
    const QByteArray interim = "HTTP/1.1 100 Continue\r\n\r\n";
    ASSERT_TRUE(curl.readUntil([&](const QByteArray &bytes) { return bytes.size() >= interim.size(); }, 2000));
    EXPECT_EQ(curl.received(), interim);
    curl.received().clear();
    curl.send(body);
    auto told = curl.readResponse();
    ASSERT_TRUE(told);
    EXPECT_EQ(told->status, 200);
    EXPECT_EQ(app.messages.size(), 3);
}

TEST(MyHTTPConnection, RefusesUnsafeOrFailedUploadsWithAnErrorAndLeavesNothing)
{
    App app;
    app.home.makeFolder("Rock");
    const QByteArray old = "the old file";
    app.home.writeFile("Rock/keep.mp3", old);
    const QByteArray song = randomBytes(50000);
    struct Case
    {
        QByteArray name;
        QByteArray folder;
        int status;
    };
    for (const Case &c :
         {Case{"keep.mp3", "Missing", 404}, Case{"keep.mp3", "../..", 400}, Case{"keep.mp3", "Rock/../..", 400},
          Case{"keep.mp3", "___Uploader", 400}, Case{"keep.mp3", "Documents", 400}, Case{"..", "Rock", 400},
          Case{".hidden.mp3", "Rock", 400}, Case{"", "Rock", 400}}) {
        auto response = app.request(pageUpload(c.name, c.folder, song));
        ASSERT_TRUE(response) << c.name.constData() << ' ' << c.folder.constData();
        EXPECT_EQ(response->status, c.status) << c.name.constData() << ' ' << c.folder.constData();
    }
    // A name with directories is reduced to its last piece, inside the chosen folder.
    ASSERT_EQ(app.request(pageUpload("../../evil.mp3", "Rock", song))->status, 200);
    EXPECT_EQ(readFile(app.home.documents() + "/Rock/evil.mp3"), song);
    EXPECT_FALSE(QFileInfo::exists(app.home.path() + "/evil.mp3"));

    // Not multipart at all, or no body: nothing was stored, so nothing may look like success.
    for (const QByteArray &request : {QByteArray("POST / HTTP/1.1\r\nContent-Length: 5\r\n\r\nhello"),
                                      QByteArray("POST /success2 HTTP/1.1\r\nContent-Length: 0\r\n\r\n")}) {
        auto plain = app.request(request);
        ASSERT_TRUE(plain) << request.constData();
        EXPECT_EQ(plain->status, 400) << request.constData();
    }

    // A client that hangs up mid-body: the old file stays whole and nothing else is left.
    {
        LoopbackClient client(app.server.port());
        const QByteArray upload = pageUpload("keep.mp3", "Rock", randomBytes(200000));
        client.send(upload.left(upload.size() / 2));
        waitUntil([] { return false; }, 100);
    }
    waitUntil([&] { return app.server.numberOfHTTPConnections() == 0; });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(readFile(app.home.documents() + "/Rock/keep.mp3"), old);
    EXPECT_TRUE(app.hiddenFiles("Rock").isEmpty());
    EXPECT_TRUE(app.hiddenFiles().isEmpty());
    EXPECT_EQ(app.messages, QStringList{"[evil.mp3] upload Success\n"});
    EXPECT_EQ(QDir(app.home.documents() + "/Rock").entryList(QDir::Files).size(), 2);
}

QStringList everything(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// The files this process (the server is in it) holds open directly in a folder. An upload's
// temporary file may have no name until it is stored (O_TMPFILE), so it is found here.
QStringList openFilesIn(const QString &folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    QStringList open;
    for (const QFileInfo &descriptor :
         QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::AllEntries | QDir::System)) {
        const QString target = descriptor.symLinkTarget();
        if (!target.isEmpty() && QFileInfo(target).path() == canonical)
            open << target;
    }
    return open;
}

TEST(MyHTTPConnection, AnUploadIntoALinkedFolderWritesNothingBehindTheLink)
{
    App app;
    const QString outside = app.home.path() + "/Outside";
    ASSERT_TRUE(QDir().mkpath(outside));
    ASSERT_TRUE(QFile::link(outside, app.home.documents() + "/Linked"));

    // The folder comes first: it is refused before a byte of the song is written anywhere.
    auto response = app.request(pageUpload("song.mp3", "Linked", randomBytes(100000)));
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 404);
    EXPECT_TRUE(openFilesIn(outside).isEmpty());
    EXPECT_TRUE(everything(outside).isEmpty());
    EXPECT_TRUE(app.hiddenFiles().isEmpty());
    EXPECT_TRUE(openFilesIn(app.home.documents()).isEmpty()) << "no temporary file is left open";
    EXPECT_TRUE(app.messages.isEmpty());

    // With the folder named after the file, the same.
    const QByteArray b = "xyz";
    const QByteArray body = "--" + b
        + "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"late.mp3\"\r\n\r\n" + randomBytes(2000)
        + "\r\n--" + b + "\r\nContent-Disposition: form-data; name=\"folder\"\r\n\r\nLinked\r\n--" + b + "--\r\n";
    auto late =
        app.request("POST / HTTP/1.1\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    ASSERT_TRUE(late);
    EXPECT_EQ(late->status, 404);
    EXPECT_TRUE(everything(outside).isEmpty());
    EXPECT_TRUE(app.hiddenFiles().isEmpty());
}

// Sets an environment variable for one scope.
class ScopedEnvironment
{
public:
    ScopedEnvironment(const char *name, const QByteArray &value) : m_name(name), m_old(qgetenv(name))
    {
        m_wasSet = qEnvironmentVariableIsSet(name);
        qputenv(name, value);
    }
    ~ScopedEnvironment() { m_wasSet ? qputenv(m_name, m_old) : qunsetenv(m_name); }

private:
    const char *m_name;
    QByteArray m_old;
    bool m_wasSet = false;
};

TEST(MyHTTPConnection, AnUploadIsWrittenBesideItsTargetNotInTheSystemTemporaryFolder)
{
    App app;
    app.home.makeFolder("Rock");
    // The system's temporary folder is unusable: the upload must not need it, so its final
    // rename never has to cross file systems either.
    const QString notAFolder = app.home.writeFile("not-a-folder");
    ScopedEnvironment tmpdir("TMPDIR", QFile::encodeName(notAFolder));

    LoopbackClient client(app.server.port());
    const QByteArray song = randomBytes(100000);
    const QByteArray upload = pageUpload("song.mp3", "Rock", song);
    ASSERT_TRUE(client.send(upload.left(upload.size() / 2)));
    ASSERT_TRUE(waitUntil([&] { return openFilesIn(app.home.documents() + "/Rock").size() == 1; }))
        << "no temporary file beside the target";
    ASSERT_TRUE(client.send(upload.mid(upload.size() / 2)));
    auto response = client.readResponse();
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 200);
    EXPECT_EQ(readFile(app.home.documents() + "/Rock/song.mp3"), song);
    EXPECT_TRUE(app.hiddenFiles("Rock").isEmpty());
    EXPECT_TRUE(app.hiddenFiles().isEmpty());
    EXPECT_TRUE(openFilesIn(app.home.documents() + "/Rock").isEmpty());
}

TEST(MyHTTPConnection, AMultiFileUploadIsStoredWholeOrNotAtAll)
{
    App app;
    app.home.makeFolder("Taken");
    const QByteArray song = randomBytes(3000);
    // The second name is an existing folder: the first file must not be stored either.
    auto clash = app.request(multiFileForm({"a.mp3", "Taken"}, song));
    ASSERT_TRUE(clash);
    EXPECT_EQ(clash->status, 409);
    EXPECT_FALSE(QFileInfo::exists(app.home.documents() + "/a.mp3"));
    EXPECT_TRUE(app.messages.isEmpty());

    // More files than one request may carry are refused, not dropped in silence.
    QList<QByteArray> many;
    for (int i = 0; i < 65; ++i)
        many << "song" + QByteArray::number(i) + ".mp3";
    auto tooMany = app.request(multiFileForm(many, "x"));
    ASSERT_TRUE(tooMany);
    EXPECT_EQ(tooMany->status, 413);
    EXPECT_TRUE(QDir(app.home.documents()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(app.hiddenFiles().isEmpty());

    ASSERT_EQ(app.request(multiFileForm({"a.mp3", "b.mp3"}, song))->status, 200);
    EXPECT_EQ(readFile(app.home.documents() + "/a.mp3"), song);
    EXPECT_EQ(readFile(app.home.documents() + "/b.mp3"), song);
}

TEST(localhostAddresses, PostsTheLoopbackAddressFromABackgroundThread)
{
    QVariantMap found;
    QObject owner;
    std::atomic<bool> posted = false;
    NotificationCenter::defaultCenter().addObserver(&owner, TransferNotify::addressesResolved,
                                                    [&](const Notification &n) {
                                                        found = n.object.toMap();
                                                        posted = true;
                                                    });
    localhostAddresses::listInBackground();
    ASSERT_TRUE(waitUntil([&] { return posted.load(); }));
    EXPECT_EQ(found.value("lo").toString(), "127.0.0.1");
    for (const QVariant &address : found)
        EXPECT_FALSE(address.toString().contains(':')); // IPv4 only
}

} // namespace
