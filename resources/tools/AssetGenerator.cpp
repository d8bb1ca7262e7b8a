// Draws every picture and makes every sound the program ships, at build time, so the
// assets stay in one style and come from source: a dark player look with a teal accent.
//
//   asset_generator <output folder> [<icon SVG> <icon output folder>]
#include "DesktopAssets.h"
#include "PlayerDetailAssets.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

QString outDir;
bool ok = true;

const QColor accent(46, 204, 196);
const QColor accent2(72, 142, 255);
const QColor ink(236, 240, 245);

using Glyph = std::function<void(QPainter &, const QRectF &)>;

void save(const QImage &image, const QString &name)
{
    if (!image.save(outDir + QLatin1Char('/') + name, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
        ok = false;
    }
}

// A canvas in points, drawn at twice the resolution.
QImage canvas(int w, int h)
{
    QImage image(w * 2, h * 2, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void begin(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(2, 2);
}

QPen strokePen(const QBrush &brush, qreal width)
{
    QPen pen(brush, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

QBrush accentBrush(const QRectF &r)
{
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, accent);
    g.setColorAt(1, accent2);
    return g;
}

// ---- glyphs, drawn into a square r ----

void note(QPainter &p, const QRectF &r, const QBrush &brush)
{
    const qreal u = r.width() / 24;
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.drawEllipse(QPointF(r.left() + 7 * u, r.top() + 18 * u), 3.6 * u, 3 * u);
    p.drawEllipse(QPointF(r.left() + 17 * u, r.top() + 16 * u), 3.6 * u, 3 * u);
    p.setPen(strokePen(brush, 1.9 * u));
    p.setBrush(Qt::NoBrush);
    QPainterPath stem;
    stem.moveTo(r.left() + 10.4 * u, r.top() + 18 * u);
    stem.lineTo(r.left() + 10.4 * u, r.top() + 5 * u);
    stem.lineTo(r.left() + 20.4 * u, r.top() + 3 * u);
    stem.lineTo(r.left() + 20.4 * u, r.top() + 16 * u);
    p.drawPath(stem);
    p.drawLine(QPointF(r.left() + 10.4 * u, r.top() + 8.5 * u), QPointF(r.left() + 20.4 * u, r.top() + 6.5 * u));
}

QPainterPath folderPath(const QRectF &r)
{
    const qreal u = r.width() / 24;
    QPainterPath path;
    path.moveTo(r.left() + 2 * u, r.top() + 6 * u);
    path.lineTo(r.left() + 9 * u, r.top() + 6 * u);
    path.lineTo(r.left() + 11 * u, r.top() + 8 * u);
    path.lineTo(r.left() + 22 * u, r.top() + 8 * u);
    path.lineTo(r.left() + 22 * u, r.top() + 20 * u);
    path.lineTo(r.left() + 2 * u, r.top() + 20 * u);
    path.closeSubpath();
    return path;
}

void triangle(QPainter &p, const QPointF &c, qreal size, const QBrush &brush, bool right = true)
{
    QPainterPath t;
    const qreal d = right ? 1 : -1;
    t.moveTo(c.x() - d * size * 0.45, c.y() - size * 0.55);
    t.lineTo(c.x() + d * size * 0.6, c.y());
    t.lineTo(c.x() - d * size * 0.45, c.y() + size * 0.55);
    t.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.drawPath(t);
}

void gear(QPainter &p, const QPointF &c, qreal radius, const QBrush &brush, const QColor &hole)
{
    QPainterPath path;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const qreal a = i * M_PI / teeth;
        const qreal rr = (i % 2 == 0) ? radius : radius * 0.78;
        const qreal a0 = a - M_PI / (teeth * 2.6), a1 = a + M_PI / (teeth * 2.6);
        const QPointF p0(c.x() + rr * std::cos(a0), c.y() + rr * std::sin(a0));
        const QPointF p1(c.x() + rr * std::cos(a1), c.y() + rr * std::sin(a1));
        if (i == 0)
            path.moveTo(p0);
        else
            path.lineTo(p0);
        path.lineTo(p1);
    }
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.drawPath(path);
    p.setBrush(hole);
    p.drawEllipse(c, radius * 0.36, radius * 0.36);
}

void listLines(QPainter &p, const QRectF &r, const QBrush &brush, int lines, qreal right)
{
    const qreal u = r.width() / 24;
    p.setPen(strokePen(brush, 2 * u));
    for (int i = 0; i < lines; ++i) {
        const qreal y = r.top() + (5 + i * 5) * u;
        p.drawPoint(QPointF(r.left() + 3 * u, y));
        p.drawLine(QPointF(r.left() + 7 * u, y), QPointF(r.left() + right * u, y));
    }
}

void pencil(QPainter &p, const QRectF &r, const QBrush &brush)
{
    const qreal u = r.width() / 24;
    p.setPen(strokePen(brush, 2.4 * u));
    p.drawLine(QPointF(r.left() + 13 * u, r.top() + 21 * u), QPointF(r.left() + 21 * u, r.top() + 13 * u));
    p.setPen(strokePen(brush, 1.2 * u));
    p.drawLine(QPointF(r.left() + 11.5 * u, r.top() + 22.5 * u), QPointF(r.left() + 12.5 * u, r.top() + 21.5 * u));
}

void loop(QPainter &p, const QRectF &r, const QBrush &brush)
{
    const qreal u = r.width() / 24;
    p.setPen(strokePen(brush, 2 * u));
    p.setBrush(Qt::NoBrush);
    QPainterPath top;
    top.moveTo(r.left() + 4 * u, r.top() + 13 * u);
    top.lineTo(r.left() + 4 * u, r.top() + 10 * u);
    top.quadTo(r.left() + 4 * u, r.top() + 7 * u, r.left() + 7 * u, r.top() + 7 * u);
    top.lineTo(r.left() + 19 * u, r.top() + 7 * u);
    p.drawPath(top);
    QPainterPath bottom;
    bottom.moveTo(r.left() + 20 * u, r.top() + 11 * u);
    bottom.lineTo(r.left() + 20 * u, r.top() + 14 * u);
    bottom.quadTo(r.left() + 20 * u, r.top() + 17 * u, r.left() + 17 * u, r.top() + 17 * u);
    bottom.lineTo(r.left() + 5 * u, r.top() + 17 * u);
    p.drawPath(bottom);
    triangle(p, QPointF(r.left() + 19.5 * u, r.top() + 7 * u), 5 * u, brush, true);
    triangle(p, QPointF(r.left() + 4.5 * u, r.top() + 17 * u), 5 * u, brush, false);
}

void shuffle(QPainter &p, const QRectF &r, const QBrush &brush)
{
    const qreal u = r.width() / 24;
    p.setPen(strokePen(brush, 2 * u));
    p.setBrush(Qt::NoBrush);
    QPainterPath a;
    a.moveTo(r.left() + 3 * u, r.top() + 7 * u);
    a.lineTo(r.left() + 7 * u, r.top() + 7 * u);
    a.cubicTo(r.left() + 12 * u, r.top() + 7 * u, r.left() + 12 * u, r.top() + 17 * u, r.left() + 17 * u,
              r.top() + 17 * u);
    a.lineTo(r.left() + 19 * u, r.top() + 17 * u);
    p.drawPath(a);
    QPainterPath b;
    b.moveTo(r.left() + 3 * u, r.top() + 17 * u);
    b.lineTo(r.left() + 7 * u, r.top() + 17 * u);
    b.cubicTo(r.left() + 12 * u, r.top() + 17 * u, r.left() + 12 * u, r.top() + 7 * u, r.left() + 17 * u,
              r.top() + 7 * u);
    b.lineTo(r.left() + 19 * u, r.top() + 7 * u);
    p.drawPath(b);
    triangle(p, QPointF(r.left() + 20 * u, r.top() + 7 * u), 5 * u, brush);
    triangle(p, QPointF(r.left() + 20 * u, r.top() + 17 * u), 5 * u, brush);
}

void slash(QPainter &p, const QRectF &r)
{
    const qreal u = r.width() / 24;
    p.setPen(strokePen(QColor(20, 22, 28), 4.5 * u));
    p.drawLine(QPointF(r.left() + 4 * u, r.top() + 4 * u), QPointF(r.left() + 20 * u, r.top() + 20 * u));
    p.setPen(strokePen(QColor(255, 96, 96), 2 * u));
    p.drawLine(QPointF(r.left() + 4 * u, r.top() + 4 * u), QPointF(r.left() + 20 * u, r.top() + 20 * u));
}

void disc(QPainter &p, const QPointF &c, qreal radius)
{
    QRectF r(c.x() - radius, c.y() - radius, 2 * radius, 2 * radius);
    QRadialGradient body(c, radius);
    body.setColorAt(0, QColor(40, 46, 58));
    body.setColorAt(1, QColor(14, 16, 22));
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawEllipse(r);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(accentBrush(r), radius * 0.12));
    p.drawEllipse(r.adjusted(radius * 0.08, radius * 0.08, -radius * 0.08, -radius * 0.08));
    p.setPen(QPen(QColor(255, 255, 255, 26), radius * 0.03));
    for (qreal k : {0.55, 0.68})
        p.drawEllipse(c, radius * k, radius * k);
    p.setPen(Qt::NoPen);
    p.setBrush(accentBrush(r));
    p.drawEllipse(c, radius * 0.3, radius * 0.3);
    p.setBrush(QColor(10, 12, 16));
    p.drawEllipse(c, radius * 0.08, radius * 0.08);
}

// ---- menu tiles ----

void tile(const QString &name, const Glyph &glyph)
{
    for (bool on : {false, true}) {
        QImage image = canvas(140, 92);
        QPainter p(&image);
        begin(p);
        const QRectF card(1, 1, 138, 90);
        QLinearGradient fill(card.topLeft(), card.bottomLeft());
        fill.setColorAt(0, on ? QColor(40, 58, 66) : QColor(32, 37, 48));
        fill.setColorAt(1, on ? QColor(24, 40, 48) : QColor(21, 24, 32));
        p.setPen(QPen(on ? QColor(46, 204, 196, 150) : QColor(255, 255, 255, 22), 1));
        p.setBrush(fill);
        p.drawRoundedRect(card, 14, 14);
        // A faint accent wash behind the glyph.
        QRadialGradient glow(QPointF(70, 32), 38);
        glow.setColorAt(0, QColor(46, 204, 196, on ? 70 : 30));
        glow.setColorAt(1, QColor(46, 204, 196, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawRoundedRect(card, 14, 14);
        glyph(p, QRectF(53, 15, 34, 34));
        p.end();
        save(image, name + (on ? QStringLiteral("_on@2x.png") : QStringLiteral("@2x.png")));
    }
}

void menu()
{
    const QColor hole(28, 33, 43);
    tile(QStringLiteral("main_allsongs"), [](QPainter &p, const QRectF &r) { note(p, r, accentBrush(r)); });
    tile(QStringLiteral("main_folder"), [](QPainter &p, const QRectF &r) {
        p.setPen(Qt::NoPen);
        p.setBrush(accentBrush(r));
        p.drawPath(folderPath(r));
        triangle(p, QPointF(r.center().x(), r.top() + r.height() * 0.58), r.width() * 0.22, QColor(20, 24, 32));
    });
    tile(QStringLiteral("main_playlist"), [](QPainter &p, const QRectF &r) {
        listLines(p, r, accentBrush(r), 3, 14);
        QRectF n(r.left() + r.width() * 0.42, r.top() + r.height() * 0.38, r.width() * 0.6, r.height() * 0.6);
        note(p, n, QBrush(ink));
    });
    tile(QStringLiteral("main_foldersetting"), [hole](QPainter &p, const QRectF &r) {
        p.setPen(Qt::NoPen);
        p.setBrush(accentBrush(r));
        p.drawPath(folderPath(r));
        gear(p, QPointF(r.left() + r.width() * 0.72, r.top() + r.height() * 0.78), r.width() * 0.2, QBrush(ink), hole);
    });
    tile(QStringLiteral("main_playlistsetting"), [](QPainter &p, const QRectF &r) {
        listLines(p, r, accentBrush(r), 3, 17);
        pencil(p, r, QBrush(ink));
    });
    tile(QStringLiteral("main_ipod"), [](QPainter &p, const QRectF &r) {
        const qreal u = r.width() / 24;
        QRectF body(r.left() + 6 * u, r.top() + 1 * u, 12 * u, 22 * u);
        p.setPen(QPen(accentBrush(r), 1.8 * u));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(body, 2.5 * u, 2.5 * u);
        p.setPen(Qt::NoPen);
        p.setBrush(accentBrush(r));
        p.drawRoundedRect(QRectF(r.left() + 8 * u, r.top() + 3.5 * u, 8 * u, 7 * u), 1 * u, 1 * u);
        p.setPen(QPen(QBrush(ink), 1.8 * u));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(r.left() + 12 * u, r.top() + 16.5 * u), 3.6 * u, 3.6 * u);
    });
    tile(QStringLiteral("main_transfer"), [](QPainter &p, const QRectF &r) {
        const qreal u = r.width() / 24;
        const QPointF c(r.left() + 12 * u, r.top() + 19 * u);
        p.setBrush(Qt::NoBrush);
        for (int i = 1; i <= 3; ++i) {
            p.setPen(strokePen(accentBrush(r), 2 * u));
            const qreal rr = i * 4.6 * u;
            p.drawArc(QRectF(c.x() - rr, c.y() - rr, 2 * rr, 2 * rr), 45 * 16, 90 * 16);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(c, 1.9 * u, 1.9 * u);
    });
    tile(QStringLiteral("main_settings"),
         [hole](QPainter &p, const QRectF &r) { gear(p, r.center(), r.width() * 0.44, accentBrush(r), hole); });

    QImage selected = canvas(140, 92);
    QPainter p(&selected);
    begin(p);
    for (int i = 6; i >= 1; --i) {
        p.setPen(QPen(QColor(46, 204, 196, 16 + (6 - i) * 10), i));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(1.5, 1.5, 137, 89), 14, 14);
    }
    p.setPen(QPen(accentBrush(QRectF(0, 0, 140, 92)), 2));
    p.drawRoundedRect(QRectF(1.5, 1.5, 137, 89), 14, 14);
    p.end();
    save(selected, QStringLiteral("main_selected@2x.png"));

    QImage logo = canvas(40, 40);
    QPainter lp(&logo);
    begin(lp);
    disc(lp, QPointF(20, 20), 19);
    lp.end();
    save(logo, QStringLiteral("main_logo@2x.png"));
}

// ---- launch picture: 320 x 480 split at 300 ----

void launch()
{
    QImage full = canvas(320, 480);
    QPainter p(&full);
    begin(p);
    QLinearGradient bg(0, 0, 0, 480);
    bg.setColorAt(0, QColor(20, 24, 33));
    bg.setColorAt(1, QColor(8, 9, 13));
    p.fillRect(QRectF(0, 0, 320, 480), bg);
    QRadialGradient glow(QPointF(160, 300), 170);
    glow.setColorAt(0, QColor(46, 204, 196, 60));
    glow.setColorAt(1, QColor(46, 204, 196, 0));
    p.fillRect(QRectF(0, 0, 320, 480), glow);
    disc(p, QPointF(160, 300), 64);
    QFont font;
    font.setPixelSize(30);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 6);
    p.setFont(font);
    p.setPen(ink);
    p.drawText(QRectF(0, 385, 320, 40), Qt::AlignCenter, QStringLiteral("ORBO"));
    p.end();
    save(full.copy(0, 0, 640, 600), QStringLiteral("Default_Up@2x.png"));
    save(full.copy(0, 600, 640, 360), QStringLiteral("Default_Down@2x.png"));
}

// ---- overlay icons, 72 x 72 ----

void icon(const QString &name, const Glyph &glyph)
{
    QImage image = canvas(72, 72);
    QPainter p(&image);
    begin(p);
    glyph(p, QRectF(12, 12, 48, 48));
    p.end();
    save(image, name + QStringLiteral("@2x.png"));
}

void overlays()
{
    const QBrush white(ink);
    icon(QStringLiteral("msg_play"),
         [&](QPainter &p, const QRectF &r) { triangle(p, r.center() + QPointF(2, 0), 34, accentBrush(r)); });
    icon(QStringLiteral("msg_pause"), [&](QPainter &p, const QRectF &r) {
        p.setPen(Qt::NoPen);
        p.setBrush(accentBrush(r));
        p.drawRoundedRect(QRectF(r.left() + 12, r.top() + 8, 9, 32), 3, 3);
        p.drawRoundedRect(QRectF(r.left() + 27, r.top() + 8, 9, 32), 3, 3);
    });
    icon(QStringLiteral("msg_fast-forward"), [&](QPainter &p, const QRectF &r) {
        triangle(p, r.center() + QPointF(-7, 0), 22, accentBrush(r));
        triangle(p, r.center() + QPointF(9, 0), 22, accentBrush(r));
    });
    icon(QStringLiteral("msg_fast-backward"), [&](QPainter &p, const QRectF &r) {
        triangle(p, r.center() + QPointF(7, 0), 22, accentBrush(r), false);
        triangle(p, r.center() + QPointF(-9, 0), 22, accentBrush(r), false);
    });
    icon(QStringLiteral("msg_trash"), [&](QPainter &p, const QRectF &r) {
        const qreal u = r.width() / 24;
        p.setPen(strokePen(QColor(255, 110, 110), 2 * u));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(r.left() + 4 * u, r.top() + 6 * u), QPointF(r.left() + 20 * u, r.top() + 6 * u));
        p.drawLine(QPointF(r.left() + 9.5 * u, r.top() + 3.5 * u), QPointF(r.left() + 14.5 * u, r.top() + 3.5 * u));
        QPainterPath bin;
        bin.moveTo(r.left() + 6 * u, r.top() + 8 * u);
        bin.lineTo(r.left() + 7 * u, r.top() + 21 * u);
        bin.lineTo(r.left() + 17 * u, r.top() + 21 * u);
        bin.lineTo(r.left() + 18 * u, r.top() + 8 * u);
        p.drawPath(bin);
        for (qreal x : {10.0, 14.0})
            p.drawLine(QPointF(r.left() + x * u, r.top() + 11 * u), QPointF(r.left() + x * u, r.top() + 17.5 * u));
    });
    icon(QStringLiteral("msg_folderChange"), [&](QPainter &p, const QRectF &r) {
        p.setPen(Qt::NoPen);
        p.setBrush(accentBrush(r));
        p.drawPath(folderPath(r));
        const qreal u = r.width() / 24;
        p.setPen(strokePen(QColor(16, 18, 24), 1.8 * u));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(r.left() + 8 * u, r.top() + 10 * u, 8 * u, 8 * u), 30 * 16, 280 * 16);
        triangle(p, QPointF(r.left() + 15.6 * u, r.top() + 11 * u), 3.4 * u, QColor(16, 18, 24));
    });
    icon(QStringLiteral("info-icons-03-RND"), [&](QPainter &p, const QRectF &r) { shuffle(p, r, accentBrush(r)); });
    icon(QStringLiteral("info-icons-05-RND-OFF"), [&](QPainter &p, const QRectF &r) {
        shuffle(p, r, QColor(130, 138, 150));
        slash(p, r);
    });
    icon(QStringLiteral("info-icons-01-RPT"), [&](QPainter &p, const QRectF &r) { loop(p, r, accentBrush(r)); });
    icon(QStringLiteral("info-icons-04-RPT-OFF"), [&](QPainter &p, const QRectF &r) {
        loop(p, r, QColor(130, 138, 150));
        slash(p, r);
    });
    icon(QStringLiteral("info-icons-02-RPT-ONE"), [&](QPainter &p, const QRectF &r) {
        loop(p, r, accentBrush(r));
        QFont font;
        font.setPixelSize(int(r.height() * 0.32));
        font.setBold(true);
        p.setFont(font);
        p.setPen(white.color());
        p.drawText(r, Qt::AlignCenter, QStringLiteral("1"));
    });
}

