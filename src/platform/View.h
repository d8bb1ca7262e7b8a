#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>

class ViewController;

// A plain view: a rectangle with a background colour, rounded corners and an alpha.
// The static helpers give every widget of the kit the same frame, centre, hidden and
// alpha vocabulary, so screens can treat labels, buttons and image views alike.
class View : public QWidget
{
    Q_OBJECT
public:
    explicit View(QWidget *parent = nullptr);
    explicit View(const QRect &frame, QWidget *parent = nullptr);

    void setBackgroundColor(const QColor &color);
    QColor backgroundColor() const { return m_background; }
    // Rounds the background and clips what is drawn inside it.
    void setCornerRadius(qreal radius);
    qreal cornerRadius() const { return m_cornerRadius; }
    // A hairline drawn inside the edge (none by default).
    void setBorderColor(const QColor &color);

    // A view that stays above everything else in the window while it is there (alerts,
    // action sheets): views added later go below it.
    void setFloatsOnTop(bool on) { m_floatsOnTop = on; }
    bool floatsOnTop() const { return m_floatsOnTop; }

    // The controller whose root view this is, if any.
    ViewController *viewController() const { return m_controller; }
    void setViewController(ViewController *controller) { m_controller = controller; }

    // --- For any widget ---
    static QRect frame(const QWidget *view) { return view->geometry(); }
    static void setFrame(QWidget *view, const QRect &frame) { view->setGeometry(frame); }
    static QPoint center(const QWidget *view);
    static void setCenter(QWidget *view, const QPoint &center);
    // Hidden is remembered across adding and removing, unlike QWidget's own flag.
    static bool isHidden(const QWidget *view);
    static void setHidden(QWidget *view, bool hidden);
    // 0 (transparent) to 1 (opaque); 1 costs nothing.
    static qreal alpha(const QWidget *view);
    static void setAlpha(QWidget *view, qreal alpha);
    // Adds the view as the topmost child of the parent (brings it to the front when it is
    // there already); insertSubviewBelow places it just below a sibling.
    static void addSubview(QWidget *parent, QWidget *view);
    static void insertSubviewBelow(QWidget *parent, QWidget *view, QWidget *sibling);
    static void removeFromSuperview(QWidget *view);
    // Children in z-order, bottom first.
    static QList<QWidget *> subviews(const QWidget *parent);
    // The view drawn into a bitmap of its own size at scale 1, and as PNG bytes.
    static QImage snapshot(QWidget *view);
    static QByteArray pngRepresentation(QWidget *view);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateMask();

    QColor m_background = Qt::transparent;
    qreal m_cornerRadius = 0;
    QColor m_border = Qt::transparent;
    ViewController *m_controller = nullptr;
    bool m_floatsOnTop = false;
};
