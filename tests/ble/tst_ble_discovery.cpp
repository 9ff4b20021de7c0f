// Discovery and slot matching against simulated consoles, through the real Qt Bluetooth code.

#include "BleSimFixture.h"

#include <QtTest>

#include <memory>

class TestBleDiscovery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(sim.start()); }
    void init() { QVERIFY(sim.reset()); }
    void cleanup() { manager.reset(); }
    void cleanupTestCase() { sim.rig.stop(); }

    // Addresses match in any notation and letter case, names in any case with blanks around
    // the configured text; once every configured console is found the scan stops at once.
    void matchesByAddressAndNameAndStopsEarly()
    {
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:01", "R1"));
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:02", "KAYAK TWO"));
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:03", "ZV-9"));
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:04", "Phone", {{"advertiseFtms", false}}));
        sim.configure(0, "aa:bb:cc:dd:ee:01");
        sim.configure(3, "  kayak two ");

        manager = std::make_unique<BluetoothManager>();
        manager->startScan();
        QCOMPARE(sim.state(0), QStringLiteral("0"));
        QCOMPARE(sim.state(1), QStringLiteral("-2"));
        QCOMPARE(sim.state(3), QStringLiteral("0"));
        BLE_TRY(sim.state(0) == "1" && sim.state(3) == "1", 15000);

        QCOMPARE(consoles.size(), 2);
        QCOMPARE(consoles[sim.indexOfSlot(0)].address, QStringLiteral("AA:BB:CC:DD:EE:01"));
        QCOMPARE(consoles[sim.indexOfSlot(3)].name, QStringLiteral("KAYAK TWO"));
        for (int slot : {1, 2, 4, 5, 6, 7, 8, 9})
            QCOMPARE(sim.state(slot), QStringLiteral("-2"));
        QCOMPARE(global_playernum, 2);

        const BleLogCapture& log = sim.log;
        QCOMPARE(log.count(QtDebugMsg, "[BLE] startScan: Loading configured MACs and marking "
                                       "slots..."),
                 1);
        QCOMPARE(log.count(QtDebugMsg, "[BLE]   Slot 1 configured: \"aa:bb:cc:dd:ee:01\""), 1);
        QCOMPARE(log.count(QtDebugMsg, "[BLE]   Slot 4 configured: \"kayak two\""), 1);
        QCOMPARE(log.count(QtDebugMsg, "[BLE] startScan: Expecting 2 configured device(s)."), 1);
        QCOMPARE(log.count(QtDebugMsg, "[BLE] Starting LowEnergy scan..."), 1);
        QCOMPARE(log.count(QtDebugMsg, "[BLE] Matched slot 1 -> \"R1\" \"AA:BB:CC:DD:EE:01\""), 1);
        QCOMPARE(
            log.count(QtDebugMsg, "[BLE] Matched slot 4 -> \"KAYAK TWO\" \"AA:BB:CC:DD:EE:02\""),
            1);
        QCOMPARE(log.count(QtDebugMsg, "[BLE] Found all 2 expected. Stopping scan and connecting."),
                 1);
        QCOMPARE(log.countStarting("[BLE] Scan success. Total scanning time:"), 1);
        QCOMPARE(log.countStarting("[BLE] Scan finished."), 0);
        // The early stop comes long before the 10 s discovery would end.
        const QList<BleLogCapture::Line> start = log.starting("[BLE] Starting LowEnergy scan");
        const QList<BleLogCapture::Line> found = log.starting("[BLE] Found all");
        QVERIFY(found.first().ms - start.first().ms < 5000);
        QVERIFY(log.countStarting("[BLE] Discovered: \"R1\" | \"AA:BB:CC:DD:EE:01\" | "
                                  "serviceUuids: ") == 1);
        QCOMPARE(
            log.count(QtDebugMsg, "[BLE] Will connect to slot 1 : \"R1\" \"AA:BB:CC:DD:EE:01\""),
            1);
        QCOMPARE(log.count(QtDebugMsg, "[BLE] \"R1\" slot 1 FTMS Ready!"), 1);
    }

    // Consoles whose names share their hexadecimal characters (ZV-1, ZW-1) and unnamed consoles
    // configured by address are different consoles and all connect.
    void differentConsolesAreNotDuplicates()
    {
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:11", "ZV-1"));
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:12", "ZW-1"));
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:13", ""));
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:14", ""));
        sim.configure(0, "ZV-1");
        sim.configure(1, "ZW-1");
        sim.configure(2, "AA:BB:CC:DD:EE:13");
        sim.configure(3, "aa-bb-cc-dd-ee-14");

        manager = std::make_unique<BluetoothManager>();
        manager->startScan();
        BLE_TRY(sim.state(0) == "1" && sim.state(1) == "1" && sim.state(2) == "1" &&
                    sim.state(3) == "1",
                20000);
        QCOMPARE(consoles.size(), 4);
        QCOMPARE(sim.log.countStarting("[BLE] Already have device"), 0);
        QCOMPARE(sim.log.countStarting("[BLE] Found all 4 expected."), 1);
    }

    // Two slots with one name: the console goes to the lower slot, a second console of that
    // name is skipped, the count of two is never reached, so the scan runs its full time and
    // the higher slot ends failed.
    void twoSlotsWithOneNameAndASecondConsoleOfThatName()
    {
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:21", "Kayak 5"));
        sim.configure(4, "Kayak 5");
        sim.configure(6, "kayak 5");

        manager = std::make_unique<BluetoothManager>();
        manager->startScan();
        QCOMPARE(sim.state(4), QStringLiteral("0"));
        QCOMPARE(sim.state(6), QStringLiteral("0"));
        // A second console with the same name appears while the scan runs.
        sim.settle(500);
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:22", "KAYAK 5"));
        sim.settle(1500);
        QCOMPARE(consoles.size(), 1);
        QCOMPARE(consoles[0].slot, 4);
        QCOMPARE(sim.state(6), QStringLiteral("0"));
        QCOMPARE(sim.log.count(QtDebugMsg, "[BLE] Already have device, skipping duplicate: "
                                           "\"AA:BB:CC:DD:EE:22\""),
                 1);

        BLE_TRY(sim.log.countStarting("[BLE] Scan finished.") == 1, 15000);
        const BleLogCapture::Line finished = sim.log.starting("[BLE] Scan finished.").first();
        QVERIFY2(finished.text.startsWith("[BLE] Scan finished. Matched consoles: 1 | expected: 2 "
                                          "| scan time (start -> finished): "),
                 qPrintable(finished.text));
        const qint64 scanMs = finished.text.section(": ", -1).section(' ', 0, 0).toLongLong();
        QVERIFY2(scanMs >= 9000 && scanMs < 14000, qPrintable(finished.text));
        QCOMPARE(sim.log.countStarting("[BLE] Found all"), 0);
        QCOMPARE(sim.state(6), QStringLiteral("-1"));
        BLE_TRY(sim.state(4) == "1", 10000);
        QCOMPARE(sim.state(6), QStringLiteral("-1"));
    }

    // A discovery that cannot run or stops on an error ends the scan like its finish: the
    // configured slots leave "0" in bounded time.
    void discoveryErrorsEndTheScan_data()
    {
        QTest::addColumn<QVariantMap>("adapter");
        QTest::addColumn<QString>("error");
        QTest::newRow("powered off")
            << QVariantMap{{"powered", false}} << "[BLE] Discovery error: PoweredOffError";
        QTest::newRow("no adapter")
            << QVariantMap{{"present", false}} << "[BLE] Discovery error: InputOutputError";
    }
    void discoveryErrorsEndTheScan()
    {
        QFETCH(QVariantMap, adapter);
        QFETCH(QString, error);
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:31", "ZV-31"));
        sim.configure(2, "ZV-31");
        QVERIFY(sim.rig.setAdapter(adapter));

        manager = std::make_unique<BluetoothManager>();
        manager->startScan();
        BLE_TRY(sim.state(2) != "0", 8000);
        QCOMPARE(sim.log.count(QtWarningMsg, error), 1);
        QCOMPARE(sim.state(2), QStringLiteral("-1"));
        QCOMPARE(sim.log.count(QtWarningMsg,
                               "[BLE] No devices matched. Check configured MACs/names and that "
                               "devices are powered on and discoverable."),
                 1);
    }

    // The adapter goes away half a second into the scan: the scan ends there, and a console
    // matched before that fails its connection attempts and is given up, all in bounded time.
    void adapterLostDuringScan()
    {
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:41", "ZV-41"));
        sim.configure(0, "ZV-41");
        sim.configure(1, "ZV-42"); // never found, so the scan does not stop early
        QVERIFY(sim.rig.setAdapter({{"failDuringScan", true}}));

        manager = std::make_unique<BluetoothManager>();
        manager->startScan();
        BLE_TRY(sim.log.countStarting("[BLE] Discovery error:") == 1, 5000);
        QCOMPARE(sim.log.countStarting("[BLE] Scan finished. Matched consoles: 1 | expected: 2"),
                 1);
        QCOMPARE(sim.state(1), QStringLiteral("-1"));
        BLE_TRY(sim.state(0) == "-1", 15000);
        QCOMPARE(sim.log.count(QtWarningMsg, "[BLE] \"ZV-41\" Failed after 5 attempts."), 1);
    }

private:
    BleSimFixture sim;
    std::unique_ptr<BluetoothManager> manager;
};

QTEST_GUILESS_MAIN(TestBleDiscovery)
#include "tst_ble_discovery.moc"
