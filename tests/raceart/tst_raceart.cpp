// The race screen's pictures: the kayak sheets play as one smooth paddle cycle in their lane's
// colour, the medals tell the places apart, and every picture has the size the page lays out.

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QtTest>

namespace {

const char* const laneColours[] = {"#297AFF", "#EF4444", "#20B055", "#F59E0B", "#8B5CF6",
                                   "#F14097", "#00BBDB", "#12B6A4", "#FF7311", "#6366F1"};
constexpr int frameW = 467;
constexpr int frameH = 242;
constexpr int frames = 12;

QImage raster(const QString& name)
{
    return QImage(QStringLiteral(RASTER_PICTURES "/") + name)
        .convertToFormat(QImage::Format_ARGB32);
}

// Mean absolute channel difference between two frames of a sheet, alpha included.
double frameDistance(const QImage& sheet, int a, int b)
{
    double sum = 0;
    for (int y = 0; y < frameH; y += 2) {
        const auto* pa = reinterpret_cast<const QRgb*>(sheet.constScanLine(a * frameH + y));
        const auto* pb = reinterpret_cast<const QRgb*>(sheet.constScanLine(b * frameH + y));
        for (int x = 0; x < frameW; x += 2) {
            sum += qAbs(qRed(pa[x]) - qRed(pb[x])) + qAbs(qGreen(pa[x]) - qGreen(pb[x])) +
                   qAbs(qBlue(pa[x]) - qBlue(pb[x])) + qAbs(qAlpha(pa[x]) - qAlpha(pb[x]));
        }
    }
    return sum / ((frameW / 2) * (frameH / 2));
}

// The most common hue (in 10-degree bins) among the strongly coloured, opaque pixels.
int dominantHue(const QImage& image, const QRect& area)
{
    int bins[36] = {};
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = QColor::fromRgba(image.pixel(x, y));
            if (c.alpha() > 200 && c.hsvSaturation() > 120 && c.value() > 90)
                ++bins[c.hsvHue() / 10];
        }
    }
    return int(std::max_element(std::begin(bins), std::end(bins)) - std::begin(bins)) * 10 + 5;
}

int hueDistance(int a, int b)
{
    const int d = qAbs(a - b) % 360;
    return qMin(d, 360 - d);
}

} // namespace

class TestRaceArt : public QObject
{
    Q_OBJECT

private slots:
    void sizes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::newRow("background") << "race_background.png" << QSize(1920, 1080);
        QTest::newRow("row strip") << "race_line.png" << QSize(1759, 10);
        for (int k = 0; k < 10; ++k)
            QTest::newRow(qPrintable(QStringLiteral("sprite %1").arg(k)))
                << QStringLiteral("sprite_%1.png").arg(k) << QSize(frameW, frameH * frames);
        for (int place = 1; place <= 3; ++place)
            QTest::newRow(qPrintable(QStringLiteral("medal %1").arg(place)))
                << QStringLiteral("rank_%1.png").arg(place) << QSize(442, 565);
        QTest::newRow("start and finish line") << "end_line.svg" << QSize(6, 740);
        QTest::newRow("lane separator") << "each_lane_rect.svg" << QSize(1920, 75);
        QTest::newRow("wake line") << "race_vector_passed.svg" << QSize(1054, 5);
    }
    void sizes()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        if (name.endsWith(QLatin1String(".svg"))) {
            QSvgRenderer svg(QStringLiteral(VECTOR_PICTURES "/") + name);
            QVERIFY(svg.isValid());
            QCOMPARE(svg.defaultSize(), size);
        } else {
            QCOMPARE(raster(name).size(), size);
        }
    }

    // The strip under each kayak row carries items only; the background covers the page.
    void transparency()
    {
        const QImage strip = raster(QStringLiteral("race_line.png"));
        for (int y = 0; y < strip.height(); ++y)
            for (int x = 0; x < strip.width(); ++x)
                QCOMPARE(qAlpha(strip.pixel(x, y)), 0);
        QVERIFY(!QImage(QStringLiteral(RASTER_PICTURES "/race_background.png")).hasAlphaChannel());
    }

    void spriteSheet_data()
    {
        QTest::addColumn<int>("lane");
        for (int k = 0; k < 10; ++k)
            QTest::newRow(laneColours[k]) << k;
    }
    // Every frame differs from the next, the last leads back to the first as smoothly as any
    // other step (no jerk when the cycle repeats), and the kayak wears its lane's hue.
    void spriteSheet()
    {
        QFETCH(int, lane);
        const QImage sheet = raster(QStringLiteral("sprite_%1.png").arg(lane));
        double least = 1e9;
        double most = 0;
        for (int f = 0; f < frames; ++f) {
            const double step = frameDistance(sheet, f, (f + 1) % frames);
            least = qMin(least, step);
            most = qMax(most, step);
            for (int other = f + 1; other < frames; ++other)
                QVERIFY2(frameDistance(sheet, f, other) > 0.5,
                         qPrintable(QStringLiteral("frames %1 and %2").arg(f).arg(other)));
        }
        QVERIFY2(most < 3 * least, qPrintable(QStringLiteral("%1 .. %2").arg(least).arg(most)));

        const int hue = QColor(laneColours[lane]).hsvHue();
        for (int f = 0; f < frames; f += 5) {
            const int found = dominantHue(sheet, QRect(0, f * frameH, frameW, frameH));
            QVERIFY2(
                hueDistance(found, hue) <= 10,
                qPrintable(QStringLiteral("frame %1: hue %2, lane %3").arg(f).arg(found).arg(hue)));
        }
    }

    // Gold and bronze in their own warm hues, silver without colour.
    void medals()
    {
        auto discColour = [](int place) {
            const QImage medal = raster(QStringLiteral("rank_%1.png").arg(place));
            QImage sample = medal.copy(90, 230, 60, 60)
                                .scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            return QColor::fromRgba(sample.pixel(0, 0));
        };
        const QColor gold = discColour(1);
        const QColor silver = discColour(2);
        const QColor bronze = discColour(3);
        QVERIFY2(gold.hsvHue() >= 38 && gold.hsvHue() <= 55, qPrintable(gold.name()));
        QVERIFY2(bronze.hsvHue() >= 15 && bronze.hsvHue() < 35, qPrintable(bronze.name()));
        QVERIFY2(silver.hsvSaturation() < 40, qPrintable(silver.name()));
    }

    // The start and finish line: black at the top, then alternating 74-pixel blocks.
    void lineBlocks()
    {
        QSvgRenderer svg(QStringLiteral(VECTOR_PICTURES "/end_line.svg"));
        QImage line(6, 740, QImage::Format_ARGB32);
        line.fill(Qt::transparent);
        QPainter painter(&line);
        svg.render(&painter);
        painter.end();
        for (int block = 0; block < 10; ++block) {
            const QRgb expected = block % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
            QCOMPARE(line.pixel(3, block * 74 + 37), expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestRaceArt)
#include "tst_raceart.moc"
