#include "NonLossyAsciiDecoder.h"

namespace {
int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isOctal(char c)
{
    return c >= '0' && c <= '7';
}

// Reads the fixed-width number after a backslash; nullopt when the input ends
// first or a digit is out of range.
std::optional<char16_t> readNumber(const QByteArray &bytes, qsizetype at, int digits, int base)
{
    if (bytes.size() - at < digits)
        return std::nullopt;
    char16_t value = 0;
    for (int i = 0; i < digits; ++i) {
        const char c = bytes[at + i];
        const int digit = base == 16 ? hexValue(c) : (isOctal(c) ? c - '0' : -1);
        if (digit < 0)
            return std::nullopt;
        value = char16_t(value * base + digit);
    }
    return value;
}
} // namespace

std::optional<QString> NonLossyAsciiDecoder::decode(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    qsizetype i = 0;
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (static_cast<unsigned char>(c) >= 0x80)
            return std::nullopt;
        if (c != '\\') {
            out.append(QChar(char16_t(c)));
            ++i;
            continue;
        }
        if (i + 1 >= bytes.size())
            return std::nullopt;
        const char kind = bytes[i + 1];
        std::optional<char16_t> unit;
        if (kind == '\\') {
            unit = u'\\';
            i += 2;
        } else if (kind == 'u' || kind == 'U') {
            unit = readNumber(bytes, i + 2, 4, 16);
            i += 6;
        } else if (isOctal(kind)) {
            unit = readNumber(bytes, i + 1, 3, 8);
            i += 4;
        }
        if (!unit)
            return std::nullopt;
        out.append(QChar(*unit));
    }
    // A lone surrogate cannot be shown; the pairing is only known once all units are in.
    for (qsizetype k = 0; k < out.size(); ++k) {
        if (out[k].isHighSurrogate() && k + 1 < out.size() && out[k + 1].isLowSurrogate())
            ++k;
        else if (out[k].isSurrogate())
            return std::nullopt;
    }
    return out;
}
