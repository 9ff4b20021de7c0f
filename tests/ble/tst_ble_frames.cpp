// Rower Data notifications from simulated consoles: frame reassembly, the fields read from a
// frame, the packet log line, and the two direct operations getMetrics and setResistance.

#include "BleSimFixture.h"

#include <QRegularExpression>
#include <QtTest>

#include <memory>

namespace {

QByteArray frame(quint8 rateByte, quint32 distance, quint16 word12 = 0)
{
    QByteArray f(20, 0);
    f[0] = char(0x2C);
    f[2] = char(rateByte);
    f[3] = char(0x0A);
    f[5] = char(distance & 0xFF);
    f[6] = char((distance >> 8) & 0xFF);
    f[7] = char((distance >> 16) & 0xFF);
    f[12] = char(word12 & 0xFF);
    f[13] = char(word12 >> 8);
    f[19] = char(0xFF);
    return f;
}

} // namespace

class TestBleFrames : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(sim.start()); }
    void init() { QVERIFY(sim.reset()); }
    void cleanup() { manager.reset(); }
    void cleanupTestCase() { sim.rig.stop(); }

    // Frames sent one by one with known bytes, cut into pieces the way consoles do.
    void readsFramesAndLogsEachOne()
    {
        const QString address = QStringLiteral("AA:BB:CC:DD:EE:71");
        const QString name = QStringLiteral("ZV-71");
        connectOne(address, name, 0);
        QVERIFY(sim.rig.setStreaming(address, false));
        sim.settle(300);
        const int j = sim.indexOfSlot(0);
        QVERIFY(j >= 0);
        QVERIFY(consoles[j].rxBuffer.isEmpty());
        int lines = sim.packetLines(name).size();

        QVERIFY(sim.rig.sendRaw(address, frame(0x3D, 10000, 1000)));
        BLE_TRY(sim.packetLines(name).size() == lines + 1, 3000);
        ++lines;
        QCOMPARE(consoles[j].strokeRate, quint8(30));
        QCOMPARE(consoles[j].distance, 10000u);
        QCOMPARE(consoles[j].strokeCount, quint16(10));
        QCOMPARE(consoles[j].scaledWord12, qint16(239));
        static const QRegularExpression line(
            QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2} \\| ZV-71 \\| Distance: "
                           "10000 \\| packet: 2C 00 3D 0A 00 10 27 00 00 00 00 00 E8 03 00 00 00 "
                           "00 00 FF\\n$"));
        QVERIFY2(line.match(sim.packetLines(name).last()).hasMatch(),
                 qPrintable(sim.packetLines(name).last()));

        QVERIFY(sim.rig.sendRaw(address, frame(0x3C, 16777215)));
        BLE_TRY(sim.packetLines(name).size() == lines + 1, 3000);
        ++lines;
        QCOMPARE(consoles[j].distance, 16777215u);
        QVERIFY2(sim.packetLines(name).last().contains(" | Distance: 1.67772e+07 | packet: "),
                 qPrintable(sim.packetLines(name).last()));

        // Two frames in one notification.
        QVERIFY(sim.rig.sendRaw(address, frame(0x20, 1500) + frame(0x22, 1499)));
        BLE_TRY(sim.packetLines(name).size() == lines + 2, 3000);
        lines += 2;
        QCOMPARE(consoles[j].distance, 1499u);
        QCOMPARE(consoles[j].strokeRate, quint8(0x11));

        // 25 bytes: one frame, five bytes wait for the next notification.
        const QByteArray pair = frame(0x30, 1400) + frame(0x32, 1399);
        QVERIFY(sim.rig.sendRaw(address, pair.left(25)));
        BLE_TRY(sim.packetLines(name).size() == lines + 1, 3000);
        ++lines;
        QCOMPARE(consoles[j].distance, 1400u);
        QCOMPARE(consoles[j].rxBuffer.size(), 5);
        QVERIFY(sim.rig.sendRaw(address, pair.mid(25)));
        BLE_TRY(sim.packetLines(name).size() == lines + 1, 3000);
        ++lines;
        QCOMPARE(consoles[j].distance, 1399u);
        QVERIFY(consoles[j].rxBuffer.isEmpty());

        // 12 then 8 bytes: the frame comes with the second piece.
        const QByteArray last = frame(0x40, 1300);
        QVERIFY(sim.rig.sendRaw(address, last.left(12)));
        sim.settle(300);
        QCOMPARE(sim.packetLines(name).size(), lines);
        QCOMPARE(consoles[j].rxBuffer.size(), 12);
        QVERIFY(sim.rig.sendRaw(address, last.mid(12)));
        BLE_TRY(sim.packetLines(name).size() == lines + 1, 3000);
        QCOMPARE(consoles[j].distance, 1300u);
        QCOMPARE(consoles[j].strokeRate, quint8(0x20));

        const QVariantMap metrics = manager->getMetrics(j);
        QCOMPARE(metrics.value("strokeRate").toInt(), 0x20);
        QCOMPARE(metrics.value("strokeCount").toInt(), 10);
        QVERIFY(manager->getMetrics(consoles.size()).isEmpty());
        QVERIFY(manager->getMetrics(-1).isEmpty());
    }

    // The consoles' own streams in every cut: every byte sent ends up in a frame or waits in
    // the buffer, one log line per frame.
    void keepsEveryFrameOfAStream_data()
    {
        QTest::addColumn<QString>("chunking");
        QTest::newRow("20") << "20";
        QTest::newRow("40") << "40";
        QTest::newRow("25") << "25";
        QTest::newRow("12+8") << "12+8";
    }
    void keepsEveryFrameOfAStream()
    {
        QFETCH(QString, chunking);
        const QString address = QStringLiteral("AA:BB:CC:DD:EE:72");
        const QString name = QStringLiteral("ZV-72 ") + chunking;
        connectOne(address, name, 4, {{"chunking", chunking}, {"intervalMs", 50}});
        sim.settle(1500);
        QVERIFY(sim.rig.setStreaming(address, false));
        const uint bytes = sim.stat(address, "bytesSent");
        QVERIFY(bytes >= 200);
        const int j = sim.indexOfSlot(4);
        QTRY_COMPARE_WITH_TIMEOUT(sim.packetLines(name).size(), int(bytes / 20), 5000);
        QCOMPARE(consoles[j].rxBuffer.size(), int(bytes % 20));
        // The distance counts down from the start value.
        QVERIFY(consoles[j].distance < 2000u && consoles[j].distance > 1000u);
        QCOMPARE(consoles[j].strokeRate, quint8(30));
    }

    // Bytes of a frame cut off by a dropped link must not shift the frames of the next link.
    void reconnectStartsAFreshStream()
    {
        const QString address = QStringLiteral("AA:BB:CC:DD:EE:76");
        const QString name = QStringLiteral("ZV-76");
        connectOne(address, name, 3);
        QVERIFY(sim.rig.setStreaming(address, false));
        sim.settle(300);
        const int j = sim.indexOfSlot(3);
        QVERIFY(sim.rig.sendRaw(address, (frame(0x30, 900) + frame(0x30, 899)).left(25)));
        BLE_TRY(consoles[j].rxBuffer.size() == 5, 3000);
        QCOMPARE(consoles[j].distance, 900u);

        QVERIFY(sim.rig.dropLink(address));
        BLE_TRY(sim.log.count(QtDebugMsg, "[BLE] \"ZV-76\" Connected; discovering services...") ==
                        2 &&
                    sim.notifying(address),
                8000);
        QVERIFY(sim.rig.setStreaming(address, false));
        sim.settle(300);
        const int lines = sim.packetLines(name).size();
        QVERIFY(sim.rig.sendRaw(address, frame(0x3D, 777)));
        BLE_TRY(sim.packetLines(name).size() == lines + 1, 3000);
        QCOMPARE(consoles[j].distance, 777u);
        QCOMPARE(consoles[j].strokeRate, quint8(30));
        QVERIFY(consoles[j].rxBuffer.isEmpty());
    }

    // A damaged notification must not shift the frames after it. A 13-byte one among whole
    // frames is dropped with the next whole frame; bytes left waiting over a pause are dropped
    // before a frame that comes in pieces.
    void resynchronisesAfterAShortNotification()
    {
        const QString address = QStringLiteral("AA:BB:CC:DD:EE:77");
        const QString name = QStringLiteral("ZV-77");
        connectOne(address, name, 6, {{"intervalMs", 50}});
        const int j = sim.indexOfSlot(6);
        BLE_TRY(sim.packetLines(name).size() >= 5, 5000);
        const QByteArray shortOne = frame(0x3D, 40).left(13);
        QVERIFY(sim.rig.sendRaw(address, shortOne));
        const uint frames = sim.stat(address, "framesSent");
        BLE_TRY(sim.stat(address, "framesSent") >= frames + 20, 5000);
        QVERIFY(sim.rig.setStreaming(address, false));
        QTRY_COMPARE_WITH_TIMEOUT(sim.packetLines(name).size(),
                                  int(sim.stat(address, "framesSent")), 5000);
        // Every frame read is one the console sent: its filler bytes 08 to 13 in their places.
        for (const QString& line : sim.packetLines(name))
            QVERIFY2(line.endsWith(" 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13\n"), qPrintable(line));
        QVERIFY(consoles[j].distance > 1900u && consoles[j].distance < 2000u);

        const int lines = sim.packetLines(name).size();
        QVERIFY(sim.rig.sendRaw(address, shortOne));
        BLE_TRY(consoles[j].rxBuffer.size() == 13, 3000);
        sim.settle(2500); // far longer than the console's 50 ms between notifications
        const QByteArray whole = frame(0x3D, 1234);
        QVERIFY(sim.rig.sendRaw(address, whole.left(12)));
        QVERIFY(sim.rig.sendRaw(address, whole.mid(12)));
        BLE_TRY(sim.packetLines(name).size() == lines + 1, 3000);
        QCOMPARE(consoles[j].distance, 1234u);
        QVERIFY(consoles[j].rxBuffer.isEmpty());
    }

    void writesResistanceAsOneByteWithoutResponse()
    {
        const QString address = QStringLiteral("AA:BB:CC:DD:EE:73");
        connectOne(address, "ZV-73", 1);
        const int j = sim.indexOfSlot(1);
        BLE_TRY(consoles[j].resistanceChar.isValid(), 3000);
        manager->setResistance(j, 5);
        manager->setResistance(j, 0x10C);
        BLE_TRY(sim.rig.writes(address).size() == 3, 3000);
        QCOMPARE(sim.rig.writes(address),
                 (QStringList{"2902 start-notify", "2ad6 command 05", "2ad6 command 0c"}));
        manager->setResistance(consoles.size(), 5);
        manager->setResistance(-1, 5);
        sim.settle(200);
        QCOMPARE(sim.rig.writes(address).size(), 3);

        // While the console reconnects its record keeps the old characteristic but has no
        // service to write with: a warning, not a crash.
        QVERIFY(sim.rig.dropLink(address));
        BLE_TRY(sim.log.countStarting("[BLE] \"ZV-73\" Controller error:") == 1, 3000);
        manager->setResistance(j, 9);
        QCOMPARE(sim.log.count(QtWarningMsg,
                               "Cannot write resistance: invalid characteristic for \"ZV-73\""),
                 1);

        const QString plain = QStringLiteral("AA:BB:CC:DD:EE:74");
        sim.rig.addConsole(sim.console(plain, "ZV-74", {{"resistance", false}}));
        sim.configure(2, "ZV-74");
        manager->connectRetry(2);
        BLE_TRY(sim.state(2) == "1" && sim.notifying(plain), 10000);
        manager->setResistance(sim.indexOfSlot(2), 7);
        QCOMPARE(sim.log.count(QtWarningMsg,
                               "Cannot write resistance: invalid characteristic for \"ZV-74\""),
                 1);
        QCOMPARE(sim.rig.writes(plain), QStringList{"2902 start-notify"});
    }

    // Notifications from a link whose record is no longer listed are dropped with a warning.
    void dropsNotificationsOfAnUnlistedConsole()
    {
        const QString address = QStringLiteral("AA:BB:CC:DD:EE:75");
        connectOne(address, "ZV-75", 0);
        const int lines = sim.packetLines("ZV-75").size();
        KayakConsole orphan = consoles.takeAt(sim.indexOfSlot(0));
        sim.log.clear();
        BLE_TRY(sim.log.count(QtWarningMsg, "[BLE] Unknown console characteristic changed!") >= 3,
                3000);
        QVERIFY(sim.packetLines("ZV-75").size() <= lines + 1);
        consoles.append(orphan); // so that the link is torn down with the others
    }

private:
    void connectOne(const QString& address, const QString& name, int slot,
                    const QVariantMap& spec = {})
    {
        QVERIFY(!sim.rig.addConsole(sim.console(address, name, spec)).isEmpty());
        sim.configure(slot, name);
        if (!manager)
            manager = std::make_unique<BluetoothManager>();
        manager->startScan();
        BLE_TRY(sim.state(slot) == "1" && sim.notifying(address), 15000);
    }

    BleSimFixture sim;
    std::unique_ptr<BluetoothManager> manager;
};

QTEST_GUILESS_MAIN(TestBleFrames)
#include "tst_ble_frames.moc"
