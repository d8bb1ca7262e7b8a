#pragma once

#include "transfer/HTTPConnection.h"
#include "transfer/MultipartParser.h"

#include <QMap>
#include <QTemporaryFile>

#include <memory>
#include <optional>
#include <vector>

// The upload web application: the upload page with the library's folders, multipart
// uploads streamed into Documents, the make-folder route, the success page, the page's
// assets and plain downloads of the songs.
class MyHTTPConnection : public HTTPConnection
{
    Q_OBJECT
public:
    MyHTTPConnection(AsyncSocket *socket, HTTPServer *server);
    ~MyHTTPConnection() override;

    bool supportsMethod(const QByteArray &method, const QByteArray &path) override;
    void prepareForBodyWithSize(quint64 contentLength) override;
    void handleVersionNotSupported(const QByteArray &version) override;
    void processDataChunk(const QByteArray &chunk) override;
    std::unique_ptr<HTTPResponse> httpResponseForMethod(const QByteArray &method, const QByteArray &uri) override;

    bool isBrowseable(const QString &) const { return true; }
    static QString createBrowseableIndex(const QString &path, const QString &message = QString());
    static QString createBrowseableSuccess();

    // The read-only folder of the page's assets (___Uploader among the program's resources).
    static QString uploaderResourcePath();

    // A name the user sent, as one safe path component, or empty when it must be refused
    // ("..", separators, NUL, control characters, hidden or over-long names).
    static QString safeComponent(const QString &name);

    QString uploadFileName() const { return m_uploadFileName; }
    QString uploadFolderName() const { return m_uploadFolderName; }

private:
    static QString findUploaderResourcePath(const QString &fromEnvironment);
    struct Upload
    {
        std::unique_ptr<QTemporaryFile> file;
        QString clientName; // the part's own file name
        bool complete = false;
    };
    struct Failure
    {
        int status;
        QString message;
    };

    void partBegin(const MultipartParser::PartHeader &header);
    void partData(QByteArrayView data);
    void partEnd();
    void fail(int status, const QString &message);
    std::optional<Failure> finishUpload();
    void announceStored(const QStringList &names);
    std::unique_ptr<HTTPResponse> assetResponse(const QByteArray &uri) const;
    std::unique_ptr<HTTPResponse> makeFolderResponse(const QByteArray &uri);
    static std::unique_ptr<HTTPResponse> pageResponse(const QString &html, int status = 200);
    static QString folderPath(const QString &folderValue, QString *refusal);

    std::unique_ptr<MultipartParser> m_parser;
    QMap<QByteArray, QByteArray> m_fields;
    int m_fieldCount = 0;
    bool m_inFilePart = false;
    bool m_skippingPart = false;
    QByteArray m_fieldName;
    QByteArray m_fieldValue;
    std::vector<Upload> m_uploads;
    std::optional<Failure> m_failure;
    QString m_uploadFileName;
    QString m_uploadFolderName;
};
