#pragma once

#include <QString>

// The keys of the settings store, spelled once. Flags are the strings "0" and "1".
namespace SettingsKeys {
inline const QString appinitkey = QStringLiteral("appinitkey");
inline const QString appsettingplaymodekey = QStringLiteral("appsettingplaymodekey");
inline const QString appsettingloopmodekey = QStringLiteral("appsettingloopmodekey");
inline const QString playlistfolderkey = QStringLiteral("playlistfolderkey");
inline const QString reviewDontShowVerKey = QStringLiteral("reviewDontShowVerKey");
inline const QString reviewWriteVerKey = QStringLiteral("reviewWriteVerKey");
inline const QString folderlistkey = QStringLiteral("folderlistkey");
inline const QString selectedEncodingNumberKey = QStringLiteral("selectedEncodingNumberKey");
inline const QString selectedEncodingNameKey = QStringLiteral("selectedEncodingNameKey");
inline const QString ScreenAutoSleepModeKey = QStringLiteral("ScreenAutoSleepModeKey");
inline const QString beepSoundModeKey = QStringLiteral("beepSoundModeKey");
inline const QString caution3gmsgkey = QStringLiteral("caution3gmsgkey");
inline const QString demoMusicCopyKey = QStringLiteral("demoMusicCopyKey");
inline const QString shuffleHistoryKey = QStringLiteral("shuffleHistoryKey");
// "1": the transfer server asks for a code (HTTP Digest) at its next start.
inline const QString transferRequireCodeKey = QStringLiteral("transferRequireCodeKey");

// A folder's file-list cache entry lives under this prefix plus the folder's name.
// Folder names never contain a slash and settings keys never do either, so no
// folder can overwrite a setting, whatever it is called.
inline const QString folderListCachePrefix = QStringLiteral("folderfilelist/");
} // namespace SettingsKeys
