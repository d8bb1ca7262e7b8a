#pragma once

#include "transfer/HTTPResponse.h"

// Bytes held in memory (the pages). Pieces are views of the buffer, not copies; the
// response outlives the writes that carry them.
class HTTPDataResponse : public HTTPResponse
{
public:
    explicit HTTPDataResponse(const QByteArray &data, int status = 200);

    QByteArray data() const { return m_data; }
    quint64 contentLength() const override { return quint64(m_data.size()); }
    quint64 offset() const override { return m_offset; }
    void setOffset(quint64 offset) override;
    QByteArray readDataOfLength(qsizetype length) override;
    int status() const override { return m_status; }

private:
    const QByteArray m_data;
    quint32 m_offset = 0;
    const int m_status;
};
