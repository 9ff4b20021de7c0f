// A whole race on the race screen against simulated consoles, connected through the real
// console link.

#include "BleSimFixture.h"
#include "RaceFeed.h"

#include "AppSetup.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDateTime>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

#include <memory>

Q_IMPORT_QML_PLUGIN(RivantaRacePlugin)

namespace {

struct SimRacer
{
    QString address;
    QString name;
    double speed;
    int intervalMs;
};

// Three athletes on consoles set to 500 m: the fastest notifies ten times a second, the middle
// one five times, the slowest once a second.
const SimRacer racers[] = {
    {QStringLiteral("AA:BB:CC:DD:E0:01"), QStringLiteral("RACE-1"), 19.0, 1000},
    {QStringLiteral("AA:BB:CC:DD:E0:02"), QStringLiteral("RACE-2"), 50.0, 100},
    {QStringLiteral("AA:BB:CC:DD:E0:03"), QStringLiteral("RACE-3"), 35.0, 200},
};

QTime timeOfLine(const QString& line)
{
    return QDateTime::fromString(line.left(19), QStringLiteral("yyyy-MM-dd hh:mm:ss")).time();
}

} // namespace

class TestRaceSim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(sim.start());
        AppSetup::registerTypes(&sharedData);
        engine.addImportPath(QStringLiteral("qrc:/"));
    }
    void cleanupTestCase() { sim.rig.stop(); }

    void wholeRace()
    {
        for (int k = 0; k < 3; ++k) {
            QVERIFY(!sim.rig
                         .addConsole(sim.console(racers[k].address, racers[k].name,
                                                 {{"startDistance", 500},
                                                  {"speed", racers[k].speed},
                                                  {"intervalMs", racers[k].intervalMs},
                                                  {"rowing", false}}))
                         .isEmpty());
            sharedData.setBlueMacAddress(k, racers[k].address);
            sharedData.setSharedItem(k, ColFirstName, QStringLiteral("Racer"));
            sharedData.setSharedItem(k, ColSurname, QString::number(k + 1));
        }
        auto manager = std::make_unique<BluetoothManager>();
        manager->startScan();
        BLE_TRY(sim.state(0) == "1" && sim.state(1) == "1" && sim.state(2) == "1", 20000);

        sharedData.setTotalDist(500);
        sharedData.setPlayerNum(3);
        sharedData.filterRaceData();
        sharedData.setDeviceConnectionState(true);

        QQmlComponent component(&engine);
        component.setData("import RivantaRace\nRacing { width: 1920; height: 1080 }", QUrl());
        std::unique_ptr<QObject> page(component.create());
        QVERIFY2(page, qPrintable(component.errorString()));
        auto* clock = page->property("clockTimer").value<QObject*>();
        // The countdown is ticked here; the race runs on the page's own timers.
        QVERIFY(QMetaObject::invokeMethod(clock, "stop"));
        for (int k = 0; k < 10; ++k)
            QVERIFY(QMetaObject::invokeMethod(page.get(), "countdownTick"));
        // The consoles stream while the athletes wait at the race distance.
        BLE_TRY(sharedData.getDistance(0) == 500 && sharedData.getDistance(1) == 500 &&
                    sharedData.getDistance(2) == 500,
                3000);
        QVERIFY(QMetaObject::invokeMethod(page.get(), "countdownTick"));
        for (const SimRacer& racer : racers)
            QVERIFY(setRowing(racer.address));
        QVERIFY(page->property("raceRunning").toBool());
        QVERIFY(QMetaObject::invokeMethod(clock, "start"));

        QTRY_COMPARE_WITH_TIMEOUT(page->property("race_end_flag").toInt(), 1, 60000);

        // Places in order of speed; times as the clock showed them at each finish.
        QCOMPARE(page->property("ranking").toList(), QVariantList({1, 2, 0}));
        const QStringList times = page->property("race_end_time").toStringList();
        // A row finishes at the frame that reads 1 m or less, which comes up to one
        // notification interval after the athlete has rowed 499 m.
        int expected[3];
        for (int row = 0; row < 3; ++row)
            expected[row] = qRound(499 / racers[row].speed + racers[row].intervalMs / 1000.0);
        for (int row = 0; row < 3; ++row) {
            const QStringList result = RaceFeed::result(row);
            QCOMPARE(result.value(0), QStringLiteral("500"));
            QCOMPARE(result.value(1), times.value(row));
            const QTime time = QTime::fromString(times.value(row), QStringLiteral("mm:ss"));
            QVERIFY2(qAbs(QTime(0, 0).secsTo(time) - expected[row]) <= 2, qPrintable(times[row]));
        }
        QCOMPARE(RaceFeed::result(0).value(2), QStringLiteral("1"));
        QCOMPARE(RaceFeed::result(1).value(2), QStringLiteral("2"));
        QCOMPARE(RaceFeed::result(2).value(2), QStringLiteral("0"));

        // One line per lane at the start and at every second until the end.
        const QStringList lines = RaceFeed::logLines(page->property("logFileName").toString());
        QStringList lane1;
        for (const QString& line : lines) {
            if (line.contains(QStringLiteral(" | Lane: 1 | ")))
                lane1.append(line);
        }
        QCOMPARE(lines.size(), 3 * lane1.size());
        QVERIFY2(lane1.size() >= expected[0] - 1 && lane1.size() <= expected[0] + 3,
                 qPrintable(QString::number(lane1.size())));
        QVERIFY(lane1.first().endsWith(QStringLiteral(" | Distance: 0")));
        const int span = timeOfLine(lane1.first()).secsTo(timeOfLine(lane1.last()));
        QVERIFY(qAbs(span - (lane1.size() - 1)) <= 1);
        QVERIFY(
            RaceFeed::logLines(QStringLiteral("packet.log"), QStringLiteral("started")).size() >=
            3);

        page.reset();
        manager.reset();
    }

private:
    // The athlete on this console starts paddling.
    bool setRowing(const QString& address)
    {
        QDBusConnection bus =
            QDBusConnection::connectToBus(sim.rig.busAddress(), QStringLiteral("race-control"));
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("com.rivanta.BleSim"), QStringLiteral("/com/rivanta/BleSim"),
            QStringLiteral("com.rivanta.BleSim1"), QStringLiteral("SetRowing"));
        call << address << true;
        return bus.call(call).type() == QDBusMessage::ReplyMessage;
    }

    BleSimFixture sim;
    SharedData sharedData;
    QQmlEngine engine;
};

QTEST_MAIN(TestRaceSim)

#include "tst_race_sim.moc"
