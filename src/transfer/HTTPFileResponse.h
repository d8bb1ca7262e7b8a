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

private:
    const QString m_filePath;
    QFile m_file;
    quint64 m_size = 0; // taken once, when the file is opened
};
