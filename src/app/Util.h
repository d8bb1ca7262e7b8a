#pragma once

#include <QImage>
#include <QString>
#include <QUrl>

#include <functional>

// Small operations shared by the screens and the library.
class Util
{
public:
    Util() = delete;

    // Draws the image stretched into a new width x height canvas (aspect ratio not kept).
    static QImage convertImageSize(const QImage &image, int width, int height);

    // A one-button alert whose answer is ignored.
    static void alertViewQuick(const QString &title, const QString &msg, const QString &buttonTitle);
    // Who shows alerts: the window's alert view once the interface is up. Without one,
    // alerts are written to the log so that they are never silently lost.
    using AlertPresenter = std::function<void(const QString &title, const QString &msg, const QString &button)>;
    static void setAlertPresenter(AlertPresenter presenter);

    // Marks a file as not to be backed up (extended attribute "user.com.apple.MobileBackup" = 1).
    // False when the file system refuses extended attributes.
    static bool addSkipBackupAttributeToItemAtURL(const QUrl &url);
};
