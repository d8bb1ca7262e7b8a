#include "PropertyList.h"

#include "Date.h"

#include <QStringList>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>

namespace {

bool isIntegerType(int typeId)
{
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

// XML 1.0 cannot carry most control characters or unpaired surrogates; text holding
// them is written as base64 instead (writeText), so the file always reads back.
bool isXmlText(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
            return false;
        if (c == 0xFFFE || c == 0xFFFF)
            return false;
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 >= text.size() || !QChar::isLowSurrogate(text.at(i + 1).unicode()))
                return false;
            ++i;
        } else if (QChar::isLowSurrogate(c)) {
            return false;
        }
    }
    return true;
}

// Writes the XML text straight into UTF-8 bytes, indented one blank per level. Text
// elements are escaped here; a raw carriage return would be read back as a line feed, so
// it goes in as a character reference. (Qt's stream writer spent most of a large store's
// save time on its per-call overhead: a store of 50,000 playlist entries took 23 ms.)
class Writer
{
public:
    QByteArray take() { return std::move(m_out); }

    void raw(const char *text) { m_out += text; }
    void open(const char *tag, const char *attributes = nullptr)
    {
        newLine();
        m_out += '<';
        m_out += tag;
        if (attributes) {
            m_out += ' ';
            m_out += attributes;
        }
        m_out += '>';
        ++m_depth;
    }
    void close(const char *tag)
    {
        --m_depth;
        newLine();
        m_out += "</";
        m_out += tag;
        m_out += '>';
    }
    void empty(const char *tag)
    {
        newLine();
        m_out += '<';
        m_out += tag;
        m_out += "/>";
    }
    // <tag attributes>text</tag> on a line of its own.
    void element(const char *tag, const QString &text, const char *attributes = nullptr)
    {
        newLine();
        m_out += '<';
        m_out += tag;
        if (attributes) {
            m_out += ' ';
            m_out += attributes;
        }
        m_out += '>';
        escaped(text);
        m_out += "</";
        m_out += tag;
        m_out += '>';
    }

private:
    void newLine()
    {
        m_out += '\n';
        m_out.append(m_depth, ' ');
    }
    void escaped(const QString &text)
    {
        const QStringView view(text);
        qsizetype start = 0;
        for (qsizetype i = 0; i < view.size(); ++i) {
            const char *entity = nullptr;
            switch (view[i].unicode()) {
            case u'&':
                entity = "&amp;";
                break;
            case u'<':
                entity = "&lt;";
                break;
            case u'>':
                entity = "&gt;";
                break;
            case u'\r':
                entity = "&#13;";
                break;
            default:
                continue;
            }
            m_out += view.mid(start, i - start).toUtf8();
            m_out += entity;
            start = i + 1;
        }
        m_out += view.mid(start).toUtf8();
    }

    QByteArray m_out;
    int m_depth = 0;
};

// Text that XML cannot carry (control characters, unpaired surrogates: legacy tag text
// holds such bytes, ISO-2022 escapes for one; a folder name may too, and it becomes a key)
// goes in as base64 of its UTF-16 code units.
void writeText(Writer &xml, const char *tag, const QString &text)
{
    if (isXmlText(text)) {
        xml.element(tag, text);
        return;
    }
    QByteArray units;
    units.reserve(text.size() * 2);
    for (QChar c : text) {
        units.append(char(c.unicode() >> 8));
        units.append(char(c.unicode() & 0xFF));
    }
    xml.element(tag, QString::fromLatin1(units.toBase64()), "encoding=\"base64-utf16be\"");
}

bool writeValue(Writer &xml, const QVariant &value)
{
    const int type = value.typeId();
    if (type == QMetaType::QString) {
        writeText(xml, "string", value.toString());
    } else if (type == QMetaType::Bool) {
        xml.empty(value.toBool() ? "true" : "false");
    } else if (isIntegerType(type)) {
        const QString text = type == QMetaType::ULongLong || type == QMetaType::ULong
            ? QString::number(value.toULongLong())
            : QString::number(value.toLongLong());
        xml.element("integer", text);
    } else if (type == QMetaType::Double || type == QMetaType::Float) {
        const double d = value.toDouble();
        if (!std::isfinite(d))
            return false;
        xml.element("real", QString::number(d, 'g', 17));
    } else if (type == QMetaType::fromType<Date>().id()) {
        xml.element("date", value.value<Date>().toIsoString());
    } else if (type == QMetaType::QByteArray) {
        xml.element("data", QString::fromLatin1(value.toByteArray().toBase64()));
    } else if (type == QMetaType::QStringList) {
        const QStringList list = value.toStringList();
        if (list.isEmpty()) {
            xml.empty("array");
            return true;
        }
        xml.open("array");
        for (const QString &item : list)
            writeText(xml, "string", item);
        xml.close("array");
    } else if (type == QMetaType::QVariantList) {
        const QVariantList list = value.toList();
        if (list.isEmpty()) {
            xml.empty("array");
            return true;
        }
        xml.open("array");
        for (const QVariant &item : list)
            if (!writeValue(xml, item))
                return false;
        xml.close("array");
    } else if (type == QMetaType::QVariantMap) {
        const QVariantMap map = value.toMap();
        if (map.isEmpty()) {
            xml.empty("dict");
            return true;
        }
        xml.open("dict");
        for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
            writeText(xml, "key", it.key());
            if (!writeValue(xml, it.value()))
                return false;
        }
        xml.close("dict");
    } else {
        return false;
    }
    return true;
}

