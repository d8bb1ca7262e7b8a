#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Reinterprets tag bytes in one of the encodings of EncodingTable, strictly:
// any byte sequence the encoding does not define makes the whole decode fail,
// so the caller can keep showing the text as it was. Thread-safe.
class TextDecoder
{
public:
    TextDecoder() = delete;

    // nullopt on invalid input, for a number in no row, or for a row without a codec.
    static std::optional<QString> decode(const QByteArray &bytes, quint32 encodingNumber);
};
