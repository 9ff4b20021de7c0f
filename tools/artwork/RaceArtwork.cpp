// The race screen's pictures: the page background, one paddling-kayak sprite sheet per lane
// colour, the three finish medals and the transparent strip that carries each kayak row.

#include "Artwork.h"
#include "ArtworkKit.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QtMath>

using namespace artwork;

namespace {

// Lane colours by race row, as the race page colours each row's circle, marker and standing.
const char* const kLaneColours[] = {"#297AFF", "#EF4444", "#20B055", "#F59E0B", "#8B5CF6",
                                    "#F14097", "#00BBDB", "#12B6A4", "#FF7311", "#6366F1"};

// One sprite frame, and the number of frames in one paddle cycle (the page plays twelve a
// second, so one cycle a second).
constexpr int kFrameW = 467;
constexpr int kFrameH = 242;
constexpr int kFrames = 12;

QColor mix(const QColor& a, const QColor& b, qreal amount)
{
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * amount,
                            a.greenF() + (b.greenF() - a.greenF()) * amount,
                            a.blueF() + (b.blueF() - a.blueF()) * amount,
                            a.alphaF() + (b.alphaF() - a.alphaF()) * amount);
}

QColor withAlpha(QColor colour, qreal alpha)
{
    colour.setAlphaF(alpha);
    return colour;
}

// ---- Page background --------------------------------------------------------------------

// A hairline in the accent colour that fades out towards both ends.
void drawAccentRule(QPainter& p, qreal y, qreal width, qreal alpha)
{
    QLinearGradient rule(0, y, width, y);
    rule.setColorAt(0, withAlpha(kAccentGreen, 0));
    rule.setColorAt(0.3, withAlpha(kAccentGreen, alpha));
    rule.setColorAt(0.7, withAlpha(kAccentGreen, alpha));
    rule.setColorAt(1, withAlpha(kAccentGreen, 0));
    p.fillRect(QRectF(0, y, width, 1.5), rule);
}

// Short wave crests scattered over the water; a fixed seed keeps every build identical.
void drawRipples(QPainter& p, const QRectF& water)
{
    QRandomGenerator random(20260307);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 1600; ++i) {
        const qreal x = water.left() + random.bounded(water.width());
        const qreal y = water.top() + 6 + random.bounded(water.height() - 12);
        const qreal length = 18 + random.bounded(52.0);
        const qreal lift = 1.5 + random.bounded(2.5);
        // Crests further right lie in the darker part of the gradient: make them a bit fainter.
        const qreal alpha = (0.025 + random.bounded(0.05)) * (1.1 - 0.4 * x / water.width());
        p.setPen(QPen(QColor::fromRgbF(0.75, 1, 0.98, alpha), 1.6, Qt::SolidLine, Qt::RoundCap));
        QPainterPath crest;
        crest.moveTo(x, y);
        crest.quadTo(x + length / 2, y - lift * 2, x + length, y);
        p.drawPath(crest);
    }
}

// The small product mark in its ring, then the product name, beside the page buttons.
void drawHeaderLogo(QPainter& p)
{
    const QPointF centre(50, 69);
    const qreal ring = 44;
    p.setPen(QPen(withAlpha(kAccentGreen, 0.8), 2.5));
    p.setBrush(QColor(255, 255, 255, 18));
    p.drawEllipse(centre, ring / 2 - 1.5, ring / 2 - 1.5);
    p.save();
    p.translate(centre);
    drawMark(p, ring * 0.8, Qt::white, QColor("#0A3A44"));
    p.restore();

    const QFont nameFont = textFont(22, QFont::Bold);
    p.setFont(nameFont);
    p.setPen(Qt::white);
    const qreal baseline = centre.y() + QFontMetricsF(nameFont).capHeight() / 2;
    p.drawText(QPointF(centre.x() + ring / 2 + 12, baseline), QStringLiteral("Rivanta Race"));
}

