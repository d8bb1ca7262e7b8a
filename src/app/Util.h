#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

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

    // Posts Notify::viewMessageAni: a text that shows for 1.5 s and fades over 1.5 s.
    static void viewMessageViewAutoClose(const QString &text);
    // Posts Notify::viewMessageIconAni with a message key of MessageIconView.
    static void viewMessageIconViewAutoClose(const QString &key);

    // Flips the view from the right in 0.5 s ("FlipRightAnimation").
    static void FlipRightAnimation(QWidget *view);
    // Cross-fades: a to alpha 0, b to alpha 1, in the default duration ("fadeAni"). b is
    // shown first; a is hidden when the fade has run to its end.
    static void fadeAniFrom(QWidget *a, QWidget *b);
    // The view drawn into a bitmap of its own size at scale 1.
    static QImage screenImage(QWidget *view);

    // Frames for slides on and off the 320 x 480 screen.
    static QRect moveToScreenTopOut(const QRect &frame);
    static QRect moveToScreenBottomOut(const QRect &frame);
    static QRect moveToScreenLeftOut(const QRect &frame);
    static QRect moveToScreenRightIn(const QRect &frame);
    static QRect moveToScreenLeftIn(const QRect &frame);
    static QRect moveToScreenRightOut(const QRect &frame);

    // A shuffle pick in 0 ... n-1. Lists of 30 songs or more avoid the last 20 picks (the
    // shuffle history in the settings store, shared by every list); shorter lists take any
    // index. No list or a list of one gives 0.
    static int randomIntNoOverlap(int n);
    // The same with the 32-bit random source given (the tests script it).
    static int randomIntNoOverlap(int n, const std::function<quint32()> &random);

    // "0KB", "1KB", "12KB", "3.4MB", "1.2GB".
    static QString getByteStr(double bytes);

    // Marks a file as not to be backed up (extended attribute "user.com.apple.MobileBackup" = 1).
    // False when the file system refuses extended attributes.
    static bool addSkipBackupAttributeToItemAtURL(const QUrl &url);
};
