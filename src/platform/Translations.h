#pragma once

#include <QLocale>

class QTranslator;

// Loads the program's string tables (compiled Qt Linguist files in the resources): the
// table of the locale's language when there is one, English otherwise. A key without a
// translation shows as the key itself.
class Translations
{
public:
    Translations() = delete;

    // Replaces the installed table; false when no table fits (the keys then show as they are).
    static bool install(const QLocale &locale = QLocale::system());
    // Takes the table away again: every key shows as itself.
    static void uninstall();
    // The languages that have a table ("en", "ko").
    static QStringList available();
    // The text for a key of the program's table, or the key itself.
    static QString text(const char *key);
};
