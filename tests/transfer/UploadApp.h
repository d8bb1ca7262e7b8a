#pragma once

#include "TestHome.h"
#include "transfer/HTTPServer.h"
#include "transfer/LoopbackClient.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QStringList>

#include <optional>

// The upload application on a fresh home, on loopback with port 0, recording the
// "upload Success" messages it announces.
struct UploadApp
{
    TestHome home;
    HTTPServer server;
    QStringList messages;
    QObject observer;

    UploadApp();
    ~UploadApp();
    std::optional<LoopbackClient::Response> request(const QByteArray &bytes);
    std::optional<LoopbackClient::Response> get(const QByteArray &path, const QByteArray &extraHeaders = {});
    // Hidden files (".name") in a folder of Documents.
    QStringList hiddenFiles(const QString &folder = {}) const;
};

QByteArray readFile(const QString &path);
QByteArray randomBytes(int size);

// The Host header every test request carries: the server's own loopback address.
inline constexpr char kTestHost[] = "127.0.0.1";

// The layout the page's uploader sends: Filename, folder, fileext, Filedata, Upload.
QByteArray pageUpload(const QByteArray &name, const QByteArray &folder, const QByteArray &song,
                      const QByteArray &extraHeaders = {});
// A form carrying the given files, each as its own file part (boundary "xyz").
QByteArray multiFileForm(const QList<QByteArray> &names, const QByteArray &song);
// A POST of a multipart body with boundary "xyz".
QByteArray formPost(const QByteArray &body, const QByteArray &extraHeaders = {});
