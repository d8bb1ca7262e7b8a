#pragma once

#include "transfer/HTTPResponse.h"

#include <QFile>
#include <QString>

// A file's contents, read from an open handle as they are sent.
class HTTPFileResponse : public HTTPResponse
{
public:
    explicit HTTPFileResponse(const QString &filePath);

    QString filePath() const { return m_filePath; }
    // 0 when the file cannot be opened (the connection then answers 404).
    quint64 contentLength() const override;
    quint64 offset() const override;
    void setOffset(quint64 offset) override;
    QByteArray readDataOfLength(qsizetype length) override;
    int fileDescriptor() const override { return m_file.isOpen() ? m_file.handle() : -1; }
    QList<QPair<QByteArray, QByteArray>> httpHeaders() const override { return m_headers; }
    // Extra header fields sent with the file.
    void addHeaderField(const QByteArray &name, const QByteArray &value) { m_headers.append({name, value}); }

private:
    const QString m_filePath;
    QFile m_file;
    quint64 m_size = 0; // taken once, when the file is opened
    quint64 m_offset = 0;
    QList<QPair<QByteArray, QByteArray>> m_headers;
};
