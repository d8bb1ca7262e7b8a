#include "MusicMainViewController.h"
#include "library/NotificationNames.h"

#include "app/PlayInfoPanel.h"
#include "app/ZivoAppDelegate.h"
#include "platform/Button.h"
#include "platform/ImageView.h"
#include "platform/Label.h"
#include "platform/NotificationCenter.h"
#include "platform/Translations.h"
#include "platform/ViewAnimation.h"
#include "platform/Window.h"

#include <QLinearGradient>
#include <QPainter>

namespace {
using Screen = ZivoAppDelegate::Screen;

struct EntrySpec
{
    const char *captionKey;
    const char *image;
    // The screen that must be installed for the entry to work; Count: never (not built yet).
    Screen target;
};

const EntrySpec entries[MusicMainViewController::EntryCount] = {
    {QT_TRANSLATE_NOOP("Orbo", "Main All Songs"), "main_allsongs", Screen::MusicAllList},
    {QT_TRANSLATE_NOOP("Orbo", "Main Folder Play"), "main_folder", Screen::MusicList},
    {QT_TRANSLATE_NOOP("Orbo", "Main Playlists"), "main_playlist", Screen::PlaybackList},
    {QT_TRANSLATE_NOOP("Orbo", "Main Managing Folders"), "main_foldersetting", Screen::FileManager},
    {QT_TRANSLATE_NOOP("Orbo", "Main Managing Playlists"), "main_playlistsetting", Screen::PlayList},
    // The import ends by opening its folder in the folder list.
    {QT_TRANSLATE_NOOP("Orbo", "Main iPod Library"), "main_ipod", Screen::MusicList},
    {QT_TRANSLATE_NOOP("Orbo", "Main File Transfer"), "main_transfer", Screen::Webserver},
    {QT_TRANSLATE_NOOP("Orbo", "Main Settings"), "main_settings", Screen::Settings},
};

// Tiles: two columns of four, 140 x 92 points, filling the screen below the title.
constexpr int tileWidth = 140, tileHeight = 92, tileLeft = 14, tileGap = 8, tileTop = 84;

QRect tileFrame(int index)
{
    const int column = index % 2, row = index / 2;
    return {tileLeft + column * (tileWidth + tileGap), tileTop + row * (tileHeight + tileGap), tileWidth, tileHeight};
}

// The menu's backdrop: a dark gradient with a soft glow behind the title.
class MenuBackground : public View
{
public:
    using View::View;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QLinearGradient gradient(0, 0, 0, height());
        gradient.setColorAt(0, QColor(20, 24, 33));
        gradient.setColorAt(1, QColor(8, 9, 13));
        painter.fillRect(rect(), gradient);
        QRadialGradient glow(QPointF(width() / 2.0, 40), 190);
        glow.setColorAt(0, QColor(46, 204, 196, 46));
        glow.setColorAt(1, QColor(46, 204, 196, 0));
        painter.fillRect(rect(), glow);
    }
};
} // namespace

MusicMainViewController::MusicMainViewController(QObject *parent) : ZivoViewController(parent)
{}

bool MusicMainViewController::canOpen(ZivoAppDelegate::Screen target) const
{
    // Leaving the menu for a screen that is not there would leave the window empty; while
    // the import's overlay covers the menu, no entry can be used (not by keyboard either).
    return appDelegate() && appDelegate()->hasScreen(target) && !m_import.iPodTransView();
}

QString MusicMainViewController::captionKey(Entry entry)
{
    return QString::fromLatin1(entries[entry].captionKey);
}

