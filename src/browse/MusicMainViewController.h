#pragma once

#include "MusicLibraryImport.h"
#include "app/ZivoAppDelegate.h"
#include "app/ZivoViewController.h"
#include "platform/ImageView.h"
#include "platform/MediaLibrary.h"
#include "platform/MediaPickerController.h"

#include <QPointer>

class Button;
class Label;

// The main menu: eight entries, each opening one screen. The entry of the list that is
// playing blinks; the launch picture splits open on the first appearance only. The music
// library entry shows the song picker over the menu and runs the import of the songs
// picked (MusicLibraryImport), whose overlay and alerts lie over the menu.
class MusicMainViewController : public ZivoViewController, private MediaPickerControllerDelegate
{
    Q_OBJECT
public:
    explicit MusicMainViewController(QObject *parent = nullptr);

    // The eight entries, in menu order.
    enum Entry { AllSongs, Folder, Playlist, FolderSetting, PlaylistSetting, IPod, Transfer, Settings, EntryCount };
    Button *button(Entry entry) const { return m_buttons[entry]; }
    Label *label(Entry entry) const { return m_labels[entry]; }
    ImageView *selectedImage() const { return m_selectedImage; }
    ImageView *upImageView() const { return m_upImageView; }
    ImageView *downImageView() const { return m_downImageView; }
    // The caption key of an entry ("Main All Songs"...).
    static QString captionKey(Entry entry);

    void goMusicAllListView();
    void goMusicListView();
    void goPlaybackListView();
    void goFileManagerView();
    void goPlayListView();
    void showiPodLib();
    void goWebserverView();
    void goSettingsView();
    void goHelpView();
    void goMusicListViewiPod();

    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;

    // The desktop's music collection the picker shows, the picker while it is open, the import.
    MediaLibrary &mediaLibrary() { return m_mediaLibrary; }
    MediaPickerController *mediaPicker() const { return m_mediaPicker; }
    MusicLibraryImport &libraryImport() { return m_import; }

protected:
    View *loadView() override;
    void viewDidLoad() override;

private:
    bool canOpen(ZivoAppDelegate::Screen target) const;
    void refreshEntries();
    void startBlink();
    void chooseHighlight();
    void mediaPickerDidPickMediaItems(MediaPickerController *picker, const QList<MediaItem> &items) override;
    void mediaPickerDidCancel(MediaPickerController *picker) override;
    void closeMediaPicker();

    Button *m_buttons[EntryCount] = {};
    Label *m_labels[EntryCount] = {};
    ImageView *m_selectedImage = nullptr;
    QPointer<ImageView> m_upImageView;
    QPointer<ImageView> m_downImageView;
    MediaLibrary m_mediaLibrary;
    QPointer<MediaPickerController> m_mediaPicker;
    MusicLibraryImport m_import{[this] { goMusicListViewiPod(); }};
};
