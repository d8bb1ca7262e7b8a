#include "transfer/MultipartParser.h"

namespace {
constexpr qsizetype kMaxDelimiterLine = 200; // boundaries are at most 70 characters
constexpr qsizetype kMaxHeaderBlock = 16 * 1024;

// The value of one parameter of a header ("name", "filename"), quoted or not.
bool parameter(QByteArrayView value, QByteArrayView key, QByteArray *out)
{
    qsizetype at = 0;
    while (at < value.size()) {
        // Next parameter starts after a ';'.
        const qsizetype semicolon = value.indexOf(';', at);
        if (semicolon < 0)
            return false;
        qsizetype start = semicolon + 1;
        while (start < value.size() && (value[start] == ' ' || value[start] == '\t'))
            ++start;
        const qsizetype equals = value.indexOf('=', start);
        if (equals < 0)
            return false;
        const QByteArrayView name = value.sliced(start, equals - start).trimmed();
        qsizetype cursor = equals + 1;
        QByteArray text;
        if (cursor < value.size() && value[cursor] == '"') {
            ++cursor;
            while (cursor < value.size() && value[cursor] != '"') {
                if (value[cursor] == '\\' && cursor + 1 < value.size()
                    && (value[cursor + 1] == '"' || value[cursor + 1] == '\\'))
                    ++cursor;
                text.append(value[cursor]);
                ++cursor;
            }
            ++cursor;
        } else {
            while (cursor < value.size() && value[cursor] != ';') {
                text.append(value[cursor]);
                ++cursor;
            }
            text = text.trimmed();
        }
        if (name.compare(key, Qt::CaseInsensitive) == 0) {
            *out = text;
            return true;
        }
        at = cursor;
    }
    return false;
}
} // namespace

bool MultipartParser::parseHeaderBlock(QByteArrayView block, PartHeader *header)
{
    qsizetype start = 0;
    while (start < block.size()) {
        qsizetype end = block.indexOf("\r\n", start);
        if (end < 0)
            end = block.size();
        const QByteArrayView line = block.sliced(start, end - start);
        start = end + 2;
        if (line.isEmpty())
            continue;
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return false;
        const QByteArray name = line.first(colon).trimmed().toByteArray();
        const QByteArray value = line.sliced(colon + 1).trimmed().toByteArray();
        header->fields.append({name, value});
        if (name.compare("Content-Disposition", Qt::CaseInsensitive) == 0) {
            parameter(value, "name", &header->name);
            header->hasFilename = parameter(value, "filename", &header->filename);
        }
    }
    return true;
}

bool MultipartParser::feed(QByteArrayView chunk)
{
    if (m_state == State::Failed)
        return false;
    if (m_state == State::Done)
        return true; // the epilogue is ignored
    m_buffer.append(chunk);
    while (step()) {}
    return m_state != State::Failed;
}

// One state transition on the buffered bytes; false when more input is needed.
bool MultipartParser::step()
{
    switch (m_state) {
    case State::FirstLine: {
        const qsizetype end = m_buffer.indexOf("\r\n");
        if (end < 0) {
            if (m_buffer.size() > kMaxDelimiterLine)
                m_state = State::Failed;
            return false;
        }
        QByteArray line = m_buffer.left(end);
        while (line.endsWith(' ') || line.endsWith('\t'))
            line.chop(1);
        if (end > kMaxDelimiterLine || line.size() < 3 || !line.startsWith("--")) {
            m_state = State::Failed;
            return false;
        }
        m_delimiter = "\r\n" + line;
        m_buffer.remove(0, end + 2);
        m_state = State::Headers;
        return true;
    }
    case State::Headers: {
        qsizetype end = -1;
        qsizetype skip = 0;
        if (m_buffer.startsWith("\r\n")) {
            end = 0; // a part without header fields
            skip = 2;
        } else {
            end = m_buffer.indexOf("\r\n\r\n");
            skip = 4;
        }
        if (end < 0) {
            if (m_buffer.size() > kMaxHeaderBlock)
                m_state = State::Failed;
            return false;
        }
        PartHeader header;
        if (!parseHeaderBlock(QByteArrayView(m_buffer).first(end), &header)) {
            m_state = State::Failed;
            return false;
        }
        m_buffer.remove(0, end + skip);
        m_state = State::Body;
        if (onPartBegin)
            onPartBegin(header);
        return true;
    }
    case State::Body: {
        const qsizetype at = m_buffer.indexOf(m_delimiter);
        if (at >= 0) {
            if (at > 0 && onPartData)
                onPartData(QByteArrayView(m_buffer).first(at));
            m_buffer.remove(0, at + m_delimiter.size());
            m_state = State::AfterDelimiter;
            if (onPartEnd)
                onPartEnd();
            return true;
        }
        // Everything but a possible start of the delimiter can go.
        const qsizetype safe = m_buffer.size() - (m_delimiter.size() - 1);
        if (safe > 0) {
            if (onPartData)
                onPartData(QByteArrayView(m_buffer).first(safe));
            m_buffer.remove(0, safe);
        }
        return false;
    }
    case State::AfterDelimiter: {
        qsizetype i = 0;
        while (i < m_buffer.size() && (m_buffer[i] == ' ' || m_buffer[i] == '\t'))
            ++i;
        if (m_buffer.size() - i < 2) {
            if (i > kMaxDelimiterLine)
                m_state = State::Failed;
            return false;
        }
        if (m_buffer[i] == '-' && m_buffer[i + 1] == '-') {
            m_state = State::Done;
            m_buffer.clear();
            return false;
        }
        if (m_buffer[i] == '\r' && m_buffer[i + 1] == '\n') {
            m_buffer.remove(0, i + 2);
            m_state = State::Headers;
            return true;
        }
        m_state = State::Failed;
        return false;
    }
    case State::Done:
    case State::Failed:
        return false;
    }
    return false;
}
