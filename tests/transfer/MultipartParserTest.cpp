#include "transfer/MultipartParser.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

// What a parser reported, in order: one entry per part, with its name, file name and
// the concatenation of its content pieces.
struct Events
{
    struct Part
    {
        QByteArray name;
        QByteArray filename;
        bool hasFilename = false;
        QByteArray content;
        bool ended = false;
    };
    QList<Part> parts;
    bool complete = false;
    bool failed = false;
};

// Feeds the body in pieces of the given size (0: all at once).
Events parse(const QByteArray &body, qsizetype pieceSize = 0)
{
    Events events;
    MultipartParser parser;
    parser.onPartBegin = [&](const MultipartParser::PartHeader &header) {
        events.parts.append({header.name, header.filename, header.hasFilename, {}, false});
    };
    parser.onPartData = [&](QByteArrayView data) {
        if (!events.parts.isEmpty())
            events.parts.last().content.append(data);
    };
    parser.onPartEnd = [&] {
        if (!events.parts.isEmpty())
            events.parts.last().ended = true;
    };
    const qsizetype step = pieceSize > 0 ? pieceSize : std::max<qsizetype>(body.size(), 1);
    for (qsizetype at = 0; at < body.size(); at += step)
        parser.feed(QByteArrayView(body).sliced(at, std::min(step, body.size() - at)));
    events.complete = parser.isComplete();
    events.failed = parser.hasFailed();
    return events;
}

QByteArray noise(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &c : bytes)
        c = char(QRandomGenerator::global()->bounded(256));
    return bytes;
}

// Contents that hold every prefix of the delimiter, so that each one ends up split
// across two pieces at some point when the body arrives a byte at a time.
QByteArray nearMisses(const QByteArray &boundary)
{
    const QByteArray delimiter = "\r\n--" + boundary;
    QByteArray content;
    for (qsizetype length = 1; length < delimiter.size(); ++length)
        content += delimiter.left(length) + '.'; // never a character of the delimiter
    return content + "\r\n-" + boundary + "\r\r\n\n--";
}

QByteArray form(const QByteArray &boundary, const QList<std::pair<QByteArray, QByteArray>> &parts)
{
    QByteArray body;
    for (const auto &[header, content] : parts)
        body += "--" + boundary + "\r\n" + header + "\r\n\r\n" + content + "\r\n";
    return body + "--" + boundary + "--\r\nepilogue";
}

void expectSame(const Events &a, const Events &b, const char *how)
{
    ASSERT_EQ(a.parts.size(), b.parts.size()) << how;
    for (qsizetype i = 0; i < a.parts.size(); ++i) {
        EXPECT_EQ(a.parts[i].name, b.parts[i].name) << how << " part " << i;
        EXPECT_EQ(a.parts[i].filename, b.parts[i].filename) << how << " part " << i;
        EXPECT_EQ(a.parts[i].content, b.parts[i].content) << how << " part " << i;
        EXPECT_EQ(a.parts[i].ended, b.parts[i].ended) << how << " part " << i;
    }
    EXPECT_EQ(a.complete, b.complete) << how;
}

TEST(MultipartParser, ABodyFedAByteAtATimeGivesThePartsOfTheWholeBody)
{
    const QByteArray boundary = "----OrboBoundaryQ7x";
    const QByteArray song = noise(3000) + nearMisses(boundary) + noise(500) + nearMisses(boundary);
    const QByteArray body = form(boundary,
                                 {{"Content-Disposition: form-data; name=\"folder\"", "Rock"},
                                  {"Content-Disposition: form-data; name=\"Filedata\"; "
                                   "filename=\"a \\\"b\\\".mp3\"\r\nContent-Type: audio/mpeg",
                                   song},
                                  {"Content-Disposition: form-data; name=\"empty\"", ""},
                                  {"Content-Disposition: form-data; name=\"tail\"", nearMisses(boundary)}});
    const Events whole = parse(body);
    ASSERT_TRUE(whole.complete);
    EXPECT_FALSE(whole.failed);
    ASSERT_EQ(whole.parts.size(), 4);
    EXPECT_EQ(whole.parts[0].name, "folder");
    EXPECT_EQ(whole.parts[0].content, "Rock");
    EXPECT_FALSE(whole.parts[0].hasFilename);
    EXPECT_EQ(whole.parts[1].filename, "a \"b\".mp3");
    EXPECT_EQ(whole.parts[1].content, song);
    EXPECT_EQ(whole.parts[2].content, "");
    EXPECT_EQ(whole.parts[3].content, nearMisses(boundary));
    for (const Events::Part &part : whole.parts)
        EXPECT_TRUE(part.ended);

    // Every cut of the body, by pieces of a few sizes: the same parts, complete.
    for (const qsizetype piece : {1, 2, 3, 7, 19, 64, 4096})
        expectSame(parse(body, piece), whole, ("pieces of " + std::to_string(piece)).c_str());
}

TEST(MultipartParser, AHeaderBlockOverTheLimitFailsInsteadOfGrowingWithoutBound)
{
    const QByteArray start = "--xyz\r\nContent-Disposition: form-data; name=\"file\"; filename=\"";
    // A long but sane header block is read.
    const QByteArray longName(4000, 'n');
    const Events accepted = parse(form("xyz",
                                       {{"Content-Disposition: form-data; name=\"file\"; filename=\"" + longName
                                             + "\"\r\nX-Padding: " + QByteArray(3000, 'p'),
                                         "song"}}),
                                  512);
    ASSERT_TRUE(accepted.complete);
    ASSERT_EQ(accepted.parts.size(), 1);
    EXPECT_EQ(accepted.parts[0].filename, longName);

    // One without an end is refused long before it is all in memory, whether it comes in
    // small pieces or at once.
    for (const qsizetype piece : {qsizetype(1024), qsizetype(0)}) {
        MultipartParser parser;
        int begun = 0;
        parser.onPartBegin = [&](const MultipartParser::PartHeader &) { ++begun; };
        const QByteArray endless = start + QByteArray(64 * 1024, 'a');
        const qsizetype step = piece > 0 ? piece : endless.size();
        bool refused = false;
        for (qsizetype at = 0; at < endless.size() && !refused; at += step)
            refused = !parser.feed(QByteArrayView(endless).sliced(at, std::min(step, endless.size() - at)));
        EXPECT_TRUE(refused) << "pieces of " << piece;
        EXPECT_TRUE(parser.hasFailed());
        EXPECT_FALSE(parser.isComplete());
        EXPECT_EQ(begun, 0);
        // A failed parse stays failed: the rest of the body is not read.
        EXPECT_FALSE(parser.feed("\r\n\r\ncontent\r\n--xyz--\r\n"));
        EXPECT_EQ(begun, 0);
    }
}

} // namespace
