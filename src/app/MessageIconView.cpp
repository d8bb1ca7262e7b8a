#include "MessageIconView.h"

#include "platform/ImageView.h"
#include "platform/Label.h"
#include "platform/Translations.h"

namespace {
struct Entry
{
    QString key;
    QString label;
    QString image;
};

// The first six keys are literal; the rest are the localized texts the toggles post.
QList<Entry> table()
{
    return {
        {QStringLiteral("prev"), QStringLiteral("Prev"), QStringLiteral("msg_fast-backward.png")},
        {QStringLiteral("next"), QStringLiteral("Next"), QStringLiteral("msg_fast-forward.png")},
        {QStringLiteral("folderChange"), Translations::text("Playlist has changed."),
         QStringLiteral("msg_folderChange.png")},
        {QStringLiteral("pause"), QStringLiteral("Pause"), QStringLiteral("msg_pause.png")},
        {QStringLiteral("play"), QStringLiteral("Play"), QStringLiteral("msg_play.png")},
        {QStringLiteral("delete"), QStringLiteral("Delete"), QStringLiteral("msg_trash.png")},
        {Translations::text("Shuffle On"), Translations::text("Shuffle On"), QStringLiteral("info-icons-03-RND.png")},
        {Translations::text("Shuffle Off"), Translations::text("Shuffle Off"), QStringLiteral("info-icons-05-RND-OFF")},
        {Translations::text("Repeat On"), Translations::text("Repeat On"), QStringLiteral("info-icons-01-RPT.png")},
        {Translations::text("Repeat Off"), Translations::text("Repeat Off"),
         QStringLiteral("info-icons-04-RPT-OFF.png")},
        {Translations::text("One Time Play"), Translations::text("One Time Play"),
         QStringLiteral("info-icons-02-RPT-ONE")},
    };
}
} // namespace

MessageIconView::MessageIconView(QWidget *parent) : View(QRect(0, 0, 150, 150), parent)
{
    setBackgroundColor(QColor(14, 16, 22, 250));
    setBorderColor(QColor(255, 255, 255, 28));
    m_messageIconImageView = new ImageView(this);
    m_messageIconImageView->setGeometry(39, 22, 72, 72);
    m_messageLabel = new Label(QRect(6, 102, 138, 36), this);
    m_messageLabel->setAlignment(Qt::AlignCenter);
    m_messageLabel->setFontSize(12, true);
    m_messageLabel->setWordWrap(true);
    // Loaded once with the view, as the table's pictures never change.
    for (const Entry &entry : table())
        m_images.insert(entry.image, ImageView::imageNamed(entry.image));
}

QString MessageIconView::imageNameForMessage(const QString &message)
{
    for (const Entry &entry : table())
        if (entry.key == message)
            return entry.image;
    return {};
}

void MessageIconView::setMessage(const QString &message)
{
    for (const Entry &entry : table()) {
        if (entry.key == message) {
            m_messageLabel->setText(entry.label);
            m_messageIconImageView->setImage(m_images.value(entry.image));
            return;
        }
    }
}
