// Pictures of the set-up screens: the backgrounds of the console connection page and of the
// console address page. They carry the pages' static titles, labels, panels and column headings,
// so every one of them must stand where the page lays out the live items it belongs to.

#include "Artwork.h"
#include "ArtworkKit.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>

using namespace artwork;

namespace {

const QSize kPageSize(1920, 1080);

// Lane colours, lane 1 first; the lane numbers of the connection page use the same ones.
const QColor kLaneColours[10] = {
    QColor("#3B82F6"), QColor("#EF4444"), QColor("#22C55E"), QColor("#F59E0B"), QColor("#8B5CF6"),
    QColor("#EC4899"), QColor("#06B6D4"), QColor("#14B8A6"), QColor("#F97316"), QColor("#6366F1")};

// The connection page's row list: where its rows and their columns stand on the canvas.
const qreal kRowLeft = 140.59;
const qreal kRowTop = 294;
const qreal kRowPitch = 67.12;
const qreal kRowHeight = 48;
const qreal kLaneNumberLeft = 74;
const qreal kLaneNumberWidth = 47.8;
// Right end of the row's last button ("Retry" when both buttons show).
const qreal kRowRight = kRowLeft + 1308.40 + 50;

struct Column
{
    const char* heading;
    qreal left; // from the row's left edge
    qreal width;
};

// The athlete fields and the status cell, left to right.
const Column kColumns[] = {
    {"FIRST NAME", 0, 179.23},    {"SURNAME", 191.41, 179.23},  {"WEIGHT", 382.82, 95.59},
    {"GENDER", 490.59, 95.59},    {"DOB", 598.36, 131.43},      {"CLUB", 741.97, 167.28},
    {"CATEGORY", 921.43, 131.43}, {"CONNECTION", 1065.04, 181},
};
// Texts in the fields start after their padding; the headings start with them.
const qreal kFieldPadding = 10;

// The address page's fields, two columns of five: field i holds the address of lane i + 1.
const qreal kAddressLeft[2] = {173.73, 856.10};
const qreal kAddressTop = 262.67;
const qreal kAddressPitch = 129.65;
const QSizeF kAddressSize(454.92, 50.04);

// The pages' side margin: Back starts 48 from the left edge, the forward button ends 48 from the
// right one.
const qreal kMargin = 48;

QFont spacedFont(qreal pixelSize, QFont::Weight weight, qreal spacing)
{
    QFont font = textFont(pixelSize, weight);
    font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    return font;
}

// Width of the ink of `text`, without the spacing that follows its last letter.
qreal inkWidth(const QFont& font, const QString& text)
{
    return QFontMetricsF(font).horizontalAdvance(text) - font.letterSpacing();
}

void drawLabel(QPainter& p, const QPointF& baseline, const QString& text, const QFont& font,
               const QColor& colour)
{
    p.setFont(font);
    p.setPen(colour);
    p.drawText(baseline, text);
}

// A lane badge: a rounded square in the lane's colour with its number in white.
void drawLaneSquare(QPainter& p, const QRectF& square, int lane)
{
    const QColor colour = kLaneColours[lane - 1];
    QLinearGradient fill(square.topLeft(), square.bottomLeft());
    fill.setColorAt(0, colour.lighter(115));
    fill.setColorAt(1, colour.darker(112));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    const qreal radius = square.width() * 0.22;
    p.drawRoundedRect(square, radius, radius);

    const QFont font = textFont(square.height() * 0.46, QFont::Bold);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(square, Qt::AlignCenter, QString::number(lane));
}

// The page title at the top left, after the product mark in its ring, as on the home screen.
// `subtitle` (may be empty) stands under the title in the accent colour.
void drawPageTitle(QPainter& p, const QString& title, const QString& subtitle)
{
    const QFont titleFont = spacedFont(42, QFont::Bold, 2);
    const QFont subtitleFont = spacedFont(17, QFont::DemiBold, 4);
    // The title line keeps its place on every page; a subtitle goes below it.
    const qreal centreY = 80;
    const qreal titleBaseline = centreY + QFontMetricsF(titleFont).capHeight() / 2;

    const qreal ring = 66;
    const QPointF ringCentre(kMargin + ring / 2, centreY);
    p.setPen(QPen(QColor(138, 255, 120, 200), 3.5));
    p.setBrush(QColor(255, 255, 255, 18));
    p.drawEllipse(ringCentre, ring / 2 - 2, ring / 2 - 2);
    p.save();
    p.translate(ringCentre);
    drawMark(p, ring * 0.8, Qt::white, QColor("#0A3A44"));
    p.restore();

    const qreal textLeft = kMargin + ring + 22;
    drawLabel(p, QPointF(textLeft, titleBaseline), title, titleFont, Qt::white);
    if (!subtitle.isEmpty())
        drawLabel(p, QPointF(textLeft + 2, titleBaseline + 42), subtitle, subtitleFont,
                  kAccentGreen);
}

// A large faint product mark filling the free room at the right of a page.
void drawSideMark(QPainter& p, const QPointF& centre, qreal size)
{
    p.save();
    p.setPen(QPen(QColor(138, 255, 120, 34), 3));
    p.setBrush(QColor(255, 255, 255, 6));
    p.drawEllipse(centre, size / 2, size / 2);
    // Rings spreading outwards, like a console's signal.
    for (int ring = 1; ring <= 2; ++ring) {
        p.setPen(QPen(QColor(20, 163, 160, 30 - ring * 10), 2));
        p.setBrush(Qt::NoBrush);
        const qreal r = size / 2 + ring * size * 0.12;
        p.drawEllipse(centre, r, r);
    }
    p.translate(centre);
    drawMark(p, size * 0.8, QColor(255, 255, 255, 30), QColor(3, 22, 27, 0));
    p.restore();
}

// The connection page: title, the header counter's labels, the distance panel and the table of
// slot rows with its headings.
QImage drawMainBackground()
{
    QImage image(kPageSize, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawScreenBackdrop(p, kPageSize);
    drawPageTitle(p, QStringLiteral("RACE SETUP"), QString());

    const QFont labelFont = spacedFont(13, QFont::Bold, 1.5);
    const qreal labelCap = QFontMetricsF(labelFont).capHeight();
    QColor labelColour = kAccentGreen;
    labelColour.setAlphaF(0.85);

    // Header: the connected count at x 1668 and the race distance at x 1779.71, both 25 px
    // texts from y about 60 down to 90, each under its label. "2500m" reaches about x 1875, so
    // the panel runs nearer the edge than the page's margin.
    const qreal counterLeft = 1668;
    const qreal distanceLeft = 1779.71;
    const QFont headerFont = spacedFont(12, QFont::Bold, 1.2);
    drawPanel(p, QRectF(counterLeft - 24, 20, kPageSize.width() - 20 - (counterLeft - 24), 84), 12);
    p.fillRect(QRectF(distanceLeft - 11, 36, 1, 56), QColor(255, 255, 255, 26));
    drawLabel(p, QPointF(counterLeft, 48), QStringLiteral("CONNECTED"), headerFont, labelColour);
    drawLabel(p, QPointF(distanceLeft, 48), QStringLiteral("RACE"), headerFont, labelColour);

    // Distance: six 80 x 36 buttons from (170, 151), 12 apart, with the label in front.
    const QRectF distanceButtons(170, 151, 6 * 80 + 5 * 12, 36);
    const QRectF distancePanel(kMargin, distanceButtons.top() - 20,
                               distanceButtons.right() + 20 - kMargin,
                               distanceButtons.height() + 40);
    drawPanel(p, distancePanel, 12);
    drawLabel(p, QPointF(kMargin + 20, distanceButtons.center().y() + labelCap / 2),
              QStringLiteral("DISTANCE"), labelFont, labelColour);

    // The table: headings above the row columns, then a faint line between two rows.
    const qreal lastRowBottom = kRowTop + 9 * kRowPitch + kRowHeight;
    const QRectF table(kMargin, 222, kRowRight + 30 - kMargin, lastRowBottom + 22 - 222);
    drawPanel(p, table);
    const qreal headingBottom = kRowTop - 16;
    QPainterPath headingBand;
    headingBand.addRoundedRect(table.adjusted(2, 2, -2, 0), 12, 12);
    QPainterPath belowHeadings;
    belowHeadings.addRect(QRectF(table.left(), headingBottom, table.width(), table.height()));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 9));
    p.drawPath(headingBand.subtracted(belowHeadings));
    QColor rule = kAccentGreen;
    rule.setAlpha(70);
    p.fillRect(QRectF(table.left() + 2, headingBottom - 1, table.width() - 4, 1.5), rule);