// ---- the arrow tab that opens the full-screen player, 47 x 43 ----

void arrowButton()
{
    for (bool light : {false, true}) {
        QImage image = canvas(47, 43);
        QPainter p(&image);
        begin(p);
        QPainterPath tab;
        tab.addRoundedRect(QRectF(1, 4, 45, 42), 12, 12);
        QLinearGradient fill(0, 0, 0, 43);
        fill.setColorAt(0, light ? QColor(52, 72, 82) : QColor(36, 41, 52));
        fill.setColorAt(1, light ? QColor(30, 46, 54) : QColor(20, 23, 30));
        p.setPen(QPen(light ? QColor(46, 204, 196, 170) : QColor(255, 255, 255, 30), 1));
        p.setBrush(fill);
        p.drawPath(tab);
        p.setPen(strokePen(accentBrush(QRectF(0, 0, 47, 43)), 3));
        p.drawLine(QPointF(15, 25), QPointF(23.5, 16.5));
        p.drawLine(QPointF(23.5, 16.5), QPointF(32, 25));
        p.end();
        save(image,
             light ? QStringLiteral("Orbo_plyr01_btm_plate_02-open-light@2x.png")
                   : QStringLiteral("Orbo_plyr01_btm_plate_02-open@2x.png"));
    }
}

