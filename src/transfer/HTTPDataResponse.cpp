#include "transfer/HTTPDataResponse.h"

HTTPDataResponse::HTTPDataResponse(const QByteArray &data, int status) : m_data(data), m_status(status)
{}

void HTTPDataResponse::setOffset(quint64 offset)
{
    m_offset = quint32(std::min<quint64>(offset, quint64(m_data.size())));
}

QByteArray HTTPDataResponse::readDataOfLength(qsizetype length)
{
    const qsizetype count = std::min<qsizetype>(length, m_data.size() - qsizetype(m_offset));
    if (count <= 0)
        return {};
    const QByteArray piece = QByteArray::fromRawData(m_data.constData() + m_offset, count);
    m_offset += quint32(count);
    return piece;
}
