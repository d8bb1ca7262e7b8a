#pragma once

#include "transfer/AsyncSocket.h"
#include "transfer/DDRange.h"
#include "transfer/HTTPMessage.h"
#include "transfer/HTTPResponse.h"
#include "transfer/RequestMemoryBudget.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class HTTPServer;

// Serves one client: reads requests line by line, checks them, asks the response hook
// for a body and streams it back (whole, one range or several), then waits for the
// next request on the same connection. Subclasses override the hooks.
class HTTPConnection : public QObject, public AsyncSocketDelegate
{
    Q_OBJECT
public:
    enum Tag : long {
        HTTP_REQUEST_HEADER = 15,
        HTTP_REQUEST_BODY = 16,
        HTTP_PARTIAL_RESPONSE_HEADER = 25,
        HTTP_PARTIAL_RESPONSE_BODY = 26,
        HTTP_PARTIAL_RANGE_RESPONSE_BODY = 28,
        HTTP_PARTIAL_RANGES_RESPONSE_BODY = 29,
        HTTP_RESPONSE = 30,
        HTTP_FINAL_RESPONSE = 45,
    };
    static constexpr qsizetype kMaxLineLength = 8190;
    static constexpr int kMaxHeaderLines = 100;
    // All header lines of one request together (431 beyond).
    static constexpr qsizetype kMaxHeaderBytes = 32 * 1024;
    // How long a closing connection keeps reading what the client still sends.
    static constexpr double kLingerSeconds = 2.0;
    static constexpr qsizetype kReadChunkSize = 32768;
    static constexpr qsizetype kWriteChunkSize = 131072;

    // Takes over the socket (becomes its delegate, turns pre-buffering on).
    HTTPConnection(AsyncSocket *socket, HTTPServer *server);
    ~HTTPConnection() override;

    // Hooks.
    virtual bool supportsMethod(const QByteArray &method, const QByteArray &path);
    virtual bool isSecureServer() { return false; }
    virtual bool isPasswordProtected(const QByteArray &path);
    virtual bool useDigestAccessAuthentication() { return true; }
    virtual QString realm();
    // A null string: no such user.
    virtual QString passwordForUser(const QString &username);
    virtual std::unique_ptr<HTTPResponse> httpResponseForMethod(const QByteArray &method, const QByteArray &uri);
    // False refuses the request (403, then the connection closes) once its header is read,
    // before any body; the default allows every request.
    virtual bool isRequestAllowed();
    virtual void prepareForBodyWithSize(quint64 contentLength);
    virtual void processDataChunk(const QByteArray &chunk);
    // The whole body has arrived. The reply waits until replyToHTTPRequest() is called:
    // at once by default; a subclass may finish slow work elsewhere first.
    virtual void requestBodyDidEnd();
    virtual QByteArray preprocessResponse(HTTPMessage &response);
    virtual QByteArray preprocessErrorResponse(HTTPMessage &response);
    virtual void handleVersionNotSupported(const QByteArray &version);
    virtual void handleAuthenticationFailed();
    virtual void handleInvalidRequest(const QByteArray &data);
    virtual void handleUnknownMethod(const QByteArray &method);
    virtual void handleResourceNotFound();
    virtual void handleForbidden();
    virtual void handleHeaderFieldsTooLarge();
    virtual void handleServiceUnavailable();

    // The file under the document root that the request path names; empty when none
    // (no root, or a path that would leave it).
    QString filePathForURI(const QByteArray &uri) const;
    // "Mon, 05 Jan 2026 14:03:09 GMT", in English whatever the machine's language.
    static QByteArray dateAsString(const QDateTime &date);
    static QString generateNonce();
    static bool isRecentNonce(const QString &nonce);
    bool isAuthenticated();
    void addDigestAuthChallenge(HTTPMessage &response);
    void addBasicAuthChallenge(HTTPMessage &response);
    bool parseRangeRequest(const QByteArray &rangeHeader, quint64 contentLength);
    HTTPMessage prepareUniRangeResponse(quint64 contentLength);
    HTTPMessage prepareMultiRangeResponse(quint64 contentLength);
    void replyToHTTPRequest();
    void die();

    const std::vector<DDRange> &ranges() const { return m_ranges; }
    AsyncSocket *asyncSocket() const { return m_socket; }
    HTTPServer *server() const { return m_server; }

    // For the server's choice when it must make room: waiting for a request (or in the
    // middle of its header), the last time anything moved (milliseconds, monotonic), and
    // whether the socket is already gone.
    bool isIdle() const { return m_phase == Phase::AwaitingRequest; }
    qint64 lastProgress() const { return m_lastProgress; }
    bool isClosed() const;
    // Closes at once, whatever the connection is doing.
    void evict();
    // Closes when the connection has gone without progress for longer than its phase
    // allows (the server asks every connection now and then).
    void closeIfStalled(qint64 nowMs);
    static qint64 monotonicMs();

    // Socket delegate.
    bool onSocketWillConnect(AsyncSocket *socket) override;
    void onSocketDidConnectToHost(AsyncSocket *socket, const QString &host, quint16 port) override;
    void onSocketDidReadData(AsyncSocket *socket, const QByteArray &data, long tag) override;
    void onSocketDidReadPartialDataOfLength(AsyncSocket *socket, qsizetype length, long tag) override;
    void onSocketDidWriteDataWithTag(AsyncSocket *socket, long tag) override;
    void onSocketDidWritePartialDataOfLength(AsyncSocket *socket, qsizetype length, long tag) override;
    void onSocketWillDisconnectWithError(AsyncSocket *socket, const AsyncSocketError *error) override;
    void onSocketDidDisconnect(AsyncSocket *socket) override;

protected:
    const HTTPMessage &request() const { return m_request; }
    // From processDataChunk: the rest of the body is not read; the response is asked for
    // at once (requestBodyDidEnd is skipped) and the connection closes after it.
    void stopReadingBody() { m_bodyStopped = true; }
    quint64 requestContentLength = 0;
    quint64 requestContentLengthReceived = 0;

private:
    // What the connection waits for; each has its own time without progress.
    enum class Phase { AwaitingRequest, ReadingBody, Working, Writing, Closing };

    void readNextRequestLine();
    void headerComplete();
    bool checkFraming(const QByteArray &method);
    void writeErrorResponse(HTTPMessage &response, long tag);
    bool writeBodyPiece(quint64 end, long tag);
    void writeRangePiece(long tag);
    void finishResponse();
    void closeGracefully();
    void enterPhase(Phase phase);
    void markProgress();

    AsyncSocket *m_socket;
    HTTPServer *m_server;
    HTTPMessage m_request = HTTPMessage::emptyRequest();
    int m_numHeaderLines = 0;
    QString m_nonce;
    qint64 m_lastNC = 0;
    std::unique_ptr<HTTPResponse> m_httpResponse;
    std::vector<DDRange> m_ranges;
    std::vector<QByteArray> m_rangesHeaders;
    QString m_rangesBoundary;
    int m_rangeIndex = 0;

    Phase m_phase = Phase::AwaitingRequest;
    qint64 m_lastProgress = 0;
    qsizetype m_headerBytes = 0;
    RequestMemoryBudget m_headerBudget;
    bool m_closeAfterResponse = false;
    bool m_bodyStopped = false;
};
