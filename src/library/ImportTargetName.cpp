#include "ImportTargetName.h"

#include <QFile>
#include <QFileInfo>
#include <QTextBoundaryFinder>

namespace {

bool isUnsafe(QChar c)
{
    return c == QLatin1Char('/') || c.category() == QChar::Other_Control;
}

// "/" and control characters become "_"; a lone surrogate (text that is not Unicode)
// becomes the replacement character, which every file system can store.
QString replaceUnsafe(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += c;
            out += text.at(++i);
        } else if (c.isSurrogate()) {
            out += QChar::ReplacementCharacter;
        } else {
            out += isUnsafe(c) ? QLatin1Char('_') : c;
        }
    }
    return out;
}

bool isTrimmed(QChar c)
{
    return c == QLatin1Char('.') || c.isSpace();
}

QString trimEnds(QString text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && isTrimmed(text.at(begin)))
        ++begin;
    while (end > begin && isTrimmed(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

qsizetype fileSystemBytes(const QString &name)
{
    return QFile::encodeName(name).size();
}

// The longest start of the text, cut between two characters as the user sees them
// (never inside a surrogate pair or before a combining mark), that fits the bytes.
QString shortened(const QString &text, qsizetype maxBytes)
{
    if (fileSystemBytes(text) <= maxBytes)
        return text;
    // Every character takes a byte at least: nothing beyond maxBytes characters can fit.
    const QString head = text.left(maxBytes + 1);
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, head);
    qsizetype fits = 0;
    for (qsizetype at = graphemes.toNextBoundary(); at > 0; at = graphemes.toNextBoundary()) {
        if (fileSystemBytes(head.left(at)) > maxBytes)
            break;
        fits = at;
    }
    return head.left(fits);
}

} // namespace

QString ImportTargetName::fileName(const QString &title, const QString &artist, const QString &sourcePath)
{
    const QString extension = QLatin1Char('.') + QLatin1String(kExtension);
    QString shownTitle = title;
    if (trimEnds(replaceUnsafe(title)).isEmpty())
        shownTitle = QFileInfo(sourcePath).completeBaseName();
    QString stem = trimEnds(replaceUnsafe(QStringLiteral("%1-%2").arg(shownTitle, artist)));
    stem = trimEnds(shortened(stem, kMaxNameBytes - fileSystemBytes(extension)));
    if (stem.isEmpty())
        stem = QStringLiteral("-");
    return stem + extension;
}