// ---- the now-playing panel: a light metal plate with dark glyphs ----

const QColor plateInk(51, 51, 51);

void plate()
{
    QImage image = canvas(320, 120);
    QPainter p(&image);
    begin(p);
    QLinearGradient metal(0, 0, 0, 120);
    metal.setColorAt(0, QColor(240, 242, 245));
    metal.setColorAt(0.55, QColor(222, 226, 231));
    metal.setColorAt(1, QColor(198, 203, 211));
    p.fillRect(QRectF(0, 0, 320, 120), metal);
    // Fine brushed lines.
    for (int y = 0; y < 120; y += 2) {
        p.setPen(QPen(QColor(255, 255, 255, (y * 37) % 5 == 0 ? 40 : 18), 0.5));
        p.drawLine(QPointF(0, y + 0.25), QPointF(320, y + 0.25));
    }
    p.setPen(QPen(QColor(255, 255, 255, 200), 1));
    p.drawLine(QPointF(0, 0.5), QPointF(320, 0.5));
    p.setPen(QPen(QColor(120, 126, 136), 1));
    p.drawLine(QPointF(0, 119.5), QPointF(320, 119.5));
    // A soft groove under the transport buttons.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 14));
    p.drawRoundedRect(QRectF(8, 56, 304, 42), 10, 10);
    p.end();
    save(image, QStringLiteral("player_panel_plate@2x.png"));

    QImage bar = canvas(264, 4);
    QPainter b(&bar);
    begin(b);
    b.setPen(Qt::NoPen);
    b.setBrush(accentBrush(QRectF(0, 0, 264, 4)));
    b.drawRoundedRect(QRectF(0, 0, 264, 4), 2, 2);
    b.end();
    save(bar, QStringLiteral("player_progressBar@2x.png"));
}

