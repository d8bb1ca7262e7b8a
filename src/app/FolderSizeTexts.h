#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

class FolderSizeQueue;

// The detail texts of folder rows that show a folder's number of songs and their size:
// "0Files" at once for an empty folder, "Loading information ..." while the sum is made
// on the folder-size queue (asked for once per folder), then "%d%@ %@". A screen asks for
// a row's text as it builds the row, and writes a finished text into the rows that show
// that folder when textReady comes: a row reused for another folder meanwhile keeps its own.
class FolderSizeTexts : public QObject
{
    Q_OBJECT
public:
    explicit FolderSizeTexts(QObject *parent = nullptr);

    FolderSizeQueue &queue() const { return *m_queue; }

    QString textFor(const QString &folder, const QStringList &songs);
    // Drops the finished texts and the sums still to come (a new listing, or the screen has gone).
    void forget();

signals:
    void textReady(const QString &folder, const QString &text);

private:
    void summed(const QString &folder, int fileCount, double bytes);

    FolderSizeQueue *m_queue;
    QHash<QString, QString> m_texts;
    QSet<QString> m_asked;
};
