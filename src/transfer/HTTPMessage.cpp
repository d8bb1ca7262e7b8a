#include "transfer/HTTPMessage.h"

namespace {
bool isTokenChar(char c)
{
    static const QByteArray separators = "()<>@,;:\\\"/[]?={} \t";
    return c > 32 && c < 127 && !separators.contains(c);
}

bool isToken(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (char c : text)
        if (!isTokenChar(c))
            return false;
    return true;
}

bool isVersion(QByteArrayView text)
{
    return text.size() == 8 && text.startsWith("HTTP/") && text[5] >= '0' && text[5] <= '9' && text[6] == '.'
        && text[7] >= '0' && text[7] <= '9';
}
} // namespace

HTTPMessage HTTPMessage::emptyRequest()
{
    return HTTPMessage();
}

HTTPMessage HTTPMessage::response(int status, const QByteArray &version)
{
    HTTPMessage message;
    message.m_isRequest = false;
    message.m_headerComplete = true;
    message.m_status = status;
    message.m_version = version;
    return message;
}

bool HTTPMessage::appendBytes(const QByteArray &bytes)
{
    if (m_refused || !m_isRequest)
        return false;
    if (m_headerComplete) {
        m_body += bytes;
        return true;
    }
    m_pending += bytes;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = m_pending.indexOf("\r\n", start);
        if (end < 0)
            break;
        if (!takeLine(m_pending.mid(start, end - start))) {
            m_refused = true;
            return false;
        }
        start = end + 2;
        if (m_headerComplete) {
            m_body += m_pending.mid(start);
            start = m_pending.size();
            break;
        }
    }
    m_pending.remove(0, start);
    return true;
}

bool HTTPMessage::takeLine(const QByteArray &line)
{
    for (char c : line)
        if ((c >= 0 && c < 32 && c != '\t') || c == 127)
            return false;
    if (!m_haveRequestLine) {
        if (line.isEmpty())
            return true; // stray empty lines before a request are tolerated
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() != 3 || !isToken(parts[0]) || parts[1].isEmpty() || !isVersion(parts[2]))
            return false;
        m_method = parts[0];
        m_url = parts[1];
        m_version = parts[2];
        m_haveRequestLine = true;
        return true;
    }
    if (line.isEmpty()) {
        m_headerComplete = true;
        return true;
    }
    if (line[0] == ' ' || line[0] == '\t') {
        // A folded continuation of the previous field.
        if (m_headers.isEmpty())
            return false;
        m_headers.last().second += ' ' + line.trimmed();
        return true;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0 || !isToken(QByteArrayView(line).first(colon)))
        return false;
    m_headers.append({line.left(colon), line.mid(colon + 1).trimmed()});
    return true;
}

QByteArray HTTPMessage::headerField(const QByteArray &name) const
{
    for (const auto &field : m_headers)
        if (field.first.compare(name, Qt::CaseInsensitive) == 0)
            return field.second;
    return {};
}

QList<QByteArray> HTTPMessage::headerFieldValues(const QByteArray &name) const
{
    QList<QByteArray> values;
    for (const auto &field : m_headers)
        if (field.first.compare(name, Qt::CaseInsensitive) == 0)
            values.append(field.second);
    return values;
}

bool HTTPMessage::hasHeaderField(const QByteArray &name) const
{
    for (const auto &field : m_headers)
        if (field.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void HTTPMessage::setHeaderField(const QByteArray &name, const QByteArray &value)
{
    for (auto &field : m_headers) {
        if (field.first.compare(name, Qt::CaseInsensitive) == 0) {
            field.second = value;
            return;
        }
    }
    m_headers.append({name, value});
}

QByteArray HTTPMessage::serialized() const
{
    QByteArray out;
    if (m_isRequest)
        out = m_method + ' ' + m_url + ' ' + m_version + "\r\n";
    else
        out = "HTTP/1.1 " + QByteArray::number(m_status) + ' ' + reasonPhrase(m_status) + "\r\n";
    for (const auto &field : m_headers)
        out += field.first + ": " + field.second + "\r\n";
    out += "\r\n";
    out += m_body;
    return out;
}

QByteArray HTTPMessage::reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 206:
        return "Partial Content";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 409:
        return "Conflict";
    case 413:
        return "Payload Too Large";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 503:
        return "Service Unavailable";
    case 505:
        return "HTTP Version Not Supported";
    case 507:
        return "Insufficient Storage";
    default:
        return "Unknown";
    }
}
