// The console link's pure parts: recognising consoles, reading frames, and the operations
// that must be safe on any index. No Bluetooth is used here.

#include "BleLogCapture.h"
#include "BluetoothManager.h"
#include "ConsoleMatcher.h"
#include "KayakConsole.h"
#include "RaceTables.h"
#include "SharedData.h"

#include <QBluetoothAddress>
#include <QtTest>

class TestBleUnits : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        SharedData::buildTables();
        log.install();
    }
    void init()
    {
        consoles.clear();
        log.clear();
    }

    void normalizesAddresses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("normalized");
        QTest::newRow("colons") << "aa:bb:cc:dd:ee:ff"
                                << "AABBCCDDEEFF";
        QTest::newRow("mixed separators") << "aa:bb-cc"
                                          << "AABBCC";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("name") << "ZV-1"
                              << "1";
        QTest::newRow("letters a to f count") << "Kayak"
                                              << "AA";
        QTest::newRow("nothing left") << "zz-ww"
                                      << "";
    }
    void normalizesAddresses()
    {
        QFETCH(QString, text);
        QFETCH(QString, normalized);
        QCOMPARE(ConsoleMatcher::normalizeMacAddress(text), normalized);
    }

    void matchesConfiguredText_data()
    {
        QTest::addColumn<QString>("configured");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("match");
        const QString addr = QStringLiteral("AA:BB:CC:DD:EE:FF");
        QTest::newRow("address, lower case") << "aa:bb:cc:dd:ee:ff" << addr << "X" << true;
        QTest::newRow("address, no separators") << "aabbccddeeff" << addr << "" << true;
        QTest::newRow("other address") << "aa:bb:cc:dd:ee:00" << addr << "X" << false;
        QTest::newRow("name, other case") << "kayak 3" << addr << "KAYAK 3" << true;
        QTest::newRow("name with blanks around") << "  Kayak 3 " << addr << "kayak 3" << true;
        QTest::newRow("name is not trimmed") << "Kayak 3" << addr << "Kayak 3 " << false;
        QTest::newRow("empty configured") << "" << addr << "" << false;
        QTest::newRow("empty name never matches") << "zz" << addr << "" << false;
        // "ZV-1" keeps only "1" after normalising, which is not the address: only the name
        // can match it.
        QTest::newRow("name without address digits") << "ZV-1"
                                                     << "00:00:00:00:00:01"
                                                     << "ZV-2" << false;
        QTest::newRow("hex-free text, by name") << "zw-one" << addr << "ZW-ONE" << true;
    }
    void matchesConfiguredText()
    {
        QFETCH(QString, configured);
        QFETCH(QString, address);
        QFETCH(QString, name);
        QFETCH(bool, match);
        QCOMPARE(ConsoleMatcher::matchesConfiguredDevice(configured.trimmed(), address, name),
                 match);
    }

    void recognisesFtmsAdvertisements()
    {
        QBluetoothDeviceInfo plain(QBluetoothAddress(QStringLiteral("AA:BB:CC:DD:EE:01")),
                                   QStringLiteral("R"), 0);
        QVERIFY(!ConsoleMatcher::offersFtms(plain));

        QBluetoothDeviceInfo listed = plain;
        listed.setServiceUuids({QBluetoothUuid(quint16(0x180D)), FTMS_SERVICE_UUID});
        QVERIFY(ConsoleMatcher::offersFtms(listed));

        QBluetoothDeviceInfo withData = plain;
        withData.setServiceData(QBluetoothUuid(quint16(0x1826)), QByteArray("\x01\x20", 2));
        QVERIFY(ConsoleMatcher::offersFtms(withData));

        QBluetoothDeviceInfo other = plain;
        other.setServiceUuids({QBluetoothUuid(quint16(0x1816))});
        other.setServiceData(QBluetoothUuid(quint16(0x1816)), QByteArray(1, 0));
        QVERIFY(!ConsoleMatcher::offersFtms(other));
    }

    // Different consoles must each get their record, whatever their names look like; the same
    // console, or a second one for a slot that has one, must not.
    void tellsDuplicatesFromDifferentConsoles()
    {
        auto device = [](const char* address, const char* name) {
            return QBluetoothDeviceInfo(QBluetoothAddress(QString::fromLatin1(address)),
                                        QString::fromLatin1(name), 0);
        };
        const KayakConsole zv1 = KayakConsole::matched(device("AA:BB:CC:DD:EE:01", "ZV-1"), 0);
        // Both names keep only "1" after the address normaliser, yet they are two consoles.
        QVERIFY(!ConsoleMatcher::isDuplicate(zv1, device("AA:BB:CC:DD:EE:02", "ZW-1"), 1));
        // The same console reported again, or configured a second time by address.
        QVERIFY(ConsoleMatcher::isDuplicate(zv1, device("AA:BB:CC:DD:EE:01", "ZV-1"), 0));
        QVERIFY(ConsoleMatcher::isDuplicate(zv1, device("aa:bb:cc:dd:ee:01", ""), 4));
        // A second console for a slot that already has one.
        QVERIFY(ConsoleMatcher::isDuplicate(zv1, device("AA:BB:CC:DD:EE:03", "zv-1"), 0));

        const KayakConsole unnamed = KayakConsole::matched(device("AA:BB:CC:DD:EE:04", ""), 2);
        QVERIFY(!ConsoleMatcher::isDuplicate(unnamed, device("AA:BB:CC:DD:EE:05", ""), 3));

        // Without addresses (as on macOS) devices are told apart by their UUIDs.
        QBluetoothDeviceInfo a(QBluetoothUuid(QUuid::createUuid()), QStringLiteral("ROWER"), 0);
        QBluetoothDeviceInfo b(QBluetoothUuid(QUuid::createUuid()), QStringLiteral("ROWER"), 0);
        const KayakConsole first = KayakConsole::matched(a, 5);
        QVERIFY(!ConsoleMatcher::isDuplicate(first, b, 6));
        QVERIFY(ConsoleMatcher::isDuplicate(first, a, 6));
    }

    // The largest raw value of bytes 12-13 still fits the scaled field; a short frame changes
    // nothing.
    void readsEdgesOfAFrame()
    {
        QByteArray frame(20, 0);
        frame[12] = frame[13] = char(0xFF);
        frame[18] = char(0xFE);
        frame[19] = char(0xFF);
        KayakConsole c;
        QVERIFY(BluetoothManager::parseConsolePacket(c, frame));
        QCOMPARE(c.scaledWord12, qint16(15662)); // 65535 x 0.239 = 15662.865
        QCOMPARE(c.rawWord18, quint16(0xFFFE));

        const KayakConsole before = c;
        frame[5] = char(0x10);
        QVERIFY(!BluetoothManager::parseConsolePacket(c, frame.left(19)));
        QCOMPARE(c.distance, before.distance);
        QCOMPARE(c.rawWord12, before.rawWord12);
    }

    void indexesOutsideTheListDoNothing()
    {
        BluetoothManager manager;
        QVERIFY(manager.getMetrics(0).isEmpty());
        KayakConsole c = KayakConsole::matched(
            QBluetoothDeviceInfo(QBluetoothAddress(QStringLiteral("AA:BB:CC:DD:EE:01")),
                                 QStringLiteral("ZV-1"), 0),
            0);
        c.strokeRate = 28;
        c.strokeCount = 300;
        consoles.append(c);
        QVERIFY(manager.getMetrics(-1).isEmpty());
        QVERIFY(manager.getMetrics(1).isEmpty());
        const QVariantMap m = manager.getMetrics(0);
        QCOMPARE(m.size(), 2);
        QCOMPARE(m.value("strokeRate").userType(), QMetaType::Int);
        QCOMPARE(m.value("strokeRate").toInt(), 28);
        QCOMPARE(m.value("strokeCount").toInt(), 300);

        // No characteristic yet: a warning, no crash.
        manager.setResistance(0, 5);
        QCOMPARE(
            log.count(QtWarningMsg, "Cannot write resistance: invalid characteristic for \"ZV-1\""),
            1);
        log.clear();
        manager.setResistance(1, 5);
        manager.setResistance(-1, 5);
        manager.disconnectConsole(1);
        manager.disconnectConsole(-1);
        QVERIFY(log.lines().isEmpty());
        QCOMPARE(consoles.size(), 1);
    }

    void retryOfANonSlotTouchesNoTable()
    {
        BluetoothManager manager;
        const QList<QStringList> before = global_data;
        manager.connectRetry(-1);
        manager.connectRetry(10);
        manager.connectRetry(1000);
        QCOMPARE(global_data, before);
        QVERIFY(manager.findChildren<QBluetoothDeviceDiscoveryAgent*>().isEmpty());
    }

    void disconnectAllWithNothingConnected()
    {
        BluetoothManager manager;
        all_devices_connected = true;
        manager.disconnectAllDevices();
        QCOMPARE(log.count(QtDebugMsg, "[BLE] Disconnecting old connected device"), 1);
        QVERIFY(consoles.isEmpty());
        QVERIFY(!all_devices_connected);
    }

    void startScanDoesNothingWhileARaceHoldsTheConsoles()
    {
        BluetoothManager manager;
        consoles.append(KayakConsole::matched(QBluetoothDeviceInfo(), 4));
        all_devices_connected = true;
        const QList<QStringList> before = global_data;
        manager.startScan();
        QCOMPARE(global_data, before);
        QCOMPARE(consoles.size(), 1);
        QVERIFY(log.lines().isEmpty());
        all_devices_connected = false;
    }

private:
    BleLogCapture log;
};

QTEST_GUILESS_MAIN(TestBleUnits)
#include "tst_ble_units.moc"
