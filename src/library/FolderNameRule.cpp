#include "FolderNameRule.h"

#include "ZivoModel.h"

FolderNameRule::Refusal FolderNameRule::check(const QString &name)
{
    if (name.isEmpty())
        return Refusal::Empty;
    if (name == QLatin1String("Documents") || name == QLatin1String("documents") || ZivoModel::isHiddenName(name)
        || name.startsWith(QLatin1String("___")) || name.startsWith(QLatin1Char('.')))
        return Refusal::Invalid;
    for (const QChar c : name) {
        // Control characters include the line and paragraph separators' neighbours: C0, DEL
        // and C1; U+2028/U+2029 would break the list's one-line rows as well.
        if (c == QLatin1Char('/') || c.category() == QChar::Other_Control || c == QChar(0x2028) || c == QChar(0x2029))
            return Refusal::Invalid;
    }
    return Refusal::None;
}
