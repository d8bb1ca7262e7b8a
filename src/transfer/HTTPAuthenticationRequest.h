#pragma once

#include <QString>

class HTTPMessage;

// The parameters of a request's "Authorization" header (Basic or Digest).
class HTTPAuthenticationRequest
{
public:
    explicit HTTPAuthenticationRequest(const HTTPMessage &request);

    bool isBasic = false;
    bool isDigest = false;
    QString base64Credentials;
    QString username;
    QString realm;
    QString nonce;
    QString uri;
    QString qop;
    QString nc;
    QString cnonce;
    QString response;

    // Null when the parameter is absent.
    static QString quotedValue(const QString &header, const QString &name);
    static QString nonQuotedValue(const QString &header, const QString &name);
};
