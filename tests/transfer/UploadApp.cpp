#include "transfer/UploadApp.h"

#include "platform/NotificationCenter.h"
#include "transfer/MyHTTPConnection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <gtest/gtest.h>

UploadApp::UploadApp()
{
    server.setConnectionClass<MyHTTPConnection>();
    server.setDocumentRoot(home.documents());
    server.setInterface("localhost");
    server.setPort(0);
    EXPECT_TRUE(server.start());
    NotificationCenter::defaultCenter().addObserver(&observer, "WebServerMessageNotify",
                                                    [this](const Notification &n) { messages << n.object.toString(); });
}

UploadApp::~UploadApp()
{
    server.stop();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::optional<LoopbackClient::Response> UploadApp::request(const QByteArray &bytes)
{
    LoopbackClient client(server.port());
    client.send(bytes);
    return client.readResponse();
}

std::optional<LoopbackClient::Response> UploadApp::get(const QByteArray &path, const QByteArray &extraHeaders)
{
    return request("GET " + path + " HTTP/1.1\r\nHost: " + kTestHost + "\r\n" + extraHeaders + "\r\n");
}

QStringList UploadApp::hiddenFiles(const QString &folder) const
{
    return QDir(home.documents() + '/' + folder)
        .entryList(QDir::Hidden | QDir::Files)
        .filter(QRegularExpression("^\\."));
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &c : bytes)
        c = char(QRandomGenerator::global()->bounded(256));
    return bytes;
}

QByteArray pageUpload(const QByteArray &name, const QByteArray &folder, const QByteArray &song,
                      const QByteArray &extraHeaders)
{
    const QByteArray b = "----OrboBoundary7MA4YWxkTrZu0gW";
    QByteArray body = "--" + b + "\r\nContent-Disposition: form-data; name=\"Filename\"\r\n\r\n" + name + "\r\n";
    body += "--" + b + "\r\nContent-Disposition: form-data; name=\"folder\"\r\n\r\n" + folder + "\r\n";
    body += "--" + b + "\r\nContent-Disposition: form-data; name=\"fileext\"\r\n\r\n*.mp3;*.m4a;\r\n";
    body += "--" + b + "\r\nContent-Disposition: form-data; name=\"Filedata\"; filename=\"" + name
        + "\"\r\nContent-Type: application/octet-stream\r\n\r\n" + song + "\r\n";
    body += "--" + b + "\r\nContent-Disposition: form-data; name=\"Upload\"\r\n\r\nSubmit Query\r\n--" + b + "--\r\n";
    return "POST /success2 HTTP/1.1\r\nHost: " + QByteArray(kTestHost) + "\r\n" + extraHeaders
        + "Content-Type: multipart/form-data; boundary=" + b + "\r\nContent-Length: " + QByteArray::number(body.size())
        + "\r\n\r\n" + body;
}

QByteArray formPost(const QByteArray &body, const QByteArray &extraHeaders)
{
    return "POST / HTTP/1.1\r\nHost: " + QByteArray(kTestHost) + "\r\n" + extraHeaders
        + "Content-Type: multipart/form-data; boundary=xyz\r\nContent-Length: " + QByteArray::number(body.size())
        + "\r\n\r\n" + body;
}

QByteArray multiFileForm(const QList<QByteArray> &names, const QByteArray &song)
{
    QByteArray body;
    for (const QByteArray &name : names)
        body +=
            "--xyz\r\nContent-Disposition: form-data; name=\"file\"; filename=\"" + name + "\"\r\n\r\n" + song + "\r\n";
    body += "--xyz--\r\n";
    return formPost(body);
}