    const qreal headingBaseline = (table.top() + headingBottom) / 2 + labelCap / 2;
    const QString laneHeading = QStringLiteral("LANE");
    drawLabel(p,
              QPointF(kLaneNumberLeft + (kLaneNumberWidth - inkWidth(labelFont, laneHeading)) / 2,
                      headingBaseline),
              laneHeading, labelFont, labelColour);
    for (const Column& column : kColumns)
        drawLabel(p, QPointF(kRowLeft + column.left + kFieldPadding, headingBaseline),
                  QString::fromLatin1(column.heading), labelFont, labelColour);

    for (int row = 1; row < 10; ++row) {
        const qreal y = kRowTop + row * kRowPitch - (kRowPitch - kRowHeight) / 2;
        p.fillRect(QRectF(table.left() + 16, y, table.width() - 32, 1), QColor(255, 255, 255, 14));
    }

    const qreal sideLeft = table.right();
    const qreal sideRight = kPageSize.width() - kMargin;
    drawSideMark(p, QPointF((sideLeft + sideRight) / 2, table.center().y()), 230);
    return image;
}

// The address page: title, subtitle and one card per lane under that lane's address field.
QImage drawDeviceConnectBackground()
{
    QImage image(kPageSize, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawScreenBackdrop(p, kPageSize);
    drawPageTitle(p, QStringLiteral("DEVICE ASSIGNMENT"),
                  QStringLiteral("ASSIGN BLUETOOTH DEVICES TO LANES"));

    const QFont laneFont = spacedFont(14, QFont::Bold, 1.5);
    const qreal square = 58;
    const qreal inset = 22;
    for (int i = 0; i < 10; ++i) {
        const QRectF field(QPointF(kAddressLeft[i % 2], kAddressTop + (i / 2) * kAddressPitch),
                           kAddressSize);
        const QRectF card(field.left() - inset - square - inset, field.top() - 42,
                          inset + square + inset + field.width() + inset, field.height() + 42 + 18);
        drawPanel(p, card);
        drawLaneSquare(
            p, QRectF(card.left() + inset, card.center().y() - square / 2, square, square), i + 1);
        drawLabel(p, QPointF(field.left() + 2, field.top() - 14),
                  QStringLiteral("LANE %1").arg(i + 1), laneFont, QColor(255, 255, 255, 200));
    }

    const qreal cardsRight = kAddressLeft[1] + kAddressSize.width() + inset;
    const qreal cardsMiddle = kAddressTop + 2 * kAddressPitch + kAddressSize.height() / 2;
    drawSideMark(p, QPointF((cardsRight + kPageSize.width() - kMargin) / 2, cardsMiddle), 300);
    return image;
}

} // namespace

bool drawSetupArtwork(const QString& out)
{
    bool ok = true;
    ok &= save(drawMainBackground(), out + "/images/main_background.png");
    ok &= save(drawDeviceConnectBackground(), out + "/images/device_connect.png");
    return ok;
}
