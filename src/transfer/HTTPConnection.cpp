#include "transfer/HTTPConnection.h"

#include "platform/FileManager.h"
#include "library/NotificationNames.h"
#include "platform/NotificationCenter.h"
#include "transfer/DDData.h"
#include "transfer/HTTPAuthenticationRequest.h"
#include "transfer/HTTPFileResponse.h"
#include "transfer/HTTPServer.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QLocale>
#include <QSet>
#include <QStringDecoder>
#include <QTimer>
#include <QUuid>

#include <chrono>
#include <limits>
#include <optional>

namespace {
constexpr double kWriteTimeout = 30.0;
constexpr int kNonceLifetimeMs = 300 * 1000;

// 1*DIGIT: no sign, no spaces inside, nothing after the number.
bool isDecimal(const QByteArray &text)
{
    if (text.isEmpty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

QSet<QString> &recentNonces()
{
    static QSet<QString> nonces;
    return nonces;
}

QByteArray hexMD5(const QString &text)
{
    return DDData::hexStringValue(DDData::md5Digest(text.toUtf8()));
}

bool hasBody(const QByteArray &method)
{
    return method == "POST" || method == "PUT";
}
} // namespace

HTTPConnection::HTTPConnection(AsyncSocket *socket, HTTPServer *server)
    : m_socket(socket), m_server(server), m_lastProgress(monotonicMs())
{
    m_socket->setDelegate(this);
    m_socket->enablePreBuffering();
}

HTTPConnection::~HTTPConnection()
{
    m_socket->setDelegate(nullptr);
    m_socket->disconnect();
    m_socket->deleteLater();
}

// ---- hooks (defaults) ----

bool HTTPConnection::supportsMethod(const QByteArray &method, const QByteArray &)
{
    return method == "GET" || method == "HEAD";
}

bool HTTPConnection::isPasswordProtected(const QByteArray &)
{
    return m_server && !m_server->password().isNull();
}

QString HTTPConnection::realm()
{
    return QStringLiteral("orbo@transfer.local");
}

QString HTTPConnection::passwordForUser(const QString &)
{
    return m_server ? m_server->password() : QString();
}

std::unique_ptr<HTTPResponse> HTTPConnection::httpResponseForMethod(const QByteArray &, const QByteArray &uri)
{
    const QString path = filePathForURI(uri);
    if (path.isEmpty() || !FileManager::isRegularFile(path))
        return nullptr;
    return std::make_unique<HTTPFileResponse>(path);
}

bool HTTPConnection::isRequestAllowed()
{
    return true;
}

void HTTPConnection::prepareForBodyWithSize(quint64)
{}

void HTTPConnection::processDataChunk(const QByteArray &)
{}

void HTTPConnection::requestBodyDidEnd()
{
    replyToHTTPRequest();
}

QByteArray HTTPConnection::preprocessResponse(HTTPMessage &response)
{
    response.setHeaderField("Date", dateAsString(QDateTime::currentDateTimeUtc()));
    response.setHeaderField("Accept-Ranges", "bytes");
    if (m_closeAfterResponse)
        response.setHeaderField("Connection", "close");
    if (m_httpResponse)
        for (const auto &field : m_httpResponse->httpHeaders())
            response.setHeaderField(field.first, field.second);
    return response.serialized();
}

QByteArray HTTPConnection::preprocessErrorResponse(HTTPMessage &response)
{
    return preprocessResponse(response);
}

void HTTPConnection::writeErrorResponse(HTTPMessage &response, long tag)
{
    if (tag == HTTP_FINAL_RESPONSE)
        m_closeAfterResponse = true;
    response.setHeaderField("Content-Length", "0");
    enterPhase(Phase::Writing);
    m_socket->writeData(preprocessErrorResponse(response), kWriteTimeout, tag);
}

void HTTPConnection::handleVersionNotSupported(const QByteArray &version)
{
    qInfo().noquote() << "HTTP Server: Error 505 - Version Not Supported:" << version;
    HTTPMessage response = HTTPMessage::response(505);
    writeErrorResponse(response, HTTP_RESPONSE);
}

void HTTPConnection::handleAuthenticationFailed()
{
    qInfo().noquote() << "HTTP Server: Error 401 - Unauthorized";
    HTTPMessage response = HTTPMessage::response(401);
    if (useDigestAccessAuthentication())
        addDigestAuthChallenge(response);
    else
        addBasicAuthChallenge(response);
    writeErrorResponse(response, HTTP_RESPONSE);
}

void HTTPConnection::handleInvalidRequest(const QByteArray &)
{
    qInfo().noquote() << "HTTP Server: Error 400 - Bad Request";
    HTTPMessage response = HTTPMessage::response(400);
    writeErrorResponse(response, HTTP_FINAL_RESPONSE);
}

void HTTPConnection::handleUnknownMethod(const QByteArray &method)
{
    qInfo().noquote() << "HTTP Server: Error 405 - Method Not Allowed:" << method;
    HTTPMessage response = HTTPMessage::response(405);
    writeErrorResponse(response, HTTP_FINAL_RESPONSE);
}

void HTTPConnection::handleResourceNotFound()
{
    qInfo().noquote() << "HTTP Server: Error 404 - Not Found";
    HTTPMessage response = HTTPMessage::response(404);
    writeErrorResponse(response, HTTP_RESPONSE);
}

void HTTPConnection::handleForbidden()
{
    qInfo().noquote() << "HTTP Server: Error 403 - Forbidden";
    HTTPMessage response = HTTPMessage::response(403);
    writeErrorResponse(response, HTTP_FINAL_RESPONSE);
}

void HTTPConnection::handleHeaderFieldsTooLarge()
{
    qInfo().noquote() << "HTTP Server: Error 431 - Request Header Fields Too Large";
    HTTPMessage response = HTTPMessage::response(431);
    writeErrorResponse(response, HTTP_FINAL_RESPONSE);
}

void HTTPConnection::handleServiceUnavailable()
{
    qInfo().noquote() << "HTTP Server: Error 503 - Service Unavailable";
    HTTPMessage response = HTTPMessage::response(503);
    writeErrorResponse(response, HTTP_FINAL_RESPONSE);
}

// ---- helpers ----

QString HTTPConnection::filePathForURI(const QByteArray &uri) const
{
    const QString root = m_server ? m_server->documentRoot() : QString();
    if (root.isEmpty())
        return {};
    QByteArray path = uri;
    // The query and fragment never name a file.
    const qsizetype cut = path.indexOf('?');
    if (cut >= 0)
        path.truncate(cut);
    while (path.startsWith('/') && path.size() >= 2)
        path.remove(0, 1);
    if (path.endsWith('/'))
        path += "index.html";
    // Decoded once, then cleaned: "%2e%2e%2f" is ".." and "/" by now, and is judged as such.
    // The bytes are a file name, not necessarily UTF-8: they are read as the library reads names.
    const QString decoded = FileManager::stringWithFileSystemRepresentation(QByteArray::fromPercentEncoding(path));
    if (decoded.contains(QChar(0)))
        return {};
    const QString cleanRoot = QDir::cleanPath(root);
    const QString full = QDir::cleanPath(cleanRoot + QLatin1Char('/') + decoded);
    if (!full.startsWith(cleanRoot + QLatin1Char('/')))
        return {};
    // A link inside the root must not lead out of it either.
    const QString canonical = FileManager::canonicalPath(full);
    if (!canonical.isEmpty() && !canonical.startsWith(FileManager::canonicalPath(cleanRoot) + QLatin1Char('/')))
        return {};
    return full;
}

QByteArray HTTPConnection::dateAsString(const QDateTime &date)
{
    static const QLocale english(QLocale::English, QLocale::UnitedStates);
    // Every response carries the date: format each second once (one thread only).
    static qint64 lastSecond = std::numeric_limits<qint64>::min();
    static QByteArray lastText;
    const QDateTime utc = date.toUTC();
    const qint64 second = utc.toSecsSinceEpoch();
    if (second != lastSecond || lastText.isEmpty()) {
        lastText = english.toString(utc, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'")).toLatin1();
        lastSecond = second;
    }
    return lastText;
}

QString HTTPConnection::generateNonce()
{
    const QString nonce = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    recentNonces().insert(nonce);
    QTimer::singleShot(kNonceLifetimeMs, QCoreApplication::instance(), [nonce] { recentNonces().remove(nonce); });
    return nonce;
}

bool HTTPConnection::isRecentNonce(const QString &nonce)
{
    return recentNonces().contains(nonce);
}

bool HTTPConnection::isAuthenticated()
{
    const HTTPAuthenticationRequest auth(m_request);
    if (useDigestAccessAuthentication()) {
        if (!auth.isDigest || auth.username.isEmpty())
            return false;
        const QString password = passwordForUser(auth.username);
        if (password.isNull())
            return false;
        if (auth.uri != QString::fromUtf8(m_request.url()))
            return false;
        if (auth.nonce != m_nonce) {
            if (!isRecentNonce(auth.nonce))
                return false;
            m_nonce = auth.nonce;
            m_lastNC = 0;
        }
        bool ok = false;
        const qint64 nc = auth.nc.toLongLong(&ok, 16);
        if (!ok || nc <= m_lastNC)
            return false;
        m_lastNC = nc;
        const QByteArray ha1 = hexMD5(auth.username + ':' + auth.realm + ':' + password);
        const QByteArray ha2 = hexMD5(QString::fromUtf8(m_request.method()) + ':' + auth.uri);
        const QByteArray expected = hexMD5(QString::fromLatin1(ha1) + ':' + auth.nonce + ':' + auth.nc + ':'
                                           + auth.cnonce + ':' + auth.qop + ':' + QString::fromLatin1(ha2));
        return expected == auth.response.toLatin1();
    }
    if (!auth.isBasic)
        return false;
    const QByteArray decoded = DDData::base64Decoded(auth.base64Credentials.toLatin1());
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString credentials = utf8.decode(decoded);
    if (utf8.hasError())
        return false;
    const qsizetype colon = credentials.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return false;
    const QString password = passwordForUser(credentials.left(colon));
    return !password.isNull() && password == credentials.mid(colon + 1);
}

void HTTPConnection::addDigestAuthChallenge(HTTPMessage &response)
{
    response.setHeaderField(
        "WWW-Authenticate",
        QStringLiteral("Digest realm=\"%1\", qop=\"auth\", nonce=\"%2\"").arg(realm(), generateNonce()).toUtf8());
}

void HTTPConnection::addBasicAuthChallenge(HTTPMessage &response)
{
    response.setHeaderField("WWW-Authenticate", QStringLiteral("Basic realm=\"%1\"").arg(realm()).toUtf8());
}

bool HTTPConnection::parseRangeRequest(const QByteArray &rangeHeader, quint64 contentLength)
{
    const qsizetype equals = rangeHeader.indexOf('=');
    if (equals < 0)
        return false;
    if (rangeHeader.left(equals).trimmed().compare("bytes", Qt::CaseInsensitive) != 0)
        return false;
    const QList<QByteArray> elements = rangeHeader.mid(equals + 1).trimmed().split(',');
    if (elements.isEmpty() || (elements.size() == 1 && elements[0].trimmed().isEmpty()))
        return false;

    std::vector<DDRange> ranges;
    for (const QByteArray &raw : elements) {
        const QByteArray element = raw.trimmed();
        const qsizetype dash = element.indexOf('-');
        if (dash < 0) {
            quint64 position = 0;
            if (!DDData::parseStringIntoUInt64(element, &position) || position >= contentLength)
                return false;
            ranges.push_back({position, 1});
            continue;
        }
        quint64 first = 0;
        quint64 last = 0;
        const bool haveFirst = DDData::parseStringIntoUInt64(element.left(dash), &first);
        const bool haveLast = DDData::parseStringIntoUInt64(element.mid(dash + 1), &last);
        if (haveFirst && haveLast) {
            if (first > last || first >= contentLength)
                return false;
            if (last >= contentLength)
                last = contentLength - 1;
            ranges.push_back({first, last - first + 1});
        } else if (haveFirst) {
            if (first >= contentLength)
                return false;
            ranges.push_back({first, contentLength - first});
        } else if (haveLast) {
            if (last > contentLength || last == 0)
                return false;
            ranges.push_back({contentLength - last, last});
        } else {
            return false;
        }
    }
    for (size_t i = 0; i < ranges.size(); ++i)
        for (size_t j = i + 1; j < ranges.size(); ++j)
            if (DDRange::intersection(ranges[i], ranges[j]).length != 0)
                return false;
    m_ranges = std::move(ranges);
    m_rangeIndex = 0;
    return true;
}

namespace {
QByteArray contentRange(const DDRange &range, quint64 contentLength)
{
    return "bytes " + QByteArray::number(range.location) + '-' + QByteArray::number(range.end() - 1) + '/'
        + QByteArray::number(contentLength);
}
} // namespace

HTTPMessage HTTPConnection::prepareUniRangeResponse(quint64 contentLength)
{
    HTTPMessage response = HTTPMessage::response(206);
    const DDRange &range = m_ranges.front();
    response.setHeaderField("Content-Length", QByteArray::number(range.length));
    response.setHeaderField("Content-Range", contentRange(range, contentLength));
    return response;
}

HTTPMessage HTTPConnection::prepareMultiRangeResponse(quint64 contentLength)
{
    HTTPMessage response = HTTPMessage::response(206);
    m_rangesBoundary = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    m_rangesHeaders.clear();
    quint64 total = 0;
    for (const DDRange &range : m_ranges) {
        const QByteArray header = "\r\n--" + m_rangesBoundary.toUtf8()
            + "\r\nContent-Range: " + contentRange(range, contentLength) + "\r\n\r\n";
        m_rangesHeaders.push_back(header);
        total += quint64(header.size()) + range.length;
    }
    total += quint64(("\r\n--" + m_rangesBoundary.toUtf8() + "--\r\n").size());
    response.setHeaderField("Content-Length", QByteArray::number(total));
    response.setHeaderField("Content-Type", "multipart/byteranges; boundary=" + m_rangesBoundary.toUtf8());
    return response;
}

// ---- request cycle ----

bool HTTPConnection::onSocketWillConnect(AsyncSocket *)
{
    return true;
}

void HTTPConnection::onSocketDidConnectToHost(AsyncSocket *, const QString &, quint16)
{
    enterPhase(Phase::AwaitingRequest);
    readNextRequestLine();
}

void HTTPConnection::readNextRequestLine()
{
    m_socket->readDataToData(AsyncSocket::CRLFData(), -1, kMaxLineLength, HTTP_REQUEST_HEADER);
}

void HTTPConnection::onSocketDidReadPartialDataOfLength(AsyncSocket *, qsizetype, long)
{
    markProgress();
}

void HTTPConnection::onSocketDidWritePartialDataOfLength(AsyncSocket *, qsizetype, long)
{
    markProgress();
}

void HTTPConnection::onSocketDidReadData(AsyncSocket *, const QByteArray &data, long tag)
{
    markProgress();
    if (tag == HTTP_REQUEST_HEADER) {
        m_headerBytes += data.size();
        if (m_headerBytes > kMaxHeaderBytes) {
            handleHeaderFieldsTooLarge();
            return;
        }
        if (!m_headerBudget.take(data.size())) {
            handleServiceUnavailable();
            return;
        }
        if (!m_request.appendBytes(data)) {
            handleInvalidRequest(data);
            return;
        }
        if (!m_request.isHeaderComplete()) {
            if (++m_numHeaderLines > kMaxHeaderLines) {
                m_socket->disconnect();
                return;
            }
            readNextRequestLine();
            return;
        }
        headerComplete();
    } else if (tag == HTTP_REQUEST_BODY) {
        requestContentLengthReceived += quint64(data.size());
        processDataChunk(data);
        if (m_bodyStopped) {
            m_closeAfterResponse = true;
            enterPhase(Phase::Working);
            replyToHTTPRequest();
        } else if (requestContentLengthReceived < requestContentLength) {
            const quint64 remaining = requestContentLength - requestContentLengthReceived;
            m_socket->readDataToLength(qsizetype(std::min<quint64>(remaining, kReadChunkSize)), -1, HTTP_REQUEST_BODY);
        } else {
            enterPhase(Phase::Working);
            requestBodyDidEnd();
        }
    }
}

// A body's length must be beyond doubt: one plain decimal number (repeated, at most),
// and no transfer coding, which this server does not speak (RFC 9112, section 6).
bool HTTPConnection::checkFraming(const QByteArray &method)
{
    if (m_request.hasHeaderField("Transfer-Encoding"))
        return false;
    std::optional<quint64> length;
    for (const QByteArray &value : m_request.headerFieldValues("Content-Length")) {
        for (const QByteArray &element : value.split(',')) {
            quint64 parsed = 0;
            const QByteArray digits = element.trimmed();
            if (!isDecimal(digits) || !DDData::parseStringIntoUInt64(digits, &parsed) || (length && *length != parsed))
                return false;
            length = parsed;
        }
    }
    if (hasBody(method) != length.has_value())
        return false;
    requestContentLength = length.value_or(0);
    return true;
}

void HTTPConnection::headerComplete()
{
    const QByteArray method = m_request.method();
    const QByteArray uri = m_request.url();
    for (const QByteArray &value : m_request.headerFieldValues("Connection"))
        for (const QByteArray &option : value.split(','))
            if (option.trimmed().compare("close", Qt::CaseInsensitive) == 0)
                m_closeAfterResponse = true;
    if (!checkFraming(method)) {
        handleInvalidRequest(QByteArray());
        return;
    }
    requestContentLengthReceived = 0;
    if (!isRequestAllowed()) {
        handleForbidden();
        return;
    }
    if (!supportsMethod(method, uri)) {
        handleUnknownMethod(method);
        return;
    }
    if (hasBody(method)) {
        prepareForBodyWithSize(requestContentLength);
        if (requestContentLength > 0) {
            enterPhase(Phase::ReadingBody);
            // A client that asked to be told before it sends the body (curl does so for
            // large uploads) would otherwise sit out its own wait before every upload.
            if (m_request.version() == "HTTP/1.1"
                && m_request.headerField("Expect").trimmed().compare("100-continue", Qt::CaseInsensitive) == 0)
                m_socket->writeData(QByteArrayLiteral("HTTP/1.1 100 Continue\r\n\r\n"), kWriteTimeout,
                                    HTTP_PARTIAL_RESPONSE_HEADER);
            m_socket->readDataToLength(qsizetype(std::min<quint64>(requestContentLength, kReadChunkSize)), -1,
                                       HTTP_REQUEST_BODY);
            return;
        }
    }
    replyToHTTPRequest();
}

void HTTPConnection::replyToHTTPRequest()
{
    if (m_request.version() != "HTTP/1.1") {
        handleVersionNotSupported(m_request.version());
        return;
    }
    const QByteArray uri = m_request.url();
    if (isPasswordProtected(uri) && !isAuthenticated()) {
        handleAuthenticationFailed();
        return;
    }
    m_httpResponse = httpResponseForMethod(m_request.method(), uri);
    if (!m_httpResponse || m_httpResponse->contentLength() == 0) {
        m_httpResponse.reset();
        handleResourceNotFound();
        return;
    }
    const quint64 length = m_httpResponse->contentLength();
    m_ranges.clear();
    const QByteArray rangeHeader = m_request.headerField("Range");
    const bool ranged =
        m_httpResponse->status() == 200 && m_request.hasHeaderField("Range") && parseRangeRequest(rangeHeader, length);
    if (!ranged)
        m_ranges.clear();
    HTTPMessage response = !ranged ? HTTPMessage::response(m_httpResponse->status())
        : m_ranges.size() == 1     ? prepareUniRangeResponse(length)
                                   : prepareMultiRangeResponse(length);
    if (!ranged)
        response.setHeaderField("Content-Length", QByteArray::number(length));
    const QByteArray header = preprocessResponse(response);

    enterPhase(Phase::Writing);
    if (m_request.method() == "HEAD") {
        m_socket->writeData(header, kWriteTimeout, HTTP_RESPONSE);
        return;
    }
    m_socket->writeData(header, kWriteTimeout, HTTP_PARTIAL_RESPONSE_HEADER);
    if (!ranged) {
        if (!writeBodyPiece(length, HTTP_PARTIAL_RESPONSE_BODY))
            m_socket->disconnectAfterWriting(); // the body vanished: the client must not wait for it
    } else if (m_ranges.size() == 1) {
        m_httpResponse->setOffset(m_ranges.front().location);
        writeRangePiece(HTTP_PARTIAL_RANGE_RESPONSE_BODY);
    } else {
        m_socket->writeData(m_rangesHeaders.front(), kWriteTimeout, HTTP_PARTIAL_RESPONSE_HEADER);
        m_httpResponse->setOffset(m_ranges.front().location);
        writeRangePiece(HTTP_PARTIAL_RANGES_RESPONSE_BODY);
    }
}

// The next piece of the body, at most one chunk and never past `end`: sent straight from
// the file when the response has one, else read into memory. False when nothing is left.
bool HTTPConnection::writeBodyPiece(quint64 end, long tag)
{
    const quint64 offset = m_httpResponse->offset();
    if (offset >= end)
        return false;
    const qsizetype length = qsizetype(std::min<quint64>(end - offset, kWriteChunkSize));
    if (const int descriptor = m_httpResponse->fileDescriptor(); descriptor >= 0) {
        m_socket->writeFile(descriptor, offset, length, -1, tag);
        m_httpResponse->setOffset(offset + quint64(length));
        return true;
    }
    const QByteArray data = m_httpResponse->readDataOfLength(length);
    if (data.isEmpty())
        return false;
    m_socket->writeData(data, -1, tag);
    return true;
}

void HTTPConnection::writeRangePiece(long tag)
{
    if (!writeBodyPiece(m_ranges[size_t(m_rangeIndex)].end(), tag))
        m_socket->disconnectAfterWriting();
}

void HTTPConnection::onSocketDidWriteDataWithTag(AsyncSocket *, long tag)
{
    markProgress();
    switch (tag) {
    case HTTP_PARTIAL_RESPONSE_BODY:
        if (!writeBodyPiece(m_httpResponse->contentLength(), HTTP_PARTIAL_RESPONSE_BODY))
            finishResponse();
        break;
    case HTTP_PARTIAL_RANGE_RESPONSE_BODY:
        if (m_ranges.front().end() > m_httpResponse->offset())
            writeRangePiece(HTTP_PARTIAL_RANGE_RESPONSE_BODY);
        else
            finishResponse();
        break;
    case HTTP_PARTIAL_RANGES_RESPONSE_BODY:
        if (m_ranges[size_t(m_rangeIndex)].end() > m_httpResponse->offset()) {
            writeRangePiece(HTTP_PARTIAL_RANGES_RESPONSE_BODY);
        } else if (size_t(++m_rangeIndex) >= m_ranges.size()) {
            m_socket->writeData(("\r\n--" + m_rangesBoundary + "--\r\n").toUtf8(), kWriteTimeout, HTTP_RESPONSE);
        } else {
            m_socket->writeData(m_rangesHeaders[size_t(m_rangeIndex)], kWriteTimeout, HTTP_PARTIAL_RESPONSE_HEADER);
            m_httpResponse->setOffset(m_ranges[size_t(m_rangeIndex)].location);
            writeRangePiece(HTTP_PARTIAL_RANGES_RESPONSE_BODY);
        }
        break;
    case HTTP_RESPONSE:
        finishResponse();
        break;
    case HTTP_FINAL_RESPONSE:
        closeGracefully();
        break;
    default:
        break;
    }
}

void HTTPConnection::finishResponse()
{
    m_httpResponse.reset();
    m_ranges.clear();
    m_rangesHeaders.clear();
    m_rangesBoundary.clear();
    m_request = HTTPMessage::emptyRequest();
    m_numHeaderLines = 0;
    m_headerBytes = 0;
    m_headerBudget.release();
    m_bodyStopped = false;
    if (m_closeAfterResponse) {
        closeGracefully();
        return;
    }
    enterPhase(Phase::AwaitingRequest);
    readNextRequestLine();
}

void HTTPConnection::closeGracefully()
{
    enterPhase(Phase::Closing);
    m_socket->disconnectAfterWritingGracefully(kLingerSeconds);
}

bool HTTPConnection::isClosed() const
{
    return !m_socket->isConnected() && m_socket->socket4FD() < 0 && m_socket->socket6FD() < 0;
}

void HTTPConnection::evict()
{
    m_socket->disconnect();
}

void HTTPConnection::markProgress()
{
    m_lastProgress = monotonicMs();
}

qint64 HTTPConnection::monotonicMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void HTTPConnection::enterPhase(Phase phase)
{
    m_phase = phase;
    markProgress();
}

void HTTPConnection::closeIfStalled(qint64 nowMs)
{
    if (!m_server || m_phase == Phase::Working || m_phase == Phase::Closing || isClosed())
        return; // the server is busy with it, or the socket has its own bound
    const HTTPServer::Limits &limits = m_server->limits();
    const double seconds = m_phase == Phase::AwaitingRequest ? limits.headerTimeout : limits.bodyTimeout;
    if (nowMs - m_lastProgress < qint64(seconds * 1000))
        return;
    // An idle keep-alive connection going is the normal end of it; a stalled request is news.
    if (m_phase != Phase::AwaitingRequest || m_headerBytes > 0)
        qInfo().noquote()
            << QStringLiteral("HTTP Server: closed a connection after %1 s without progress").arg(seconds);
    m_socket->disconnect();
}

void HTTPConnection::onSocketWillDisconnectWithError(AsyncSocket *, const AsyncSocketError *)
{}

void HTTPConnection::onSocketDidDisconnect(AsyncSocket *)
{
    die();
}

void HTTPConnection::die()
{
    NotificationCenter::defaultCenter().postNotificationName(TransferNotify::connectionDidDie,
                                                             QVariant::fromValue(static_cast<QObject *>(this)));
}