// A transport button, w x h, normal and pressed ("_on").
void transport(const QString &name, int w, int h, const Glyph &glyph)
{
    for (bool on : {false, true}) {
        QImage image = canvas(w, h);
        QPainter p(&image);
        begin(p);
        if (on) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(46, 204, 196, 60));
            p.drawEllipse(QRectF(2, 2, w - 4, h - 4));
        }
        const qreal side = std::min(w, h) * 0.62;
        glyph(p, QRectF((w - side) / 2, (h - side) / 2, side, side));
        p.end();
        save(image, name + (on ? QStringLiteral("_on@2x.png") : QStringLiteral("@2x.png")));
    }
}

void playerButtons()
{
    const QBrush dark(plateInk);
    transport(QStringLiteral("player_play"), 44, 42, [&](QPainter &p, const QRectF &r) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 150));
        p.drawEllipse(r.adjusted(-4, -4, 4, 4));
        p.setPen(QPen(plateInk, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(r.adjusted(-4, -4, 4, 4));
        triangle(p, r.center() + QPointF(1.5, 0), r.width() * 0.55, dark);
    });
    transport(QStringLiteral("player_pause"), 44, 42, [&](QPainter &p, const QRectF &r) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 150));
        p.drawEllipse(r.adjusted(-4, -4, 4, 4));
        p.setPen(QPen(plateInk, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(r.adjusted(-4, -4, 4, 4));
        p.setPen(Qt::NoPen);
        p.setBrush(dark);
        const qreal u = r.width() / 24;
        p.drawRoundedRect(QRectF(r.left() + 7 * u, r.top() + 6 * u, 3.6 * u, 12 * u), u, u);
        p.drawRoundedRect(QRectF(r.left() + 13.4 * u, r.top() + 6 * u, 3.6 * u, 12 * u), u, u);
    });
    transport(QStringLiteral("player_next"), 44, 38, [&](QPainter &p, const QRectF &r) {
        triangle(p, r.center() + QPointF(-4, 0), r.width() * 0.42, dark);
        triangle(p, r.center() + QPointF(5, 0), r.width() * 0.42, dark);
        p.setPen(QPen(plateInk, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(r.right() - 0.5, r.top() + r.height() * 0.27),
                   QPointF(r.right() - 0.5, r.bottom() - r.height() * 0.27));
    });
    transport(QStringLiteral("player_prev"), 44, 38, [&](QPainter &p, const QRectF &r) {
        triangle(p, r.center() + QPointF(4, 0), r.width() * 0.42, dark, false);
        triangle(p, r.center() + QPointF(-5, 0), r.width() * 0.42, dark, false);
        p.setPen(QPen(plateInk, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(r.left() + 0.5, r.top() + r.height() * 0.27),
                   QPointF(r.left() + 0.5, r.bottom() - r.height() * 0.27));
    });

    // Shuffle and repeat: lit (accent) when on, grey and struck through when off.
    const auto mode = [](const QString &name, const Glyph &glyph) {
        QImage image = canvas(36, 30);
        QPainter p(&image);
        begin(p);
        glyph(p, QRectF(7, 4, 22, 22));
        p.end();
        save(image, name + QStringLiteral("@2x.png"));
    };
    const QColor off(150, 155, 163);
    mode(QStringLiteral("player_shuffleOn"), [](QPainter &p, const QRectF &r) { shuffle(p, r, QColor(20, 150, 144)); });
    mode(QStringLiteral("player_shuffleOff"), [off](QPainter &p, const QRectF &r) { shuffle(p, r, off); });
    mode(QStringLiteral("player_repeatOn"), [](QPainter &p, const QRectF &r) { loop(p, r, QColor(20, 150, 144)); });
    mode(QStringLiteral("player_repeatOff"), [off](QPainter &p, const QRectF &r) { loop(p, r, off); });
    mode(QStringLiteral("player_repeatOne"), [](QPainter &p, const QRectF &r) {
        loop(p, r, QColor(20, 150, 144));
        QFont font;
        font.setPixelSize(int(r.height() * 0.42));
        font.setBold(true);
        p.setFont(font);
        p.setPen(QColor(20, 150, 144));
        p.drawText(r, Qt::AlignCenter, QStringLiteral("1"));
    });

    // Where the list came from: a folder, or a playlist.
    const auto source = [](const QString &name, const Glyph &glyph) {
        QImage image = canvas(26, 20);
        QPainter p(&image);
        begin(p);
        glyph(p, QRectF(3, -1, 20, 20));
        p.end();
        save(image, name + QStringLiteral("@2x.png"));
    };
    source(QStringLiteral("player_folderListPlay"), [](QPainter &p, const QRectF &r) {
        p.setPen(Qt::NoPen);
        p.setBrush(plateInk);
        p.drawPath(folderPath(r));
        triangle(p, QPointF(r.center().x(), r.top() + r.height() * 0.59), r.width() * 0.26, QColor(225, 229, 234));
    });
    source(QStringLiteral("player_listPlay"),
           [](QPainter &p, const QRectF &r) { listLines(p, r, QBrush(plateInk), 3, 20); });

    // The playing sign: three bars at three heights.
    const int heights[3][3] = {{3, 7, 5}, {6, 4, 8}, {8, 6, 3}};
    for (int frame = 0; frame < 3; ++frame) {
        QImage image = canvas(10, 9);
        QPainter p(&image);
        begin(p);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(20, 150, 144));
        for (int bar = 0; bar < 3; ++bar)
            p.drawRect(QRectF(0.5 + bar * 3.3, 9 - heights[frame][bar], 2.4, heights[frame][bar]));
        p.end();
        save(image, QStringLiteral("Orbo_plyr01_top_plate_02-ani01-0%1@2x.png").arg(frame + 1));
    }
}

