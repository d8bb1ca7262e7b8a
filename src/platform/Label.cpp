#include "Label.h"

Label::Label(QWidget *parent) : QLabel(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setTextColor(Qt::white);
}

Label::Label(const QRect &frame, QWidget *parent) : Label(parent)
{
    setGeometry(frame);
}

void Label::setTextColor(const QColor &color)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, color);
    setPalette(p);
}

void Label::setFontSize(qreal points, bool bold)
{
    QFont f = font();
    f.setPointSizeF(points);
    f.setBold(bold);
    setFont(f);
}

void Label::setNumberOfLines(int lines)
{
    setWordWrap(lines != 1);
}
