// Pictures of the quick-start guide and the feature overview: the pages' backdrop, the header
// logo, the two products of the equipment list and the race scenes beside the guide's sections
// (kayaks on the regatta course, paddlers close up, an indoor ergometer race).

#include "Artwork.h"
#include "ArtworkKit.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QtMath>

#include <algorithm>

using namespace artwork;

namespace {

// Colours of the scenes, graded towards the teal of the pages so the pictures sit in them.
const QColor kSkyTop("#0B3A45");
const QColor kSkyLow("#6FA3A8");
const QColor kWaterFar("#3C7480");
const QColor kWaterNear("#0C3440");
const QColor kShore("#0A2C33");
const QColor kSkin("#C98F6B");
const QColor kShadowSkin("#8A5A42");

// One racer: boat and kit colours, and the paddle's position in its stroke (0 catch on the
// right side, 1 catch on the left side).
struct Racer
{
    QColor hull;
    QColor shirt;
    QColor cap;
    int number = 1;
    qreal stroke = 0.2;
};

const Racer kRacers[] = {
    {QColor("#F2F2EE"), QColor("#D8462F"), QColor("#F2F2EE"), 3, 0.15},
    {QColor("#F3C53B"), QColor("#1D5C9E"), QColor("#1D5C9E"), 5, 0.65},
    {QColor("#E4483A"), QColor("#F2F2EE"), QColor("#E4483A"), 2, 0.35},
    {QColor("#8AFF78"), QColor("#0A2A39"), QColor("#0A2A39"), 7, 0.85},
    {QColor("#F2F2EE"), QColor("#2C9C8F"), QColor("#F3C53B"), 4, 0.5},
    {QColor("#36D7FF"), QColor("#F3C53B"), QColor("#F2F2EE"), 6, 0.05},
};

QColor mixed(const QColor& a, const QColor& b, qreal t)
{
    return QColor::fromRgbF(
        a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
        a.blueF() + (b.blueF() - a.blueF()) * t, a.alphaF() + (b.alphaF() - a.alphaF()) * t);
}

QColor withAlpha(QColor c, qreal alpha)
{
    c.setAlphaF(alpha);
    return c;
}

QPointF along(const QPointF& a, const QPointF& b, qreal t)
{
    return a + (b - a) * t;
}

// A limb or a shaft: a thick line with round ends.
void drawLimb(QPainter& p, const QPointF& a, const QPointF& b, qreal width, const QColor& colour)
{
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(a, b);
}

// A paddle blade: a spoon-shaped leaf at `tip`, pointing away from `root`.
void drawBlade(QPainter& p, const QPointF& root, const QPointF& tip, qreal width,
               const QColor& colour)
{
    const QPointF axis = tip - root;
    const qreal length = qSqrt(axis.x() * axis.x() + axis.y() * axis.y());
    p.save();
    p.translate(root);
    p.rotate(qRadiansToDegrees(qAtan2(axis.y(), axis.x())));
    QPainterPath leaf;
    leaf.moveTo(0, 0);
    leaf.cubicTo(length * 0.35, -width * 0.7, length, -width * 0.55, length, 0);
    leaf.cubicTo(length, width * 0.45, length * 0.35, width * 0.5, 0, 0);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(leaf);
    p.restore();
}

// The upper body of a seated paddler facing right, hips at the origin, `u` pixels to a unit
// (the hull is 100 units long), holding a paddle whose shaft runs from `low` to `high`.
void drawPaddlerBody(QPainter& p, qreal u, const Racer& racer, const QPointF& low,
                     const QPointF& high, bool bladeInWater)
{
    const QPointF hips(0, 0);
    const QPointF shoulder(4 * u, -17 * u);
    const QPointF head(6.5 * u, -23.5 * u);
    const QPointF lowHand = along(low, high, 0.3);
    const QPointF highHand = along(low, high, 0.72);
    const QColor farSkin = kShadowSkin;

    // Far arm first, then the torso, then the near arm over it.
    drawLimb(p, shoulder + QPointF(-1 * u, 0), highHand, 3.2 * u, farSkin);

    QPainterPath torso;
    torso.moveTo(hips + QPointF(-5 * u, 0));
    torso.cubicTo(QPointF(-6 * u, -8 * u), QPointF(-1 * u, -16 * u),
                  shoulder + QPointF(-3 * u, -1 * u));
    torso.lineTo(shoulder + QPointF(3 * u, 1 * u));
    torso.cubicTo(QPointF(7 * u, -10 * u), QPointF(5 * u, -4 * u), hips + QPointF(5 * u, 0));
    torso.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(racer.shirt);
    p.drawPath(torso);

    // Neck and head with a cap.
    drawLimb(p, shoulder + QPointF(0.5 * u, -1 * u), head + QPointF(-0.5 * u, 2 * u), 3 * u,
             kShadowSkin);
    p.setPen(Qt::NoPen);
    p.setBrush(kSkin);
    p.drawEllipse(head, 3.6 * u, 4 * u);
    QPainterPath cap;
    cap.moveTo(head + QPointF(-3.8 * u, -0.5 * u));
    cap.cubicTo(head + QPointF(-3.6 * u, -5.2 * u), head + QPointF(3.4 * u, -5.4 * u),
                head + QPointF(3.8 * u, -1 * u));
    cap.lineTo(head + QPointF(6.2 * u, -0.6 * u));
    cap.lineTo(head + QPointF(3.2 * u, 0.3 * u));
    cap.closeSubpath();
    p.setBrush(racer.cap);
    p.drawPath(cap);
    // Ear and sunglasses.
    p.setBrush(kShadowSkin);
    p.drawEllipse(head + QPointF(-0.6 * u, 0.6 * u), 0.8 * u, 1.1 * u);
    p.setBrush(QColor("#15191C"));
    p.drawRoundedRect(QRectF(head.x() + 0.8 * u, head.y() - 0.6 * u, 3 * u, 1.4 * u), 0.5 * u,
                      0.5 * u);

    // The paddle, then the near arm over it.
    const QColor shaft("#1B1F24");
    drawLimb(p, low, high, 1.5 * u, shaft);
    const QPointF lowDir = low - high;
    const QPointF highDir = high - low;
    drawBlade(p, low, low + lowDir * 0.22, 4.2 * u, bladeInWater ? QColor("#20262C") : shaft);
    drawBlade(p, high, high + highDir * 0.22, 4.2 * u, shaft);
    // The elbow bends down and out from the line between shoulder and hand.
    const QPointF reach = lowHand - shoulder;
    const QPointF elbow = along(shoulder, lowHand, 0.5) + QPointF(-reach.y(), reach.x()) * -0.22 +
                          QPointF(0, 1.5 * u);
    drawLimb(p, shoulder + QPointF(1.5 * u, 0.5 * u), elbow, 3.4 * u, kSkin);
    drawLimb(p, elbow, lowHand, 3 * u, kSkin);
    p.setPen(Qt::NoPen);
    p.setBrush(kShadowSkin);
    p.drawEllipse(lowHand, 1.6 * u, 1.6 * u);
    // Sleeve over the top of the near arm.
    drawLimb(p, shoulder + QPointF(1.5 * u, 0), shoulder + QPointF(2.5 * u, 2.5 * u), 4.4 * u,
             racer.shirt);
}

// A K1 sprint kayak with its paddler, side on and heading right, its waterline centred on the
// origin; `length` is the hull's length in pixels. Draws the splash of the working blade and
// the wash along the hull too.
void drawKayakRacer(QPainter& p, qreal length, const Racer& racer, const QColor& water)
{
    const qreal u = length / 100;
    p.save();

    // The paddle's shaft: the working blade goes in ahead of the paddler on the near side
    // early in the stroke and comes out beside the hips late in it.
    const qreal s = racer.stroke;
    const bool nearSide = s < 0.5;
    const qreal phase = nearSide ? s * 2 : (s - 0.5) * 2;
    const QPointF low(nearSide ? (22 - 26 * phase) * u : (18 - 20 * phase) * u,
                      nearSide ? 4 * u : -2 * u);
    const QPointF high(nearSide ? (-10 + 6 * phase) * u : (-6 + 4 * phase) * u, -38 * u);

    // Wash along the hull and behind the stern.
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(Qt::white, 0.28));
    QPainterPath wash;
    wash.moveTo(-70 * u, 1 * u);
    wash.cubicTo(-40 * u, -0.5 * u, 30 * u, -1.5 * u, 50 * u, 0);
    wash.cubicTo(30 * u, 2.5 * u, -40 * u, 3 * u, -70 * u, 1 * u);
    p.drawPath(wash);

