#include "TestHome.h"
#include "support/SongFixtures.h"

#include "platform/MediaFileTags.h"
#include "platform/MediaLibrary.h"
#include "platform/MediaPickerController.h"
#include "platform/NavigationBar.h"
#include "platform/TableView.h"
#include "platform/TableViewCell.h"
#include "platform/Button.h"
#include "platform/Label.h"
#include "platform/Window.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

using Tags = SongFixtures::Tags;

Tags tags(const char *title, const char *artist, const char *album = nullptr)
{
    Tags t;
    if (title)
        t.title = QString::fromUtf8(title);
    if (artist)
        t.artist = QString::fromUtf8(artist);
    if (album)
        t.album = QString::fromUtf8(album);
    return t;
}

// A small music collection in every format the library lists, plus what it must skip.
struct Collection
{
    Collection()
    {
        folder = home.path() + QStringLiteral("/Music");
        Tags mp3 = tags("Morning", "Zebra Band", "Dawn");
        mp3.encoding = SongFixtures::Text::Utf8;
        EXPECT_TRUE(SongFixtures::writeMp3(folder + "/zebra/morning.mp3", SongFixtures::Tagging::Id3v24, mp3));
        EXPECT_TRUE(SongFixtures::writeM4a(folder + "/alpha/b-side.m4a", tags("b-side", "alpha")));
        EXPECT_TRUE(SongFixtures::writeXiph(folder + "/alpha/Anthem.flac", SongFixtures::Xiph::Flac,
                                            tags("Anthem", "Alpha", "First")));
        EXPECT_TRUE(SongFixtures::writeXiph(folder + "/mid/deep/song 10.ogg", SongFixtures::Xiph::Vorbis,
                                            tags("Song 10", "Middle")));
        EXPECT_TRUE(
            SongFixtures::writeXiph(folder + "/mid/song 9.opus", SongFixtures::Xiph::Opus, tags("Song 9", "middle")));
        EXPECT_TRUE(SongFixtures::writeWav(folder + "/untagged.wav"));
        EXPECT_TRUE(SongFixtures::writeBytes(folder + "/broken.mp3", QByteArray(4000, 'z')));
        EXPECT_TRUE(SongFixtures::writeM4a(folder + "/bought.m4p", tags("Bought", "Store")));
        // Not songs, or hidden: never listed.
        EXPECT_TRUE(SongFixtures::writeBytes(folder + "/cover.jpg", SongFixtures::jpeg(8, 8)));
        EXPECT_TRUE(SongFixtures::writeM4a(folder + "/.trash/old.m4a", tags("Old", "Gone")));
        EXPECT_TRUE(SongFixtures::writeM4a(folder + "/._morning.m4a", tags("Fork", "Mac")));
    }
    TestHome home;
    QString folder;
};

QStringList titles(const QList<MediaItem> &items)
{
    QStringList list;
    for (const MediaItem &item : items)
        list << item.displayTitle();
    return list;
}

// Sorted by artist (case and numbers as a person reads them), songs without an artist last;
// a file TagLib cannot read is there by its name.
const QStringList expectedOrder = {"Anthem", "b-side",  "Song 9",     "Song 10",
                                   "Bought", "Morning", "broken.mp3", "untagged.wav"};

TEST(MediaLibrary, ScanListsEverySongFormatSortedByArtistThenTitle)
{
    Collection c;
    const MediaLibrary::Scan scan = MediaLibrary::scan(c.folder, {});
    ASSERT_TRUE(scan.complete);
    EXPECT_EQ(titles(scan.items), expectedOrder);
    EXPECT_EQ(scan.filesRead, 8);

    const auto find = [&](const QString &name) {
        return *std::find_if(scan.items.begin(), scan.items.end(),
                             [&](const MediaItem &i) { return i.path.endsWith(name); });
    };
    const MediaItem flac = find("Anthem.flac");
    EXPECT_EQ(flac.artist, QStringLiteral("Alpha"));
    EXPECT_EQ(flac.albumTitle, QStringLiteral("First"));
    EXPECT_EQ(flac.assetURL(), QUrl::fromLocalFile(c.folder + "/alpha/Anthem.flac"));
    EXPECT_EQ(find("morning.mp3").albumTitle, QStringLiteral("Dawn"));
    EXPECT_EQ(find("song 10.ogg").artist, QStringLiteral("Middle"));

    const MediaItem broken = find("broken.mp3");
    EXPECT_FALSE(broken.title);
    EXPECT_FALSE(broken.artist);
    EXPECT_FALSE(broken.isProtected);
    EXPECT_FALSE(find("untagged.wav").title);

    const MediaItem bought = find("bought.m4p");
    EXPECT_TRUE(bought.isProtected);
    EXPECT_TRUE(bought.assetURL().isEmpty());
    EXPECT_EQ(bought.title, QStringLiteral("Bought"));
}

