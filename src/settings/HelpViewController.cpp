#include "settings/HelpViewController.h"

#include "platform/Button.h"
#include "platform/ImageView.h"
#include "platform/NavigationBar.h"
#include "platform/ScrollView.h"
#include "platform/Translations.h"
#include "platform/Window.h"

HelpViewController::HelpViewController(QObject *parent) : ZivoViewController(parent)
{}

View *HelpViewController::loadView()
{
    auto *root = new View(QRect(0, 0, Window::width, Window::height));
    root->setBackgroundColor(QColor(12, 14, 19));
    m_titleNavigationBar = new NavigationBar(root);
    m_titleNavigationBar->setGeometry(0, 0, Window::width, NavigationBar::height);
    connect(m_titleNavigationBar->setLeftButton(Translations::text("Close")), &Button::clicked, this,
            &HelpViewController::closeView);

    m_scrollView = new ScrollView(root);
    m_scrollView->setGeometry(0, NavigationBar::height, Window::width, Window::height - NavigationBar::height);
    m_scrollView->setAccessibleName(Translations::text("Help"));
    root->setAccessibleName(Translations::text("Help"));
    const QPixmap picture = ImageView::imageNamed(QStringLiteral("help"));
    m_contentView = new ImageView(picture);
    m_contentView->setAccessibleName(Translations::text("Help picture"));
    m_contentView->resize(picture.deviceIndependentSize().toSize());

    // Zooming for those without a wheel or touchpad: two round buttons at the bottom right.
    const auto zoomButton = [root](const QString &title, const QString &name, int x) {
        auto *button = new Button(QRect(x, Window::height - 44, 34, 34), root);
        button->setTitle(title);
        button->setFontSize(16, true);
        button->setFill(QColor(40, 46, 60, 220), QColor(46, 204, 196), 17);
        button->setAccessibleName(name);
        return button;
    };
    m_zoomOut = zoomButton(QStringLiteral("−"), Translations::text("Zoom Out"), Window::width - 84);
    m_zoomIn = zoomButton(QStringLiteral("+"), Translations::text("Zoom In"), Window::width - 44);
    connect(m_zoomIn, &Button::clicked, m_scrollView, &ScrollView::zoomIn);
    connect(m_zoomOut, &Button::clicked, m_scrollView, &ScrollView::zoomOut);
    connect(m_scrollView, &ScrollView::zoomScaleChanged, this, &HelpViewController::refreshZoomButtons);
    return root;
}

void HelpViewController::viewDidLoad()
{
    m_titleNavigationBar->setTitle(Translations::text("Help"));
    // The content size is the picture's frame; the view zooms between it and three times it.
    m_scrollView->setContentSize(m_contentView->size());
    m_scrollView->setContentView(m_contentView);
    m_scrollView->setMinimumZoomScale(1.0);
    m_scrollView->setMaximumZoomScale(maximumZoom);
    refreshZoomButtons();
}

void HelpViewController::refreshZoomButtons()
{
    m_zoomIn->setEnabled(m_scrollView->zoomScale() < m_scrollView->maximumZoomScale());
    m_zoomOut->setEnabled(m_scrollView->zoomScale() > m_scrollView->minimumZoomScale());
}

void HelpViewController::closeView()
{
    // Only this screen goes: the one below it is there already.
    View::removeFromSuperview(view());
}

bool HelpViewController::escapePressed()
{
    closeView();
    return true;
}
