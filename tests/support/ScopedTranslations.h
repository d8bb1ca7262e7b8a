#pragma once

#include "platform/Translations.h"

#include <QLocale>

// The string tables of a language for one test; the tests after it see the keys again.
class ScopedTranslations
{
public:
    explicit ScopedTranslations(const QLocale &locale) { m_installed = Translations::install(locale); }
    ~ScopedTranslations() { Translations::uninstall(); }
    bool installed() const { return m_installed; }

private:
    bool m_installed = false;
};
