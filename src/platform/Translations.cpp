#include "Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QTranslator>

namespace {
const QString folder = QStringLiteral(":/i18n");

QTranslator *&current()
{
    static QTranslator *translator = nullptr;
    return translator;
}
} // namespace

QStringList Translations::available()
{
    QStringList languages;
    for (const QString &file : QDir(folder).entryList({QStringLiteral("orbo_*.qm")}))
        languages << file.mid(5, file.size() - 8);
    return languages;
}

bool Translations::install(const QLocale &locale)
{
    auto *translator = new QTranslator;
    const bool loaded = translator->load(locale, QStringLiteral("orbo"), QStringLiteral("_"), folder)
        || translator->load(QStringLiteral("orbo_en"), folder);
    if (QTranslator *old = current()) {
        QCoreApplication::removeTranslator(old);
        delete old;
    }
    current() = nullptr;
    if (!loaded) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    current() = translator;
    return true;
}

void Translations::uninstall()
{
    if (QTranslator *old = current()) {
        QCoreApplication::removeTranslator(old);
        delete old;
    }
    current() = nullptr;
}

QString Translations::text(const char *key)
{
    return QCoreApplication::translate("Orbo", key);
}
