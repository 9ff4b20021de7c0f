// Dropping console links (one, all, or with a manager) and the race rows that read the live
// consoles, against simulated consoles.

#include "BleSimFixture.h"

#include <QElapsedTimer>
#include <QtTest>

#include <memory>

namespace {
const QString addr3 = QStringLiteral("AA:BB:CC:DD:EE:A3");
const QString addr6 = QStringLiteral("AA:BB:CC:DD:EE:A6");
const QString addr8 = QStringLiteral("AA:BB:CC:DD:EE:A8");
} // namespace

class TestBleLinks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(sim.start()); }
    void init() { QVERIFY(sim.reset()); }
    void cleanup()
    {
        manager.reset();
        other.reset();
    }
    void cleanupTestCase() { sim.rig.stop(); }

    // Slots 2, 5 and 7 connected become race rows 0, 1 and 2, each with its own console, also
    // where the slot's text matches it only loosely: slot 5 names its console in other letters,
    // slot 7 gives the address in lower case without colons.
    void raceRowsReadTheirConsoles()
    {
        connectThree("zv-a6", "aabbccddeea8");
        SharedData data;
        global_playernum = 2; // the set-up page's last poll missed a console
        global_data[3][ColFirstName] = QStringLiteral("Ana");
        global_data[3][ColSurname] = QStringLiteral("Kovac");
        global_data[3][ColCat] = QStringLiteral("K1");
        data.filterRaceData();
        QCOMPARE(race_data.size(), 3);
        QCOMPARE(data.getPlayerLane(0), QStringLiteral("3"));
        QCOMPARE(data.getPlayerLane(1), QStringLiteral("6"));
        QCOMPARE(data.getPlayerLane(2), QStringLiteral("8"));
        QCOMPARE(data.getPlayerName(0), QStringLiteral("Ana Kovac"));
        QCOMPARE(data.playerCat(0), QStringLiteral("K1"));

        QCOMPARE(data.getPlayerNum(), 3);
        QCOMPARE(console_indexes[0], sim.indexOfSlot(2));
        QCOMPARE(console_indexes[1], sim.indexOfSlot(5));
        QCOMPARE(console_indexes[2], sim.indexOfSlot(7));
        for (int k = 3; k < SlotCount; ++k)
            QCOMPARE(console_indexes[k], -1);

        // Live readings: the consoles count down from 2000 m.
        BLE_TRY(data.getDistance(0) > 0 && data.getDistance(0) < 2000, 5000);
        QCOMPARE(data.getDistance(0), int(consoles[sim.indexOfSlot(2)].distance));
        for (int k : {1, 2}) {
            BLE_TRY(data.getDistance(k) > 0, 5000);
            const int before = data.getDistance(k);
            BLE_TRY(data.getDistance(k) < before, 5000);
        }
        for (int k : {3, 9, -1, 10, 1000})
            QCOMPARE(data.getDistance(k), 0);

        QCOMPARE(data.getStrokeRate(sim.indexOfSlot(7)), 30);
        QCOMPARE(data.getStrokeRate(consoles.size()), 0);
        QCOMPARE(data.getConsoleIndex(5), sim.indexOfSlot(5));
        QCOMPARE(data.getConsoleIndex(0), -1);

        QVERIFY(data.setRaceResult(2, "512.3", "01:45", "0"));
        QCOMPARE(race_data[2][ColDistance], QStringLiteral("512.3"));
        QCOMPARE(race_data[2][ColTime], QStringLiteral("01:45"));
        QCOMPARE(race_data[2][ColRanking], QStringLiteral("0"));
        const QList<QStringList> rows = race_data;
        QVERIFY(!data.setRaceResult(3, "1", "00:01", "1"));
        QVERIFY(!data.setRaceResult(-1, "1", "00:01", "1"));
        QCOMPARE(race_data, rows);
        QCOMPARE(data.getPlayerName(3), QString());
        QCOMPARE(data.getPlayerLane(-1), QString());
        QCOMPARE(data.playerCat(3), QString());
    }

    // Dropping the middle one of three: the others keep streaming and move up one position.
    void disconnectsTheMiddleConsole()
    {
        connectThree("ZV-A6");
        all_devices_connected = true;
        const int middle = sim.indexOfSlot(5);
        QCOMPARE(middle, 1);
        manager->disconnectConsole(middle);
        QCOMPARE(sim.log.count(QtDebugMsg, "[BLE] Disconnecting console 1"), 1);
        QCOMPARE(consoles.size(), 2);
        QCOMPARE(consoles[0].slot, 2);
        QCOMPARE(consoles[1].slot, 7);
        QCOMPARE(sim.state(5), QStringLiteral("-1"));
        QVERIFY(all_devices_connected);
        BLE_TRY(!sim.connected(addr6), 3000);
        QCOMPARE(sim.stat(addr6, "disconnects"), 1u);
        const int lines3 = sim.packetLines("ZV-A3").size();
        const int lines8 = sim.packetLines("ZV-A8").size();
        BLE_TRY(sim.packetLines("ZV-A3").size() > lines3 + 3 &&
                    sim.packetLines("ZV-A8").size() > lines8 + 3,
                3000);
        QVERIFY(sim.connected(addr3) && sim.connected(addr8));
        QCOMPARE(sim.state(2), QStringLiteral("1"));
        QCOMPARE(sim.state(7), QStringLiteral("1"));

        manager->disconnectConsole(1);
        manager->disconnectConsole(0);
        QVERIFY(consoles.isEmpty());
        QVERIFY(!all_devices_connected);
        BLE_TRY(!sim.connected(addr3) && !sim.connected(addr8), 3000);
    }

    void disconnectsAllConsoles()
    {
        connectThree("ZV-A6");
        all_devices_connected = true;
        manager->disconnectAllDevices();
        QVERIFY(consoles.isEmpty());
        QVERIFY(!all_devices_connected);
        BLE_TRY(!sim.connected(addr3) && !sim.connected(addr6) && !sim.connected(addr8), 3000);
        // Slot states are left as they were.
        QCOMPARE(sim.state(5), QStringLiteral("1"));
        sim.settle(1500);
        QCOMPARE(sim.stat(addr3, "connects"), 1u);
    }

    // Destroying any manager drops every link, those of other managers included.
    void destroyingOneManagerDropsEveryLink()
    {
        connectThree("ZV-A6");
        other = std::make_unique<BluetoothManager>();
        other.reset();
        QVERIFY(consoles.isEmpty());
        BLE_TRY(!sim.connected(addr3) && !sim.connected(addr6) && !sim.connected(addr8), 3000);
        sim.settle(1500);
        QCOMPARE(sim.stat(addr8, "connects"), 1u);
    }

    // Timers and handlers find their own record: removing the first console while the third
    // still waits for its turn must not connect the wrong one or lose the third.
    void pendingConnectsFollowTheirRecord()
    {
        addThree();
        manager = std::make_unique<BluetoothManager>();
        manager->startScan();
        BLE_TRY(consoles.size() == 3 && sim.log.countStarting("[BLE] Connecting to") == 1, 5000);
        const QString third = consoles[2].address;
        manager->disconnectConsole(0);
        BLE_TRY(sim.connected(third), 5000);
        BLE_TRY(sim.state(consoles[0].slot) == "1" && sim.state(consoles[1].slot) == "1", 8000);
        QCOMPARE(sim.log.countStarting("[BLE] Connecting to"), 3);
        for (const KayakConsole& c : std::as_const(consoles))
            QCOMPARE(sim.stat(c.address, "connects"), 1u);
    }

    // A manager destroyed while its connects are pending leaves no link behind.
    void destroyedManagerConnectsNothingMore()
    {
        addThree();
        manager = std::make_unique<BluetoothManager>();
        manager->startScan();
        BLE_TRY(sim.log.countStarting("[BLE] Connecting to") == 1, 5000);
        manager.reset();
        sim.settle(3000);
        QCOMPARE(sim.log.countStarting("[BLE] Connecting to"), 1);
        for (const QString& a : {addr3, addr6, addr8})
            QVERIFY(!sim.connected(a));
    }

    // A new scan drops the links of the records it discards.
    void newScanDropsOldLinks()
    {
        connectThree("ZV-A6");
        sim.configure(5, QString());
        sim.configure(7, QString());
        manager->startScan();
        BLE_TRY(!sim.connected(addr6) && !sim.connected(addr8), 3000);
        BLE_TRY(sim.state(2) == "1" && consoles.size() == 1, 8000);
        QCOMPARE(sim.state(5), QStringLiteral("-2"));
    }

    // A console that keeps closing its link and coming back leaves its manager one service
    // object, not one for every link it ever had: a set-up page stays open all race day.
    void reconnectsLeaveOneServiceObject()
    {
        sim.rig.addConsole(sim.console(addr3, "ZV-A3"));
        sim.configure(2, "ZV-A3");
        manager = std::make_unique<BluetoothManager>();
        manager->startScan();
        BLE_TRY(sim.notifying(addr3), 15000);
        for (uint n = 2; n <= 4; ++n) {
            QVERIFY(sim.rig.dropLink(addr3));
            BLE_TRY(sim.stat(addr3, "connects") == n && sim.notifying(addr3), 8000);
        }
        sim.settle(100);
        QCOMPARE(manager->findChildren<QLowEnergyService*>().size(), 1);
    }

    // Back right after opening the page, then the page again with one configured console
    // absent: the left page's search, still running, must not connect the new page's records.
    void leftPageStopsActing()
    {
        addThree();
        sim.configure(9, "ZV-ABSENT");
        other = std::make_unique<BluetoothManager>();
        other->startScan();
        BLE_TRY(consoles.size() == 3, 3000);
        other->disconnectAllDevices();
        sim.settle(300);
        manager = std::make_unique<BluetoothManager>();
        manager->startScan();

        // Every slot goes to "1" once and stays there, through both searches' ends.
        QElapsedTimer clock;
        clock.start();
        bool reached = false;
        while (clock.elapsed() < 17000) {
            const bool all = sim.state(2) == "1" && sim.state(5) == "1" && sim.state(7) == "1";
            QVERIFY2(!reached || all, qPrintable(QString::number(clock.elapsed())));
            reached = reached || all;
            QTest::qWait(20);
        }
        QVERIFY(reached);
        QCOMPARE(sim.state(9), QStringLiteral("-1"));
        QCOMPARE(global_playernum, 3);
        QCOMPARE(consoles.size(), 3);
        for (const QString& a : {addr3, addr6, addr8})
            QCOMPARE(sim.stat(a, "connects"), 1u);
        QCOMPARE(sim.log.countStarting("[BLE] Scan success."), 1);
    }

    // A console that loses its link mid-race and stays away longer than its retries last is
    // not given up: once back it races on under its own record, which the race rows still point
    // at.
    void raceConsoleComesBackAfterALongDrop()
    {
        connectThree("ZV-A6");
        SharedData data;
        data.filterRaceData();
        data.setDeviceConnectionState(true);
        data.holdRaceConsoles(true);
        const QList<int> rows(console_indexes, console_indexes + SlotCount);
        QVERIFY(sim.rig.setVisible(addr6, false));
        BLE_TRY(sim.log.countStarting("[BLE] \"ZV-A6\" Retry 8 in") == 1, 20000);
        QCOMPARE(sim.log.countStarting("[BLE] \"ZV-A6\" Failed after"), 0);
        QCOMPARE(sim.state(5), QStringLiteral("1"));
        const int away = data.getDistance(1);
        QCOMPARE(data.getDistance(1), away);

        const qint64 back = sim.log.now();
        QVERIFY(sim.rig.setVisible(addr6, true));
        BLE_TRY(sim.notifying(addr6), 10000);
        QVERIFY2(sim.log.now() - back < 8000, qPrintable(QString::number(sim.log.now() - back)));
        BLE_TRY(data.getDistance(1) > 0 && data.getDistance(1) < away, 5000);
        QCOMPARE(QList<int>(console_indexes, console_indexes + SlotCount), rows);
        QCOMPARE(consoles.size(), 3);
        QCOMPARE(sim.state(5), QStringLiteral("1"));

        // Consoles outside the race: given up as usual, and not counted when ready.
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:A1", "ZV-A1", {{"connectMode", "fail"}}));
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:A2", "ZV-A2"));
        sim.configure(0, "ZV-A1");
        sim.configure(1, "ZV-A2");
        manager->connectRetry(0);
        BLE_TRY(sim.state(0) == "-1", 10000);
        QCOMPARE(sim.log.count(QtWarningMsg, "[BLE] \"ZV-A1\" Failed after 5 attempts."), 1);
        manager->connectRetry(1);
        BLE_TRY(sim.state(1) == "1", 10000);
        QCOMPARE(data.getPlayerNum(), 3);
        QCOMPARE(QList<int>(console_indexes, console_indexes + SlotCount), rows);
    }

private:
    void addThree()
    {
        sim.rig.addConsole(sim.console(addr3, "ZV-A3"));
        sim.rig.addConsole(sim.console(addr6, "ZV-A6"));
        sim.rig.addConsole(sim.console(addr8, "ZV-A8"));
        sim.configure(2, "ZV-A3");
        sim.configure(5, "ZV-A6");
        sim.configure(7, addr8);
    }

    void connectThree(const QString& slot5, const QString& slot7 = addr8)
    {
        addThree();
        sim.configure(5, slot5);
        sim.configure(7, slot7);
        manager = std::make_unique<BluetoothManager>();
        manager->startScan();
        BLE_TRY(sim.state(2) == "1" && sim.state(5) == "1" && sim.state(7) == "1", 15000);
        BLE_TRY(sim.notifying(addr3) && sim.notifying(addr6) && sim.notifying(addr8), 5000);
    }

    BleSimFixture sim;
    std::unique_ptr<BluetoothManager> manager;
    std::unique_ptr<BluetoothManager> other;
};

QTEST_GUILESS_MAIN(TestBleLinks)
#include "tst_ble_links.moc"
