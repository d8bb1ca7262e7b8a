#pragma once

#include <QString>

// The names of the shell's notifications, each spelled once. Screens, the player and the
// library post them; the application delegate and the now-playing panel observe them.
namespace Notify {
inline const QString addMusicDetailView = QStringLiteral("Notify_addMusicDetailView");
inline const QString addPlayListView = QStringLiteral("Notify_addPlayListView");
inline const QString viewMessageAni = QStringLiteral("Notify_viewMessageAni");
inline const QString viewMessageIconAni = QStringLiteral("Notify_viewMessageIconAni");
inline const QString viewMessageDuration = QStringLiteral("Notify_viewMessageDuration");
inline const QString closeMessageDuration = QStringLiteral("Notify_closeMessageDuration");
inline const QString viewMessageProgress = QStringLiteral("Notify_viewMessageProgress");
inline const QString closeMessageProgress = QStringLiteral("Notify_closeMessageProgress");
inline const QString viewMessage = QStringLiteral("Notify_viewMessage");
inline const QString closeMessage = QStringLiteral("Notify_closeMessage");
inline const QString playOrPauseMusic = QStringLiteral("Notify_playOrPauseMusic");
inline const QString pauseMusic = QStringLiteral("Notify_pauseMusic");
inline const QString playMusicNext = QStringLiteral("Notify_playMusicNext");
inline const QString playMusicPrev = QStringLiteral("Notify_playMusicPrev");
inline const QString soundPlay = QStringLiteral("Notify_soundPlay");
inline const QString curFileDelPlayer = QStringLiteral("Notify_curFileDelPlayer");
} // namespace Notify

// The transfer server's own notifications (the server, its connections and the address
// listing post them; the transfer screen and the headless server observe them).
namespace TransferNotify {
inline const QString connectionDidDie = QStringLiteral("HTTPConnectionDidDie");
inline const QString addressesResolved = QStringLiteral("LocalhostAdressesResolved");
inline const QString serverMessage = QStringLiteral("WebServerMessageNotify");
} // namespace TransferNotify
