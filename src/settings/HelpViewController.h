#pragma once

#include "app/ZivoViewController.h"

class Button;
class ImageView;
class NavigationBar;
class ScrollView;

// The help screen: one help picture in a zoomable scroll view. It lies over the screen
// that opened it, and closing it uncovers that screen again.
class HelpViewController : public ZivoViewController
{
    Q_OBJECT
public:
    static constexpr qreal maximumZoom = 3.0;

    explicit HelpViewController(QObject *parent = nullptr);

    void closeView();
    bool escapePressed() override;

    NavigationBar *titleNavigationBar() const { return m_titleNavigationBar; }
    ScrollView *scrollView() const { return m_scrollView; }
    ImageView *contentView() const { return m_contentView; }
    Button *zoomInButton() const { return m_zoomIn; }
    Button *zoomOutButton() const { return m_zoomOut; }

protected:
    View *loadView() override;
    void viewDidLoad() override;

private:
    void refreshZoomButtons();

    NavigationBar *m_titleNavigationBar = nullptr;
    ScrollView *m_scrollView = nullptr;
    ImageView *m_contentView = nullptr;
    Button *m_zoomIn = nullptr;
    Button *m_zoomOut = nullptr;
};
