#pragma once

#include <QPixmap>
#include <QWidget>

// Shows a picture stretched to its frame.
class ImageView : public QWidget
{
    Q_OBJECT
public:
    explicit ImageView(QWidget *parent = nullptr);
    explicit ImageView(const QPixmap &image, QWidget *parent = nullptr);

    void setImage(const QPixmap &image);
    QPixmap image() const { return m_image; }

    // A picture of the application's resources by name; ".png" is supplied when the name
    // has no extension, and a double-resolution "@2x" file is preferred. Null if missing.
    static QPixmap imageNamed(const QString &name);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_image;
    QPixmap m_scaled; // m_image at the view's size in device pixels
};
