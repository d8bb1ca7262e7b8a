#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>

#include <functional>

// A streaming reader of multipart/form-data bodies. The delimiter is the body's first
// line; each part's header block is handed over whole, its content piece by piece as
// it arrives, without ever holding more than one chunk and a delimiter's length.
class MultipartParser
{
public:
    struct PartHeader
    {
        QList<QPair<QByteArray, QByteArray>> fields;
        QByteArray name; // the Content-Disposition "name"
        QByteArray filename; // its "filename", when hasFilename
        bool hasFilename = false;
    };

    std::function<void(const PartHeader &)> onPartBegin;
    std::function<void(QByteArrayView)> onPartData;
    std::function<void()> onPartEnd;

    // False once the body cannot be multipart (the parser then ignores the rest).
    bool feed(QByteArrayView chunk);
    // True when the closing delimiter has been seen.
    bool isComplete() const { return m_state == State::Done; }
    bool hasFailed() const { return m_state == State::Failed; }

    static bool parseHeaderBlock(QByteArrayView block, PartHeader *header);

private:
    enum class State { FirstLine, Headers, Body, AfterDelimiter, Done, Failed };
    bool step();

    State m_state = State::FirstLine;
    QByteArray m_buffer;
    QByteArray m_delimiter; // CRLF + the first line
};
