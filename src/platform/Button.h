#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QHash>
#include <QPixmap>

// A button with a look per state (normal, highlighted while pressed, disabled): a
// background picture, a picture drawn centred over it, and a title. A state without its
// own look uses the normal one; disabled pictures are dimmed unless told otherwise.
// clicked() is the touch-up-inside.
class Button : public QAbstractButton
{
    Q_OBJECT
public:
    enum State { Normal, Highlighted, Disabled };

    explicit Button(QWidget *parent = nullptr);
    Button(const QRect &frame, QWidget *parent = nullptr);

    void setImage(const QPixmap &image, State state = Normal);
    void setBackgroundImage(const QPixmap &image, State state = Normal);
    void setTitle(const QString &title, State state = Normal);
    void setTitleColor(const QColor &color, State state = Normal);
    void setFontSize(qreal points, bool bold = false);
    // A filled rounded background, for buttons without pictures (alerts, bars).
    void setFill(const QColor &normal, const QColor &highlighted, qreal cornerRadius);
    void setAdjustsImageWhenDisabled(bool on) { m_dimWhenDisabled = on; }

    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    State currentState() const;
    QString currentTitle() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    template <typename T>
    T look(const QHash<int, T> &table, State state) const
    {
        if (auto it = table.constFind(state); it != table.constEnd())
            return *it;
        return table.value(Normal);
    }

    QHash<int, QPixmap> m_images;
    QHash<int, QPixmap> m_backgrounds;
    QHash<int, QString> m_titles;
    QHash<int, QColor> m_titleColors;
    QColor m_fill = Qt::transparent;
    QColor m_fillHighlighted = Qt::transparent;
    qreal m_fillRadius = 0;
    bool m_dimWhenDisabled = true;
    int m_tag = 0;
};