// ---- list rows and covers ----

void cover(const QString &name, int side)
{
    QImage image = canvas(side, side);
    QPainter p(&image);
    begin(p);
    QLinearGradient fill(0, 0, side, side);
    fill.setColorAt(0, QColor(42, 48, 60));
    fill.setColorAt(1, QColor(18, 20, 27));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0, 0, side, side), side * 0.08, side * 0.08);
    disc(p, QPointF(side / 2.0, side / 2.0), side * 0.36);
    p.end();
    save(image, name + QStringLiteral("@2x.png"));
}

void listParts()
{
    for (bool selected : {false, true}) {
        QImage image = canvas(320, 50);
        QPainter p(&image);
        begin(p);
        QLinearGradient fill(0, 0, 0, 50);
        fill.setColorAt(0, selected ? QColor(30, 74, 80) : QColor(24, 26, 33));
        fill.setColorAt(1, selected ? QColor(20, 52, 58) : QColor(14, 16, 21));
        p.fillRect(QRectF(0, 0, 320, 50), fill);
        p.setPen(QPen(QColor(255, 255, 255, selected ? 40 : 14), 1));
        p.drawLine(QPointF(0, 0.5), QPointF(320, 0.5));
        p.setPen(QPen(QColor(0, 0, 0, 160), 1));
        p.drawLine(QPointF(0, 49.5), QPointF(320, 49.5));
        if (selected) {
            p.setPen(Qt::NoPen);
            p.setBrush(accentBrush(QRectF(0, 0, 4, 50)));
            p.drawRect(QRectF(0, 0, 3, 50));
        }
        p.end();
        save(image,
             selected ? QStringLiteral("musicListCellSellected@2x.png") : QStringLiteral("tableListCellBlack@2x.png"));
    }
    for (bool on : {false, true}) {
        QImage image = canvas(40, 40);
        QPainter p(&image);
        begin(p);
        const QRectF ring(5, 5, 30, 30);
        p.setPen(QPen(accentBrush(ring), 2));
        p.setBrush(on ? QBrush(QColor(46, 204, 196, 70)) : QBrush(Qt::NoBrush));
        p.drawEllipse(ring);
        triangle(p, ring.center() + QPointF(1.2, 0), 13, accentBrush(ring));
        p.end();
        save(image, on ? QStringLiteral("list_play_on@2x.png") : QStringLiteral("list_play@2x.png"));
    }
    QImage folder = canvas(38, 38);
    QPainter f(&folder);
    begin(f);
    const QRectF r(3, 3, 32, 32);
    f.setPen(Qt::NoPen);
    f.setBrush(accentBrush(r));
    f.drawPath(folderPath(r));
    note(f, QRectF(12, 15, 15, 15), QBrush(QColor(16, 18, 24)));
    f.end();
    save(folder, QStringLiteral("list_folder@2x.png"));
    cover(QStringLiteral("noAlbumImage"), 46);
    cover(QStringLiteral("noAlbumImageBig"), 280);
}

