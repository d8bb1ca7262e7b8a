#include "TestHome.h"
#include "support/RawFiles.h"
#include "platform/FileManager.h"
#include "transfer/HTTPServer.h"
#include "transfer/LoopbackClient.h"
#include "transfer/MyHTTPConnection.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

TEST(ForeignNameDownload, AFileWhoseNameIsNotUtf8IsServedByItsPercentEncodedBytes)
{
    TestHome home;
    HTTPServer server;
    server.setConnectionClass<MyHTTPConnection>();
    server.setDocumentRoot(home.documents());
    server.setInterface("localhost");
    server.setPort(0);
    ASSERT_TRUE(server.start());

    const QByteArray documents = FileManager::fileSystemRepresentation(home.documents());
    const QByteArray folder = "\xB0\xA1\xBF\xE4"; // EUC-KR
    const QByteArray song = "\x89\xB9\x8A\x79.mp3"; // Shift_JIS
    ASSERT_EQ(::mkdir((documents + "/" + folder).constData(), 0755), 0);
    ASSERT_TRUE(RawFiles::write(documents + "/" + folder + "/" + song, "korean folder, japanese song"));
    ASSERT_TRUE(RawFiles::write(documents + "/" + song, "japanese song"));
    ASSERT_TRUE(RawFiles::write(documents + "/\xEB\x85\xB8\xEB\x9E\x98.mp3", "utf-8 song"));

    const auto get = [&](const QByteArray &path) {
        LoopbackClient client(server.port());
        client.send("GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
        return client.readResponse();
    };
    const auto nested = get("/" + folder.toPercentEncoding() + "/" + song.toPercentEncoding());
    ASSERT_TRUE(nested);
    EXPECT_EQ(nested->status, 200);
    EXPECT_EQ(nested->body, QByteArray("korean folder, japanese song"));
    const auto root = get("/" + song.toPercentEncoding());
    ASSERT_TRUE(root);
    EXPECT_EQ(root->body, QByteArray("japanese song"));
    // UTF-8 names as before.
    const auto utf8 = get("/" + QByteArray("\xEB\x85\xB8\xEB\x9E\x98.mp3").toPercentEncoding());
    ASSERT_TRUE(utf8);
    EXPECT_EQ(utf8->body, QByteArray("utf-8 song"));

    server.stop();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace
