#pragma once

#include <QLabel>

// A one-line (or wrapped) text with a font size, colour and alignment.
class Label : public QLabel
{
    Q_OBJECT
public:
    explicit Label(QWidget *parent = nullptr);
    Label(const QRect &frame, QWidget *parent = nullptr);

    void setTextColor(const QColor &color);
    void setFontSize(qreal points, bool bold = false);
    void setNumberOfLines(int lines); // 0: as many as needed
};
