#pragma once

#include "app/ZivoAppDelegate.h"
#include "app/ZivoViewController.h"

#include <QPointer>

class Button;
#include "platform/ImageView.h"
class Label;

// The main menu: eight entries, each opening one screen. The entry of the list that is
// playing blinks; the launch picture splits open on the first appearance only.
class MusicMainViewController : public ZivoViewController
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

protected:
    View *loadView() override;
    void viewDidLoad() override;

private:
    bool canOpen(ZivoAppDelegate::Screen target) const;
    void refreshEntries();
    void startBlink();
    void chooseHighlight();

    Button *m_buttons[EntryCount] = {};
    Label *m_labels[EntryCount] = {};
    ImageView *m_selectedImage = nullptr;
    QPointer<ImageView> m_upImageView;
    QPointer<ImageView> m_downImageView;
};