// ---- playlist rows, ticks and the picker's folder ----

// A square picture of side points with a glyph drawn into it.
void rowPicture(const QString &name, int side, const Glyph &glyph)
{
    QImage image = canvas(side, side);
    QPainter p(&image);
    begin(p);
    glyph(p, QRectF(0, 0, side, side));
    p.end();
    save(image, name + QStringLiteral("@2x.png"));
}

void playlistParts()
{
    // A playlist: lines of a list with a note in the corner; the managed one with a pencil.
    rowPicture(QStringLiteral("list_playbackList"), 38, [](QPainter &p, const QRectF &r) {
        const QRectF inner = r.adjusted(3, 3, -3, -3);
        listLines(p, inner, accentBrush(inner), 3, 15);
        note(p, QRectF(inner.left() + 15, inner.top() + 14, 17, 17), accentBrush(inner));
    });
    rowPicture(QStringLiteral("list_playbackListSetting"), 38, [](QPainter &p, const QRectF &r) {
        const QRectF inner = r.adjusted(3, 3, -3, -3);
        listLines(p, inner, accentBrush(inner), 3, 15);
        pencil(p, inner, QBrush(ink));
    });
    // The ticks of edit mode and of the picker: an empty ring, or a filled disc with a tick.
    for (bool on : {false, true}) {
        rowPicture(on ? QStringLiteral("listCheckOn") : QStringLiteral("listCheckOff"), 26,
                   [on](QPainter &p, const QRectF &r) {
                       const QRectF ring = r.adjusted(3, 3, -3, -3);
                       if (on) {
                           p.setPen(Qt::NoPen);
                           p.setBrush(accentBrush(ring));
                           p.drawEllipse(ring);
                           p.setPen(strokePen(QColor(12, 14, 19), 2.4));
                           p.setBrush(Qt::NoBrush);
                           QPainterPath tick;
                           tick.moveTo(ring.left() + 5, ring.center().y() + 0.5);
                           tick.lineTo(ring.left() + 8.6, ring.bottom() - 5.5);
                           tick.lineTo(ring.right() - 4.5, ring.top() + 6);
                           p.drawPath(tick);
                       } else {
                           p.setPen(QPen(QColor(120, 128, 142), 1.6));
                           p.setBrush(Qt::NoBrush);
                           p.drawEllipse(ring.adjusted(0.8, 0.8, -0.8, -0.8));
                       }
                   });
    }
    // A song file of a playlist: a page with a folded corner and a note.
    rowPicture(QStringLiteral("MP3IconSmall"), 24, [](QPainter &p, const QRectF &r) {
        const qreal u = r.width() / 24;
        QPainterPath page;
        page.moveTo(r.left() + 5 * u, r.top() + 2 * u);
        page.lineTo(r.left() + 14 * u, r.top() + 2 * u);
        page.lineTo(r.left() + 19 * u, r.top() + 7 * u);
        page.lineTo(r.left() + 19 * u, r.top() + 22 * u);
        page.lineTo(r.left() + 5 * u, r.top() + 22 * u);
        page.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(54, 60, 74));
        p.drawPath(page);
        p.setBrush(QColor(90, 98, 114));
        QPainterPath fold;
        fold.moveTo(r.left() + 14 * u, r.top() + 2 * u);
        fold.lineTo(r.left() + 19 * u, r.top() + 7 * u);
        fold.lineTo(r.left() + 14 * u, r.top() + 7 * u);
        fold.closeSubpath();
        p.drawPath(fold);
        note(p, QRectF(r.left() + 5.5 * u, r.top() + 7 * u, 13 * u, 13 * u), accentBrush(r));
    });
    // A managed folder (the folder manager's rows): a folder with a pencil on it.
    rowPicture(QStringLiteral("list_folderSetting"), 38, [](QPainter &p, const QRectF &r) {
        const QRectF inner = r.adjusted(3, 3, -3, -3);
        p.setPen(Qt::NoPen);
        p.setBrush(accentBrush(inner));
        p.drawPath(folderPath(inner));
        pencil(p, inner, QBrush(ink));
    });
    // The picker's folder: an open folder in a warm orange.
    rowPicture(QStringLiteral("folder_orange_open"), 38, [](QPainter &p, const QRectF &r) {
        const QRectF inner = r.adjusted(3, 3, -3, -3);
        const qreal u = inner.width() / 24;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(196, 112, 32));
        p.drawPath(folderPath(inner));
        QPainterPath flap;
        flap.moveTo(inner.left() + 5 * u, inner.top() + 11 * u);
        flap.lineTo(inner.left() + 24 * u, inner.top() + 11 * u);
        flap.lineTo(inner.left() + 21 * u, inner.top() + 20 * u);
        flap.lineTo(inner.left() + 2 * u, inner.top() + 20 * u);
        flap.closeSubpath();
        QLinearGradient warm(inner.topLeft(), inner.bottomLeft());
        warm.setColorAt(0, QColor(255, 178, 74));
        warm.setColorAt(1, QColor(240, 136, 40));
        p.setBrush(warm);
        p.drawPath(flap);
    });
}

