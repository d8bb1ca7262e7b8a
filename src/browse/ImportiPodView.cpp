#include "ImportiPodView.h"

#include "app/DDProgressView.h"
#include "platform/ActivityIndicator.h"
#include "platform/Button.h"
#include "platform/ImageView.h"
#include "platform/Label.h"
#include "platform/Translations.h"
#include "platform/Window.h"

namespace {
constexpr int panelLeft = 20, panelTop = 56, panelWidth = 280, panelHeight = 368;
constexpr int artworkSize = 112;

Label *centredLabel(const QRect &frame, QWidget *parent, qreal points, bool bold, const QColor &color)
{
    auto *label = new Label(frame, parent);
    label->setAlignment(Qt::AlignCenter);
    label->setFontSize(points, bold);
    label->setTextColor(color);
    return label;
}
} // namespace

ImportiPodView::ImportiPodView(QWidget *parent) : View(QRect(0, 0, Window::width, Window::height), parent)
{
    // Dims the menu and takes every touch: nothing else on the menu can be used meanwhile.
    setBackgroundColor(QColor(0, 0, 0, 170));

    m_roundingView = new View(QRect(panelLeft, panelTop, panelWidth, panelHeight), this);
    m_roundingView->setBackgroundColor(QColor(28, 31, 40));
    m_roundingView->setCornerRadius(15);
    m_roundingView->setBorderColor(QColor(60, 66, 80));

    const int inner = panelWidth - 32;
    m_transMsgLabel = centredLabel(QRect(16, 8, inner, 32), m_roundingView, 10.5, true, QColor(236, 240, 245));
    m_transMsgLabel->setWordWrap(true);

    m_imageView = new ImageView(m_roundingView);
    m_imageView->setGeometry((panelWidth - artworkSize) / 2, 44, artworkSize, artworkSize);

    m_titleLabel = centredLabel(QRect(16, 164, inner, 20), m_roundingView, 11, true, Qt::white);
    m_artistLabel = centredLabel(QRect(16, 184, inner, 18), m_roundingView, 9.5, false, QColor(170, 176, 186));
    m_fileNameLabel = centredLabel(QRect(16, 204, inner, 16), m_roundingView, 8, false, QColor(120, 128, 140));

    m_activityView = new ActivityIndicator(m_roundingView);
    m_activityView->move(panelWidth / 2 - 42, 228);
    m_fileCountLabel =
        centredLabel(QRect(panelWidth / 2 - 20, 226, 60, 24), m_roundingView, 11, true, QColor(46, 204, 196));

    m_progressView = new DDProgressView(QRect(20, 256, panelWidth - 40, DDProgressView::fixedHeight), m_roundingView);
    m_progressView->setInnerColor(QColor(46, 204, 196));
    m_progressView->setOuterColor(QColor(90, 98, 114));
    m_progressView->setEmptyColor(QColor(16, 18, 24));
    m_progressView->setAccessibleName(Translations::text("Copy progress"));

    m_cancelButton = new Button(QRect((panelWidth - 120) / 2, 292, 120, 34), m_roundingView);
    m_cancelButton->setTitle(Translations::text("Cancel"));
    m_cancelButton->setFontSize(11.5, true);
    m_cancelButton->setFill(QColor(62, 66, 80), QColor(0, 170, 200), 8);

    m_screenLockOffLabel = centredLabel(QRect(16, 336, inner, 20), m_roundingView, 8, false, QColor(200, 204, 212));
    m_screenLockOffLabel->setStyleSheet(QStringLiteral("background: #3a3f4d; color: #c8ccd4; border-radius: 3px;"));
    m_screenLockOffLabel->setText(Translations::text("The screen stays on while songs are copied."));
}
