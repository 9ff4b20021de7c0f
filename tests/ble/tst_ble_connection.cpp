// Connecting matched consoles: staggered starts, back-off and give-up, the shared failure
// count, and the FTMS service set-up, against simulated consoles through the real Qt Bluetooth
// code.

#include "BleSimFixture.h"

#include <QtTest>

#include <memory>

namespace {

// The moment of the first line at or after `from` that starts with prefix, or -1.
qint64 timeOf(const BleLogCapture& log, const QString& prefix, qint64 from = 0)
{
    for (const BleLogCapture::Line& l : log.lines()) {
        if (l.ms >= from && l.text.startsWith(prefix))
            return l.ms;
    }
    return -1;
}

// Every "Controller error" of this console followed by its "Retry n in d ms" and the
// reconnect: checks the announced delay against the table and the measured one against it.
// Each expected retry is {attempt, delay}.
void checkBackOff(const BleLogCapture& log, const QString& name,
                  const QList<QPair<int, int>>& expected)
{
    const QString quoted = QLatin1Char('"') + name + QLatin1Char('"');
    const QList<BleLogCapture::Line> retries = log.starting("[BLE] " + quoted + " Retry ");
    QCOMPARE(retries.size(), expected.size());
    for (int n = 0; n < expected.size(); ++n) {
        const int delay = expected[n].second;
        QCOMPARE(retries[n].text, QStringLiteral("[BLE] %1 Retry %2 in %3 ms")
                                      .arg(quoted)
                                      .arg(expected[n].first)
                                      .arg(delay));
        const qint64 reconnect = timeOf(log, "[BLE] Connecting to " + quoted + " |", retries[n].ms);
        QVERIFY(reconnect >= 0);
        const qint64 waited = reconnect - retries[n].ms;
        // Generous: the machine may be busy with other tests.
        QVERIFY2(waited >= delay - 20 && waited <= delay + 1000,
                 qPrintable(QStringLiteral("retry %1 waited %2 ms").arg(n + 1).arg(waited)));
    }
}

} // namespace

