#include "TextDecoder.h"

#include "EncodingTable.h"
#include "NonLossyAsciiDecoder.h"
#include "SingleByteTable.h"

#include <QSysInfo>

#include <unicode/ucnv.h>

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <memory>
#include <vector>

namespace {
using Backend = EncodingTable::Backend;

struct UConverterCloser
{
    void operator()(UConverter *converter) const { ucnv_close(converter); }
};
using IcuConverter = std::unique_ptr<UConverter, UConverterCloser>;

struct IconvHandle
{
    iconv_t cd = reinterpret_cast<iconv_t>(-1);
    IconvHandle() = default;
    IconvHandle(const IconvHandle &) = delete;
    IconvHandle &operator=(const IconvHandle &) = delete;
    ~IconvHandle()
    {
        if (cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd);
    }
};

// Converters keep state between calls and are not thread-safe, so each thread
// opens its own on first use and keeps it; ICU's and glibc's table caches make
// the opening itself cheap.
thread_local std::vector<std::pair<const char *, IcuConverter>> t_icuConverters;
thread_local std::vector<std::pair<const char *, std::unique_ptr<IconvHandle>>> t_iconvHandles;

UConverter *icuConverter(const char *name)
{
    for (auto &[key, converter] : t_icuConverters) {
        if (std::strcmp(key, name) == 0) {
            ucnv_reset(converter.get());
            return converter.get();
        }
    }
    UErrorCode error = U_ZERO_ERROR;
    IcuConverter converter(ucnv_open(name, &error));
    if (U_FAILURE(error) || !converter)
        return nullptr;
    // The default callback substitutes U+FFFD silently; stop at the first bad byte instead.
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
    if (U_FAILURE(error))
        return nullptr;
    t_icuConverters.emplace_back(name, std::move(converter));
    return t_icuConverters.back().second.get();
}

std::optional<QString> decodeWithIcu(const char *codec, const char *bytes, qsizetype size)
{
    UConverter *converter = icuConverter(codec);
    if (!converter)
        return std::nullopt;
    QString out(size + 16, Qt::Uninitialized);
    const char *source = bytes;
    const char *const sourceEnd = bytes + size;
    qsizetype written = 0;
    for (;;) {
        UChar *const targetStart = reinterpret_cast<UChar *>(out.data()) + written;
        UChar *target = targetStart;
        UChar *const targetEnd = reinterpret_cast<UChar *>(out.data()) + out.size();
        UErrorCode error = U_ZERO_ERROR;
        ucnv_toUnicode(converter, &target, targetEnd, &source, sourceEnd, nullptr, true, &error);
        written += target - targetStart;
        if (error == U_BUFFER_OVERFLOW_ERROR) {
            // Some tables give several units per byte; make room and go on.
            out.resize(out.size() * 2);
            continue;
        }
        if (U_FAILURE(error))
            return std::nullopt;
        break;
    }
    out.truncate(written);
    return out;
}

IconvHandle *iconvHandle(const char *name)
{
    for (auto &[key, handle] : t_iconvHandles) {
        if (std::strcmp(key, name) == 0) {
            iconv(handle->cd, nullptr, nullptr, nullptr, nullptr);
            return handle.get();
        }
    }
    auto handle = std::make_unique<IconvHandle>();
    const char *target = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";
    handle->cd = iconv_open(target, name);
    if (handle->cd == reinterpret_cast<iconv_t>(-1))
        return nullptr;
    t_iconvHandles.emplace_back(name, std::move(handle));
    return t_iconvHandles.back().second.get();
}

// glibc iconv is strict as it comes: EILSEQ for a bad sequence, EINVAL for one cut off.
std::optional<QString> decodeWithIconv(const char *codec, const QByteArray &bytes)
{
    IconvHandle *handle = iconvHandle(codec);
    if (!handle)
        return std::nullopt;
    QString out(bytes.size() + 16, Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    qsizetype written = 0;
    bool flushing = false;
    for (;;) {
        char *outPtr = reinterpret_cast<char *>(out.data() + written);
        size_t outLeft = size_t(out.size() - written) * sizeof(QChar);
        // With null input iconv writes out what it still holds back (combining pairs, shift state).
        const size_t result = flushing ? iconv(handle->cd, nullptr, nullptr, &outPtr, &outLeft)
                                       : iconv(handle->cd, &in, &inLeft, &outPtr, &outLeft);
        written = (outPtr - reinterpret_cast<char *>(out.data())) / qsizetype(sizeof(QChar));
        if (result == size_t(-1)) {
            if (errno != E2BIG)
                return std::nullopt;
            out.resize(out.size() * 2);
            continue;
        }
        if (flushing)
            break;
        flushing = true;
    }
    out.truncate(written);
    return out;
}

std::optional<QString> decodeUtf16(const QByteArray &bytes)
{
    // Without a byte-order mark the text is read big-endian.
    const char *codec = "UTF-16BE";
    qsizetype skip = 0;
    if (bytes.startsWith("\xFE\xFF")) {
        skip = 2;
    } else if (bytes.startsWith("\xFF\xFE")) {
        codec = "UTF-16LE";
        skip = 2;
    }
    return decodeWithIcu(codec, bytes.constData() + skip, bytes.size() - skip);
}

// ICU keeps a leading byte-order mark as U+FEFF; it is no part of the text.
std::optional<QString> decodeUtf8(const QByteArray &bytes)
{
    const qsizetype skip = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    return decodeWithIcu("UTF-8", bytes.constData() + skip, bytes.size() - skip);
}

// Private use in legacy text almost always means a wrong pick: ICU's windows-874
// gives it for undefined bytes, and the CJK tables for user-defined areas no font
// shows. Apple's tables are the exception, with real characters there like the
// Apple logo at Mac Roman 0xF0 (U+F8FF); Unicode rows keep whatever was written.
bool privateUseIsText(const EncodingTable::Row &row)
{
    if (row.backend != Backend::Icu && row.backend != Backend::Iconv)
        return true; // Unicode rows, and the Apple tables of SingleByteTable
    return std::strncmp(row.codecName, "macos-", 6) == 0 || std::strncmp(row.codecName, "x-Mac", 5) == 0;
}

// No tag text holds C1 controls; they are what undefined bytes turn into in
// tables that cannot report errors (ISO 8859, the Windows code pages in ICU,
// EUC-KR taking CP949-only lead bytes one by one), so they mean a wrong pick.
bool looksValid(const QString &text, const EncodingTable::Row &row)
{
    const bool allowPrivateUse = privateUseIsText(row);
    // ICU's windows-1253 maps the undefined byte 0xAA to U+00AA, which no defined byte gives.
    const bool rejectOrdinal = row.codecName && std::strcmp(row.codecName, "windows-1253") == 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x80 && u <= 0x9F)
            return false;
        if (!allowPrivateUse && u >= 0xE000 && u <= 0xF8FF)
            return false;
        if (rejectOrdinal && u == 0xAA)
            return false;
    }
    return true;
}
} // namespace

std::optional<QString> TextDecoder::decode(const QByteArray &bytes, quint32 encodingNumber)
{
    const EncodingTable::Row *row = EncodingTable::rowForNumber(encodingNumber);
    if (!row)
        return std::nullopt;
    std::optional<QString> text;
    switch (row->backend) {
    case Backend::None:
        return std::nullopt;
    case Backend::Icu:
        text = decodeWithIcu(row->codecName, bytes.constData(), bytes.size());
        break;
    case Backend::Utf8:
        text = decodeUtf8(bytes);
        break;
    case Backend::Iconv:
        text = decodeWithIconv(row->codecName, bytes);
        break;
    case Backend::Utf16:
        text = decodeUtf16(bytes);
        break;
    case Backend::NonLossyAscii:
        text = NonLossyAsciiDecoder::decode(bytes);
        break;
    case Backend::SingleByte:
        if (const SingleByteTable *table = SingleByteTable::named(row->codecName))
            text = table->decode(bytes);
        break;
    }
    if (!text || !looksValid(*text, *row))
        return std::nullopt;
    return text;
}