// Base64 with nothing but its own characters and padding. A final group of one character
// carries no whole byte: the text was cut or damaged, and is refused like any other damage.
std::optional<QByteArray> base64Decoded(const QString &text)
{
    // Other writers wrap base64 over lines and indent it.
    QByteArray encoded = text.toLatin1();
    encoded.removeIf([](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; });
    auto decoded = QByteArray::fromBase64Encoding(encoded, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || encoded.size() % 4 == 1)
        return std::nullopt;
    return decoded.decoded;
}

class Reader
{
public:
    explicit Reader(const QByteArray &data) : m_xml(data) {}

    std::optional<QVariant> readDocument(QString *error, QStringList *skipped)
    {
        std::optional<QVariant> root;
        if (nextElement() && m_xml.name() == QLatin1String("plist") && nextElement()) {
            root = readValue();
            if (!root)
                fail(QStringLiteral("the top-level value cannot be read"));
        } else {
            fail(QStringLiteral("no <plist> element with a value"));
        }
        // Nothing but the closing tags may follow the root value.
        if (root) {
            while (!m_xml.atEnd()) {
                m_xml.readNext();
                if (m_xml.isStartElement() || (m_xml.isCharacters() && !m_xml.isWhitespace())) {
                    fail(QStringLiteral("unexpected content after the root value"));
                    root.reset();
                    break;
                }
            }
        }
        if (root && m_xml.hasError()) {
            fail(m_xml.errorString());
            root.reset();
        }
        if (!root && error)
            *error = m_error.isEmpty() ? m_xml.errorString() : m_error;
        if (skipped)
            *skipped = root ? m_skipped : QStringList();
        return root;
    }

private:
    // Advances to the next start element; false at an end element or the end of input.
    bool nextElement()
    {
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (m_xml.isStartElement())
                return true;
            if (m_xml.isEndElement())
                return false;
            if (m_xml.isCharacters() && !m_xml.isWhitespace()) {
                fail(QStringLiteral("stray text"));
                return false;
            }
        }
        return false;
    }

    void fail(const QString &message)
    {
        if (m_error.isEmpty())
            m_error = QStringLiteral("line %1: %2").arg(m_xml.lineNumber()).arg(message);
    }

    // A value this store cannot hold: it is left out and the reading goes on.
    void skip(const QString &message)
    {
        m_skipped.append(QStringLiteral("line %1: %2").arg(m_xml.lineNumber()).arg(message));
    }

    // Left out with skip() or refused with fail()?
    bool failed() const { return !m_error.isEmpty() || m_xml.hasError(); }

    static bool isScalarTag(const QString &tag)
    {
        for (const char *known : {"string", "integer", "real", "date", "data"})
            if (tag == QLatin1String(known))
                return true;
        return false;
    }

    // Base64 as other writers wrap it: over several lines, indented.
    // Called with the reader on a start element; leaves it on that element's end. Nothing
    // either when the document is damaged (failed()) or when only this value cannot be
    // held (an integer beyond 64 bits, a real beyond double, a date outside the nanosecond
    // range, an element no property list has): then it is skipped.
    std::optional<QVariant> readValue()
    {
        const QString tag = m_xml.name().toString();
        const QString encoding = m_xml.attributes().value(QLatin1String("encoding")).toString();
        if (tag == QLatin1String("dict"))
            return readDict();
        if (tag == QLatin1String("array"))
            return readArray();
        if (tag == QLatin1String("true") || tag == QLatin1String("false")) {
            m_xml.skipCurrentElement();
            return QVariant(tag == QLatin1String("true"));
        }
        if (!isScalarTag(tag)) {
            skip(QStringLiteral("unknown element <%1>").arg(tag));
            m_xml.skipCurrentElement();
            return std::nullopt;
        }
        const QString text = m_xml.readElementText();
        if (m_xml.hasError())
            return std::nullopt;
        bool ok = false;
        if (tag == QLatin1String("string")) {
            if (auto decoded = decodedText(text, encoding))
                return QVariant(*decoded);
        } else if (tag == QLatin1String("integer")) {
            const qlonglong n = text.trimmed().toLongLong(&ok);
            if (ok)
                return QVariant(n);
            const qulonglong u = text.trimmed().toULongLong(&ok);
            if (ok)
                return QVariant(u);
        } else if (tag == QLatin1String("real")) {
            // Infinities and NaN could not be written back either.
            const double d = text.trimmed().toDouble(&ok);
            if (ok && std::isfinite(d))
                return QVariant(d);
        } else if (tag == QLatin1String("date")) {
            if (auto date = Date::fromIsoString(text))
                return QVariant::fromValue(*date);
        } else if (tag == QLatin1String("data")) {
            if (auto decoded = base64Decoded(text))
                return QVariant(*decoded);
        }
        skip(QStringLiteral("<%1> value \"%2\" cannot be represented").arg(tag, text.trimmed().left(64)));
        return std::nullopt;
    }

    // The text of a <string> or <key>, written plainly or, when XML cannot carry it, as base64.
    static std::optional<QString> decodedText(const QString &text, const QString &encoding)
    {
        if (encoding.isEmpty())
            return text;
        if (encoding != QLatin1String("base64-utf16be"))
            return std::nullopt;
        const std::optional<QByteArray> units = base64Decoded(text);
        if (!units || units->size() % 2 != 0)
            return std::nullopt;
        QString decoded(units->size() / 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < decoded.size(); ++i)
            decoded[i] = QChar(char16_t((uchar(units->at(2 * i)) << 8) | uchar(units->at(2 * i + 1))));
        return decoded;
    }

    std::optional<QVariant> readArray()
    {
        QVariantList list;
        while (nextElement()) {
            auto item = readValue();
            if (item)
                list.append(*item);
            else if (failed())
                return std::nullopt;
        }
        if (!m_error.isEmpty() || m_xml.hasError())
            return std::nullopt;
        return QVariant(list);
    }

    std::optional<QVariant> readDict()
    {
        QVariantMap map;
        while (nextElement()) {
            if (m_xml.name() != QLatin1String("key")) {
                fail(QStringLiteral("<key> expected in <dict>"));
                return std::nullopt;
            }
            const QString encoding = m_xml.attributes().value(QLatin1String("encoding")).toString();
            const std::optional<QString> key = decodedText(m_xml.readElementText(), encoding);
            if (!key || m_xml.hasError()) {
                fail(QStringLiteral("bad <key>"));
                return std::nullopt;
            }
            if (!nextElement()) {
                fail(QStringLiteral("value missing for key \"%1\"").arg(*key));
                return std::nullopt;
            }
            auto value = readValue();
            if (value)
                map.insert(*key, *value);
            else if (failed())
                return std::nullopt;
            else
                m_skipped.last() += QStringLiteral(" (key \"%1\")").arg(*key);
        }
        if (!m_error.isEmpty() || m_xml.hasError())
            return std::nullopt;
        return QVariant(map);
    }

    QXmlStreamReader m_xml;
    QString m_error;
    QStringList m_skipped;
};

} // namespace