View *MusicMainViewController::loadView()
{
    auto *root = new MenuBackground(QRect(0, 0, Window::width, Window::height));

    auto *logo = new ImageView(ImageView::imageNamed(QStringLiteral("main_logo")), root);
    logo->setGeometry(tileLeft + 4, 24, 40, 40);
    auto *title = new Label(QRect(tileLeft + 54, 20, 200, 30), root);
    title->setText(QStringLiteral("Orbo"));
    title->setFontSize(22, true);
    auto *subtitle = new Label(QRect(tileLeft + 55, 48, 220, 18), root);
    subtitle->setText(Translations::text("Your music, your folders"));
    subtitle->setFontSize(10);
    subtitle->setTextColor(QColor(140, 150, 165));

    for (int i = 0; i < EntryCount; ++i) {
        auto *button = new Button(tileFrame(i), root);
        const QString image = QString::fromLatin1(entries[i].image);
        button->setBackgroundImage(ImageView::imageNamed(image));
        button->setBackgroundImage(ImageView::imageNamed(image + QStringLiteral("_on")), Button::Highlighted);
        button->setTag(i);
        button->setAccessibleName(Translations::text(entries[i].captionKey));
        m_buttons[i] = button;

        auto *label = new Label(QRect(tileFrame(i).x() + 2, tileFrame(i).y() + 54, tileWidth - 4, 34), root);
        label->setAlignment(Qt::AlignCenter);
        label->setFontSize(10.5, true);
        label->setWordWrap(true);
        label->setText(Translations::text(entries[i].captionKey));
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_labels[i] = label;
    }
    connect(m_buttons[AllSongs], &Button::clicked, this, &MusicMainViewController::goMusicAllListView);
    connect(m_buttons[Folder], &Button::clicked, this, &MusicMainViewController::goMusicListView);
    connect(m_buttons[Playlist], &Button::clicked, this, &MusicMainViewController::goPlaybackListView);
    connect(m_buttons[FolderSetting], &Button::clicked, this, &MusicMainViewController::goFileManagerView);
    connect(m_buttons[PlaylistSetting], &Button::clicked, this, &MusicMainViewController::goPlayListView);
    connect(m_buttons[IPod], &Button::clicked, this, &MusicMainViewController::showiPodLib);
    connect(m_buttons[Transfer], &Button::clicked, this, &MusicMainViewController::goWebserverView);
    connect(m_buttons[Settings], &Button::clicked, this, &MusicMainViewController::goSettingsView);

    m_selectedImage = new ImageView(ImageView::imageNamed(QStringLiteral("main_selected")), root);
    m_selectedImage->setGeometry(tileFrame(0));
    m_selectedImage->setAttribute(Qt::WA_TransparentForMouseEvents);

    // The launch picture, 320 x 480 in two halves, opened by the first appearance.
    m_upImageView = new ImageView(ImageView::imageNamed(QStringLiteral("Default_Up.png")), root);
    m_upImageView->setGeometry(0, 0, 320, 300);
    m_downImageView = new ImageView(ImageView::imageNamed(QStringLiteral("Default_Down.png")), root);
    m_downImageView->setGeometry(0, 300, 320, 180);
    return root;
}

void MusicMainViewController::viewDidLoad()
{
    View::setAlpha(m_selectedImage, 1.0);
    // The highlight starts hidden; it blinks only while shown (chooseHighlight), so an
    // idle menu keeps no endless animation ticking.
    View::setHidden(m_selectedImage, true);
    m_selectedImage->hide();
}

void MusicMainViewController::startBlink()
{
    ViewAnimation(QStringLiteral("buttonAni"), 1500)
        .autoreverses(true)
        .repeatCount(999999)
        .curve(QEasingCurve::InQuad)
        .alpha(m_selectedImage, 0.1)
        .start();
}

void MusicMainViewController::refreshEntries()
{
    for (int i = 0; i < EntryCount; ++i) {
        const Screen target = entries[i].target;
        const bool available = target != Screen::Count && appDelegate() && appDelegate()->hasScreen(target);
        m_buttons[i]->setEnabled(available);
        m_labels[i]->setTextColor(available ? QColor(236, 240, 245) : QColor(110, 116, 128));
        m_labels[i]->setText(Translations::text(entries[i].captionKey));
    }
}

void MusicMainViewController::chooseHighlight()
{
    PlayInfoPanel *panel = appDelegate() ? appDelegate()->playInfoPanel() : nullptr;
    Button *chosen = nullptr;
    if (panel && panel->isPlaying()) {
        switch (panel->playListMode()) {
        case 2:
            chosen = m_buttons[AllSongs];
            break;
        case 0:
            chosen = m_buttons[Folder];
            break;
        case 1:
            chosen = m_buttons[Playlist];
            break;
        default:
            break;
        }
    }
    if (!chosen) {
        ViewAnimation::stopAnimations(m_selectedImage);
        View::setHidden(m_selectedImage, true);
        return;
    }
    m_selectedImage->setGeometry(chosen->geometry());
    View::setHidden(m_selectedImage, false);
    View::setAlpha(m_selectedImage, 1.0);
    startBlink();
}

