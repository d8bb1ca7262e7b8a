#pragma once

#include <QTextEdit>

// A multi-line, read-only text that scrolls when it is longer than its frame.
class TextView : public QTextEdit
{
    Q_OBJECT
public:
    explicit TextView(QWidget *parent = nullptr);
    TextView(const QRect &frame, QWidget *parent = nullptr);

    void setText(const QString &text);
    QString text() const { return toPlainText(); }
    void setTextColor(const QColor &color);
    void setFontSize(qreal points, bool bold = false);
    void setTextAlignment(Qt::Alignment alignment);
    // A plate behind the whole frame (none by default), so that text over a picture stays readable.
    void setBackgroundColor(const QColor &color, qreal cornerRadius = 0);
    QColor backgroundColor() const { return m_background; }

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void centreVertically();

    Qt::Alignment m_alignment = Qt::AlignLeft;
    QColor m_background = Qt::transparent;
    qreal m_cornerRadius = 0;
};
