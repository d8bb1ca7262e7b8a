#pragma once

#include "platform/View.h"

#include <QPixmap>

class ImageView;
class Label;

// The icon message: a picture and a short caption for a message key ("play", "next",
// the shuffle and repeat texts...). An unknown key leaves the view as it was.
class MessageIconView : public View
{
    Q_OBJECT
public:
    explicit MessageIconView(QWidget *parent = nullptr);

    void setMessage(const QString &message);

    Label *messageLabel() const { return m_messageLabel; }
    ImageView *messageIconImageView() const { return m_messageIconImageView; }

    // The image name shown for a key, or an empty string for an unknown key.
    static QString imageNameForMessage(const QString &message);

private:
    Label *m_messageLabel;
    ImageView *m_messageIconImageView;
    QHash<QString, QPixmap> m_images;
};
