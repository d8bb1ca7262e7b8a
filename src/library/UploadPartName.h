#pragma once

#include <QString>

// The hidden name an upload's file carries until its body is complete. The library never
// lists such a file as a song; the transfer server never serves it.
namespace UploadPartName {
inline constexpr char prefix[] = ".orbo-upload-";
inline bool matches(const QString &fileName)
{
    return fileName.startsWith(QLatin1String(prefix));
}
} // namespace UploadPartName
