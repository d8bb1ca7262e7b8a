#include "transfer/HTTPAuthenticationRequest.h"

#include "transfer/HTTPMessage.h"

HTTPAuthenticationRequest::HTTPAuthenticationRequest(const HTTPMessage &request)
{
    const QString header = QString::fromUtf8(request.headerField("Authorization"));
    isBasic = header.left(6).compare(QLatin1String("Basic "), Qt::CaseInsensitive) == 0;
    isDigest = header.left(7).compare(QLatin1String("Digest "), Qt::CaseInsensitive) == 0;
    if (isBasic) {
        base64Credentials = header.mid(6).trimmed();
    } else if (isDigest) {
        username = quotedValue(header, QStringLiteral("username"));
        realm = quotedValue(header, QStringLiteral("realm"));
        nonce = quotedValue(header, QStringLiteral("nonce"));
        uri = quotedValue(header, QStringLiteral("uri"));
        qop = nonQuotedValue(header, QStringLiteral("qop"));
        if (qop.startsWith(QLatin1Char('"')))
            qop = quotedValue(header, QStringLiteral("qop"));
        nc = nonQuotedValue(header, QStringLiteral("nc"));
        cnonce = quotedValue(header, QStringLiteral("cnonce"));
        response = quotedValue(header, QStringLiteral("response"));
    }
}

namespace {
// Where the parameter's value starts, matching "name=" only at a parameter boundary so
// that "nc" is not found inside "cnonce".
qsizetype valueStart(const QString &header, const QString &name, const QString &opener)
{
    const QString key = name + QLatin1Char('=') + opener;
    qsizetype at = 0;
    while ((at = header.indexOf(key, at)) >= 0) {
        const QChar before = at > 0 ? header[at - 1] : QLatin1Char(' ');
        if (before == QLatin1Char(' ') || before == QLatin1Char(',') || before == QLatin1Char('\t'))
            return at + key.size();
        at += key.size();
    }
    return -1;
}
} // namespace

QString HTTPAuthenticationRequest::quotedValue(const QString &header, const QString &name)
{
    const qsizetype start = valueStart(header, name, QStringLiteral("\""));
    if (start < 0)
        return {};
    const qsizetype end = header.indexOf(QLatin1Char('"'), start);
    if (end < 0)
        return {};
    return header.mid(start, end - start);
}

QString HTTPAuthenticationRequest::nonQuotedValue(const QString &header, const QString &name)
{
    const qsizetype start = valueStart(header, name, QString());
    if (start < 0)
        return {};
    const qsizetype comma = header.indexOf(QLatin1Char(','), start);
    if (comma >= 0)
        return header.mid(start, comma - start);
    const QString rest = header.mid(start);
    if (rest.contains(QLatin1Char(' ')))
        return {};
    return rest;
}
