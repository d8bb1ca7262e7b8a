#include "Util.h"

#include <QFile>
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
    // Pictures decoded straight at the wanted size need no second drawing.
    if (image.size() == QSize(width, height))
        return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage canvas(width, height, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(0, 0, width, height), image);
    painter.end();
    return canvas;
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
    return ::setxattr(QFile::encodeName(url.toLocalFile()).constData(), "user.com.apple.MobileBackup", &value, 1,
                      0) == 0;
}