class TestBleConnection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(sim.start()); }
    void init() { QVERIFY(sim.reset()); }
    void cleanup() { manager.reset(); }
    void cleanupTestCase() { sim.rig.stop(); }

    void connectsInListOrderOneSecondApart()
    {
        for (int i = 1; i <= 3; ++i) {
            sim.rig.addConsole(sim.console(QStringLiteral("AA:BB:CC:DD:EE:0%1").arg(i),
                                           QStringLiteral("ZV-%1").arg(i)));
            sim.configure(i - 1, QStringLiteral("ZV-%1").arg(i));
        }
        manager = std::make_unique<BluetoothManager>();
        manager->startScan();
        BLE_TRY(sim.state(0) == "1" && sim.state(1) == "1" && sim.state(2) == "1", 20000);
        QCOMPARE(global_playernum, 3);

        const qint64 phase = timeOf(sim.log, "[BLE] Scan success. Total scanning time:");
        QVERIFY(phase >= 0);
        const QList<BleLogCapture::Line> connects = sim.log.starting("[BLE] Connecting to ");
        QCOMPARE(connects.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(connects[i].text.startsWith(
                QStringLiteral("[BLE] Connecting to \"%1\" | \"").arg(consoles[i].name)));
            const qint64 at = connects[i].ms - phase;
            QVERIFY2(at >= i * 1000 - 20 && at <= i * 1000 + 900,
                     qPrintable(QStringLiteral("console %1 connected at %2 ms").arg(i).arg(at)));
        }
        for (int i = 1; i <= 3; ++i) {
            const QString address = QStringLiteral("AA:BB:CC:DD:EE:0%1").arg(i);
            BLE_TRY(sim.notifying(address), 5000);
            QCOMPARE(sim.rig.writes(address), QStringList{"2902 start-notify"});
            QCOMPARE(sim.stat(address, "connects"), 1u);
        }
    }

    // Failed connects back off 100 ms more per attempt; a console that streams again resets
    // the count.
    void retriesFailedConnectsWithGrowingDelays()
    {
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:51", "ZV-51", {{"connectFailures", 5}}));
        sim.configure(0, "ZV-51");
        manager = std::make_unique<BluetoothManager>();
        manager->startScan();
        BLE_TRY(sim.state(0) == "1" && !consoles[0].settingUp, 20000);
        QCOMPARE(sim.log.count(QtWarningMsg, "[BLE] \"ZV-51\" Controller error: UnknownError"), 5);
        checkBackOff(sim.log, "ZV-51", {{1, 100}, {2, 200}, {3, 300}, {4, 400}, {5, 500}});
        QCOMPARE(sim.stat("AA:BB:CC:DD:EE:51", "connects"), 6u);
        QCOMPARE(retryCounts.value("AA:BB:CC:DD:EE:51", -1), 0);
        QCOMPARE(sim.log.count(QtDebugMsg, "[BLE] \"ZV-51\" Connected; discovering services..."),
                 1);
    }

    // The sixth error in a row gives the console up; its count stays, so a later attempt for
    // the same address text gives up at its first error.
    void givesUpAfterTheSixthError()
    {
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:52", "ZV-52", {{"connectMode", "fail"}}));
        sim.rig.addConsole(
            sim.console("AA:BB:CC:DD:EE:53", "ZV-53", {{"connectMode", "drop-before-resolve"}}));
        sim.configure(0, "ZV-52");
        sim.configure(1, "ZV-53");
        manager = std::make_unique<BluetoothManager>();
        manager->startScan();
        BLE_TRY(sim.state(0) == "-1" && sim.state(1) == "-1", 20000);

        QCOMPARE(sim.log.count(QtWarningMsg, "[BLE] \"ZV-52\" Controller error: UnknownError"), 6);
        QCOMPARE(sim.log.count(QtWarningMsg, "[BLE] \"ZV-53\" Controller error: ConnectionError"),
                 6);
        checkBackOff(sim.log, "ZV-52", {{1, 100}, {2, 200}, {3, 300}, {4, 400}, {5, 500}});
        checkBackOff(sim.log, "ZV-53", {{1, 100}, {2, 200}, {3, 300}, {4, 400}, {5, 500}});
        QCOMPARE(sim.log.count(QtWarningMsg, "[BLE] \"ZV-52\" Failed after 5 attempts."), 1);
        QCOMPARE(sim.log.count(QtWarningMsg, "[BLE] \"ZV-53\" Failed after 5 attempts."), 1);
        sim.settle(1000);
        QCOMPARE(sim.stat("AA:BB:CC:DD:EE:52", "connects"), 6u);
        QCOMPARE(sim.stat("AA:BB:CC:DD:EE:53", "connects"), 6u);
        // The records stay, without a link.
        QCOMPARE(consoles.size(), 2);
        QVERIFY(!consoles[0].controller && !consoles[1].controller);
        QCOMPARE(retryCounts.value("AA:BB:CC:DD:EE:52"), 6);

        // A new scan makes new records for the same addresses: they share the count.
        sim.log.clear();
        manager->startScan();
        BLE_TRY(sim.log.count(QtWarningMsg, "[BLE] \"ZV-52\" Failed after 5 attempts.") == 1 &&
                    sim.log.count(QtWarningMsg, "[BLE] \"ZV-53\" Failed after 5 attempts.") == 1,
                15000);
        QCOMPARE(sim.log.countStarting("[BLE] \"ZV-52\" Retry"), 0);
        QCOMPARE(sim.log.countStarting("[BLE] \"ZV-53\" Retry"), 0);
        QCOMPARE(sim.stat("AA:BB:CC:DD:EE:52", "connects"), 7u);
        QCOMPARE(retryCounts.value("AA:BB:CC:DD:EE:52"), 7);
        QCOMPARE(sim.state(0), QStringLiteral("-1"));
        QCOMPARE(sim.state(1), QStringLiteral("-1"));
    }

    // A console that closes the link (a plain disconnect on BlueZ) is retried with the longer
    // back-off, 400 ms up to 1200 ms; its slot stays "1" until it is given up.
    void consoleClosingTheLinkBacksOffLonger()
    {
        const QString address = QStringLiteral("AA:BB:CC:DD:EE:54");
        sim.rig.addConsole(sim.console(address, "ZV-54"));
        sim.configure(0, "ZV-54");
        manager = std::make_unique<BluetoothManager>();
        manager->startScan();
        BLE_TRY(sim.state(0) == "1" && sim.notifying(address), 15000);

        const QString closed =
            "[BLE] \"ZV-54\" Controller error: RemoteHostClosedError (device closed connection)";
        const QString ready = "[BLE] \"ZV-54\" Connected; discovering services...";
        QList<QPair<int, int>> delays;
        for (int n = 1; n <= 5; ++n) {
            // The count as though the link had already failed n - 1 times in a row.
            retryCounts[address] = n - 1;
            QVERIFY(sim.rig.dropLink(address));
            BLE_TRY(sim.log.count(QtWarningMsg, closed) == n, 5000);
            QCOMPARE(sim.state(0), QStringLiteral("1"));
            // Streaming again ends the connection phase and with it the count.
            BLE_TRY(sim.log.count(QtDebugMsg, ready) == n + 1 && sim.notifying(address) &&
                        !consoles[0].settingUp,
                    8000);
            delays.append({n, 200 + 200 * n});
        }
        checkBackOff(sim.log, "ZV-54", delays);
        QCOMPARE(retryCounts.value(address), 0);
        // Frames flow again after the reconnects.
        const int lines = sim.packetLines("ZV-54").size();
        BLE_TRY(sim.packetLines("ZV-54").size() > lines + 3, 5000);

        retryCounts[address] = 5;
        QVERIFY(sim.rig.dropLink(address));
        BLE_TRY(sim.state(0) == "-1", 5000);
        QCOMPARE(sim.log.count(QtWarningMsg, "[BLE] \"ZV-54\" Failed after 5 attempts."), 1);
        QCOMPARE(global_playernum, 1);
    }

    // A console that vanishes while connected is reported as an error and a disconnect: one
    // failure, not two; the reconnects find no device and the console is given up.
    void vanishedConsoleCountsOnceAndIsGivenUp()
    {
        const QString address = QStringLiteral("AA:BB:CC:DD:EE:56");
        sim.rig.addConsole(sim.console(address, "ZV-56"));
        sim.configure(8, "ZV-56");
        manager = std::make_unique<BluetoothManager>();
        manager->startScan();
        BLE_TRY(sim.state(8) == "1" && sim.notifying(address), 15000);
        QVERIFY(sim.rig.removeConsole(address));
        BLE_TRY(sim.state(8) == "-1", 10000);
        QCOMPARE(sim.log.countStarting("[BLE] \"ZV-56\" Controller error:"), 6);
        QCOMPARE(sim.log.count(QtWarningMsg, "[BLE] \"ZV-56\" Controller error: 2"), 6);
        checkBackOff(sim.log, "ZV-56", {{1, 100}, {2, 200}, {3, 300}, {4, 400}, {5, 500}});
    }

    // A Connect that never answers ends after a few seconds like a failed one and is retried
    // with the same back-off; 20 s after the first attempt the console is given up, so that its
    // slot settles within 40 s even behind the search and the staggered starts. The console
    // beside it connects meanwhile.
    void unansweredConnectsEndInBoundedTime()
    {
        const QString silent = QStringLiteral("AA:BB:CC:DD:EE:57");
        sim.rig.addConsole(sim.console(silent, "ZV-57", {{"connectMode", "no-answer"}}));
        sim.rig.addConsole(sim.console("AA:BB:CC:DD:EE:58", "ZV-58"));
        sim.configure(0, "ZV-57");
        sim.configure(1, "ZV-58");
        manager = std::make_unique<BluetoothManager>();
        const qint64 asked = sim.log.now();
        manager->startScan();
        BLE_TRY(sim.state(1) == "1", 10000);
        QCOMPARE(sim.state(0), QStringLiteral("0"));
        BLE_TRY(sim.state(0) == "-1", 45000);
        const qint64 took = sim.log.now() - asked;
        QVERIFY2(took >= 19900 && took < 25000, qPrintable(QString::number(took)));
        QCOMPARE(sim.log.count(QtWarningMsg, "[BLE] \"ZV-57\" Connect timed out after 5000 ms"), 3);
        QCOMPARE(
            sim.log.count(QtWarningMsg, "[BLE] \"ZV-57\" Not streaming after 20000 ms; given up."),
            1);
        checkBackOff(sim.log, "ZV-57", {{1, 100}, {2, 200}, {3, 300}});
        QCOMPARE(sim.stat(silent, "connects"), 4u);
        QVERIFY(!sim.connected(silent));
        QCOMPARE(sim.state(1), QStringLiteral("1"));
    }

    // A console whose service discovery never ends (Qt waits for ever when the discovery's
    // last read fails) is retried and given up 20 s after its first attempt, not left
    // connecting for ever.
    void endlessServiceDiscoveryEndsInBoundedTime()
    {
        const QString address = QStringLiteral("AA:BB:CC:DD:EE:59");
        sim.rig.addConsole(sim.console(address, "ZV-59", {{"cccdReadFails", true}}));
        sim.configure(0, "ZV-59");
        manager = std::make_unique<BluetoothManager>();
        manager->startScan();
        BLE_TRY(sim.state(0) == "-1", 30000);
        QCOMPARE(sim.log.count(QtWarningMsg, "[BLE] \"ZV-59\" Connect timed out after 5000 ms"), 3);
        QCOMPARE(
            sim.log.count(QtWarningMsg, "[BLE] \"ZV-59\" Not streaming after 20000 ms; given up."),
            1);
        QCOMPARE(sim.log.count(QtDebugMsg, "[BLE] \"ZV-59\" Connected; discovering services..."),
                 4);
        QVERIFY(!sim.connected(address));
    }

    // A connection resets the count: the next close counts as the first again.
    void successfulConnectionResetsTheCount()
    {
        const QString address = QStringLiteral("AA:BB:CC:DD:EE:55");
        sim.rig.addConsole(sim.console(address, "ZV-55", {{"connectFailures", 2}}));
        sim.configure(3, "ZV-55");
        manager = std::make_unique<BluetoothManager>();
        manager->startScan();
        BLE_TRY(sim.state(3) == "1" && sim.notifying(address), 15000);
        QVERIFY(sim.rig.dropLink(address));
        BLE_TRY(sim.log.count(QtDebugMsg, "[BLE] \"ZV-55\" Connected; discovering services...") ==
                    2,
                8000);
        checkBackOff(sim.log, "ZV-55", {{1, 100}, {2, 200}, {1, 400}});
        QCOMPARE(sim.log.starting("[BLE] \"ZV-55\" Retry").last().text,
                 QStringLiteral("[BLE] \"ZV-55\" Retry 1 in 400 ms"));
    }

    // What the FTMS set-up does with consoles that lack a part of it.
    void setsUpTheFtmsService()
    {
        struct Case
        {
            const char* address;
            const char* name;
            QVariantMap spec;
        };
        const QList<Case> cases = {
            {"AA:BB:CC:DD:EE:61", "ZV-61", {}},
            {"AA:BB:CC:DD:EE:62", "ZV-62", {{"notify", false}}},
            {"AA:BB:CC:DD:EE:63", "ZV-63", {{"cccd", false}}},
            {"AA:BB:CC:DD:EE:64", "ZV-64", {{"ftmsService", false}}},
            {"AA:BB:CC:DD:EE:65", "ZV-65", {{"advertiseFtms", false}}},
            {"AA:BB:CC:DD:EE:66", "ZV-66", {{"startNotifyFails", true}}},
        };
        for (int i = 0; i < cases.size(); ++i) {
            sim.rig.addConsole(sim.console(cases[i].address, cases[i].name, cases[i].spec));
            sim.configure(i, cases[i].name);
        }
        manager = std::make_unique<BluetoothManager>();
        manager->startScan();
        // Consoles whose Rower Data notifications cannot be switched on would race at 0: their
        // slots fail, so that Retry is offered.
        BLE_TRY(sim.state(0) == "1" && sim.state(1) == "-1" && sim.state(2) == "-1" &&
                    sim.state(3) == "-1" && sim.state(4) == "1" && sim.state(5) == "-1",
                25000);
        BLE_TRY(sim.log.countStarting("[BLE] \"ZV-66\" FTMS service error:") == 1, 5000);
        sim.settle(500);

        const BleLogCapture& log = sim.log;
        QCOMPARE(log.count(QtDebugMsg, "[BLE] \"ZV-61\" FTMS service discovered"), 1);
        QCOMPARE(log.count(QtDebugMsg, "[BLE] \"ZV-61\" Notifications enabled on rower data."), 1);
        QCOMPARE(sim.rig.writes("AA:BB:CC:DD:EE:61"), QStringList{"2902 start-notify"});
        QCOMPARE(log.count(QtDebugMsg, "[BLE] \"ZV-61\" Services: "
                                       "QList(\"{00001826-0000-1000-8000-00805f9b34fb}\")"),
                 1);

        QCOMPARE(log.count(QtWarningMsg, "[BLE] \"ZV-62\" Notify not supported!"), 1);
        QVERIFY(sim.rig.writes("AA:BB:CC:DD:EE:62").isEmpty());

        QCOMPARE(log.count(QtWarningMsg, "[BLE] \"ZV-63\" CCCD descriptor not found."), 1);
        QVERIFY(sim.rig.writes("AA:BB:CC:DD:EE:63").isEmpty());
        QVERIFY(sim.packetLines("ZV-63").isEmpty());
        for (const char* name : {"ZV-62", "ZV-63", "ZV-66"}) {
            const int slot = QByteArray(name).right(1).toInt() - 1;
            QCOMPARE(log.count(QtWarningMsg,
                               QStringLiteral("[BLE] \"%1\" No Rower Data notifications; slot %2 "
                                              "failed.")
                                   .arg(name)
                                   .arg(slot + 1)),
                     1);
            QVERIFY(!sim.connected(cases[slot].address));
            QCOMPARE(sim.stat(cases[slot].address, "connects"), 1u);
        }

        // No FTMS service: the slot fails instead of connecting for ever; no retry.
        QCOMPARE(log.count(QtWarningMsg, "[BLE] \"ZV-64\" FTMS service not found on device. "
                                         "Ensure it is a RV5120 / FTMS rower."),
                 1);
        QCOMPARE(log.countStarting("[BLE] \"ZV-64\" Retry"), 0);
        QCOMPARE(sim.stat("AA:BB:CC:DD:EE:64", "connects"), 1u);

        QCOMPARE(log.count(QtDebugMsg,
                           "[BLE] No FTMS in advertisement; will connect by address and discover "
                           "services: \"ZV-65\" \"AA:BB:CC:DD:EE:65\""),
                 1);
        QCOMPARE(
            log.count(QtWarningMsg, "[BLE] \"ZV-66\" FTMS service error: DescriptorWriteError"), 1);
        QCOMPARE(global_playernum, 2);
        BLE_TRY(!sim.packetLines("ZV-61").isEmpty() && !sim.packetLines("ZV-65").isEmpty(), 5000);
    }

private:
    BleSimFixture sim;
    std::unique_ptr<BluetoothManager> manager;
};

QTEST_GUILESS_MAIN(TestBleConnection)
#include "tst_ble_connection.moc"