    // Hull: slim, pointed at both ends, the deck rising towards the cockpit.
    QPainterPath hull;
    hull.moveTo(-50 * u, -1 * u);
    hull.cubicTo(-25 * u, -3.2 * u, 20 * u, -4 * u, 50 * u, -1.6 * u);
    hull.cubicTo(25 * u, 1.8 * u, -25 * u, 2 * u, -50 * u, -1 * u);
    QLinearGradient hullShade(0, -4 * u, 0, 2 * u);
    hullShade.setColorAt(0, racer.hull.lighter(115));
    hullShade.setColorAt(1, racer.hull.darker(140));
    p.setBrush(hullShade);
    p.drawPath(hull);
    // Bow number plate.
    p.setBrush(Qt::white);
    const QRectF plate(34 * u, -6.5 * u, 7 * u, 4.6 * u);
    p.drawRect(plate);
    p.setPen(QColor("#101010"));
    p.setFont(textFont(qMax(4.0, 4.2 * u), QFont::Bold));
    p.drawText(plate, Qt::AlignCenter, QString::number(racer.number));
    p.setPen(Qt::NoPen);

    // Water over the hull's lower edge.
    p.setBrush(withAlpha(water, 0.65));
    p.drawRect(QRectF(-52 * u, 0.6 * u, 104 * u, 2 * u));

    // The cockpit rim round the paddler's hips.
    p.setBrush(QColor("#15191C"));
    p.drawEllipse(QPointF(0, -2.4 * u), 7 * u, 1.4 * u);

    drawPaddlerBody(p, u, racer, low, high, true);

