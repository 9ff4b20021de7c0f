// Draws the application's raster pictures: the application icon (also as the window's .ico),
// the home page background with the product logo, and the two small marks on the home cards.
//
// Usage: rivanta_artwork_gen <output folder> <icon font file>

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace {

const QColor kTealLight("#14A3A0");
const QColor kTealDark("#0A4F5C");
const QColor kAccentGreen("#8AFF78");
const QString kTextFamily = QStringLiteral("Liberation Sans");

// Glyphs of the Font Awesome 6 Solid face.
const QChar kLinkGlyph(0xF0C1);
const QChar kWrenchGlyph(0xF0AD);

QString iconFontFamily;

bool save(const QImage& image, const QString& path, const char* format = nullptr)
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

QImage drawIcon(int size)
{
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    const qreal s = size;
    const QRectF square(s * 0.04, s * 0.04, s * 0.92, s * 0.92);
    QLinearGradient fill(square.topLeft(), square.bottomRight());
    fill.setColorAt(0, kTealLight);
    fill.setColorAt(1, kTealDark);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(square, s * 0.2, s * 0.2);

    // A soft highlight in the upper left gives the tile some depth.
    QRadialGradient glow(square.topLeft() + QPointF(s * 0.2, s * 0.15), s * 0.7);
    glow.setColorAt(0, QColor(255, 255, 255, 60));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(glow);
    p.drawRoundedRect(square, s * 0.2, s * 0.2);

    p.translate(s / 2, s / 2);
    drawMark(p, s * 0.78, Qt::white, kTealDark);
    return image;
}

// A narrow band of chevrons along one edge of the home background.
void drawEdgeBand(QPainter& p, const QRectF& band)
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

QImage drawHomeBackground()
{
    const int w = 1920;
    const int h = 1080;
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient base(0, 0, w, h);
    base.setColorAt(0, QColor("#0F4C57"));
    base.setColorAt(0.45, QColor("#082F37"));
    base.setColorAt(1, QColor("#03161B"));
    p.fillRect(image.rect(), base);

    QRadialGradient glow(QPointF(w * 0.12, h * 0.05), w * 0.65);
    glow.setColorAt(0, QColor(40, 170, 165, 90));
    glow.setColorAt(1, QColor(40, 170, 165, 0));
    p.fillRect(image.rect(), glow);

    // Faint lane lines, as on a race course seen from above.
    QColor lane(255, 255, 255, 10);
    p.setPen(QPen(lane, 2, Qt::DashLine));
    for (int i = 1; i < 8; ++i) {
        const qreal y = h * 0.2 + i * h * 0.09;
        p.drawLine(QPointF(0, y), QPointF(w, y));
    }

    const qreal bandHeight = 14;
    drawEdgeBand(p, QRectF(0, 0, w, bandHeight));
    drawEdgeBand(p, QRectF(0, h - bandHeight, w, bandHeight));

    // The logo: the mark in a ring, then the product name, centred above the cards.
    const QFont nameFont = textFont(76, QFont::Bold);
    const QFont tagFont = textFont(20, QFont::DemiBold);
    const QString name = QStringLiteral("Rivanta Race");
    const QString tag = QStringLiteral("I N D O O R   K A Y A K   R A C I N G");
    const qreal nameWidth = QFontMetricsF(nameFont).horizontalAdvance(name);
    const qreal markSize = 150;
    const qreal gap = 34;
    const qreal left = (w - (markSize + gap + nameWidth)) / 2;
    const QPointF markCentre(left + markSize / 2, 165);

    p.setPen(QPen(QColor(138, 255, 120, 200), 5));
    p.setBrush(QColor(255, 255, 255, 18));
    p.drawEllipse(markCentre, markSize / 2 - 3, markSize / 2 - 3);
    p.save();
    p.translate(markCentre);
    drawMark(p, markSize * 0.8, Qt::white, QColor("#0A3A44"));
    p.restore();

    const qreal textLeft = left + markSize + gap;
    p.setFont(nameFont);
    p.setPen(Qt::white);
    const qreal baseline = markCentre.y() + QFontMetricsF(nameFont).capHeight() / 2 - 10;
    p.drawText(QPointF(textLeft, baseline), name);
    p.setFont(tagFont);
    p.setPen(kAccentGreen);
    p.drawText(QPointF(textLeft + 4, baseline + 44), tag);
    return image;
}

// A small white label: an icon glyph, then a word, on a transparent strip.
QImage drawMarkLabel(int w, int h, QChar glyph, const QString& word)
{
    QImage image = canvas(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(Qt::white);

    const QFont glyphFont = iconFont(h * 0.78);
    p.setFont(glyphFont);
    const QFontMetricsF glyphMetrics(glyphFont);
    const QRectF glyphBox = glyphMetrics.boundingRect(glyph);
    const qreal glyphX = 1 - glyphBox.left();
    const qreal glyphBaseline = (h - glyphBox.height()) / 2 - glyphBox.top();
    p.drawText(QPointF(glyphX, glyphBaseline), QString(glyph));

    const QFont wordFont = textFont(h * 0.8, QFont::Bold);
    p.setFont(wordFont);
    const QFontMetricsF wordMetrics(wordFont);
    const qreal wordX = glyphX + glyphBox.right() + 4;
    const qreal wordBaseline = (h + wordMetrics.capHeight()) / 2;
    p.drawText(QPointF(wordX, wordBaseline), word);
    return image;
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        qWarning("usage: %s <output folder> <icon font file>", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const int fontId = QFontDatabase::addApplicationFont(QString::fromLocal8Bit(argv[2]));
    if (fontId < 0) {
        qWarning("Could not load the icon font %s", argv[2]);
        return 1;
    }
    iconFontFamily = QFontDatabase::applicationFontFamilies(fontId).value(0);

    const QImage icon = drawIcon(512);
    bool ok = true;
    ok &= save(icon, out + "/images/icon.png");
    ok &= save(drawHomeBackground(), out + "/images/FirstScreen.png");
    ok &= save(drawMarkLabel(82, 15, kLinkGlyph, QStringLiteral("Bluetooth")),
               out + "/images/bluetooth_mark.png");
    ok &= save(drawMarkLabel(90, 15, kWrenchGlyph, QStringLiteral("Customize")),
               out + "/images/customize_mark.png");
    // Icon files hold at most 256 x 256.
    ok &= save(icon.scaled(256, 256, Qt::KeepAspectRatio, Qt::SmoothTransformation),
               out + "/app_icon.ico", "ico");
    return ok ? 0 : 1;
}
