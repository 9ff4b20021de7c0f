#pragma once

// Shared by the picture sets of the artwork generator: colours of the product, fonts, saving,
// and the kayak, paddle and wave shapes every set draws its boats with.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>

namespace artwork {

inline const QColor kTealLight("#14A3A0");
inline const QColor kTealDark("#0A4F5C");
inline const QColor kAccentGreen("#8AFF78");
inline const QString kTextFamily = QStringLiteral("Liberation Sans");

// Family name of the icon font (Font Awesome 6 Free Solid), set by main() before drawing.
extern QString iconFontFamily;

// Writes the picture, creating its folder; false (with a warning) when it cannot.
bool save(const QImage& image, const QString& path, const char* format = nullptr);
// A transparent ARGB picture.
QImage canvas(int w, int h);
QFont textFont(qreal pixelSize, QFont::Weight weight);
QFont iconFont(qreal pixelSize);

// A kayak seen from above, lying along the x axis and centred on the origin.
void drawKayak(QPainter& p, qreal length, qreal beam, const QColor& hull, const QColor& cockpit);
// A double-bladed paddle along the x axis, centred on the origin.
void drawPaddle(QPainter& p, qreal length, qreal thickness, const QColor& colour);
// Wave lines under a kayak, centred on the origin.
void drawWaves(QPainter& p, qreal width, qreal amplitude, qreal pen, const QColor& colour, int rows);
// The product mark: a kayak with a crossing paddle over waves, in one colour.
void drawMark(QPainter& p, qreal size, const QColor& colour, const QColor& cockpit);

// The backdrop of every full-screen page: the dark teal gradient, lighter at the top left, with
// the chevron bands along the top and bottom edges, as on the home screen.
void drawScreenBackdrop(QPainter& p, const QSize& size);
// The backdrop's dark teal gradient with the glow in its upper left, without the edge bands.
void drawBackdropGradient(QPainter& p, const QSize& size, int glowAlpha = 90);
// A narrow band of chevrons along one edge of a page.
void drawChevronBand(QPainter& p, const QRectF& band);
// A dark rounded panel with a faint teal outline, the look of the home screen's cards.
void drawPanel(QPainter& p, const QRectF& rect, qreal radius = 14);

} // namespace artwork
