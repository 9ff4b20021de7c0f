// connectRetry: one more search for a single slot's console, against simulated consoles.

#include "BleSimFixture.h"

#include <QtTest>

#include <memory>

class TestBleRetry : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(sim.start()); }
    void init() { QVERIFY(sim.reset()); }
    void cleanup() { managers.clear(); }
    void cleanupTestCase() { sim.rig.stop(); }

    // The console is found, taken at once, and connected a second later.
    void findsAndConnectsTheSlotsConsole()
    {
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:81", "ZV-81"));
        sim.configure(3, " zv-81 ");
        BluetoothManager* manager = newManager();
        const qint64 asked = sim.log.now();
        manager->connectRetry(3);
        QCOMPARE(sim.state(3), QStringLiteral("0"));
        BLE_TRY(consoles.size() == 1, 3000);
        QCOMPARE(consoles[0].slot, 3);
        QCOMPARE(consoles[0].name, QStringLiteral("ZV-81"));
        BLE_TRY(sim.state(3) == "1" && sim.notifying("AA:BB:CC:DD:EE:81"), 10000);
        const QList<BleLogCapture::Line> connects = sim.log.starting("[BLE] Connecting to ");
        QCOMPARE(connects.size(), 1);
        const qint64 after = connects.first().ms - asked;
        QVERIFY2(after >= 980 && after < 3000, qPrintable(QString::number(after)));
        QCOMPARE(global_playernum, 1);
        // The search ended with the find: a second retry may start at once.
        QVERIFY(manager->findChildren<QBluetoothDeviceDiscoveryAgent*>().isEmpty() ||
                !manager->findChildren<QBluetoothDeviceDiscoveryAgent*>().first()->isActive());
    }

    // Slots whose console is off, does not advertise FTMS, or that have no text: "0" for the
    // five seconds of the search, then "-1". Three managers search side by side.
    void failsTheSlotWhenNothingIsTaken()
    {
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:82", "ZV-82", {{"advertiseFtms", false}}));
        sim.configure(1, "ZV-82");
        sim.configure(2, "ZV-OFF");
        const qint64 asked = sim.log.now();
        newManager()->connectRetry(1);
        newManager()->connectRetry(2);
        newManager()->connectRetry(5);
        for (int slot : {1, 2, 5})
            QCOMPARE(sim.state(slot), QStringLiteral("0"));
        sim.settle(3500);
        for (int slot : {1, 2, 5})
            QCOMPARE(sim.state(slot), QStringLiteral("0"));
        BLE_TRY(sim.state(1) == "-1" && sim.state(2) == "-1" && sim.state(5) == "-1", 10000);
        const qint64 took = sim.log.now() - asked;
        QVERIFY2(took >= 4500 && took < 12000, qPrintable(QString::number(took)));
        QVERIFY(consoles.isEmpty());
        QCOMPARE(sim.stat("AA:BB:CC:DD:EE:82", "connects"), 0u);
    }

    // A console given up after its retries stays listed; a retry of its slot replaces that
    // record and its count, so the slot ends connected instead of waiting in "0".
    void replacesAGivenUpRecord()
    {
        const QString address = QStringLiteral("AA:BB:CC:DD:EE:83");
        sim.rig.addConsole(sim.console(address, "ZV-83", {{"connectFailures", 6}}));
        sim.configure(6, "ZV-83");
        BluetoothManager* manager = newManager();
        manager->startScan();
        BLE_TRY(sim.state(6) == "-1", 20000);
        QCOMPARE(sim.log.count(QtWarningMsg, "[BLE] \"ZV-83\" Failed after 5 attempts."), 1);
        QCOMPARE(consoles.size(), 1);
        QCOMPARE(retryCounts.value(address), 6);

        manager->connectRetry(6);
        QCOMPARE(sim.state(6), QStringLiteral("0"));
        BLE_TRY(sim.state(6) == "1" && sim.notifying(address), 10000);
        QCOMPARE(consoles.size(), 1);
        QCOMPARE(consoles[0].slot, 6);
        QCOMPARE(retryCounts.value(address), 0);
        QCOMPARE(sim.stat(address, "connects"), 7u);
    }

    // The same, when the given-up console is gone by the time of the retry: the slot fails
    // after the search rather than staying "0".
    void givenUpConsoleThatIsGoneFailsTheSlot()
    {
        const QString address = QStringLiteral("AA:BB:CC:DD:EE:84");
        sim.rig.addConsole(sim.console(address, "ZV-84", {{"connectMode", "fail"}}));
        sim.configure(0, "ZV-84");
        BluetoothManager* manager = newManager();
        manager->startScan();
        BLE_TRY(sim.state(0) == "-1", 20000);
        QVERIFY(sim.rig.removeConsole(address));
        manager->connectRetry(0);
        QCOMPARE(sim.state(0), QStringLiteral("0"));
        BLE_TRY(sim.state(0) == "-1", 10000);
        QVERIFY(consoles.isEmpty());
    }

    // A second search while one runs is ignored and leaves the slot alone.
    void ignoresARetryWhileASearchRuns()
    {
        sim.configure(4, "ZV-OFF");
        sim.configure(7, "ZV-87");
        BluetoothManager* manager = newManager();
        manager->connectRetry(4);
        QCOMPARE(sim.state(4), QStringLiteral("0"));
        manager->connectRetry(7);
        QCOMPARE(sim.state(7), QStringLiteral("-2"));
        // The address finder cannot run either; its caller waits for state 2, so it gets it at
        // once rather than never.
        scan_console_state = ScanScanning;
        manager->scanConsoles();
        QCOMPARE(scan_console_state, int(ScanFinished));
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:87", "ZV-87"));
        BLE_TRY(sim.state(4) == "-1", 10000);
        QCOMPARE(sim.state(7), QStringLiteral("-2"));
        QVERIFY(consoles.isEmpty());
    }

private:
    BluetoothManager* newManager()
    {
        managers.push_back(std::make_unique<BluetoothManager>());
        return managers.back().get();
    }

    BleSimFixture sim;
    std::vector<std::unique_ptr<BluetoothManager>> managers;
};

QTEST_GUILESS_MAIN(TestBleRetry)
#include "tst_ble_retry.moc"
