#include "transfer/UploadNames.h"

#include "library/ZivoModel.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

#include <sys/stat.h>

std::optional<QString> UploadNames::decode(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return std::nullopt;
    return text;
}

QString UploadNames::fileName(const QString &sent)
{
    // "\\server\share" arrives as "\server\share" once its quoted string is read.
    static const QRegularExpression windowsPath(QStringLiteral("^(?:[A-Za-z]:)?\\\\"));
    QString name = sent;
    if (windowsPath.match(name).hasMatch())
        name = name.mid(name.lastIndexOf(QLatin1Char('\\')) + 1);
    name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    // Checked before trimming: trimming would take a C1 "next line" for white space.
    if (!isPrintable(name))
        return {};
    name = name.trimmed();
    return isAllowedComponent(name) ? name : QString();
}

bool UploadNames::isPrintable(const QString &name)
{
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool control = u < 0x20 || (u >= 0x7f && u <= 0x9f);
        // Overrides and isolates make a name read differently from what it is ("gpj.mp3").
        const bool bidi = (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069);
        if (control || bidi)
            return false;
    }
    return true;
}

bool UploadNames::isAllowedComponent(const QString &name)
{
    return !name.isEmpty() && !name.startsWith(QLatin1Char('.')) && name.toUtf8().size() <= 255
        && !name.contains(QLatin1Char('/')) && isPrintable(name) && !ZivoModel::isHiddenName(name);
}

UploadNames::Folder UploadNames::folder(const QString &root, const QString &value)
{
    if (!isPrintable(value))
        return {{}, 400, QStringLiteral("The folder name \"%1\" is not allowed.").arg(value)};
    QString name = value.trimmed();
    while (name.startsWith(QLatin1Char('/')))
        name.remove(0, 1);
    while (name.endsWith(QLatin1Char('/')))
        name.chop(1);
    if (name.isEmpty())
        return {root, 0, {}};
    // "Documents" names the root everywhere in the library: a sub-folder of that name
    // could not be told from it.
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) || !isAllowedComponent(name)
        || name == QLatin1String("Documents"))
        return {{}, 400, QStringLiteral("The folder name \"%1\" is not allowed.").arg(value)};
    // The entry itself, not what a link points at: a linked folder would lead out of Documents.
    const QString path = root + QLatin1Char('/') + name;
    struct stat info
    {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return {{}, 404, QStringLiteral("The folder \"%1\" does not exist.").arg(name)};
    return {path, 0, {}};
}

QStringList UploadNames::uploadFolders(const QString &root)
{
    QStringList accepted;
    for (const QString &name : ZivoModel::listDirOnlyDir(root))
        if (name == name.trimmed() && folder(root, name).status == 0)
            accepted.append(name);
    return accepted;
}
