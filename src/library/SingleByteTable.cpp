#include "SingleByteTable.h"

#include <cstring>

namespace {
// An entry's text with its length, so that the byte 0x00 keeps its NUL.
template <std::size_t N>
constexpr std::u16string_view text(const char16_t (&literal)[N])
{
    return {literal, N - 1};
}

const SingleByteTable kTables[] = {
#include "SingleByteTables.inc"
};
} // namespace

const SingleByteTable *SingleByteTable::named(const char *name)
{
    for (const SingleByteTable &table : kTables)
        if (std::strcmp(table.name, name) == 0)
            return &table;
    return nullptr;
}

std::optional<QString> SingleByteTable::decode(const QByteArray &bytes) const
{
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const std::u16string_view entry = entries[uchar(byte)];
        if (entry.empty())
            return std::nullopt;
        text.append(QStringView(entry.data(), qsizetype(entry.size())));
    }
    return text;
}
