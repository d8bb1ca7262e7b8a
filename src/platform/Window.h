#pragma once

#include "View.h"

#include <QPointer>

#include <functional>

#include "ViewController.h"

// The single window: 320 x 480 points (Qt scales points to the desktop's pixel ratio).
// Screens, panels and overlays are its direct children, bottom first. Adding a
// controller's root view runs viewWillAppear/viewDidAppear; removing it runs the
// disappear pair. The window turns the keyboard's media keys into remote events.
class Window : public View
{
    Q_OBJECT
public:
    static constexpr int width = 320;
    static constexpr int height = 480;

    explicit Window(QWidget *parent = nullptr);
    ~Window() override;

    // The window that makeKeyAndVisible showed last; alerts and remote events go there.
    static Window *keyWindow();
    void makeKeyAndVisible();

    void addSubview(QWidget *view);
    void insertSubviewBelow(QWidget *view, QWidget *sibling);
    void removeSubview(QWidget *view);
    QList<QWidget *> subviews() const { return View::subviews(this); }
    bool contains(const QWidget *view) const { return view && view->parentWidget() == this; }

    ViewController *firstResponder() const { return m_firstResponder; }
    void setFirstResponder(ViewController *responder) { m_firstResponder = responder; }

    // The remote subtype a media key stands for, or 0.
    static int remoteSubtypeForKey(int key);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void place(QWidget *view, QWidget *below);
    void passFirstResponderToTop();
    // Asks the screens in the window, topmost first, until one answers true.
    bool askScreensFromTheTop(const std::function<bool(ViewController *)> &ask) const;

    QPointer<ViewController> m_firstResponder;
};
