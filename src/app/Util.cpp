#include "Util.h"
#include "platform/ImageCodec.h"
#include "library/NotificationNames.h"

#include "platform/FileManager.h"
#include "library/SettingsKeys.h"
#include "platform/NotificationCenter.h"
#include "platform/UserDefaults.h"
#include "platform/View.h"
#include "platform/ViewAnimation.h"
#include "platform/Window.h"

#include <QLoggingCategory>
#include <QMutex>
#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <cstdlib>

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
    // The view coming in can be used at once; the one going out is hidden once it has
    // faded, so that no tap, Tab or screen reader reaches controls nobody sees.
    View::setHidden(b, false);
    QPointer<QWidget> out(a);
    ViewAnimation(QStringLiteral("fadeAni"))
        .alpha(a, 0.0)
        .alpha(b, 1.0)
        .completion([out](bool finished) {
            if (finished && out)
                View::setHidden(out, true);
        })
        .start();
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

int Util::randomIntNoOverlap(int n)
{
    return randomIntNoOverlap(n, [] { return quint32(arc4random()); });
}

int Util::randomIntNoOverlap(int n, const std::function<quint32()> &random)
{
    // Nothing to choose from: a remainder by 0 is undefined and by 1 always 0.
    if (n <= 1)
        return 0;
    // The value taken as signed: the remainder keeps its sign, so take its size.
    const auto draw = [&] { return std::abs(static_cast<qint32>(random()) % n); };
    if (n <= 29)
        return draw();

    UserDefaults &defaults = UserDefaults::standard();
    QVariantList history = defaults.arrayForKey(SettingsKeys::shuffleHistoryKey);
    const auto seen = [&history](int index) {
        return std::any_of(history.cbegin(), history.cend(), [index](const QVariant &v) { return v.toInt() == index; });
    };
    int pick = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        pick = draw();
        if (!seen(pick)) {
            history.append(pick);
            if (history.size() >= 21)
                history.removeFirst();
            break;
        }
    }
    defaults.setObject(history, SettingsKeys::shuffleHistoryKey);
    defaults.synchronize();
    return pick;
}
