#include "transfer/HTTPFileResponse.h"

#include "platform/FileManager.h"

HTTPFileResponse::HTTPFileResponse(const QString &filePath) : m_filePath(filePath)
{
    // Unbuffered: each read goes straight into the piece that is sent, without a second copy.
    if (FileManager::openFile(m_file, filePath, QIODevice::ReadOnly | QIODevice::Unbuffered))
        m_size = quint64(m_file.size());
}

quint64 HTTPFileResponse::contentLength() const
{
    return m_size;
}

quint64 HTTPFileResponse::offset() const
{
    return m_file.isOpen() ? quint64(m_file.pos()) : 0;
}

void HTTPFileResponse::setOffset(quint64 offset)
{
    if (m_file.isOpen())
        m_file.seek(qint64(offset));
}

QByteArray HTTPFileResponse::readDataOfLength(qsizetype length)
{
    if (!m_file.isOpen())
        return {};
    // Never past the length that was announced (a file that grows meanwhile must not
    // spill into the next response); a small file is not read into a chunk-sized buffer,
    // and at the end no read is needed to learn that nothing is left.
    const quint64 position = quint64(m_file.pos());
    if (position >= m_size || length <= 0)
        return {};
    return m_file.read(qsizetype(std::min<quint64>(quint64(length), m_size - position)));
}
