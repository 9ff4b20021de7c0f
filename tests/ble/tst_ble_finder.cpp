// The address finder (scanConsoles) and the scan that finds no configured slot, against
// simulated consoles. Each search runs its full ten seconds.

#include "BleSimFixture.h"

#include <QtTest>

#include <memory>

class TestBleFinder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(sim.start()); }
    void init() { QVERIFY(sim.reset()); }
    void cleanup() { manager.reset(); }
    void cleanupTestCase() { sim.rig.stop(); }

    // Lists FTMS consoles whose name carries a keyword in any case into the empty rows only,
    // each name once; a retry or a second finder call meanwhile is ignored.
    void listsNearbyConsolesIntoEmptyRows()
    {
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:91", "KAYAK 3"));
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:92", "zv-7"));
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:93", "The Rivanta One"));
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:94", "Rower X"));
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:95", "kayak 9", {{"advertiseFtms", false}}));
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:96", "ZV-Known"));
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:97", ""));
        sim.configure(0, "Kept 1");
        sim.configure(1, "ZV-Known");
        sim.configure(3, "Kept 4");

        manager = std::make_unique<BluetoothManager>();
        scan_console_state = ScanScanning;
        const qint64 asked = sim.log.now();
        manager->scanConsoles();
        sim.settle(1000);
        manager->connectRetry(5);
        manager->scanConsoles();
        QCOMPARE(sim.state(5), QStringLiteral("-2"));
        QCOMPARE(scan_console_state, int(ScanScanning));
        sim.settle(6000);
        QCOMPARE(scan_console_state, int(ScanScanning));
        BLE_TRY(scan_console_state == ScanFinished, 10000);
        const qint64 took = sim.log.now() - asked;
        QVERIFY2(took >= 9000 && took < 16000, qPrintable(QString::number(took)));

        QCOMPARE(global_data[1][ColMac], QStringLiteral("Kept 1"));
        QCOMPARE(global_data[2][ColMac], QStringLiteral("ZV-Known"));
        QCOMPARE(global_data[4][ColMac], QStringLiteral("Kept 4"));
        QStringList written;
        for (int row : {3, 5, 6, 7, 8, 9, 10}) {
            if (!global_data[row][ColMac].isEmpty())
                written.append(global_data[row][ColMac]);
        }
        // The empty rows fill from the top.
        QCOMPARE(written.size(), 3);
        const QList<int> firstEmpty = {3, 5, 6};
        for (int row : firstEmpty)
            QVERIFY(!global_data[row][ColMac].isEmpty());
        written.sort();
        QCOMPARE(written, (QStringList{"KAYAK 3", "The Rivanta One", "zv-7"}));
        QCOMPARE(sim.state(5), QStringLiteral("-2"));
        QVERIFY(consoles.isEmpty());
        QCOMPARE(sim.stat("AA:BB:CC:DD:EE:91", "connects"), 0u);
    }

    // A console that shows up in the search's last moments is in the table when the state says
    // the search has ended: the address page copies the table at that moment.
    void lateConsoleIsListedByTheEnd()
    {
        sim.rig.addConsole(
            sim.console("AA:BB:CC:DD:EE:9B", "KAYAK LATE", {{"discoverDelayMs", 9000}}));
        manager = std::make_unique<BluetoothManager>();
        scan_console_state = ScanScanning;
        manager->scanConsoles();
        // A second before the 10 s search ends: late, yet inside it also on a busy machine.
        sim.settle(8000);
        QCOMPARE(global_data[1][ColMac], QString());
        BLE_TRY(scan_console_state == ScanFinished, 8000);
        QCOMPARE(global_data[1][ColMac], QStringLiteral("KAYAK LATE"));
    }

    // With every row taken nothing is written.
    void writesNothingWhenAllRowsAreTaken()
    {
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:98", "KAYAK 8"));
        for (int slot = 0; slot < SlotCount; ++slot)
            sim.configure(slot, QStringLiteral("Row %1").arg(slot + 1));
        const QList<QStringList> before = global_data;
        manager = std::make_unique<BluetoothManager>();
        scan_console_state = ScanScanning;
        manager->scanConsoles();
        BLE_TRY(scan_console_state == ScanFinished, 16000);
        QCOMPARE(global_data, before);
    }

    // A search that cannot run or stops on an error still ends in state 2, at once or when it
    // stops.
    void endsInStateTwoWhenDiscoveryFails_data()
    {
        QTest::addColumn<QVariantMap>("adapter");
        QTest::addColumn<int>("withinMs");
        // Qt reports these at once (the lost adapter half a second into the scan); a discovery that
        // BlueZ refuses to start, or whose adapter goes away, runs to its own timeout.
        QTest::newRow("powered off") << QVariantMap{{"powered", false}} << 3000;
        QTest::newRow("no adapter") << QVariantMap{{"present", false}} << 3000;
        QTest::newRow("filter refused") << QVariantMap{{"filterFails", true}} << 3000;
        QTest::newRow("adapter lost") << QVariantMap{{"failDuringScan", true}} << 5000;
        QTest::newRow("start refused") << QVariantMap{{"startFails", true}} << 15000;
    }
    void endsInStateTwoWhenDiscoveryFails()
    {
        QFETCH(QVariantMap, adapter);
        QFETCH(int, withinMs);
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:99", "KAYAK 99"));
        QVERIFY(sim.rig.setAdapter(adapter));
        manager = std::make_unique<BluetoothManager>();
        scan_console_state = ScanScanning;
        const qint64 asked = sim.log.now();
        manager->scanConsoles();
        BLE_TRY(scan_console_state == ScanFinished, withinMs);
        QVERIFY(sim.log.now() - asked < withinMs);
        // The finder is free again.
        sim.settle(100);
        QVERIFY(sim.rig.setAdapter({{"powered", true},
                                    {"present", true},
                                    {"filterFails", false},
                                    {"startFails", false},
                                    {"failDuringScan", false}}));
        scan_console_state = ScanScanning;
        manager->scanConsoles();
        sim.settle(1500);
        QCOMPARE(scan_console_state, int(ScanScanning));
        QCOMPARE(global_data[1][ColMac], QStringLiteral("KAYAK 99"));
        // Destroyed while its search runs: the search must end with it, or the adapter keeps
        // searching and the next row's scan never starts one of its own.
        manager.reset();
    }

    // No slot configured: nothing to stop early for, the scan runs its ten seconds and then
    // marks every slot unconfigured.
    void scanWithNoConfiguredSlot()
    {
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:9A", "ZV-9A"));
        manager = std::make_unique<BluetoothManager>();
        manager->startScan();
        QCOMPARE(sim.log.count(QtDebugMsg, "[BLE] startScan: Expecting 0 configured device(s)."),
                 1);
        for (int slot = 0; slot < SlotCount; ++slot)
            QCOMPARE(sim.state(slot), QStringLiteral("-2"));
        BLE_TRY(sim.log.countStarting("[BLE] Scan finished.") == 1, 16000);
        const QString finished = sim.log.starting("[BLE] Scan finished.").first().text;
        QVERIFY2(finished.startsWith("[BLE] Scan finished. Matched consoles: 0 | expected: 0 |"),
                 qPrintable(finished));
        const qint64 scanMs = finished.section(": ", -1).section(' ', 0, 0).toLongLong();
        QVERIFY2(scanMs >= 9000, qPrintable(finished));
        QCOMPARE(sim.log.count(QtDebugMsg, "[BLE] Device has FTMS but no configured MAC/name "
                                           "match; skipping: \"ZV-9A\" \"AA:BB:CC:DD:EE:9A\""),
                 1);
        QCOMPARE(sim.log.count(QtWarningMsg,
                               "[BLE] No devices matched. Check configured MACs/names and that "
                               "devices are powered on and discoverable."),
                 1);
        for (int slot = 0; slot < SlotCount; ++slot)
            QCOMPARE(sim.state(slot), QStringLiteral("-2"));
        QVERIFY(consoles.isEmpty());
    }

private:
    BleSimFixture sim;
    std::unique_ptr<BluetoothManager> manager;
};

QTEST_GUILESS_MAIN(TestBleFinder)
#include "tst_ble_finder.moc"
