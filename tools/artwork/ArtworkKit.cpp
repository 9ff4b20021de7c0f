#include "ArtworkKit.h"

#include <QDir>
#include <QFileInfo>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace artwork {

QString iconFontFamily;

bool save(const QImage& image, const QString& path, const char* format)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!image.save(path, format)) {
        qWarning("Could not write %s", qPrintable(path));
        return false;
    }
    return true;
}

QImage canvas(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QFont textFont(qreal pixelSize, QFont::Weight weight)
{
    QFont font(kTextFamily);
    font.setPixelSize(qRound(pixelSize));
    font.setWeight(weight);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QFont iconFont(qreal pixelSize)
{
    QFont font(iconFontFamily);
    font.setPixelSize(qRound(pixelSize));
    font.setWeight(QFont::Black);
    return font;
}

// A kayak seen from above, lying along the x axis and centred on the origin: a slim hull
// pointed at both ends with the cockpit opening in the middle.
void drawKayak(QPainter& p, qreal length, qreal beam, const QColor& hull, const QColor& cockpit)
{
    const qreal half = length / 2;
    QPainterPath body;
    body.moveTo(-half, 0);
    body.cubicTo(-half * 0.55, -beam * 0.62, half * 0.55, -beam * 0.62, half, 0);
    body.cubicTo(half * 0.55, beam * 0.62, -half * 0.55, beam * 0.62, -half, 0);
    p.setPen(Qt::NoPen);
    p.setBrush(hull);
    p.drawPath(body);

    // Deck ridge: a thin line from bow to stern catches the light.
    QColor ridge = cockpit;
    ridge.setAlphaF(0.35);
    p.setPen(QPen(ridge, beam * 0.06, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-half * 0.82, 0), QPointF(-length * 0.14, 0));
    p.drawLine(QPointF(length * 0.14, 0), QPointF(half * 0.82, 0));

    p.setPen(Qt::NoPen);
    p.setBrush(cockpit);
    p.drawEllipse(QPointF(0, 0), length * 0.11, beam * 0.26);
}

// A double-bladed paddle along the x axis, centred on the origin.
void drawPaddle(QPainter& p, qreal length, qreal thickness, const QColor& colour)
{
    const qreal half = length / 2;
    p.setPen(QPen(colour, thickness, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-half * 0.78, 0), QPointF(half * 0.78, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    const qreal bladeLength = length * 0.2;
    const qreal bladeWidth = thickness * 3.4;
    for (int side : {-1, 1}) {
        QPainterPath blade;
        const qreal root = side * (half - bladeLength);
        const qreal tip = side * half;
        blade.moveTo(root, 0);
        blade.cubicTo(root + side * bladeLength * 0.3, -bladeWidth * 0.5, tip, -bladeWidth * 0.55,
                      tip, 0);
        blade.cubicTo(tip, bladeWidth * 0.55, root + side * bladeLength * 0.3, bladeWidth * 0.5,
                      root, 0);
        p.drawPath(blade);
    }
}

// Wave lines under the kayak, centred on the origin.
void drawWaves(QPainter& p, qreal width, qreal amplitude, qreal pen, const QColor& colour, int rows)
{
    p.setPen(QPen(colour, pen, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (int row = 0; row < rows; ++row) {
        const qreal w = width * (1.0 - row * 0.22);
        const qreal y = row * amplitude * 2.6;
        QPainterPath wave;
        const int crests = 3;
        const qreal step = w / crests;
        wave.moveTo(-w / 2, y);
        for (int i = 0; i < crests; ++i) {
            const qreal x0 = -w / 2 + i * step;
            wave.cubicTo(x0 + step * 0.25, y - amplitude, x0 + step * 0.25, y - amplitude,
                         x0 + step * 0.5, y);
            wave.cubicTo(x0 + step * 0.75, y + amplitude, x0 + step * 0.75, y + amplitude,
                         x0 + step, y);
        }
        p.drawPath(wave);
    }
}

// The product mark: a kayak with a crossing paddle over waves, drawn into a square of the given
// size centred on the origin, in one colour.
void drawMark(QPainter& p, qreal size, const QColor& colour, const QColor& cockpit)
{
    p.save();
    p.translate(0, -size * 0.06);
    p.save();
    p.rotate(-18);
    drawKayak(p, size * 0.86, size * 0.2, colour, cockpit);
    p.restore();
    p.save();
    p.rotate(38);
    drawPaddle(p, size * 0.84, size * 0.035, colour);
    p.restore();
    p.restore();

    QColor waveColour = colour;
    waveColour.setAlphaF(colour.alphaF() * 0.75);
    p.save();
    p.translate(0, size * 0.3);
    drawWaves(p, size * 0.7, size * 0.035, size * 0.035, waveColour, 2);
    p.restore();
}

void drawChevronBand(QPainter& p, const QRectF& band)
{
    QLinearGradient fill(band.topLeft(), band.topRight());
    fill.setColorAt(0, QColor(20, 163, 160, 150));
    fill.setColorAt(0.5, QColor(138, 255, 120, 110));
    fill.setColorAt(1, QColor(20, 163, 160, 150));
    p.fillRect(band, QColor(3, 22, 27, 200));

    p.save();
    p.setClipRect(band);
    p.setPen(QPen(QBrush(fill), 2));
    const qreal h = band.height();
    for (qreal x = band.left() - h; x < band.right() + h; x += h * 1.4) {
        p.drawLine(QPointF(x, band.bottom()), QPointF(x + h * 0.5, band.top()));
        p.drawLine(QPointF(x + h * 0.5, band.top()), QPointF(x + h, band.bottom()));
    }
    p.restore();

    QColor edge = kAccentGreen;
    edge.setAlpha(90);
    p.fillRect(QRectF(band.left(), band.top(), band.width(), 1), edge);
    p.fillRect(QRectF(band.left(), band.bottom() - 1, band.width(), 1), edge);
}

void drawBackdropGradient(QPainter& p, const QSize& size, int glowAlpha)
{
    const QRectF page(QPointF(0, 0), size);
    QLinearGradient base(page.topLeft(), page.bottomRight());
    base.setColorAt(0, QColor("#0F4C57"));
    base.setColorAt(0.45, QColor("#082F37"));
    base.setColorAt(1, QColor("#03161B"));
    p.fillRect(page, base);

    QRadialGradient glow(QPointF(page.width() * 0.12, page.height() * 0.05), page.width() * 0.65);
    glow.setColorAt(0, QColor(40, 170, 165, glowAlpha));
    glow.setColorAt(1, QColor(40, 170, 165, 0));
    p.fillRect(page, glow);
}

void drawScreenBackdrop(QPainter& p, const QSize& size)
{
    const QRectF page(QPointF(0, 0), size);
    drawBackdropGradient(p, size);
    const qreal bandHeight = 14;
    drawChevronBand(p, QRectF(0, 0, page.width(), bandHeight));
    drawChevronBand(p, QRectF(0, page.height() - bandHeight, page.width(), bandHeight));
}

void drawPanel(QPainter& p, const QRectF& rect, qreal radius)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor::fromRgbF(0.08f, 0.72f, 0.65f, 0.15f), 2));
    p.setBrush(QColor::fromRgbF(0.024f, 0.106f, 0.125f, 0.88f));
    p.drawRoundedRect(rect.adjusted(1, 1, -1, -1), radius, radius);
    p.restore();
}

} // namespace artwork
