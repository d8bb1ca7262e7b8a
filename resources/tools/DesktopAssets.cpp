#include "DesktopAssets.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>

#include <cstdio>

namespace {
const QColor accent(46, 204, 196);
const QColor accent2(72, 142, 255);
const QColor ink(236, 240, 245);
const QColor muted(150, 158, 172);
const QColor card(26, 30, 40);

constexpr int width = 320;
constexpr int margin = 14;

struct Topic
{
    const char *title;
    const char *text;
    void (*glyph)(QPainter &, const QRectF &);
};

QPen roundPen(const QColor &colour, qreal w)
{
    return QPen(colour, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void wifiGlyph(QPainter &p, const QRectF &r)
{
    const QPointF base(r.center().x(), r.bottom() - r.height() * 0.18);
    p.setPen(roundPen(ink, r.width() * 0.08));
    for (int i = 1; i <= 3; ++i) {
        const qreal radius = r.width() * 0.16 * i;
        p.drawArc(QRectF(base.x() - radius, base.y() - radius, radius * 2, radius * 2), 45 * 16, 90 * 16);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(base, r.width() * 0.06, r.width() * 0.06);
}

void folderGlyph(QPainter &p, const QRectF &r)
{
    QPainterPath folder;
    const qreal u = r.width() / 24;
    folder.moveTo(r.left() + 3 * u, r.top() + 7 * u);
    folder.lineTo(r.left() + 9 * u, r.top() + 7 * u);
    folder.lineTo(r.left() + 11 * u, r.top() + 9 * u);
    folder.lineTo(r.left() + 21 * u, r.top() + 9 * u);
    folder.lineTo(r.left() + 21 * u, r.top() + 19 * u);
    folder.lineTo(r.left() + 3 * u, r.top() + 19 * u);
    folder.closeSubpath();
    p.setPen(roundPen(ink, 1.8 * u));
    p.setBrush(Qt::NoBrush);
    p.drawPath(folder);
}

void playGlyph(QPainter &p, const QRectF &r)
{
    const qreal u = r.width() / 24;
    QPainterPath triangle;
    triangle.moveTo(r.left() + 8 * u, r.top() + 5 * u);
    triangle.lineTo(r.left() + 19 * u, r.top() + 12 * u);
    triangle.lineTo(r.left() + 8 * u, r.top() + 19 * u);
    triangle.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(triangle);
}

void textGlyph(QPainter &p, const QRectF &r)
{
    QFont font = p.font();
    font.setPixelSize(int(r.height() * 0.5));
    font.setBold(true);
    p.setFont(font);
    p.setPen(ink);
    p.drawText(r, Qt::AlignCenter, QStringLiteral("Aa"));
}

void keyGlyph(QPainter &p, const QRectF &r)
{
    const qreal u = r.width() / 24;
    p.setPen(roundPen(ink, 1.6 * u));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(r.left() + 3 * u, r.top() + 6 * u, 18 * u, 12 * u), 2.5 * u, 2.5 * u);
    for (int i = 0; i < 4; ++i)
        p.drawPoint(QPointF(r.left() + (6.5 + 3.7 * i) * u, r.top() + 10 * u));
    p.drawLine(QPointF(r.left() + 8 * u, r.top() + 14.5 * u), QPointF(r.left() + 16 * u, r.top() + 14.5 * u));
}

void lockGlyph(QPainter &p, const QRectF &r)
{
    const qreal u = r.width() / 24;
    p.setPen(roundPen(ink, 1.8 * u));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(r.left() + 5 * u, r.top() + 11 * u, 14 * u, 9 * u), 2 * u, 2 * u);
    p.drawArc(QRectF(r.left() + 8 * u, r.top() + 4 * u, 8 * u, 12 * u), 0, 180 * 16);
}

const Topic topics[] = {
    {"Fill your library over Wi-Fi",
     "Open Wi-Fi Transfer and turn on \"Start the server\". Type the Wi-Fi address it shows into a browser on "
     "another computer of the same network, tick a folder and choose your MP3 and M4A files. Each finished "
     "upload is listed at the top of the messages. Leaving the screen stops the server.",
     wifiGlyph},
    {"Keep strangers out",
     "On a shared network, turn on \"Require a code\" before you start the server. The browser then asks for a "
     "user name (any) and the six-digit code shown on the screen; a new code is made at every start.",
     lockGlyph},
    {"Folders",
     "Songs live in Orbo's Documents folder and in folders one level below it. Folder Play lists them; Manage "
     "Folders creates, deletes and moves them.",
     folderGlyph},
    {"Playing",
     "Tap a song to play its folder from there. The panel at the top shows the song, and the arrow below it "
     "opens the full player. The desktop's media keys and controls play, pause and skip; Settings can make "
     "each command beep.",
     playGlyph},
    {"Garbled titles?",
     "Old songs often keep their titles in a regional encoding. Open Settings, then Tag Encoding, and pick the "
     "one of the songs' language (Korean (EUC), Japanese (Shift JIS), Cyrillic (Windows)...). Titles are read "
     "again in the new encoding.",
     textGlyph},
    {"Keyboard",
     "Tab moves between controls, Space or Enter presses, the arrow keys move through a list and Escape goes "
     "back. Here, + and - zoom this picture.",
     keyGlyph},
};

qreal paragraphHeight(const QFont &font, const QString &text, qreal textWidth)
{
    QImage scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&scratch);
    p.setFont(font);
    return p.boundingRect(QRectF(0, 0, textWidth, 10000), Qt::TextWordWrap, text).height();
}
} // namespace

