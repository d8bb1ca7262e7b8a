#include "transfer/HTTPFileResponse.h"

HTTPFileResponse::HTTPFileResponse(const QString &filePath)
    : m_filePath(filePath)
    , m_file(filePath)
{
    m_file.open(QIODevice::ReadOnly);
}

quint64 HTTPFileResponse::contentLength() const
{
    return m_file.isOpen() ? quint64(m_file.size()) : 0;
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
    return m_file.isOpen() ? m_file.read(length) : QByteArray();
}
