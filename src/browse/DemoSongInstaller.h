#pragma once

#include <QString>
#include <QStringList>

// The demo songs that come with the program: five folders of one song each, and five
// playlists that hold all five songs. Until the user accepts them, the all-songs list
// offers them each time it appears.
class DemoSongInstaller
{
public:
    DemoSongInstaller() = delete;

    // "Orbo_folder1" ... "Orbo_folder5": the folders under the installed "sampleMp3" and,
    // once installed, in Documents.
    static QStringList folderNames();
    // The five songs as playlist entries ("Orbo_folder1/Orbo_01-CountryMan.mp3", ...).
    static QStringList playlistEntries();
    // "Orbo PlayList1" ... "Orbo PlayList5".
    static QStringList playlistNames();

    // True until the demo songs were installed once (the settings store has no
    // demoMusicCopyKey).
    static bool isOfferDue();

    // Copies each demo folder of sampleRoot into Documents (a name already taken keeps what
    // is there) and marks what it copied as not to be backed up; adds the five demo
    // playlists, replacing playlists of the same names and keeping every other one; marks
    // the demo songs as installed and flushes the settings store.
    static void install(const QString &sampleRoot);
    // The same from the program's own "sampleMp3".
    static void install();
};
