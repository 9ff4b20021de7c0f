// The home screen's pictures: the application icon (also as the window's .ico and the macOS
// bundle's .icns), the home page background with the product logo, and the two small marks on
// the home cards.

#include "ArtworkKit.h"
#include "Artwork.h"

#include <QBuffer>
#include <QFile>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtEndian>

using namespace artwork;

namespace {

// Glyphs of the Font Awesome 6 Solid face.
const QChar kLinkGlyph(0xF0C1);
const QChar kWrenchGlyph(0xF0AD);

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

QImage drawHomeBackground()
{
    const int w = 1920;
    const int h = 1080;
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    drawScreenBackdrop(p, image.size());

    // Faint lane lines, as on a race course seen from above.
    QColor lane(255, 255, 255, 10);
    p.setPen(QPen(lane, 2, Qt::DashLine));
    for (int i = 1; i < 8; ++i) {
        const qreal y = h * 0.2 + i * h * 0.09;
        p.drawLine(QPointF(0, y), QPointF(w, y));
    }

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

QByteArray bigEndian32(quint32 value)
{
    QByteArray bytes(4, Qt::Uninitialized);
    qToBigEndian(value, bytes.data());
    return bytes;
}

// An icns file of PNG images, the form macOS reads for icons of 128 pixels and up; it scales
// them down for smaller places.
bool saveIcns(const QImage& icon, const QString& path)
{
    const struct
    {
        const char* type;
        int size;
    } entries[] = {{"ic07", 128}, {"ic08", 256}, {"ic09", 512}, {"ic10", 1024}};
    QByteArray body;
    for (const auto& entry : entries) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        icon.scaled(entry.size, entry.size, Qt::KeepAspectRatio, Qt::SmoothTransformation)
            .save(&buffer, "PNG");
        body += entry.type + bigEndian32(8 + png.size()) + png;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write("icns" + bigEndian32(8 + body.size()) + body) != 8 + body.size()) {
        qWarning("Could not write %s", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

bool drawHomeArtwork(const QString& out)
{
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
    ok &= saveIcns(drawIcon(1024), out + "/RivantaRace.icns");
    return ok;
}
