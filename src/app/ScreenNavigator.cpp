#include "ScreenNavigator.h"

#include "MusicDetail.h"
#include "PlayInfoPanel.h"
#include "ZivoViewController.h"
#include "library/NotificationNames.h"
#include "platform/Button.h"
#include "platform/NotificationCenter.h"
#include "platform/ImageView.h"
#include "platform/Translations.h"
#include "platform/ViewAnimation.h"
#include "platform/Window.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcNavigation, "orbo.app")

namespace {
// The arrow waits just below the screen and slides up to its place.
const QPoint arrowParked(160, 505);
const QPoint arrowShown(160, 460);
} // namespace

ScreenNavigator::ScreenNavigator(Window &window, ZivoAppDelegate *delegate)
    : m_window(window), m_delegate(delegate), m_musicInfoArrowButton(std::make_unique<Button>(QRect(0, 0, 47, 43)))
{
    Button &arrow = *m_musicInfoArrowButton;
    arrow.setBackgroundImage(ImageView::imageNamed(QStringLiteral("Orbo_plyr01_btm_plate_02-open.png")));
    arrow.setBackgroundImage(ImageView::imageNamed(QStringLiteral("Orbo_plyr01_btm_plate_02-open-light.png")),
                             Button::Highlighted);
    arrow.setAccessibleName(Translations::text("Now Playing"));
    QObject::connect(&arrow, &Button::clicked,
                     [] { NotificationCenter::defaultCenter().postNotificationName(Notify::addMusicDetailView); });
}

ScreenNavigator::~ScreenNavigator() = default;

void ScreenNavigator::installScreens(const ScreenFactory &factory)
{
    for (size_t i = 0; i < m_screens.size(); ++i)
        if (factory.has(Screen(i)))
            setScreen(Screen(i), factory.make(Screen(i)));
}

void ScreenNavigator::setScreen(Screen which, std::unique_ptr<ZivoViewController> screen)
{
    if (screen)
        screen->setAppDelegate(m_delegate);
    m_screens[size_t(which)] = std::move(screen);
}

void ScreenNavigator::ownPlayInfoPanel(std::unique_ptr<ZivoViewController> panel, PlayInfoPanel *face)
{
    if (panel)
        panel->setAppDelegate(m_delegate);
    m_ownedPanel = std::move(panel);
    m_panel = face;
}

MusicDetail *ScreenNavigator::musicDetail() const
{
    return m_detail ? m_detail : screenAs<MusicDetail>(Screen::MusicDetail);
}

void ScreenNavigator::addScreen(Screen which, bool becomesCurrent)
{
    ZivoViewController *target = screen(which);
    if (!target) {
        qCWarning(lcNavigation) << "screen" << int(which) << "is not part of this build";
        return;
    }
    m_window.addSubview(target->view());
    if (becomesCurrent)
        m_current = target;
}

void ScreenNavigator::removeCurrentViewController()
{
    if (m_current && m_current->isViewLoaded())
        m_window.removeSubview(m_current->view());
}

QWidget *ScreenNavigator::panelView() const
{
    return m_panel ? m_panel->panelView() : nullptr;
}

void ScreenNavigator::placePanelAtLaunch()
{
    QWidget *panel = panelView();
    if (panel) {
        panel->setGeometry(0, 0, 320, 120);
        View::setHidden(panel, true);
        m_window.addSubview(panel);
    }
    View::setHidden(m_musicInfoArrowButton.get(), true);
    m_window.addSubview(m_musicInfoArrowButton.get());
}

void ScreenNavigator::viewPlayInfoPanelAni()
{
    QWidget *panel = panelView();
    if (!panel)
        return;
    View::setHidden(panel, false);
    // Taken out and added again, so that it lies above every screen.
    m_window.removeSubview(panel);
    m_window.addSubview(panel);
    addMusicInfoArrowButton();
}

void ScreenNavigator::closePlayInfoPanelAni()
{
    if (QWidget *panel = panelView())
        View::setHidden(panel, true);
    View::setHidden(m_musicInfoArrowButton.get(), true);
}

void ScreenNavigator::addMusicInfoArrowButton()
{
    QWidget *panel = panelView();
    if (!panel || View::isHidden(panel) || !m_window.contains(panel) || !m_panel->hasAudioURL())
        return;
    Button *arrow = m_musicInfoArrowButton.get();
    View::setCenter(arrow, arrowParked);
    View::setHidden(arrow, false);
    ZivoViewController *detail = screen(Screen::MusicDetail);
    m_window.insertSubviewBelow(arrow, detail && detail->isViewLoaded() ? detail->view() : nullptr);
    ViewAnimation(QStringLiteral("MusicInfoArrowGoAnimation"), 500)
        .curve(QEasingCurve::InOutQuad)
        .center(arrow, arrowShown)
        .start();
}
