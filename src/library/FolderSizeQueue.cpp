#include "FolderSizeQueue.h"

#include "ZivoModel.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

const QString FolderSizeQueue::queueLabel = QStringLiteral("FileManagerCellQueue");

FolderSizeQueue::FolderSizeQueue(QObject *parent) : QObject(parent)
{}

FolderSizeQueue::~FolderSizeQueue()
{
    // Work still queued sees the new generation and does nothing; hand-offs already posted
    // go with this object.
    cancelAll();
}

void FolderSizeQueue::request(const QString &folder, const QStringList &fileNames)
{
    const quint64 generation = m_generation.load();
    const QString path = ZivoModel::getPathWithFolderName(folder);
    m_queue.async([this, generation, folder, path, fileNames] {
        if (generation != m_generation.load())
            return;
        const double bytes = m_summer(path, fileNames);
        QMetaObject::invokeMethod(
            this,
            [this, generation, folder, count = int(fileNames.size()), bytes] {
                if (generation == m_generation.load())
                    emit summed(folder, count, bytes);
            },
            Qt::QueuedConnection);
    });
}

void FolderSizeQueue::cancelAll()
{
    ++m_generation;
}

bool FolderSizeQueue::waitForIdle(int msecs)
{
    return m_queue.waitForIdle(msecs);
}

double FolderSizeQueue::sumOfSizes(const QString &folderPath, const QStringList &fileNames)
{
    // Each name looked up in the folder once opened, not through the whole path again.
    const int folder = ::open(QFile::encodeName(folderPath).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return 0;
    double total = 0;
    struct stat info;
    for (const QString &name : fileNames) {
        // A name is one entry of the folder: anything with a separator is none of its songs.
        if (name.contains(QLatin1Char('/')))
            continue;
        if (::fstatat(folder, QFile::encodeName(name).constData(), &info, 0) == 0 && S_ISREG(info.st_mode))
            total += double(info.st_size);
    }
    ::close(folder);
    return total;
}
