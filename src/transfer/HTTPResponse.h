#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

// What the connection needs of a response body: its length, a position, and the bytes
// from there on. Bodies are pulled piece by piece, so a response never has to fit in memory.
class HTTPResponse
{
public:
    virtual ~HTTPResponse() = default;
    virtual quint64 contentLength() const = 0;
    virtual quint64 offset() const = 0;
    virtual void setOffset(quint64 offset) = 0;
    // The next bytes, possibly fewer than asked; empty at the end.
    virtual QByteArray readDataOfLength(qsizetype length) = 0;
    // Extra header fields to send with the response.
    virtual QList<QPair<QByteArray, QByteArray>> httpHeaders() const { return {}; }
    // A body that explains a failure is sent with its own status (never ranged).
    virtual int status() const { return 200; }
    // A descriptor the body can be sent from directly, without reading it into memory
    // (a file's contents, positioned by offset()); -1 when it must be read piece by piece.
    virtual int fileDescriptor() const { return -1; }
};
