#include "FolderSizeTexts.h"

#include "Util.h"
#include "library/FolderSizeQueue.h"
#include "platform/Translations.h"

FolderSizeTexts::FolderSizeTexts(QObject *parent) : QObject(parent), m_queue(new FolderSizeQueue(this))
{
    connect(m_queue, &FolderSizeQueue::summed, this, &FolderSizeTexts::summed);
}

QString FolderSizeTexts::textFor(const QString &folder, const QStringList &songs)
{
    if (songs.isEmpty())
        return QStringLiteral("0%1").arg(Translations::text("Files"));
    if (const auto known = m_texts.constFind(folder); known != m_texts.constEnd())
        return *known;
    if (!m_asked.contains(folder)) {
        m_asked.insert(folder);
        m_queue->request(folder, songs);
    }
    return Translations::text("Loading information ...");
}

void FolderSizeTexts::forget()
{
    m_queue->cancelAll();
    m_texts.clear();
    m_asked.clear();
}

void FolderSizeTexts::summed(const QString &folder, int fileCount, double bytes)
{
    // A sum asked for before the last forget() belongs to a listing that is gone.
    if (!m_asked.remove(folder))
        return;
    const QString text =
        QStringLiteral("%1%2 %3").arg(fileCount).arg(Translations::text("Files"), Util::getByteStr(bytes));
    m_texts.insert(folder, text);
    emit textReady(folder, text);
}
