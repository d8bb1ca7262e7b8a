#include "Util.h"
#include "platform/ImageCodec.h"
#include "library/NotificationNames.h"

#include "platform/FileManager.h"
#include "platform/NotificationCenter.h"
#include "platform/View.h"
#include "platform/ViewAnimation.h"
#include "platform/Window.h"

#include <QLoggingCategory>
#include <QMutex>
#include <QPainter>

#include <sys/xattr.h>

Q_LOGGING_CATEGORY(lcUtil, "orbo.util")

namespace {
QMutex presenterMutex;
Util::AlertPresenter &presenter()
{
    static Util::AlertPresenter current;
    return current;
}
} // namespace

QImage Util::convertImageSize(const QImage &image, int width, int height)
{
    return ImageCodec::stretched(image, width, height);
}

void Util::alertViewQuick(const QString &title, const QString &msg, const QString &buttonTitle)
{
    AlertPresenter show;
    {
        QMutexLocker lock(&presenterMutex);
        show = presenter();
    }
    if (show)
        show(title, msg, buttonTitle);
    else
        qCWarning(lcUtil).noquote() << "Alert:" << title << "-" << msg;
}

void Util::setAlertPresenter(AlertPresenter newPresenter)
{
    QMutexLocker lock(&presenterMutex);
    presenter() = std::move(newPresenter);
}

bool Util::addSkipBackupAttributeToItemAtURL(const QUrl &url)
{
    const char value = 1;
    return ::setxattr(FileManager::fileSystemRepresentation(url.toLocalFile()).constData(),
                      "user.com.apple.MobileBackup", &value, 1, 0)
        == 0;
}

void Util::viewMessageViewAutoClose(const QString &text)
{
    NotificationCenter::defaultCenter().postNotificationName(Notify::viewMessageAni, text);
}

void Util::viewMessageIconViewAutoClose(const QString &key)
{
    NotificationCenter::defaultCenter().postNotificationName(Notify::viewMessageIconAni, key);
}

void Util::FlipRightAnimation(QWidget *view)
{
    ViewAnimation::flipFromRight(view, QStringLiteral("FlipRightAnimation"), 500, QEasingCurve::InOutQuad);
}

void Util::fadeAniFrom(QWidget *a, QWidget *b)
{
    ViewAnimation(QStringLiteral("fadeAni")).alpha(a, 0.0).alpha(b, 1.0).start();
}

QImage Util::screenImage(QWidget *view)
{
    return View::snapshot(view);
}

QRect Util::moveToScreenTopOut(const QRect &f)
{
    return {0, -f.height(), f.width(), f.height()};
}

QRect Util::moveToScreenBottomOut(const QRect &f)
{
    return {0, Window::height, f.width(), f.height()};
}

QRect Util::moveToScreenLeftOut(const QRect &f)
{
    return {f.x() - Window::width, f.y(), f.width(), f.height()};
}

QRect Util::moveToScreenRightIn(const QRect &f)
{
    return moveToScreenLeftOut(f);
}

QRect Util::moveToScreenLeftIn(const QRect &f)
{
    return {f.x() + Window::width, f.y(), f.width(), f.height()};
}

QRect Util::moveToScreenRightOut(const QRect &f)
{
    return moveToScreenLeftIn(f);
}

QString Util::getByteStr(double s)
{
    if (s <= 0)
        return QStringLiteral("0KB");
    if (s < 1024)
        return QStringLiteral("1KB");
    if (s < 1048576)
        return QString::asprintf("%.0fKB", s / 1024);
    if (s < 1073741824)
        return QString::asprintf("%.1fMB", s / 1048576);
    return QString::asprintf("%.1fGB", s / 1073741824);
}