// ---- beeps: short, soft tone sequences, 44.1 kHz 16-bit mono ----

void wav(const QString &name, const QList<QPair<double, double>> &tones)
{
    const int rate = 44100;
    QByteArray samples;
    for (const auto &[frequency, seconds] : tones) {
        const int count = int(rate * seconds);
        for (int i = 0; i < count; ++i) {
            const double t = double(i) / rate;
            // Short attack, exponential decay: a soft "blip" without clicks.
            const double envelope = std::min(1.0, t / 0.004) * std::exp(-t * 18.0);
            const double value =
                0.32 * envelope * (std::sin(2 * M_PI * frequency * t) + 0.25 * std::sin(4 * M_PI * frequency * t));
            const qint16 sample = qint16(std::lround(std::clamp(value, -1.0, 1.0) * 32767));
            char bytes[2];
            qToLittleEndian(sample, bytes);
            samples.append(bytes, 2);
        }
    }
    QByteArray file;
    auto u32 = [&](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        file.append(b, 4);
    };
    auto u16 = [&](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        file.append(b, 2);
    };
    file.append("RIFF");
    u32(quint32(36 + samples.size()));
    file.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    file.append("data");
    u32(quint32(samples.size()));
    file.append(samples);
    QFile out(outDir + QLatin1Char('/') + name);
    if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
        ok = false;
    }
}

void sounds()
{
    wav(QStringLiteral("Orbo_Melody_Play-01.wav"), {{880.0, 0.07}, {1318.5, 0.12}});
    wav(QStringLiteral("Orbo_Melody_FF-02.wav"), {{1046.5, 0.05}, {1318.5, 0.05}, {1568.0, 0.09}});
    wav(QStringLiteral("Orbo_Melody_REW-02.wav"), {{1568.0, 0.05}, {1318.5, 0.05}, {1046.5, 0.09}});
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: asset_generator <output folder> [<icon SVG> <icon output folder>]\n");
        return 2;
    }
    outDir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(outDir);
    menu();
    launch();
    overlays();
    arrowButton();
    plate();
    playerButtons();
    listParts();
    playlistParts();
    sounds();
    ok = DesktopAssets::drawHelpPicture(outDir) && ok;
    ok = PlayerDetailAssets::draw(outDir) && ok;
    if (argc == 4) {
        QDir().mkpath(QString::fromLocal8Bit(argv[3]));
        ok = DesktopAssets::renderIcons(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3])) && ok;
    }
    return ok ? 0 : 1;
}