QImage drawRaceBackground()
{
    const int w = 1920;
    const int h = 1080;
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // The home screen's gradient, so that the race reads as the same product.
    drawBackdropGradient(p, image.size(), 80);

    // The course: the kayaks wait at its left edge, the finish stands at x 1427 whatever the
    // number of racers, and the standings panel covers its right end.
    const QRectF water(0, 100, w, 772);
    QLinearGradient depth(0, water.top(), 0, water.bottom());
    depth.setColorAt(0, QColor(10, 96, 110, 70));
    depth.setColorAt(0.5, QColor(6, 74, 88, 45));
    depth.setColorAt(1, QColor(2, 30, 38, 90));
    p.fillRect(water, depth);
    for (const QPointF& spot : {QPointF(520, 330), QPointF(1100, 620), QPointF(260, 760)}) {
        QRadialGradient light(spot, 420);
        light.setColorAt(0, QColor(90, 220, 215, 22));
        light.setColorAt(1, QColor(90, 220, 215, 0));
        p.fillRect(water, light);
    }
    drawRipples(p, water);

    // A soft green glow past the finish line, mostly beneath the standings panel.
    QLinearGradient finish(1427, 0, 1640, 0);
    finish.setColorAt(0, withAlpha(kAccentGreen, 0.10));
    finish.setColorAt(1, withAlpha(kAccentGreen, 0));
    p.fillRect(QRectF(1427, water.top(), 213, water.height()), finish);

    // Header with the buttons, the race distance and the clock; the summary strip below the
    // course with the distance scale and the progress bar.
    p.fillRect(QRectF(0, 0, w, water.top()), QColor(3, 22, 27, 120));
    p.fillRect(QRectF(0, water.bottom(), w, h - water.bottom()), QColor(3, 22, 27, 130));
    drawAccentRule(p, water.top() - 1, w, 0.45);
    drawAccentRule(p, water.bottom(), w, 0.45);
    drawChevronBand(p, QRectF(0, 0, w, 10));
    drawChevronBand(p, QRectF(0, h - 14, w, 14));
    drawHeaderLogo(p);
    return image;
}

// ---- Kayak sprite sheets ----------------------------------------------------------------

// Where one paddle cycle stands at time t (0 to 1): the left (upper) blade catches at t 0 and
// leaves the water before 0.5, the right blade catches at 0.5.
struct StrokePose
{
    qreal shaftAngle = 0; // radians; positive turns the upper blade towards the bow
    qreal upperDepth = 0; // 0 in the air, 1 fully in the water
    qreal lowerDepth = 0;
};

// How deep a blade is at `u` cycles after its catch: in the water for a little under half a
// cycle, entering and leaving quickly.
qreal bladeDepth(qreal u)
{
    u = u - std::floor(u);
    if (u > 0.5)
        u -= 1;
    if (u < -0.04 || u > 0.46)
        return 0;
    return std::pow(std::sin(M_PI * (u + 0.04) / 0.5), 0.7);
}

StrokePose poseAt(qreal t)
{
    StrokePose pose;
    pose.shaftAngle = qDegreesToRadians(38.0) * std::cos(2 * M_PI * t);
    pose.upperDepth = bladeDepth(t);
    pose.lowerDepth = bladeDepth(t - 0.5);
    return pose;
}

// Hull of a racing kayak seen from above, bow to the right, on the frame's centre line.
QPainterPath hullPath()
{
    QPainterPath hull;
    hull.moveTo(454, 0);
    hull.cubicTo(380, -14, 300, -34, 212, -34);
    hull.cubicTo(118, -34, 50, -18, 14, -3);
    hull.quadTo(10, 0, 14, 3);
    hull.cubicTo(50, 18, 118, 34, 212, 34);
    hull.cubicTo(300, 34, 380, 14, 454, 0);
    hull.closeSubpath();
    return hull;
}

// One paddle blade lying along +x from `root` to `tip`, spooned towards -y.
QPainterPath bladePath(qreal root, qreal tip, qreal width)
{
    const qreal length = tip - root;
    QPainterPath blade;
    blade.moveTo(root, 0);
    blade.cubicTo(root + length * 0.35, -width * 0.62, tip - length * 0.05, -width * 0.62, tip,
                  -width * 0.18);
    blade.lineTo(tip, width * 0.22);
    blade.cubicTo(tip - length * 0.1, width * 0.5, root + length * 0.35, width * 0.42, root, 0);
    blade.closeSubpath();
    return blade;
}