bool PropertyList::isPropertyList(const QVariant &value)
{
    const int type = value.typeId();
    if (type == QMetaType::QString || type == QMetaType::QStringList)
        return true;
    if (type == QMetaType::QVariantList) {
        const QVariantList list = value.toList();
        return std::all_of(list.cbegin(), list.cend(), isPropertyList);
    }
    if (type == QMetaType::QVariantMap) {
        const QVariantMap map = value.toMap();
        for (auto it = map.constBegin(); it != map.constEnd(); ++it)
            if (!isPropertyList(it.value()))
                return false;
        return true;
    }
    if (type == QMetaType::Double || type == QMetaType::Float)
        return std::isfinite(value.toDouble());
    return type == QMetaType::Bool || isIntegerType(type) || type == QMetaType::QByteArray
        || type == QMetaType::fromType<Date>().id();
}

std::optional<QByteArray> PropertyList::toXml(const QVariant &root)
{
    Writer xml;
    xml.raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
            "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">");
    xml.open("plist", "version=\"1.0\"");
    if (!writeValue(xml, root))
        return std::nullopt;
    xml.close("plist");
    xml.raw("\n");
    return xml.take();
}

std::optional<QVariant> PropertyList::fromXml(const QByteArray &xml, QString *error, QStringList *skipped)
{
    return Reader(xml).readDocument(error, skipped);
}
