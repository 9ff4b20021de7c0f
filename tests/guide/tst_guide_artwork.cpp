// The pictures of the guide pages as the build draws them: every file the pages load, in the
// size the pages lay them out for, and the icons in their one colour.

#include "Artwork.h"

#include <QImage>
#include <QPainter>
#include <QSet>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>

class TestGuideArtwork : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(drawGuideArtwork(m_dir.path()));
    }

    void picture_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("photo");
        const QSize square(500, 500);
        QTest::newRow("backdrop") << "other_bg_1.png" << QSize(1920, 1080) << true;
        QTest::newRow("section 1") << "other_bg_2.png" << QSize(1000, 500) << true;
        QTest::newRow("section 2") << "other_bg_2_2.png" << QSize(1200, 700) << true;
        QTest::newRow("section 3 top") << "other_bg_2_3_1.png" << square << true;
        QTest::newRow("section 3 bottom") << "other_bg_2_3_2.png" << square << true;
        QTest::newRow("section 4") << "other_bg_2_4.png" << QSize(1000, 600) << true;
        QTest::newRow("section 5 top") << "other_bg_2_5_1.png" << square << true;
        QTest::newRow("section 5 bottom") << "other_bg_2_5_2.png" << square << true;
        QTest::newRow("section 6") << "other_bg_2_6.png" << QSize(1020, 700) << true;
        QTest::newRow("header logo") << "logo-race-header.png" << QSize(706, 280) << false;
        QTest::newRow("console") << "pro-console.png" << QSize(400, 400) << false;
        QTest::newRow("ergometer") << "pro-corvex-verticle.png" << QSize(400, 400) << false;
    }

    // Photographs fill their frame edge to edge with a real scene; the cut-out pictures stand
    // on a clear ground that lets the card show around them.
    void picture()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(bool, photo);
        const QImage image(m_dir.filePath("images/" + name));
        QCOMPARE(image.size(), size);

        QSet<QRgb> colours;
        int clear = 0;
        int samples = 0;
        for (int y = 0; y < image.height(); y += 7) {
            for (int x = 0; x < image.width(); x += 7) {
                const QRgb pixel = image.pixel(x, y);
                colours.insert(pixel);
                clear += qAlpha(pixel) == 0;
                ++samples;
            }
        }
        // A flat placeholder would have a handful of colours; a drawn scene has hundreds.
        QVERIFY2(colours.size() > (photo ? 150 : 40), qPrintable(QString::number(colours.size())));
        if (photo) {
            QCOMPARE(clear, 0);
        } else {
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            QVERIFY2(clear > samples / 5 && clear < samples * 9 / 10,
                     qPrintable(QString::number(clear)));
        }
    }

    void icon_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name : {"pc", "power_on", "launch", "bluetooth", "setting", "kayaking",
                                 "processor", "memory", "sync", "user", "leader", "export"})
            QTest::newRow(name)
                << QStringLiteral(RIVANTA_IMAGES_DIR "/icon_%1.svg").arg(QLatin1String(name));
    }

    // Each icon is one shape in the cyan of the cards, drawn well inside its square.
    void icon()
    {
        QFETCH(QString, name);
        QSvgRenderer renderer(name);
        QVERIFY(renderer.isValid());
        QCOMPARE(renderer.defaultSize(), QSize(48, 48));
        QImage image(96, 96, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();

        const QColor cyan("#75FBFD");
        int inked = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (pixel.alpha() < 250)
                    continue;
                ++inked;
                const int off = qAbs(pixel.red() - cyan.red()) +
                                qAbs(pixel.green() - cyan.green()) +
                                qAbs(pixel.blue() - cyan.blue());
                QVERIFY2(off <= 6,
                         qPrintable(QStringLiteral("%1 at %2,%3").arg(pixel.name()).arg(x).arg(y)));
            }
        }
        QVERIFY2(inked > 96 * 96 / 15, qPrintable(QString::number(inked)));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestGuideArtwork)
#include "tst_guide_artwork.moc"
