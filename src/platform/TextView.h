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

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void centreVertically();

    Qt::Alignment m_alignment = Qt::AlignLeft;
};