// The water the kayak stirs: the bow wave, which swells with each stroke's surge, the wake off
// the stern and the swirls each blade leaves where it came out, drifting aft as the boat runs on.
void drawStirredWater(QPainter& p, qreal t, qreal shaftX, qreal reach)
{
    const qreal surge = 1 + 0.12 * std::cos(4 * M_PI * t);
    p.setBrush(Qt::NoBrush);
    for (int side : {-1, 1}) {
        for (int crest = 0; crest < 2; ++crest) {
            const qreal spread = surge * (1 - crest * 0.35);
            const qreal alpha = crest == 0 ? 0.55 : 0.28;
            p.setPen(QPen(QColor::fromRgbF(1, 1, 1, alpha), crest == 0 ? 3.2 : 2.2, Qt::SolidLine,
                          Qt::RoundCap));
            QPainterPath bow;
            const qreal x0 = 452 - crest * 26;
            bow.moveTo(x0, side * (2 + crest * 13));
            bow.cubicTo(x0 - 30, side * (12 + crest * 10) * spread, x0 - 70,
                        side * (26 + crest * 8) * spread, x0 - 120,
                        side * (36 + crest * 8) * spread);
            p.drawPath(bow);
        }
        // Wake off the stern, running out of the frame.
        p.setPen(QPen(QColor::fromRgbF(1, 1, 1, 0.3), 2.4, Qt::SolidLine, Qt::RoundCap));
        QPainterPath wake;
        wake.moveTo(30, side * 10);
        wake.quadTo(14, side * 16, -4, side * 24);
        p.drawPath(wake);
    }
    // Foam trailing the stern: it drifts aft through its 40-px span once a cycle, so the loop
    // has no seam.
    for (int i = 0; i < 5; ++i) {
        const qreal x = 20 - std::fmod(i * 9 + t * 40, 40);
        const qreal y = ((i % 2) ? 1 : -1) * (2 + (i * 3) % 7);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromRgbF(1, 1, 1, 0.22 * (1 - (20 - x) / 44)));
        p.drawEllipse(QPointF(x, y), 3.2, 2);
    }

    // A pair of small eddies where each blade left the water.
    for (int side : {-1, 1}) {
        const qreal exitTime = side < 0 ? 0.44 : 0.94;
        qreal age = t - exitTime;
        age -= std::floor(age);
        if (age > 0.75)
            continue;
        const qreal fade = 1 - age / 0.75;
        const qreal x = shaftX - reach * 0.62 - age * 12 * 27;
        const qreal y = side * reach * 0.8;
        const qreal r = 9 + age * 12;
        // Soft patches of churned water rather than rings, which would read as figures.
        for (const QPointF& at :
             {QPointF(x, y - side * r * 0.45), QPointF(x + 5, y + side * r * 0.55)}) {
            QRadialGradient swirl(at, r);
            swirl.setColorAt(0, QColor::fromRgbF(1, 1, 1, 0.3 * fade));
            swirl.setColorAt(1, QColor::fromRgbF(1, 1, 1, 0));
            p.setPen(Qt::NoPen);
            p.setBrush(swirl);
            p.drawEllipse(at, r, r * 0.75);
        }
    }
}

// White water around a blade that is in the water: a patch of foam, a crest on its aft side
// where the water piles up, and spray just after the catch.
void drawBladeFoam(QPainter& p, const QPointF& at, int side, qreal depth, qreal splash)
{
    const qreal r = 16 + 8 * splash;
    p.setPen(Qt::NoPen);
    QRadialGradient foam(at, r * 1.4);
    foam.setColorAt(0, QColor::fromRgbF(1, 1, 1, 0.32 * depth));
    foam.setColorAt(1, QColor::fromRgbF(1, 1, 1, 0));
    p.setBrush(foam);
    p.drawEllipse(at, r * 1.5, r);
    QPainterPath crest;
    crest.addEllipse(at + QPointF(-r * 0.35, 0), r * 0.9, r * 0.75);
    QPainterPath bite;
    bite.addEllipse(at + QPointF(r * 0.05, 0), r * 0.8, r * 0.7);
    p.setBrush(QColor::fromRgbF(1, 1, 1, 0.6 * depth));
    p.drawPath(crest.subtracted(bite));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgbF(1, 1, 1, 0.8 * splash));
    for (int i = 0; i < 7; ++i) {
        const qreal a = i * 0.9 + 0.3;
        const QPointF drop(std::cos(a) * r * (1.2 + 0.25 * (i % 3)),
                           side * std::abs(std::sin(a)) * r * 0.9);
        p.drawEllipse(at + drop, 2.8, 2.8);
    }
}

