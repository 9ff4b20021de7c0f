#include "ConsoleSettings.h"
#include "RowerStream.h"

#include <QtTest>

namespace {

int distanceOf(const QByteArray& frame)
{
    return quint8(frame.at(5)) | quint8(frame.at(6)) << 8 | quint8(frame.at(7)) << 16;
}

int strokesOf(const QByteArray& frame)
{
    return quint8(frame.at(3)) | quint8(frame.at(4)) << 8;
}

ConsoleSettings settingsFrom(const QVariantMap& spec)
{
    ConsoleSettings settings;
    QString error;
    QVariantMap full = spec;
    full.insert(QStringLiteral("address"), QStringLiteral("aa:bb:cc:dd:ee:ff"));
    if (!settings.parse(full, &error))
        qWarning() << error;
    return settings;
}

} // namespace

class TestBleSimStream : public QObject
{
    Q_OBJECT

private slots:
    void settingsDefaultsAndChecks();
    void frameLayout();
    void distanceCountsDownToZero();
    void chunkingKeepsFramesWhole();
    void droppedBytesRestartAtAFrame();
};

void TestBleSimStream::settingsDefaultsAndChecks()
{
    ConsoleSettings settings;
    QString error;
    QVERIFY(settings.parse({{"address", "aa:bb:cc:dd:ee:ff"}, {"startDistance", 1500}}, &error));
    QCOMPARE(settings.address, QStringLiteral("AA:BB:CC:DD:EE:FF"));
    QCOMPARE(settings.startDistance, 1500u);
    QCOMPARE(settings.speed, 4.0);
    QCOMPARE(settings.intervalMs, 100u);
    QCOMPARE(settings.connectMode, QStringLiteral("ok"));

    QVERIFY(!ConsoleSettings().parse({{"name", "x"}}, &error));
    QVERIFY(!ConsoleSettings().parse({{"address", "AA:BB:CC:DD:EE"}}, &error));
    QVERIFY(
        !ConsoleSettings().parse({{"address", "AA:BB:CC:DD:EE:FF"}, {"intervalMs", 0}}, &error));
    QVERIFY(!ConsoleSettings().parse({{"address", "AA:BB:CC:DD:EE:FF"}, {"speed", -1}}, &error));
    QVERIFY(!ConsoleSettings().parse(
        {{"address", "AA:BB:CC:DD:EE:FF"}, {"startDistance", 0x1000000}}, &error));
    QVERIFY(!ConsoleSettings().parse(
        {{"address", "AA:BB:CC:DD:EE:FF"}, {"connectMode", "sometimes"}}, &error));
    QVERIFY(error.contains(QStringLiteral("connectMode")));
}

void TestBleSimStream::frameLayout()
{
    const RowerStream stream(
        settingsFrom({{"startDistance", 0x123456}, {"strokeRate", 30}, {"strokeCount", 300}}));
    const QByteArray frame = stream.frameAt(0);
    QCOMPARE(frame.size(), 20);
    QCOMPARE(frame.left(2), QByteArray::fromHex("2c00"));
    QCOMPARE(quint8(frame.at(2)), quint8(60));
    QCOMPARE(strokesOf(frame), 300);
    QCOMPARE(frame.mid(5, 3), QByteArray::fromHex("563412"));
    for (int i = 8; i < 20; ++i)
        QCOMPARE(quint8(frame.at(i)), quint8(i));
    // One stroke every two seconds.
    QCOMPARE(strokesOf(stream.frameAt(1999)), 300);
    QCOMPARE(strokesOf(stream.frameAt(2000)), 301);
    QCOMPARE(strokesOf(stream.frameAt(9000)), 304);
    // A stroke rate too high for the byte stays at its largest value.
    QCOMPARE(quint8(RowerStream(settingsFrom({{"strokeRate", 200}})).frameAt(0).at(2)),
             quint8(255));
}

void TestBleSimStream::distanceCountsDownToZero()
{
    RowerStream stream(settingsFrom({{"startDistance", 10}, {"speed", 4.0}, {"intervalMs", 500}}));
    QList<int> distances;
    for (int i = 0; i < 8; ++i) {
        stream.tick();
        distances.append(distanceOf(stream.lastFrame()));
    }
    QCOMPARE(distances, (QList<int>{10, 8, 6, 4, 2, 0, 0, 0}));
    QCOMPARE(distanceOf(RowerStream(settingsFrom({{"speed", 0.0}})).frameAt(60000)), 2000);
}

void TestBleSimStream::chunkingKeepsFramesWhole()
{
    RowerStream stream(settingsFrom({{"chunking", "25"}, {"intervalMs", 1000}}));
    QByteArray bytes;
    QList<int> sizes;
    for (int i = 0; i < 5; ++i) {
        for (const QByteArray& notification : stream.tick()) {
            sizes.append(notification.size());
            bytes += notification;
        }
    }
    QCOMPARE(sizes, (QList<int>{25, 25, 25, 25}));
    QCOMPARE(stream.framesSent(), 5u);
    QCOMPARE(stream.framesMade(), 5u);
    QCOMPARE(stream.bytesSent(), 100u);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(bytes.mid(i * 20, 20), stream.frameAt(quint64(i) * 1000));

    RowerStream pairs(settingsFrom({{"chunking", "40"}}));
    QVERIFY(pairs.tick().isEmpty());
    QCOMPARE(pairs.framesSent(), 0u);
    const QList<QByteArray> two = pairs.tick();
    QCOMPARE(two.size(), 1);
    QCOMPARE(two.at(0).size(), 40);
    QCOMPARE(pairs.framesSent(), 2u);

    RowerStream split(settingsFrom({{"chunking", "12+8"}}));
    const QList<QByteArray> halves = split.tick();
    QCOMPARE(halves.size(), 2);
    QCOMPARE(halves.at(0) + halves.at(1), split.frameAt(0));
}

void TestBleSimStream::droppedBytesRestartAtAFrame()
{
    RowerStream stream(settingsFrom({{"chunking", "25"}}));
    QVERIFY(stream.tick().isEmpty());
    QCOMPARE(stream.tick().size(), 1); // 25 of 40 bytes sent, the second frame half out
    stream.dropPending();
    QVERIFY(stream.tick().isEmpty());
    const QList<QByteArray> next = stream.tick();
    QCOMPARE(next.size(), 1);
    QCOMPARE(next.at(0).left(20), stream.frameAt(200));
    QCOMPARE(stream.framesSent(), 2u);
}

QTEST_GUILESS_MAIN(TestBleSimStream)

#include "tst_blesim_stream.moc"