TEST(MediaLibrary, TheDetailsOfASongAreReadFromItsFile)
{
    Collection c;
    Tags full = tags("Lyrical", "Singer", "Album");
    full.lyrics = QStringLiteral("line one\nline two");
    full.picture = SongFixtures::png(30, 20);
    full.pictureMime = "image/png";
    ASSERT_TRUE(SongFixtures::writeXiph(c.folder + "/lyrical.flac", SongFixtures::Xiph::Flac, full));
    ASSERT_TRUE(SongFixtures::writeXiph(c.folder + "/lyrical.opus", SongFixtures::Xiph::Opus, full));
    ASSERT_TRUE(SongFixtures::writeMp3(c.folder + "/lyrical.mp3", SongFixtures::Tagging::Id3v23, full));
    ASSERT_TRUE(SongFixtures::writeM4a(c.folder + "/lyrical.m4a", full));
    for (const char *name : {"lyrical.flac", "lyrical.opus", "lyrical.mp3", "lyrical.m4a"}) {
        const MediaFileTags found = MediaFileTags::read(c.folder + "/" + name, MediaFileTags::WithDetails);
        EXPECT_EQ(found.title, QStringLiteral("Lyrical")) << name;
        EXPECT_EQ(found.lyrics, QStringLiteral("line one\nline two")) << name;
        EXPECT_EQ(found.picture, full.picture) << name;
    }
    const MediaFileTags textOnly = MediaFileTags::read(c.folder + "/lyrical.flac");
    EXPECT_FALSE(textOnly.lyrics);
    EXPECT_TRUE(textOnly.picture.isEmpty());
    const MediaFileTags broken = MediaFileTags::read(c.folder + "/broken.mp3", MediaFileTags::WithDetails);
    EXPECT_FALSE(broken.title || broken.artist || broken.lyrics);
    EXPECT_TRUE(broken.picture.isEmpty());
}

TEST(MediaLibrary, TheIndexMakesTheNextOpenInstantAndOnlyChangedFilesAreReadAgain)
{
    Collection c;
    {
        MediaLibrary library;
        library.setFolder(c.folder);
        QSignalSpy finished(&library, &MediaLibrary::scanFinished);
        library.refresh();
        ASSERT_TRUE(waitUntil([&] { return finished.count() == 1; }, 20000));
        EXPECT_EQ(library.lastFilesRead(), 8);
        EXPECT_EQ(titles(library.items()), expectedOrder);
    }
    ASSERT_TRUE(QFileInfo::exists(MediaLibrary::indexPath()));

    // The next start: the list comes from the index before the walk has looked at a file.
    MediaLibrary again;
    again.setFolder(c.folder);
    QSignalSpy changed(&again, &MediaLibrary::itemsChanged);
    QSignalSpy finished(&again, &MediaLibrary::scanFinished);
    again.refresh();
    ASSERT_TRUE(waitUntil([&] { return finished.count() == 1; }, 20000));
    EXPECT_EQ(titles(again.items()), expectedOrder);
    EXPECT_EQ(again.lastFilesRead(), 0);
    EXPECT_EQ(changed.count(), 1); // the index; the walk found the same

    // One song retagged, one removed, one added: only two files are read.
    ASSERT_TRUE(SongFixtures::writeM4a(c.folder + "/alpha/b-side.m4a", tags("B-Side Remix", "alpha")));
    ASSERT_TRUE(QFile::remove(c.folder + "/untagged.wav"));
    ASSERT_TRUE(
        SongFixtures::writeMp3(c.folder + "/new.mp3", SongFixtures::Tagging::Id3v24, tags("Aardvark", "Alpha")));
    again.refresh();
    ASSERT_TRUE(waitUntil([&] { return finished.count() == 2; }, 20000));
    EXPECT_EQ(again.lastFilesRead(), 2);
    EXPECT_EQ(titles(again.items()),
              QStringList(
                  {"Aardvark", "Anthem", "B-Side Remix", "Song 9", "Song 10", "Bought", "Morning", "broken.mp3"}));

    // An index for another folder, or a damaged one, is not used.
    EXPECT_FALSE(MediaLibrary::readIndex(MediaLibrary::indexPath(), c.folder + "/alpha"));
    QFile index(MediaLibrary::indexPath());
    ASSERT_TRUE(index.open(QIODevice::ReadWrite));
    index.resize(index.size() / 2);
    index.close();
    EXPECT_FALSE(MediaLibrary::readIndex(MediaLibrary::indexPath(), c.folder));
}

