#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

// An HTTP/1.x message: requests are assembled from the bytes that arrive, responses are
// built and serialised. The header is complete once its empty line has been appended;
// a line that can form neither a request line nor a header field is refused. Header
// names match without regard to case.
class HTTPMessage
{
public:
    static HTTPMessage emptyRequest();
    static HTTPMessage response(int status, const QByteArray &version = "HTTP/1.1");

    bool isRequest() const { return m_isRequest; }

    // Appends request bytes (whole lines). False when they cannot be part of a request;
    // the message stays refused from then on.
    bool appendBytes(const QByteArray &bytes);
    bool isHeaderComplete() const { return m_headerComplete; }

    QByteArray method() const { return m_method; }
    QByteArray url() const { return m_url; }
    QByteArray version() const { return m_version; }
    int statusCode() const { return m_status; }

    QByteArray headerField(const QByteArray &name) const;
    // Every value of a field that may appear more than once, in order.
    QList<QByteArray> headerFieldValues(const QByteArray &name) const;
    bool hasHeaderField(const QByteArray &name) const;
    void setHeaderField(const QByteArray &name, const QByteArray &value);
    QList<QPair<QByteArray, QByteArray>> allHeaderFields() const { return m_headers; }

    QByteArray body() const { return m_body; }
    void setBody(const QByteArray &body) { m_body = body; }

    // Status line, header fields, the empty line and the body.
    QByteArray serialized() const;
    static QByteArray reasonPhrase(int status);

private:
    bool takeLine(const QByteArray &line);

    bool m_isRequest = true;
    bool m_headerComplete = false;
    bool m_refused = false;
    bool m_haveRequestLine = false;
    QByteArray m_pending;
    QByteArray m_method;
    QByteArray m_url;
    QByteArray m_version = "HTTP/1.1";
    int m_status = 0;
    QList<QPair<QByteArray, QByteArray>> m_headers;
    QByteArray m_body;
};