bool DesktopAssets::drawHelpPicture(const QString &outDir)
{
    QFont titleFont(QStringLiteral("DejaVu Sans"));
    titleFont.setPixelSize(13);
    titleFont.setBold(true);
    QFont bodyFont(QStringLiteral("DejaVu Sans"));
    bodyFont.setPixelSize(10);
    const qreal textLeft = margin + 12 + 36 + 10;
    const qreal textWidth = width - textLeft - margin - 12;

    // Measure first: every card is as tall as its text.
    QList<qreal> heights;
    qreal total = 86;
    for (const Topic &topic : topics) {
        const qreal h = 12 + 18 + paragraphHeight(bodyFont, QString::fromUtf8(topic.text), textWidth) + 14;
        heights << std::max<qreal>(h, 64);
        total += heights.last() + 10;
    }
    total += 20;

    QImage image(width * 2, int(total) * 2, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(12, 14, 19));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(2, 2);

    QRadialGradient glow(QPointF(width / 2.0, 10), 200);
    glow.setColorAt(0, QColor(46, 204, 196, 50));
    glow.setColorAt(1, QColor(46, 204, 196, 0));
    p.fillRect(QRectF(0, 0, width, 200), glow);
    QFont heading = titleFont;
    heading.setPixelSize(22);
    p.setFont(heading);
    p.setPen(ink);
    p.drawText(QRectF(margin, 22, width - 2 * margin, 30), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("How to use Orbo"));
    p.setFont(bodyFont);
    p.setPen(muted);
    p.drawText(QRectF(margin, 52, width - 2 * margin, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Six things worth knowing"));

    qreal y = 86;
    int index = 0;
    for (const Topic &topic : topics) {
        const QRectF box(margin, y, width - 2 * margin, heights[index]);
        p.setPen(QPen(QColor(255, 255, 255, 22), 1));
        p.setBrush(card);
        p.drawRoundedRect(box, 12, 12);
        const QRectF badge(box.left() + 12, box.top() + 12, 36, 36);
        QLinearGradient fill(badge.topLeft(), badge.bottomRight());
        fill.setColorAt(0, accent);
        fill.setColorAt(1, accent2);
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawEllipse(badge);
        topic.glyph(p, badge.adjusted(7, 7, -7, -7));
        p.setFont(titleFont);
        p.setPen(ink);
        p.drawText(QRectF(textLeft, box.top() + 10, textWidth, 20), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromUtf8(topic.title));
        p.setFont(bodyFont);
        p.setPen(QColor(196, 202, 212));
        p.drawText(QRectF(textLeft, box.top() + 32, textWidth, box.height() - 36), Qt::TextWordWrap,
                   QString::fromUtf8(topic.text));
        y += heights[index] + 10;
        ++index;
    }
    p.end();
    if (!image.save(outDir + QStringLiteral("/help@2x.png"), "PNG")) {
        std::fprintf(stderr, "cannot write help@2x.png\n");
        return false;
    }
    return true;
}

bool DesktopAssets::renderIcons(const QString &svgPath, const QString &outDir)
{
    QSvgRenderer svg(svgPath);
    if (!svg.isValid()) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(svgPath));
        return false;
    }
    bool ok = true;
    for (int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        svg.render(&p);
        p.end();
        const QString name = QStringLiteral("%1/org.orbo.Orbo-%2.png").arg(outDir).arg(size);
        if (!image.save(name, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
            ok = false;
        }
    }
    return ok;
}