    // Splash where the blade works.
    QRandomGenerator gen(quint32(racer.number * 97 + int(s * 100)));
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 26; ++i) {
        const qreal angle = M_PI * (1.05 + gen.generateDouble() * 0.9);
        const qreal reach = (1.5 + gen.generateDouble() * 7) * u;
        const QPointF drop = low + QPointF(qCos(angle) * reach * 1.4, qSin(angle) * reach);
        p.setBrush(withAlpha(Qt::white, 0.35 + gen.generateDouble() * 0.5));
        p.drawEllipse(drop, (0.3 + gen.generateDouble() * 0.7) * u,
                      (0.3 + gen.generateDouble() * 0.7) * u);
    }
    p.setBrush(withAlpha(Qt::white, 0.55));
    p.drawEllipse(QPointF(low.x(), 1 * u), 5 * u, 1.6 * u);
    p.restore();
}

// The boat and paddler mirrored faintly in the water below the waterline.
void drawReflection(QPainter& p, qreal length, const Racer& racer)
{
    p.save();
    p.setOpacity(0.16);
    p.translate(0, length * 0.02);
    p.scale(1, -0.7);
    drawKayakRacer(p, length, racer, kWaterFar);
    p.restore();
}

// Sky above the far shore: a soft gradient with the low sun's glow.
void drawSky(QPainter& p, const QRectF& area, qreal horizon, const QPointF& sun)
{
    QLinearGradient sky(0, area.top(), 0, horizon);
    sky.setColorAt(0, kSkyTop);
    sky.setColorAt(1, kSkyLow);
    p.fillRect(QRectF(area.left(), area.top(), area.width(), horizon - area.top()), sky);
    QRadialGradient glow(sun, area.width() * 0.45);
    glow.setColorAt(0, QColor(255, 236, 190, 170));
    glow.setColorAt(0.15, QColor(255, 220, 170, 70));
    glow.setColorAt(1, QColor(255, 220, 170, 0));
    p.fillRect(QRectF(area.left(), area.top(), area.width(), horizon - area.top()), glow);

    // A few long, soft clouds lit from below.
    QRandomGenerator gen(quint32(sun.x() * 7 + area.width()));
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 7; ++i) {
        const QPointF centre(area.left() + gen.generateDouble() * area.width(),
                             area.top() +
                                 (0.15 + gen.generateDouble() * 0.55) * (horizon - area.top()));
        const qreal rx = area.width() * (0.08 + gen.generateDouble() * 0.12);
        QRadialGradient cloud(centre, rx);
        cloud.setColorAt(0, QColor(225, 240, 238, 46));
        cloud.setColorAt(1, QColor(225, 240, 238, 0));
        p.save();
        p.translate(centre);
        p.scale(1, 0.22);
        p.translate(-centre);
        p.setBrush(cloud);
        p.drawEllipse(centre, rx, rx);
        p.restore();
    }
}

// The far bank: a ragged tree line with a grandstand and a finish tower in front of it.
void drawShore(QPainter& p, qreal width, qreal horizon, qreal height, quint32 seed, bool grandstand)
{
    QRandomGenerator gen(seed);
    QPainterPath trees;
    trees.moveTo(0, horizon);
    for (qreal x = 0; x <= width + 20; x += height * 0.18) {
        const qreal top = horizon - height * (0.55 + gen.generateDouble() * 0.45);
        trees.quadTo(QPointF(x - height * 0.09, top - height * 0.15), QPointF(x, top));
    }
    trees.lineTo(width + 20, horizon);
    trees.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(mixed(kShore, kSkyLow, 0.35));
    p.drawPath(trees);

    if (grandstand) {
        // Rows of spectators under a roof, as small coloured dots.
        const qreal left = width * 0.18;
        const qreal right = width * 0.62;
        const qreal roof = horizon - height * 0.62;
        p.setBrush(mixed(kShore, kSkyLow, 0.15));
        p.drawRect(QRectF(left, roof, right - left, horizon - roof));
        p.setBrush(QColor("#DDE6E4"));
        QPainterPath roofShape;
        roofShape.moveTo(left - height * 0.08, roof);
        roofShape.lineTo(right + height * 0.08, roof);
        roofShape.lineTo(right, roof - height * 0.1);
        roofShape.lineTo(left, roof - height * 0.1);
        roofShape.closeSubpath();
        p.drawPath(roofShape);
        const QColor crowd[] = {QColor("#E8E2D0"), QColor("#D8462F"), QColor("#1D5C9E"),
                                QColor("#F3C53B"), QColor("#F2F2EE"), QColor("#2C9C8F")};
        const qreal step = qMax(2.0, height * 0.06);
        for (qreal y = roof + step; y < horizon - step * 0.5; y += step * 1.2) {
            for (qreal x = left + step; x < right - step * 0.5; x += step * 1.1) {
                QColor c = crowd[gen.bounded(6)];
                c.setAlphaF(0.75);
                p.setBrush(c);
                p.drawEllipse(QPointF(x + gen.generateDouble() * step * 0.3, y), step * 0.32,
                              step * 0.38);
            }
        }
        // The finish tower at the end of the course.
        const qreal towerX = width * 0.78;
        p.setBrush(QColor("#E9EEEC"));
        p.drawRect(QRectF(towerX, horizon - height * 1.2, height * 0.3, height * 1.2));
        p.setBrush(QColor("#0F4C57"));
        p.drawRect(
            QRectF(towerX - height * 0.05, horizon - height * 1.35, height * 0.4, height * 0.22));
    }
}