TEST(MediaLibrary, AMissingFolderIsAnEmptyLibrary)
{
    TestHome home;
    MediaLibrary library;
    library.setFolder(home.path() + "/nowhere");
    QSignalSpy finished(&library, &MediaLibrary::scanFinished);
    library.refresh();
    ASSERT_TRUE(waitUntil([&] { return finished.count() == 1; }));
    EXPECT_TRUE(library.isLoaded());
    EXPECT_TRUE(library.items().isEmpty());
}

struct PickerDelegate : MediaPickerControllerDelegate
{
    void mediaPickerDidPickMediaItems(MediaPickerController *, const QList<MediaItem> &items) override
    {
        picked.append(titles(items));
    }
    void mediaPickerDidCancel(MediaPickerController *) override { ++cancelled; }
    QList<QStringList> picked;
    int cancelled = 0;
};

// The picker over the collection, laid over a window of its own, with its songs read.
struct OpenPicker
{
    explicit OpenPicker(bool multiple)
    {
        window.makeKeyAndVisible();
        library.setFolder(c.folder);
        picker.setDelegate(&delegate);
        picker.setAllowsPickingMultipleItems(multiple);
        picker.present();
    }
    bool loaded()
    {
        return waitUntil([&] { return picker.shownItems().size() == 8; }, 20000);
    }
    Collection c;
    Window window;
    MediaLibrary library;
    MediaPickerController picker{library};
    PickerDelegate delegate;
};

QAccessible::State stateOfRow(TableView *table, int row)
{
    TableViewCell *cell = table->cellForRowAtIndexPath({0, row});
    QAccessibleInterface *face = cell ? QAccessible::queryAccessibleInterface(cell) : nullptr;
    return face ? face->state() : QAccessible::State();
}

TEST(MediaPicker, ShowsTheLibrarySortedSearchesAndPicksSeveralSongs)
{
    OpenPicker open(true);
    MediaPickerController &picker = open.picker;
    PickerDelegate &delegate = open.delegate;
    picker.setPrompt(QStringLiteral("Pick songs"));
    ASSERT_TRUE(picker.isOnScreen());
    EXPECT_EQ(picker.promptLabel()->text(), QStringLiteral("Pick songs"));
    EXPECT_FALSE(picker.statusText().isEmpty()); // reading
    ASSERT_TRUE(open.loaded());
    EXPECT_EQ(titles(picker.shownItems()), expectedOrder);
    EXPECT_TRUE(picker.statusText().isEmpty());

    // Rows are list items named by title and described by artist and album; a tap checks one.
    TableView *table = picker.tableView();
    TableViewCell *first = table->cellForRowAtIndexPath({0, 0});
    ASSERT_TRUE(first);
    EXPECT_EQ(first->textLabel()->text(), QStringLiteral("Anthem"));
    EXPECT_EQ(first->detailTextLabel()->text(), QStringLiteral("Alpha – First"));
    table->activateRow({0, 5}); // Morning
    table->activateRow({0, 0}); // Anthem
    table->activateRow({0, 1}); // b-side
    table->activateRow({0, 1}); // b-side again: unchecked
    EXPECT_TRUE(stateOfRow(table, 0).checked);
    EXPECT_FALSE(stateOfRow(table, 1).checked);
    EXPECT_TRUE(stateOfRow(table, 5).checked);

    // The search narrows the rows; what was picked stays picked.
    picker.setSearchText(QStringLiteral("MIDDLE"));
    EXPECT_EQ(titles(picker.shownItems()), QStringList({"Song 9", "Song 10"}));
    table->activateRow({0, 1}); // Song 10
    picker.setSearchText(QStringLiteral("no such song"));
    EXPECT_TRUE(picker.shownItems().isEmpty());
    EXPECT_FALSE(picker.statusText().isEmpty());
    picker.setSearchText(QString());
    EXPECT_EQ(picker.shownItems().size(), 8);

    // Done hands over the picks in the list's order.
    picker.navigationBar()->rightButton()->click();
    ASSERT_EQ(delegate.picked.size(), 1);
    EXPECT_EQ(delegate.picked.first(), QStringList({"Anthem", "Song 10", "Morning"}));
    picker.navigationBar()->leftButton()->click();
    EXPECT_EQ(delegate.cancelled, 1);
    EXPECT_TRUE(picker.escapePressed());
    EXPECT_EQ(delegate.cancelled, 2);
    picker.dismiss();
    EXPECT_FALSE(picker.isOnScreen());
}

TEST(MediaPicker, WithoutMultipleSelectionATapPicksOneSong)
{
    OpenPicker open(false);
    ASSERT_TRUE(open.loaded());
    open.picker.tableView()->activateRow({0, 2});
    ASSERT_EQ(open.delegate.picked.size(), 1);
    EXPECT_EQ(open.delegate.picked.first(), QStringList({"Song 9"}));
}

} // namespace
