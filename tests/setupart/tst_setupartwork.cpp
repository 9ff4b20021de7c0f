#include "Artwork.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>

// Lane colours in lane order, as the race set-up page shows them.
static const char* const kLaneColours[10] = {"#3B82F6", "#EF4444", "#22C55E", "#F59E0B", "#8B5CF6",
                                             "#EC4899", "#06B6D4", "#14B8A6", "#F97316", "#6366F1"};

class TestSetupArtwork : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir out;
    QImage mainBackground;
    QImage deviceConnect;

    static bool sameHue(const QColor& seen, const QColor& wanted)
    {
        const int d = qAbs(seen.hslHue() - wanted.hslHue());
        return qMin(d, 360 - d) <= 8 && seen.hslSaturation() > 100;
    }

    // True where a heading letter (accent green on the dark table) covers the pixel.
    static bool isHeadingInk(QRgb pixel) { return qGreen(pixel) > 120 && qBlue(pixel) < 170; }

private slots:
    void initTestCase()
    {
        QVERIFY(out.isValid());
        QVERIFY(drawSetupArtwork(out.path()));
        mainBackground = QImage(out.filePath("images/main_background.png"));
        deviceConnect = QImage(out.filePath("images/device_connect.png"));
        QCOMPARE(mainBackground.size(), QSize(1920, 1080));
        QCOMPARE(deviceConnect.size(), QSize(1920, 1080));
    }

    // Each heading is inked inside the span of its column and never in the gap after it, where
    // it would read as the next column's heading.
    void headingStandsOverItsColumn_data()
    {
        QTest::addColumn<qreal>("left");
        QTest::addColumn<qreal>("right");
        QTest::addColumn<qreal>("nextLeft");
        const qreal row = 140.59;
        QTest::newRow("LANE") << 74.0 << 121.8 << row;
        const qreal starts[] = {0,      191.41, 382.82,  490.59, 598.36,
                                741.97, 921.43, 1065.04, 1258.22};
        const qreal widths[] = {179.23, 179.23, 95.59, 95.59, 131.43, 167.28, 131.43, 181};
        const char* names[] = {"FIRST NAME", "SURNAME", "WEIGHT",   "GENDER",
                               "DOB",        "CLUB",    "CATEGORY", "CONNECTION"};
        for (int i = 0; i < 8; ++i)
            QTest::newRow(names[i])
                << row + starts[i] << row + starts[i] + widths[i] << row + starts[i + 1];
    }
    void headingStandsOverItsColumn()
    {
        QFETCH(qreal, left);
        QFETCH(qreal, right);
        QFETCH(qreal, nextLeft);
        int inside = 0;
        int outside = 0;
        // The headings stand between the table's top (y 222) and the first row (y 294).
        for (int y = 226; y < 290; ++y) {
            for (int x = qFloor(left); x < qCeil(nextLeft); ++x) {
                if (isHeadingInk(mainBackground.pixel(x, y)))
                    ++(x < right ? inside : outside);
            }
        }
        QVERIFY2(inside > 40, qPrintable(QString("only %1 heading pixels").arg(inside)));
        QCOMPARE(outside, 0);
    }

    // Lane n's number sits on row n - 1 of the row list, and lane n's card on field n - 1 of the
    // address page (odd lanes left, even lanes right), each in the lane's colour.
    void lanesInOrder_data()
    {
        QTest::addColumn<int>("lane");
        for (int lane = 1; lane <= 10; ++lane)
            QTest::newRow(qPrintable(QString("lane %1").arg(lane))) << lane;
    }
    void lanesInOrder()
    {
        QFETCH(int, lane);
        const QColor wanted(kLaneColours[lane - 1]);

        QSvgRenderer numbers(QStringLiteral(RIVANTA_IMAGES_DIR "/main_number.svg"));
        QVERIFY(numbers.isValid());
        QImage column(48, 650, QImage::Format_ARGB32_Premultiplied);
        column.fill(Qt::transparent);
        QPainter painter(&column);
        numbers.render(&painter, QRectF(0, 0, 47.8, 649.8));
        painter.end();
        const int rowMiddle = qRound((lane - 1) * 67.12 + 24);
        QVERIFY(sameHue(column.pixelColor(8, rowMiddle), wanted));

        const int field = lane - 1;
        const qreal fieldLeft = field % 2 ? 856.10 : 173.73;
        const qreal fieldMiddle = 262.67 + 129.65 * (field / 2) + 25;
        QVERIFY(
            sameHue(deviceConnect.pixelColor(qRound(fieldLeft - 28), qRound(fieldMiddle)), wanted));
    }

    // A picture the page cannot read shows as nothing at all.
    void badgesLoad_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::newRow("connected") << "CONNECTED.svg" << QSize(181, 48);
        QTest::newRow("connecting") << "CONNECTING.svg" << QSize(181, 48);
        QTest::newRow("failed") << "FAILED.svg" << QSize(181, 48);
        QTest::newRow("spinner") << "spin.svg" << QSize(20, 20);
    }
    void badgesLoad()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QSvgRenderer picture(QStringLiteral(RIVANTA_IMAGES_DIR "/") + name);
        QVERIFY(picture.isValid());
        QCOMPARE(picture.defaultSize(), size);
    }
};

QTEST_MAIN(TestSetupArtwork)
#include "tst_setupartwork.moc"
