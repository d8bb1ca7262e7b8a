#pragma once

#include "transfer/HTTPConnection.h"
#include "transfer/MultipartParser.h"
#include "transfer/RequestMemoryBudget.h"
#include "transfer/UploadCommit.h"
#include "transfer/UploadPartFile.h"

#include <QMap>

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
    // Non-file form fields of one request, names and values together (413 beyond).
    static constexpr qsizetype kMaxFieldBytes = 64 * 1024;
    static constexpr int kMaxFields = 64;
    static constexpr int kMaxFiles = 64;

    MyHTTPConnection(AsyncSocket *socket, HTTPServer *server);
    ~MyHTTPConnection() override;

    // Run by the server at every start: removes what uploads cut off by a kill left behind.
    static void prepareDocumentRoot(const QString &root);

    bool supportsMethod(const QByteArray &method, const QByteArray &path) override;
    bool isRequestAllowed() override;
    void prepareForBodyWithSize(quint64 contentLength) override;
    void handleVersionNotSupported(const QByteArray &version) override;
    void processDataChunk(const QByteArray &chunk) override;
    void requestBodyDidEnd() override;
    std::unique_ptr<HTTPResponse> httpResponseForMethod(const QByteArray &method, const QByteArray &uri) override;

    bool isBrowseable(const QString &) const { return true; }
    static QString createBrowseableIndex(const QString &path, const QString &message = QString());
    static QString createBrowseableSuccess();

    // The read-only folder of the page's assets (___Uploader among the program's resources).
    static QString uploaderResourcePath();

    QString uploadFileName() const { return m_uploadFileName; }
    QString uploadFolderName() const { return m_uploadFolderName; }

private:
    struct Upload
    {
        std::unique_ptr<UploadPartFile> file;
        QByteArray clientName; // the part's own file name, as sent
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
    void fieldCannotBeRead(const QByteArray &name, const QString &why);
    std::optional<Failure> prepareCommit(std::vector<UploadCommit::Item> *items);
    void commitFinished(const UploadCommit::Result &result);
    void finishUploadWith(std::optional<Failure> outcome);
    void dropUpload();
    static void announceStored(const QStringList &names);
    std::unique_ptr<HTTPResponse> assetResponse(const QByteArray &uri) const;
    std::unique_ptr<HTTPResponse> makeFolderResponse(const QByteArray &method, const QByteArray &uri);
    static std::unique_ptr<HTTPResponse> pageResponse(const QString &html, int status = 200);
    static std::unique_ptr<HTTPResponse> failurePage(const Failure &failure);

    std::unique_ptr<MultipartParser> m_parser;
    QMap<QByteArray, QByteArray> m_fields;
    qsizetype m_fieldBytes = 0;
    RequestMemoryBudget m_fieldBudget;
    int m_fieldCount = 0;
    bool m_inFilePart = false;
    bool m_skippingPart = false;
    QByteArray m_fieldName;
    QByteArray m_fieldValue;
    std::vector<Upload> m_uploads;
    std::optional<Failure> m_failure;
    // What became of the request's upload, for its response.
    std::optional<Failure> m_outcome;
    bool m_uploadFinished = false;
    QString m_uploadFileName;
    QString m_uploadFolderName;
};