void MusicMainViewController::viewWillAppear(bool animated)
{
    ZivoViewController::viewWillAppear(animated);
    view(); // make sure the fields exist
    refreshEntries();
    if (m_upImageView) {
        ViewAnimation(QStringLiteral("loadingAni"), 700)
            .frame(m_upImageView, QRect(0, -m_upImageView->height(), 320, m_upImageView->height()))
            .frame(m_downImageView, QRect(0, Window::height, 320, m_downImageView->height()))
            .completion([this](bool) {
                delete m_upImageView.data();
                delete m_downImageView.data();
            })
            .start();
    }
    chooseHighlight();
}

void MusicMainViewController::viewDidAppear(bool animated)
{
    ZivoViewController::viewDidAppear(animated);
    if (appDelegate())
        appDelegate()->closePlayInfoPanelAni();
}

void MusicMainViewController::goMusicAllListView()
{
    if (!canOpen(Screen::MusicAllList))
        return;
    View::removeFromSuperview(view());
    appDelegate()->addMusicAllListView();
}

void MusicMainViewController::goMusicListView()
{
    if (!canOpen(Screen::MusicList))
        return;
    View::removeFromSuperview(view());
    appDelegate()->addMusicListView();
}

void MusicMainViewController::goPlaybackListView()
{
    if (!canOpen(Screen::PlaybackList))
        return;
    View::removeFromSuperview(view());
    appDelegate()->addPlaybackListFileListView();
}

void MusicMainViewController::goFileManagerView()
{
    if (!canOpen(Screen::FileManager))
        return;
    View::removeFromSuperview(view());
    appDelegate()->addFileManagerView();
}

void MusicMainViewController::goPlayListView()
{
    if (!canOpen(Screen::PlayList))
        return;
    View::removeFromSuperview(view());
    NotificationCenter::defaultCenter().postNotificationName(Notify::addPlayListView);
}

void MusicMainViewController::showiPodLib()
{
    // One import at a time; the overlay covers the menu while it runs.
    if (!canOpen(Screen::MusicList) || m_import.isRunning() || m_mediaPicker)
        return;
    m_mediaPicker = new MediaPickerController(m_mediaLibrary, this);
    m_mediaPicker->setPrompt(Translations::text("Copy songs to 'iPod_Songs' Folder"));
    m_mediaPicker->setAllowsPickingMultipleItems(true);
    m_mediaPicker->setDelegate(this);
    m_mediaPicker->present();
}

void MusicMainViewController::closeMediaPicker()
{
    if (!m_mediaPicker)
        return;
    m_mediaPicker->dismiss();
    // Closed from inside its own buttons: it goes once they are done.
    m_mediaPicker->deleteLater();
    m_mediaPicker = nullptr;
}

void MusicMainViewController::mediaPickerDidPickMediaItems(MediaPickerController *, const QList<MediaItem> &items)
{
    closeMediaPicker();
    if (!items.isEmpty())
        m_import.start(view(), items);
}

void MusicMainViewController::mediaPickerDidCancel(MediaPickerController *)
{
    closeMediaPicker();
}

void MusicMainViewController::goWebserverView()
{
    if (!canOpen(Screen::Webserver))
        return;
    View::removeFromSuperview(view());
    appDelegate()->addWebserverView();
}

void MusicMainViewController::goSettingsView()
{
    if (!canOpen(Screen::Settings))
        return;
    View::removeFromSuperview(view());
    appDelegate()->addSettingsView();
}

void MusicMainViewController::goHelpView()
{
    if (canOpen(Screen::Help))
        appDelegate()->addHelpView();
}

void MusicMainViewController::goMusicListViewiPod()
{
    if (!canOpen(Screen::MusicList))
        return;
    View::removeFromSuperview(view());
    appDelegate()->addMusicListViewiPod();
}
