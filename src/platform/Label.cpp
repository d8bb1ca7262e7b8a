#include "Label.h"

Label::Label(QWidget *parent) : QLabel(parent)
{
    // Fixed roles: inside a list (a scroll area's viewport, whose role is Base) a label would
    // otherwise draw with the Text and Base colours instead of the ones set here.
    setForegroundRole(QPalette::WindowText);
    setBackgroundRole(QPalette::Window);
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
    // Text too: inside a list the label's ground is the list's (Base), and the text that
    // contrasts with it is drawn in the Text colour.
    p.setColor(QPalette::WindowText, color);
    p.setColor(QPalette::Text, color);
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