void drawKayakFrame(QPainter& p, const QColor& lane, qreal t)
{
    const StrokePose pose = poseAt(t);
    const qreal pull = qMax(pose.upperDepth, pose.lowerDepth);
    // The paddle leans into the water on the pulling side: its shadow from above is shorter and
    // it slides towards that side.
    const qreal reach = 104 - 10 * pull;
    const QPointF shaftCentre(252, -13 * (pose.upperDepth - pose.lowerDepth));
    const QPointF along(std::sin(pose.shaftAngle), -std::cos(pose.shaftAngle));
    const QPointF upperEnd = shaftCentre + along * reach;
    const QPointF lowerEnd = shaftCentre - along * reach;
    const qreal shaftDegrees = qRadiansToDegrees(std::atan2(along.y(), along.x()));

    const QColor hullLight = mix(lane, Qt::white, 0.35);
    const QColor hullDark = lane.darker(165);
    const QColor outline = lane.darker(300);
    const QColor jersey = mix(lane, Qt::white, 0.78);
    const QColor bladeColour = mix(lane, Qt::white, 0.55);
    const QColor skin("#E2AE84");
    const QColor shadow(0, 0, 0, 70);

    drawStirredWater(p, t, shaftCentre.x(), reach);

    // A blade as the paddle's end: `end` is +1 for the upper blade, -1 for the lower; a raised
    // blade is drawn a little larger and casts its shadow further.
    auto drawBlade = [&](int end, qreal depth, bool shadowOnly) {
        const qreal lift = 1 - depth;
        p.save();
        p.translate(shaftCentre);
        if (shadowOnly)
            p.translate(9 + 10 * lift, 12 + 12 * lift);
        p.rotate(shaftDegrees + (end < 0 ? 180 : 0));
        const qreal scale = 1 + 0.08 * lift;
        const QPainterPath blade = bladePath(reach - 46 * scale, reach + 4 * scale, 28 * scale);
        p.setPen(shadowOnly ? Qt::NoPen : QPen(outline, 1.6));
        QColor fill = shadowOnly ? QColor(0, 0, 0, int(55 * lift)) : bladeColour;
        if (!shadowOnly)
            fill.setAlphaF(1 - 0.45 * depth);
        p.setBrush(fill);
        p.drawPath(blade);
        if (!shadowOnly) {
            p.setPen(QPen(withAlpha(outline, 0.6 * (1 - 0.45 * depth)), 1.6));
            p.drawLine(QPointF(reach - 40 * scale, 0), QPointF(reach, 0));
        }
        p.restore();
    };

    // Shadows on the water: hull, paddler, raised blade.
    const QPainterPath hull = hullPath();
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawPath(hull.translated(6, 9));
    p.setBrush(QColor(0, 0, 0, 30));
    p.drawPath(hull.translated(9, 13));
    p.setBrush(QColor(0, 0, 0, 55));
    p.drawEllipse(QPointF(226, 12), 22, 30);
    drawBlade(1, pose.upperDepth, true);
    drawBlade(-1, pose.lowerDepth, true);

    // Blades that are in the water lie below the surface, under their foam.
    const qreal upperSplash = qMax(0.0, 1 - std::abs(t - 0.05) * 8);
    const qreal lowerSplash = qMax(0.0, 1 - std::abs(t - 0.55) * 8);
    if (pose.upperDepth > 0) {
        drawBlade(1, pose.upperDepth, false);
        drawBladeFoam(p, upperEnd - along * 20, -1, pose.upperDepth, upperSplash);
    }
    if (pose.lowerDepth > 0) {
        drawBlade(-1, pose.lowerDepth, false);
        drawBladeFoam(p, lowerEnd + along * 20, 1, pose.lowerDepth, lowerSplash);
    }

    // Hull: lit from the upper left, with a ridge along the deck.
    QLinearGradient shade(0, -34, 0, 34);
    shade.setColorAt(0, lane.darker(120));
    shade.setColorAt(0.3, hullLight);
    shade.setColorAt(0.5, mix(lane, Qt::white, 0.15));
    shade.setColorAt(0.75, lane);
    shade.setColorAt(1, hullDark);
    p.setPen(QPen(outline, 2));
    p.setBrush(shade);
    p.drawPath(hull);
    p.setPen(QPen(QColor(255, 255, 255, 120), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(290, -3), QPointF(444, -0.5));
    p.drawLine(QPointF(28, -1), QPointF(140, -3));
    // Two chevrons on the foredeck point the way.
    p.setPen(QPen(QColor(255, 255, 255, 210), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (qreal x : {370.0, 392.0}) {
        const QPointF tip(x + 12, 0);
        p.drawPolyline(QPolygonF({QPointF(x, -11), tip, QPointF(x, 11)}));
    }

    // Cockpit with its rim.
    p.setPen(QPen(QColor("#DDE6E8"), 3));
    p.setBrush(QColor("#0B1D22"));
    p.drawEllipse(QPointF(206, 0), 54, 21);

    // Paddler: the shoulders turn with the paddle, the hands hold the shaft.
    const qreal twist = qRadiansToDegrees(pose.shaftAngle) * 0.55;
    const QPointF torso(214, shaftCentre.y() * 0.35);
    const qreal twistRad = qDegreesToRadians(twist);
    const QPointF across(std::sin(twistRad), -std::cos(twistRad));
    const QPointF upperShoulder = torso + across * 27;
    const QPointF lowerShoulder = torso - across * 27;
    p.save();
    p.translate(torso);
    p.rotate(twist);
    p.setPen(QPen(outline, 1.6));
    p.setBrush(jersey);
    p.drawRoundedRect(QRectF(-18, -32, 36, 64), 16, 16);
    // A stripe across the back in the lane colour.
    p.setPen(Qt::NoPen);
    p.setBrush(lane);
    p.drawRect(QRectF(-12, -30, 7, 60));
    p.restore();

    // Shaft, then the blades held in the air.
    p.setPen(QPen(QColor("#0E1417"), 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(lowerEnd + along * 8, upperEnd - along * 8);
    p.setPen(QPen(QColor(255, 255, 255, 70), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(lowerEnd + along * 10 + QPointF(-1, -1), upperEnd - along * 10 + QPointF(-1, -1));
    if (pose.upperDepth == 0)
        drawBlade(1, 0, false);
    if (pose.lowerDepth == 0)
        drawBlade(-1, 0, false);

    // Arms: sleeve to the elbow, forearm to the hand on the shaft.
    for (int end : {1, -1}) {
        const QPointF shoulder = end > 0 ? upperShoulder : lowerShoulder;
        const QPointF hand = shaftCentre + along * (end * 40);
        const QPointF outward = QPointF(0, end > 0 ? -1 : 1) * 9;
        const QPointF elbow = (shoulder + hand) / 2 + outward;
        p.setPen(QPen(outline, 13, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(shoulder, elbow);
        p.drawLine(elbow, hand);
        p.setPen(QPen(jersey, 10, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(shoulder, elbow);
        p.setPen(QPen(skin, 8.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(elbow, hand);
        p.setPen(QPen(skin.darker(140), 1.4));
        p.setBrush(skin);
        p.drawEllipse(hand, 6.5, 6.5);
    }

    // Head, leaning forward over the stroke: dark hair from above, the brow showing at the front.
    const QPointF head = torso + QPointF(15, 0);
    QPainterPath skull;
    skull.addEllipse(head, 15, 13.5);
    QPainterPath brow;
    brow.addEllipse(head + QPointF(9, 0), 8, 10);
    p.setPen(Qt::NoPen);
    p.setBrush(skin);
    p.drawPath(skull.intersected(brow));
    QRadialGradient hair(head + QPointF(-4, -4), 16);
    hair.setColorAt(0, QColor("#5A4332"));
    hair.setColorAt(1, QColor("#2A1D15"));
    p.setBrush(hair);
    p.drawPath(skull.subtracted(brow));
    p.setPen(QPen(QColor(0, 0, 0, 110), 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawPath(skull);
}

QImage drawSpriteSheet(const QColor& lane)
{
    QImage sheet = canvas(kFrameW, kFrameH * kFrames);
    QPainter p(&sheet);
    p.setRenderHint(QPainter::Antialiasing);
    for (int frame = 0; frame < kFrames; ++frame) {
        p.save();
        p.translate(0, frame * kFrameH + kFrameH / 2.0);
        p.setClipRect(QRectF(0, -kFrameH / 2.0, kFrameW, kFrameH));
        drawKayakFrame(p, lane, qreal(frame) / kFrames);
        p.restore();
    }
    return sheet;
}

// ---- Medals -----------------------------------------------------------------------------

struct MedalMetal
{
    QColor light;
    QColor mid;
    QColor dark;
    QColor deep;
};

MedalMetal metalFor(int place)
{
    switch (place) {
    case 1:
        return {QColor("#FFF0A6"), QColor("#F5C531"), QColor("#B8860B"), QColor("#6B4B02")};
    case 2:
        return {QColor("#FFFFFF"), QColor("#CBD3D9"), QColor("#8E9AA3"), QColor("#4E5960")};
    default:
        return {QColor("#F7C99B"), QColor("#CD7F32"), QColor("#8E521C"), QColor("#53300E")};
    }
}

// A ribbon strap from its top edge down to where it disappears behind the medal.
void drawStrap(QPainter& p, const QPolygonF& strap, bool front)
{
    const QColor teal = front ? QColor("#12808C") : QColor("#0B5560");
    p.setPen(QPen(QColor("#06343B"), 3));
    p.setBrush(teal);
    p.drawPolygon(strap);
    // A stripe of the accent green down the middle of the strap.
    const QPointF topMid = (strap[0] + strap[1]) / 2;
    const QPointF bottomMid = (strap[2] + strap[3]) / 2;
    p.setPen(QPen(front ? kAccentGreen : kAccentGreen.darker(150), 16, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(topMid, bottomMid);
}

QImage drawMedal(int place)
{
    const int w = 442;
    const int h = 565;
    QImage image = canvas(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const MedalMetal metal = metalFor(place);

    drawStrap(p,
              QPolygonF({QPointF(372, 0), QPointF(262, 0), QPointF(168, 206), QPointF(268, 222)}),
              false);
    drawStrap(p, QPolygonF({QPointF(70, 0), QPointF(180, 0), QPointF(274, 206), QPointF(174, 222)}),
              true);

    const QPointF centre(w / 2.0, 362);
    const qreal radius = 192;
    // Soft shadow, then the rim lit from the upper left.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawEllipse(centre + QPointF(5, 7), radius, radius);
    QRadialGradient rim(centre + QPointF(-70, -80), radius * 1.6);
    rim.setColorAt(0, metal.light);
    rim.setColorAt(0.45, metal.mid);
    rim.setColorAt(1, metal.dark);
    p.setPen(QPen(metal.deep, 5));
    p.setBrush(rim);
    p.drawEllipse(centre, radius, radius);

    // The face sits a step lower than the rim: shaded the other way round.
    const qreal face = radius * 0.78;
    QLinearGradient bevel(centre - QPointF(face, face), centre + QPointF(face, face));
    bevel.setColorAt(0, metal.dark);
    bevel.setColorAt(1, metal.light);
    p.setPen(Qt::NoPen);
    p.setBrush(bevel);
    p.drawEllipse(centre, face + 6, face + 6);
    QRadialGradient faceFill(centre + QPointF(-50, -60), face * 1.5);
    faceFill.setColorAt(0, metal.light);
    faceFill.setColorAt(0.55, metal.mid);
    faceFill.setColorAt(1, metal.dark);
    p.setBrush(faceFill);
    p.drawEllipse(centre, face, face);

    // A ring of beads on the rim.
    p.setBrush(withAlpha(metal.light, 0.9));
    for (int i = 0; i < 36; ++i) {
        const qreal a = i * 2 * M_PI / 36;
        p.drawEllipse(centre + QPointF(std::cos(a), std::sin(a)) * radius * 0.89, 5, 5);
    }

    // The place, struck into the face.
    const QString number = QString::number(place);
    const QFont font = textFont(230, QFont::Black);
    p.setFont(font);
    const QFontMetricsF metrics(font);
    const QPointF origin(centre.x() - metrics.horizontalAdvance(number) / 2,
                         centre.y() + metrics.capHeight() / 2);
    p.setPen(withAlpha(metal.light, 0.95));
    p.drawText(origin + QPointF(4, 5), number);
    p.setPen(metal.deep);
    p.drawText(origin, number);

    // A gleam across the upper left of the rim.
    p.setPen(QPen(QColor(255, 255, 255, 150), 9, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(centre.x() - radius + 14, centre.y() - radius + 14, 2 * radius - 28,
                     2 * radius - 28),
              105 * 16, 50 * 16);

    // The ring that holds the medal on its ribbon.
    p.setPen(QPen(metal.deep, 12));
    p.drawEllipse(QPointF(centre.x(), centre.y() - radius - 6), 17, 14);
    p.setPen(QPen(metal.mid, 7));
    p.drawEllipse(QPointF(centre.x(), centre.y() - radius - 6), 17, 14);
    return image;
}

} // namespace

bool drawRaceArtwork(const QString& out)
{
    bool ok = true;
    ok &= save(drawRaceBackground(), out + "/images/race_background.png");
    // The row strip of each kayak lane only carries the lane's items; it shows nothing itself.
    ok &= save(canvas(1759, 10), out + "/images/race_line.png");
    for (int k = 0; k < 10; ++k)
        ok &= save(drawSpriteSheet(QColor(kLaneColours[k])),
                   out + QStringLiteral("/images/sprite_%1.png").arg(k));
    for (int place = 1; place <= 3; ++place)
        ok &= save(drawMedal(place), out + QStringLiteral("/images/rank_%1.png").arg(place));
    return ok;
}
