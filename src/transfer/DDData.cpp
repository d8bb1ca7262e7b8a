#include "transfer/DDData.h"

#include <QCryptographicHash>

#include <cerrno>
#include <cstdlib>

QByteArray DDData::md5Digest(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Md5);
}

QByteArray DDData::sha1Digest(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha1);
}

QByteArray DDData::hexStringValue(const QByteArray &data)
{
    return data.toHex();
}

QByteArray DDData::base64Encoded(const QByteArray &data)
{
    return data.toBase64();
}

QByteArray DDData::base64Decoded(const QByteArray &text)
{
    QByteArray clean;
    clean.reserve(text.size());
    for (char c : text) {
        if (c == '=')
            break;
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/')
            clean.append(c);
    }
    return QByteArray::fromBase64(clean);
}

bool DDData::parseStringIntoSInt64(const QByteArray &text, qint64 *value)
{
    const QByteArray terminated = text; // constData() is NUL-terminated
    char *end = nullptr;
    errno = 0;
    const long long result = std::strtoll(terminated.constData(), &end, 10);
    if (end == terminated.constData() || errno != 0)
        return false;
    if (value)
        *value = result;
    return true;
}

bool DDData::parseStringIntoUInt64(const QByteArray &text, quint64 *value)
{
    const QByteArray trimmed = text.trimmed();
    if (trimmed.startsWith('-'))
        return false;
    char *end = nullptr;
    errno = 0;
    const unsigned long long result = std::strtoull(trimmed.constData(), &end, 10);
    if (end == trimmed.constData() || errno != 0)
        return false;
    if (value)
        *value = result;
    return true;
}
