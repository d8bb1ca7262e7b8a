#include "PlayerDetailAssets.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>
#include <functional>

namespace {
const QColor accent(46, 204, 196);
const QColor accent2(72, 142, 255);
const QColor plateInk(51, 51, 51);

// Draws a picture of w x h points at twice the resolution and saves it as name@2x.png.
bool picture(const QString &outDir, const QString &name, int w, int h, const std::function<void(QPainter &)> &draw)
{
    QImage image(w * 2, h * 2, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(2, 2);
    draw(p);
    p.end();
    const QString file = outDir + QLatin1Char('/') + name + QStringLiteral("@2x.png");
    if (image.save(file, "PNG"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    return false;
}

QPen roundPen(const QBrush &brush, qreal width)
{
    return QPen(brush, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QLinearGradient across(const QRectF &r, const QColor &from, const QColor &to)
{
    QLinearGradient g(r.topLeft(), r.topRight());
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    return g;
}

// A track segment: a capsule the width of the picture.
void track(QPainter &p, const QRectF &r, const QBrush &fill, const QColor &edge)
{
    p.setPen(QPen(edge, 0.5));
    p.setBrush(fill);
    p.drawRoundedRect(r.adjusted(0.25, 0.25, -0.25, -0.25), r.height() / 2, r.height() / 2);
}

// A round thumb with a soft shadow.
void thumb(QPainter &p, const QRectF &r, const QColor &ring, const QColor &core)
{
    QRadialGradient shadow(r.center() + QPointF(0, 0.8), r.width() / 2);
    shadow.setColorAt(0.7, QColor(0, 0, 0, 70));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawEllipse(r);
    const QRectF body = r.adjusted(1.5, 1.5, -1.5, -1.5);
    QLinearGradient shine(body.topLeft(), body.bottomLeft());
    shine.setColorAt(0, Qt::white);
    shine.setColorAt(1, QColor(222, 226, 232));
    p.setBrush(shine);
    p.setPen(QPen(ring, 1.2));
    p.drawEllipse(body);
    p.setPen(Qt::NoPen);
    p.setBrush(core);
    const qreal d = body.width() * 0.3;
    p.drawEllipse(body.center(), d / 2, d / 2);
}

void chevron(QPainter &p, const QPointF &c, qreal size, bool down, const QBrush &brush)
{
    const qreal s = down ? 1 : -1;
    p.setPen(roundPen(brush, 2.2));
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(c + QPointF(-size, -s * size / 2));
    path.lineTo(c + QPointF(0, s * size / 2));
    path.lineTo(c + QPointF(size, -s * size / 2));
    p.drawPath(path);
}

// The light brushed plate the panel uses, for the lower part of the full-screen player.
void metal(QPainter &p, const QRectF &r)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(240, 242, 245));
    g.setColorAt(0.55, QColor(222, 226, 231));
    g.setColorAt(1, QColor(198, 203, 211));
    p.fillRect(r, g);
    for (qreal y = r.top(); y < r.bottom(); y += 2) {
        p.setPen(QPen(QColor(255, 255, 255, int(y * 37) % 5 == 0 ? 40 : 18), 0.5));
        p.drawLine(QPointF(r.left(), y + 0.25), QPointF(r.right(), y + 0.25));
    }
    p.setPen(QPen(QColor(255, 255, 255, 210), 1));
    p.drawLine(QPointF(r.left(), r.top() + 0.5), QPointF(r.right(), r.top() + 0.5));
}
} // namespace

bool PlayerDetailAssets::draw(const QString &outDir)
{
    bool ok = true;
    // ---- the position slider: a teal thumb over a played (teal) and a waiting (grey) track ----
    ok &= picture(outDir, QStringLiteral("playerDetail_progressHead"), 22, 22,
                  [](QPainter &p) { thumb(p, QRectF(0, 0, 22, 22), accent, accent); });
    ok &= picture(outDir, QStringLiteral("playerDetail_progressBarPlayBack"), 20, 6, [](QPainter &p) {
        const QRectF r(0, 0, 20, 6);
        track(p, r, across(r, accent, accent2), QColor(20, 120, 116));
    });
    ok &= picture(outDir, QStringLiteral("playerDetail_progressBarInnerPlayBack"), 20, 6, [](QPainter &p) {
        const QRectF r(0, 0, 20, 6);
        QLinearGradient inset(r.topLeft(), r.bottomLeft());
        inset.setColorAt(0, QColor(150, 156, 165));
        inset.setColorAt(1, QColor(188, 193, 200));
        track(p, r, inset, QColor(120, 126, 136));
    });

    // ---- the volume slider: smaller, in the plate's ink ----
    ok &= picture(outDir, QStringLiteral("playerDetail_volume_header"), 17, 17,
                  [](QPainter &p) { thumb(p, QRectF(0, 0, 17, 17), QColor(120, 126, 136), plateInk); });
    ok &= picture(outDir, QStringLiteral("playerDetail_volume_play"), 16, 5, [](QPainter &p) {
        const QRectF r(0, 0, 16, 5);
        track(p, r, QColor(70, 76, 86), QColor(40, 44, 52));
    });
    ok &= picture(outDir, QStringLiteral("playerDetail_volume_blank"), 16, 5, [](QPainter &p) {
        const QRectF r(0, 0, 16, 5);
        track(p, r, QColor(190, 195, 202), QColor(140, 146, 156));
    });

    // ---- the screen: a dark stage for the artwork, the light plate below it ----
    ok &= picture(outDir, QStringLiteral("playerDetail_background"), 320, 320, [](QPainter &p) {
        QLinearGradient g(0, 0, 0, 320);
        g.setColorAt(0, QColor(30, 34, 44));
        g.setColorAt(1, QColor(10, 12, 16));
        p.fillRect(QRectF(0, 0, 320, 320), g);
        QRadialGradient glow(QPointF(160, 150), 190);
        glow.setColorAt(0, QColor(46, 204, 196, 36));
        glow.setColorAt(1, QColor(46, 204, 196, 0));
        p.fillRect(QRectF(0, 0, 320, 320), glow);
    });
    ok &= picture(outDir, QStringLiteral("playerDetail_plate"), 320, 160, [](QPainter &p) {
        metal(p, QRectF(0, 0, 320, 160));
        // A soft groove under the controls, and the speaker at the end of the volume slider.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 14));
        p.drawRoundedRect(QRectF(8, 70, 304, 46), 10, 10);
        p.setBrush(plateInk);
        QPainterPath speaker;
        speaker.moveTo(294, 134);
        speaker.lineTo(298, 134);
        speaker.lineTo(303, 129.5);
        speaker.lineTo(303, 144.5);
        speaker.lineTo(298, 140);
        speaker.lineTo(294, 140);
        speaker.closeSubpath();
        p.drawPath(speaker);
        p.setPen(roundPen(plateInk, 1.3));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(301, 132, 6, 10), -60 * 16, 120 * 16);
        p.drawArc(QRectF(301, 129, 10, 16), -60 * 16, 120 * 16);
    });
    ok &= picture(outDir, QStringLiteral("playerDetail_close"), 48, 30, [](QPainter &p) {
        p.setPen(QPen(QColor(120, 126, 136), 1));
        p.setBrush(QColor(255, 255, 255, 120));
        p.drawRoundedRect(QRectF(4.5, 3.5, 39, 23), 11.5, 11.5);
        chevron(p, QPointF(24, 15), 6, true, plateInk);
    });

    // ---- the tag panel: a dark glass strip, and the tabs that open and close it ----
    ok &= picture(outDir, QStringLiteral("playerDetail_id3Plate"), 320, 114, [](QPainter &p) {
        QLinearGradient g(0, 0, 0, 114);
        g.setColorAt(0, QColor(8, 10, 14, 235));
        g.setColorAt(0.5, QColor(14, 16, 22, 225));
        g.setColorAt(1, QColor(20, 24, 32, 205));
        p.fillRect(QRectF(0, 0, 320, 114), g);
        p.setPen(QPen(across(QRectF(0, 0, 320, 2), accent, accent2), 1.5));
        p.drawLine(QPointF(0, 113.25), QPointF(320, 113.25));
    });
    for (bool down : {true, false})
        ok &= picture(outDir, down ? QStringLiteral("playerDetail_id3Down") : QStringLiteral("playerDetail_id3Up"), 36,
                      28, [down](QPainter &p) {
                          p.setPen(QPen(QColor(255, 255, 255, 50), 1));
                          p.setBrush(QColor(14, 16, 22, 200));
                          p.drawRoundedRect(QRectF(3.5, 2.5, 29, 23), 8, 8);
                          chevron(p, QPointF(18, 14), 5.5, down, accent);
                      });

    // ---- the all-songs list's ground ----
    ok &= picture(outDir, QStringLiteral("listBackground"), 320, 316, [](QPainter &p) {
        QLinearGradient g(0, 0, 0, 316);
        g.setColorAt(0, QColor(16, 18, 24));
        g.setColorAt(1, QColor(8, 9, 12));
        p.fillRect(QRectF(0, 0, 320, 316), g);
        p.setPen(QPen(QColor(255, 255, 255, 8), 1));
        for (int y = 22; y < 316; y += 44)
            p.drawLine(QPointF(14, y + 0.5), QPointF(306, y + 0.5));
    });
    return ok;
}
