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
    return m_offset;
}

// Only remembered: a body sent straight from the descriptor never moves the file position,
// and a read seeks when it must.
void HTTPFileResponse::setOffset(quint64 offset)
{
    m_offset = offset;
}

QByteArray HTTPFileResponse::readDataOfLength(qsizetype length)
{
    if (!m_file.isOpen())
        return {};
    // Never past the length that was announced (a file that grows meanwhile must not
    // spill into the next response); a small file is not read into a chunk-sized buffer,
    // and at the end no read is needed to learn that nothing is left.
    if (m_offset >= m_size || length <= 0)
        return {};
    if (quint64(m_file.pos()) != m_offset && !m_file.seek(qint64(m_offset)))
        return {};
    const QByteArray data = m_file.read(qsizetype(std::min<quint64>(quint64(length), m_size - m_offset)));
    m_offset += quint64(data.size());
    return data;
}