// Water from the horizon down: darker and bluer towards the viewer, with long ripple lines and
// the sun's glitter.
void drawWater(QPainter& p, const QRectF& area, qreal horizon, qreal sunX, quint32 seed)
{
    QLinearGradient water(0, horizon, 0, area.bottom());
    water.setColorAt(0, kWaterFar);
    water.setColorAt(1, kWaterNear);
    p.fillRect(QRectF(area.left(), horizon, area.width(), area.bottom() - horizon), water);

    QRandomGenerator gen(seed);
    const qreal depth = area.bottom() - horizon;
    for (int i = 0; i < 420; ++i) {
        const qreal f = qPow(gen.generateDouble(), 1.6);
        const qreal y = horizon + f * depth;
        const qreal len = (8 + gen.generateDouble() * 60) * (0.2 + f * 1.6);
        const qreal x = area.left() + gen.generateDouble() * area.width();
        const qreal nearSun = qMax(0.0, 1 - qAbs(x - sunX) / (area.width() * 0.35));
        QColor c = gen.bounded(3) == 0 ? QColor(8, 30, 36) : QColor(220, 240, 235);
        c.setAlphaF(c.red() > 100 ? 0.08 + nearSun * 0.35 : 0.18);
        p.setPen(QPen(c, qMax(1.0, f * 3), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(x, y), QPointF(x + len, y));
    }
}

// A lane line of small buoys across the picture at one depth.
void drawBuoys(QPainter& p, qreal width, qreal y, qreal size, const QColor& colour)
{
    p.setPen(Qt::NoPen);
    for (qreal x = -size; x < width + size; x += size * 9) {
        p.setBrush(withAlpha(Qt::black, 0.25));
        p.drawEllipse(QPointF(x, y + size * 0.55), size * 0.9, size * 0.25);
        p.setBrush(colour);
        p.drawEllipse(QPointF(x, y), size * 0.55, size * 0.5);
        p.setBrush(withAlpha(Qt::white, 0.5));
        p.drawEllipse(QPointF(x - size * 0.15, y - size * 0.2), size * 0.15, size * 0.12);
    }
}

// Darkens the edges a little, as a lens does, and tints the picture towards the pages' teal.
void finishPhoto(QPainter& p, const QSize& size)
{
    QRadialGradient vignette(QPointF(size.width() / 2.0, size.height() / 2.0),
                             qMax(size.width(), size.height()) * 0.75);
    vignette.setColorAt(0.55, QColor(3, 22, 27, 0));
    vignette.setColorAt(1, QColor(3, 22, 27, 120));
    p.fillRect(QRect(QPoint(0, 0), size), vignette);
    p.fillRect(QRect(QPoint(0, 0), size), QColor(15, 76, 87, 26));
}

// A regatta course seen from the bank: boats in their lanes heading right, nearer lanes lower
// and bigger. `lanes` gives each boat's lane depth (0 far .. 1 near) and its lead in hull
// lengths.
struct Boat
{
    int racer;
    qreal depth;
    qreal lead;
};

QImage drawRegatta(int w, int h, qreal horizonRate, const QList<Boat>& boats, qreal boatScale,
                   qreal courseLeft, bool grandstand, quint32 seed)
{
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF area(0, 0, w, h);
    const qreal horizon = h * horizonRate;
    const QPointF sun(w * 0.72, horizon - h * 0.12);
    drawSky(p, area, horizon, sun);
    drawShore(p, w, horizon, h * 0.09, seed, grandstand);
    drawWater(p, area, horizon, sun.x(), seed + 1);

    // Lane buoys between the boats, then the boats from the far lane to the near one.
    QList<Boat> order = boats;
    std::sort(order.begin(), order.end(),
              [](const Boat& a, const Boat& b) { return a.depth < b.depth; });
    const auto yAt = [&](qreal depth) { return horizon + (h - horizon) * (0.08 + depth * 0.82); };
    const auto lengthAt = [&](qreal depth) { return w * boatScale * (0.25 + depth * 0.75); };
    for (qreal d = -0.06; d < 1.1; d += 0.24)
        drawBuoys(p, w, yAt(d + 0.12), lengthAt(d + 0.12) * 0.035, QColor("#F3C53B"));
    for (const Boat& boat : order) {
        const qreal length = lengthAt(boat.depth);
        p.save();
        p.translate(courseLeft * w + boat.lead * length, yAt(boat.depth));
        drawReflection(p, length, kRacers[boat.racer]);
        drawKayakRacer(p, length, kRacers[boat.racer], kWaterFar);
        p.restore();
    }
    finishPhoto(p, image.size());
    return image;
}

// A paddler close up from low on the water, the boat running out of the picture.
QImage drawCloseUp(int w, int h, int racer, qreal stroke, bool mirrored, quint32 seed)
{
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF area(0, 0, w, h);
    const qreal horizon = h * 0.46;
    drawSky(p, area, horizon, QPointF(w * 0.25, horizon - h * 0.2));
    drawShore(p, w, horizon, h * 0.1, seed, false);
    drawWater(p, area, horizon, w * 0.25, seed + 1);
    drawBuoys(p, w, horizon + h * 0.12, h * 0.016, QColor("#F3C53B"));

    Racer r = kRacers[racer];
    r.stroke = stroke;
    p.save();
    if (mirrored) {
        p.translate(w, 0);
        p.scale(-1, 1);
    }
    p.translate(w * 0.46, h * 0.8);
    drawReflection(p, w * 1.5, r);
    drawKayakRacer(p, w * 1.5, r, kWaterFar);
    p.restore();
    finishPhoto(p, image.size());
    return image;
}

// The course from the air: lanes of buoys and boats with their wakes.
QImage drawAerial(int w, int h, qreal angle, quint32 seed)
{
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient water(0, 0, w, h);
    water.setColorAt(0, QColor("#2F6E78"));
    water.setColorAt(1, QColor("#0E3B46"));
    p.fillRect(image.rect(), water);

    QRandomGenerator gen(seed);
    // The course turned under the camera; drawn on a larger square so the corners stay filled.
    p.translate(w / 2.0, h / 2.0);
    p.rotate(angle);
    p.translate(-w, -h);
    w *= 2;
    h *= 2;
    for (int i = 0; i < 1000; ++i) {
        const qreal x = gen.generateDouble() * w;
        const qreal y = gen.generateDouble() * h;
        p.setPen(
            QPen(QColor(210, 240, 235, 20 + gen.bounded(30)), 1.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(x, y), QPointF(x + 10 + gen.generateDouble() * 30, y + 2));
    }

    const int lanes = 10;
    const qreal laneHeight = h / qreal(lanes);
    for (int lane = 0; lane <= lanes; ++lane)
        drawBuoys(p, w, lane * laneHeight, laneHeight * 0.07,
                  lane % 2 ? QColor("#F3C53B") : QColor("#F2F2EE"));
    for (int lane = 0; lane < lanes; ++lane) {
        const Racer& racer = kRacers[(lane + 1) % 6];
        const qreal y = (lane + 0.5) * laneHeight;
        const qreal x = w * (0.47 + 0.05 * qSin(lane * 2.1 + seed));
        const qreal length = laneHeight * 2.6;
        // The wake spreads behind the stern in a V.
        QPainterPath wake;
        wake.moveTo(x + length * 0.1, y);
        wake.lineTo(x - length * 1.6, y - laneHeight * 0.32);
        wake.lineTo(x - length * 1.6, y + laneHeight * 0.32);
        wake.closeSubpath();
        QLinearGradient wakeFill(x, y, x - length * 1.6, y);
        wakeFill.setColorAt(0, QColor(255, 255, 255, 110));
        wakeFill.setColorAt(1, QColor(255, 255, 255, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(wakeFill);
        p.drawPath(wake);
        p.save();
        p.translate(x, y);
        drawKayak(p, length, laneHeight * 0.2, racer.hull, QColor("#1B1F24"));
        // The paddler from above: shoulders, cap and the paddle across the boat.
        p.setBrush(racer.shirt);
        p.drawEllipse(QPointF(0, 0), laneHeight * 0.07, laneHeight * 0.13);
        p.setBrush(racer.cap);
        p.drawEllipse(QPointF(laneHeight * 0.04, 0), laneHeight * 0.05, laneHeight * 0.05);
        p.rotate(lane % 2 ? 62 : 118);
        drawPaddle(p, laneHeight * 0.9, laneHeight * 0.02, QColor("#1B1F24"));
        p.restore();
    }
    p.resetTransform();
    finishPhoto(p, image.size());
    return image;
}

// A kayak ergometer side on, facing right, its floor point at the origin; `u` pixels a unit
// (the machine is about 100 units long). With a paddler on it when `racer` is given.
void drawErgometer(QPainter& p, qreal u, const Racer* racer, bool screenLit)
{
    const QColor frame("#2A3238");
    const QColor metal("#8E9AA0");
    p.setPen(Qt::NoPen);

    // Shadow, base beam and feet.
    p.setBrush(withAlpha(Qt::black, 0.35));
    p.drawEllipse(QPointF(0, 0), 55 * u, 3 * u);
    p.setBrush(frame);
    p.drawRoundedRect(QRectF(-50 * u, -6 * u, 96 * u, 5 * u), 2 * u, 2 * u);
    p.drawRect(QRectF(-48 * u, -2 * u, 6 * u, 2 * u));
    p.drawRect(QRectF(38 * u, -2 * u, 6 * u, 2 * u));
    // A kayak-shaped seat shell over the beam, so it reads as a boat on the floor.
    QPainterPath shell;
    shell.moveTo(-44 * u, -9 * u);
    shell.cubicTo(-20 * u, -13 * u, 10 * u, -13 * u, 30 * u, -9 * u);
    shell.lineTo(30 * u, -6 * u);
    shell.lineTo(-44 * u, -6 * u);
    shell.closeSubpath();
    QLinearGradient shellShade(0, -13 * u, 0, -6 * u);
    shellShade.setColorAt(0, QColor("#F2F2EE"));
    shellShade.setColorAt(1, QColor("#9AA6AA"));
    p.setBrush(shellShade);
    p.drawPath(shell);
    // Flywheel housing at the front with the console on its post.
    p.setBrush(frame);
    p.drawRoundedRect(QRectF(30 * u, -22 * u, 18 * u, 17 * u), 4 * u, 4 * u);
    p.setBrush(metal);
    p.drawEllipse(QPointF(39 * u, -13.5 * u), 5.5 * u, 5.5 * u);
    p.setBrush(frame);
    p.drawEllipse(QPointF(39 * u, -13.5 * u), 2 * u, 2 * u);
    drawLimb(p, QPointF(40 * u, -22 * u), QPointF(37 * u, -42 * u), 2.2 * u, metal);
    p.save();
    p.translate(36 * u, -46 * u);
    p.rotate(-12);
    p.setBrush(QColor("#151A1E"));
    p.drawRoundedRect(QRectF(-5 * u, -5 * u, 10 * u, 10 * u), 1.5 * u, 1.5 * u);
    p.setBrush(screenLit ? QColor("#8AFF78") : QColor("#2E5A50"));
    p.drawRect(QRectF(-3.8 * u, -3.8 * u, 7.6 * u, 5 * u));
    p.restore();

    if (!racer)
        return;
    // The athlete sits on the shell, legs forward to the footrest, and pulls a shaft whose
    // ends are tied to the flywheel by cords.
    p.save();
    p.translate(-8 * u, -12 * u);
    const qreal s = racer->stroke;
    const QPointF low((16 - 18 * s) * u, -4 * u);
    const QPointF high((-6 + 6 * s) * u, -34 * u);
    p.setPen(QPen(withAlpha(QColor("#C8D0D2"), 0.8), 0.5 * u));
    p.drawLine(low, QPointF(47 * u, -1.5 * u));
    p.drawLine(high, QPointF(47 * u, -1.5 * u));
    p.setPen(Qt::NoPen);
    // Legs.
    drawLimb(p, QPointF(2 * u, -1 * u), QPointF(16 * u, -6 * u), 5 * u, QColor("#1B2328"));
    drawLimb(p, QPointF(16 * u, -6 * u), QPointF(30 * u, 1 * u), 4 * u, QColor("#1B2328"));
    drawPaddlerBody(p, u, *racer, low, high, false);
    p.restore();
}

// An indoor race: athletes on a row of ergometers, a big screen with the race on the wall.
struct Hall
{
    int machines = 1;
    qreal scale = 0.2; // length of the nearest machine, as a share of the picture's width
    qreal firstX =
        0.4; // where the row starts and how far apart the machines stand (shares of the width)
    qreal spacing = 0.1;
    qreal floor = 0.5;   // where the wall meets the floor (share of the height)
    qreal nearest = 0.9; // the nearest machine's place on the floor and the depth of the row
    qreal rowDepth = 0.6;
    QRectF screen; // the big screen on the wall (shares of the picture)
};

QImage drawHallRace(int w, int h, const Hall& hall, quint32 seed)
{
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Back wall and floor of the hall.
    const qreal floorY = h * hall.floor;
    QLinearGradient wall(0, 0, 0, floorY);
    wall.setColorAt(0, QColor("#06222A"));
    wall.setColorAt(1, QColor("#0E3F4A"));
    p.fillRect(QRectF(0, 0, w, floorY), wall);
    QLinearGradient floor(0, floorY, 0, h);
    floor.setColorAt(0, QColor("#2A4A50"));
    floor.setColorAt(1, QColor("#0C2229"));
    p.fillRect(QRectF(0, floorY, w, h - floorY), floor);
    // Ceiling lights.
    for (int i = 0; i < 6; ++i) {
        const QPointF light(w * (0.08 + i * 0.17), h * 0.03);
        QRadialGradient glow(light, h * 0.22);
        glow.setColorAt(0, QColor(255, 255, 240, 120));
        glow.setColorAt(1, QColor(255, 255, 240, 0));
        p.fillRect(QRectF(light.x() - h * 0.22, 0, h * 0.44, h * 0.25), glow);
    }

    // The big screen: the race view with its lanes and kayaks, and the product's green.
    const QRectF screen(w * hall.screen.x(), h * hall.screen.y(), w * hall.screen.width(),
                        h * hall.screen.height());
    p.setPen(Qt::NoPen);
    p.setBrush(QColor("#020C0F"));
    p.drawRect(screen.adjusted(-6, -6, 6, 6));
    QLinearGradient track(screen.topLeft(), screen.bottomLeft());
    track.setColorAt(0, QColor("#0F4C57"));
    track.setColorAt(1, QColor("#082F37"));
    p.fillRect(screen, track);
    const int lanes = 6;
    const qreal laneH = screen.height() / lanes;
    QRandomGenerator gen(seed);
    for (int lane = 0; lane < lanes; ++lane) {
        const qreal y = screen.top() + (lane + 0.5) * laneH;
        p.setPen(QPen(QColor(255, 255, 255, 40), 1, Qt::DashLine));
        p.drawLine(QPointF(screen.left(), screen.top() + lane * laneH),
                   QPointF(screen.right(), screen.top() + lane * laneH));
        p.save();
        p.translate(screen.left() + screen.width() * (0.35 + gen.generateDouble() * 0.4), y);
        drawKayak(p, laneH * 2.6, laneH * 0.45, kRacers[lane].hull, QColor("#0A2A39"));
        p.restore();
    }
    p.setPen(QPen(kAccentGreen, 3));
    p.drawLine(QPointF(screen.right() - screen.width() * 0.06, screen.top()),
               QPointF(screen.right() - screen.width() * 0.06, screen.bottom()));
    QRadialGradient screenGlow(screen.center(), screen.width() * 0.7);
    screenGlow.setColorAt(0, QColor(54, 215, 255, 40));
    screenGlow.setColorAt(1, QColor(54, 215, 255, 0));
    p.fillRect(QRectF(0, 0, w, h), screenGlow);

    // The machines in a row, the nearer ones lower and larger.
    for (int i = 0; i < hall.machines; ++i) {
        const qreal depth = hall.machines > 1 ? qreal(i) / (hall.machines - 1) : 1;
        const qreal u = w * hall.scale * (0.55 + depth * 0.45) / 100;
        Racer racer = kRacers[i % 6];
        racer.stroke = gen.generateDouble();
        p.save();
        p.translate(w * (hall.firstX + i * hall.spacing),
                    floorY + (h - floorY) * (hall.nearest - (1 - depth) * hall.rowDepth));
        drawErgometer(p, u, &racer, true);
        p.restore();
    }
    finishPhoto(p, image.size());
    return image;
}

// The pages' backdrop: the home screen's dark teal with a thin decorative strip along the top
// edge, a header band behind the page title and a lit band along the bottom behind Back.
QImage drawGuideBackground()
{
    const int w = 1920;
    const int h = 1080;
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    drawBackdropGradient(p, image.size(), 80);

    // The strip: a fine line of chevrons in the accent colours.
    const QRectF strip(0, 0, w, 8);
    p.fillRect(strip, QColor(3, 22, 27, 220));
    QLinearGradient stripColour(0, 0, w, 0);
    stripColour.setColorAt(0, QColor(20, 163, 160, 160));
    stripColour.setColorAt(0.5, QColor(138, 255, 120, 130));
    stripColour.setColorAt(1, QColor(20, 163, 160, 160));
    p.setPen(QPen(QBrush(stripColour), 1.5));
    for (qreal x = -8; x < w + 8; x += 11) {
        p.drawLine(QPointF(x, strip.bottom()), QPointF(x + 4, strip.top()));
        p.drawLine(QPointF(x + 4, strip.top()), QPointF(x + 8, strip.bottom()));
    }

    // Header band with a hairline under it.
    QLinearGradient header(0, 0, w, 0);
    header.setColorAt(0, QColor(255, 255, 255, 16));
    header.setColorAt(0.6, QColor(255, 255, 255, 6));
    header.setColorAt(1, QColor(255, 255, 255, 14));
    p.fillRect(QRectF(0, 18, w, 106), header);
    QLinearGradient hairline(0, 0, w, 0);
    hairline.setColorAt(0, QColor(138, 255, 120, 0));
    hairline.setColorAt(0.2, QColor(138, 255, 120, 110));
    hairline.setColorAt(0.8, QColor(54, 215, 255, 90));
    hairline.setColorAt(1, QColor(54, 215, 255, 0));
    p.fillRect(QRectF(0, 124, w, 2), hairline);

    // Lit footer band: light rising from the bottom edge.
    const qreal footerTop = h - 84;
    QLinearGradient footer(0, footerTop, 0, h);
    footer.setColorAt(0, QColor(20, 163, 160, 0));
    footer.setColorAt(1, QColor(20, 163, 160, 70));
    p.fillRect(QRectF(0, footerTop, w, h - footerTop), footer);
    p.fillRect(QRectF(0, footerTop, w, 1), hairline);
    return image;
}

// The header logo: the product mark in a ring beside the product name, on a clear ground.
QImage drawHeaderLogo()
{
    const int w = 706;
    const int h = 280;
    QImage image = canvas(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const qreal markSize = 220;
    const QPointF centre(20 + markSize / 2, h / 2.0);
    p.setPen(QPen(QColor(138, 255, 120, 210), 8));
    p.setBrush(QColor(255, 255, 255, 22));
    p.drawEllipse(centre, markSize / 2 - 5, markSize / 2 - 5);
    p.save();
    p.translate(centre);
    drawMark(p, markSize * 0.8, Qt::white, QColor("#0A3A44"));
    p.restore();

    const qreal left = centre.x() + markSize / 2 + 30;
    const QFont nameFont = textFont(96, QFont::Bold);
    const QFontMetricsF nameMetrics(nameFont);
    p.setFont(nameFont);
    p.setPen(Qt::white);
    p.drawText(QPointF(left, h / 2.0 - 8), QStringLiteral("Rivanta"));
    p.setPen(kAccentGreen);
    p.drawText(QPointF(left, h / 2.0 - 8 + nameMetrics.capHeight() + 30), QStringLiteral("Race"));
    return image;
}

// The race console, front on: a dark housing with its lit display on a clamp.
QImage drawConsoleProduct()
{
    const int size = 400;
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Clamp and post below the housing.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor("#5E6A70"));
    p.drawRoundedRect(QRectF(185, 300, 30, 80), 6, 6);
    p.drawRoundedRect(QRectF(150, 362, 100, 22), 8, 8);

    const QRectF body(40, 50, 320, 260);
    QLinearGradient housing(body.topLeft(), body.bottomLeft());
    housing.setColorAt(0, QColor("#3A454C"));
    housing.setColorAt(1, QColor("#161C20"));
    p.setBrush(housing);
    p.drawRoundedRect(body, 34, 34);
    p.setPen(QPen(QColor(255, 255, 255, 50), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(body.adjusted(3, 3, -3, -3), 31, 31);

    const QRectF display(68, 80, 264, 150);
    p.setPen(Qt::NoPen);
    QLinearGradient lcd(display.topLeft(), display.bottomRight());
    lcd.setColorAt(0, QColor("#0F4C57"));
    lcd.setColorAt(1, QColor("#03161B"));
    p.setBrush(lcd);
    p.drawRoundedRect(display, 10, 10);
    p.setPen(kAccentGreen);
    p.setFont(textFont(58, QFont::Bold));
    p.drawText(display.adjusted(0, 6, 0, -50), Qt::AlignCenter, QStringLiteral("487 m"));
    p.setPen(QColor("#36D7FF"));
    p.setFont(textFont(26, QFont::DemiBold));
    p.drawText(display.adjusted(16, 96, -16, -10), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("SPM 92"));
    p.drawText(display.adjusted(16, 96, -16, -10), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("01:48"));

    // Buttons and the link light.
    for (int i = 0; i < 3; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor("#2B343A"));
        p.drawEllipse(QPointF(150 + i * 50, 268), 15, 15);
        p.setBrush(QColor(255, 255, 255, 40));
        p.drawEllipse(QPointF(147 + i * 50, 264), 6, 6);
    }
    p.setBrush(QColor("#36D7FF"));
    p.drawEllipse(QPointF(320, 268), 7, 7);
    return image;
}

// The kayak ergometer on its own, a little from the front so it fills a square picture.
QImage drawErgometerProduct()
{
    const int size = 400;
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(size * 0.48, size * 0.84);
    Racer racer = kRacers[3];
    racer.stroke = 0.35;
    // Without an athlete the machine alone would be a thin line: show one paddling on it.
    drawErgometer(p, size * 0.0078, &racer, true);
    return image;
}

} // namespace

bool drawGuideArtwork(const QString& out)
{
    const QString dir = out + "/images/";
    const QList<Boat> startField = {
        {0, 0.15, 0.1}, {1, 0.4, -0.35}, {2, 0.7, 0.2}, {3, 1.0, -0.15}};
    const QList<Boat> finishField = {
        {4, 0.1, 0.5}, {5, 0.35, 0.05}, {0, 0.6, 0.35}, {2, 0.88, -0.1}};
    bool ok = true;
    ok &= save(drawGuideBackground(), dir + "other_bg_1.png");
    ok &= save(drawHeaderLogo(), dir + "logo-race-header.png");
    ok &= save(drawConsoleProduct(), dir + "pro-console.png");
    ok &= save(drawErgometerProduct(), dir + "pro-corvex-verticle.png");
    ok &= save(drawRegatta(1000, 500, 0.36, startField, 0.36, 0.55, true, 11),
               dir + "other_bg_2.png");
    ok &= save(
        drawHallRace(1200, 700, {5, 0.25, 0.38, 0.095, 0.5, 0.9, 0.6, {0.2, 0.07, 0.6, 0.33}}, 21),
        dir + "other_bg_2_2.png");
    ok &= save(drawCloseUp(500, 500, 1, 0.2, false, 31), dir + "other_bg_2_3_1.png");
    ok &= save(drawAerial(500, 500, -24, 41), dir + "other_bg_2_3_2.png");
    ok &= save(drawHallRace(1000, 600,
                            {4, 0.3, 0.34, 0.11, 0.42, 0.68, 0.45, {0.3, 0.06, 0.55, 0.28}}, 51),
               dir + "other_bg_2_4.png");
    ok &= save(drawCloseUp(500, 500, 2, 0.7, true, 61), dir + "other_bg_2_5_1.png");
    ok &=
        save(drawHallRace(500, 500, {1, 0.66, 0.47, 0, 0.5, 0.3, 0, {0.22, 0.16, 0.56, 0.26}}, 71),
             dir + "other_bg_2_5_2.png");
    ok &= save(drawRegatta(1020, 700, 0.3, finishField, 0.42, 0.62, true, 81),
               dir + "other_bg_2_6.png");
    return ok;
}
