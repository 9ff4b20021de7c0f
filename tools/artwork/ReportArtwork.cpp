// Pictures of the printed results: the logo in the corner of every results sheet. It is printed
// on white paper, so it uses the product's dark teal where the screens use white.

#include "Artwork.h"
#include "ArtworkKit.h"

#include <QFontMetricsF>
#include <QLinearGradient>

using namespace artwork;

namespace {

QImage drawReportLogo()
{
    const int w = 350;
    const int h = 54;
    QImage image = canvas(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // The application icon's tile, so the sheet and the program look like one product.
    const QRectF tile(1, 1, h - 2, h - 2);
    QLinearGradient fill(tile.topLeft(), tile.bottomRight());
    fill.setColorAt(0, kTealLight);
    fill.setColorAt(1, kTealDark);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(tile, h * 0.2, h * 0.2);
    p.save();
    p.translate(tile.center());
    drawMark(p, tile.width() * 0.8, Qt::white, kTealDark);
    p.restore();

    const qreal textLeft = h + 12;
    const QFont nameFont = textFont(30, QFont::Bold);
    p.setFont(nameFont);
    p.setPen(kTealDark);
    const qreal nameBaseline = 30;
    p.drawText(QPointF(textLeft, nameBaseline), QStringLiteral("Rivanta Race"));
    const qreal nameWidth =
        QFontMetricsF(nameFont).horizontalAdvance(QStringLiteral("Rivanta Race"));

    // A thin accent rule under the name; the screens' green is too light for paper, so it
    // runs from teal into a deeper green.
    QLinearGradient rule(textLeft, 0, textLeft + nameWidth, 0);
    rule.setColorAt(0, kTealLight);
    rule.setColorAt(1, QColor("#3FB83A"));
    p.fillRect(QRectF(textLeft, nameBaseline + 5, nameWidth, 2.5), rule);

    QFont tagFont = textFont(11, QFont::DemiBold);
    tagFont.setLetterSpacing(QFont::AbsoluteSpacing, 2.2);
    p.setFont(tagFont);
    p.setPen(QColor("#3A6F78"));
    p.drawText(QPointF(textLeft + 1, nameBaseline + 21), QStringLiteral("INDOOR KAYAK RACING"));
    return image;
}

} // namespace

bool drawReportArtwork(const QString& out)
{
    return save(drawReportLogo(), out + QStringLiteral("/images/logo.png"));
}
