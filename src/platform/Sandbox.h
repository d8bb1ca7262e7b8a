#pragma once

#include <QString>

// The program's home: the songs (Documents), the caches folder and the settings folder.
// By default they follow the XDG base directories; setHome() puts all three under one
// folder (Documents, Caches, Preferences), for portable use and for tests.
class Sandbox
{
public:
    Sandbox() = delete;

    static void setHome(const QString &dir);
    static void useStandardLocations();

    static QString documentsPath();
    static QString cachesPath();
    static QString preferencesPath();
    static QString settingsFilePath();

    // Creates the three folders where they are missing. False if one cannot be made.
    static bool createFolders();
};
