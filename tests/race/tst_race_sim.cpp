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

#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cmath>

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

// Three athletes on consoles set to 250 m, at speeds a paddler reaches: the fastest notifies
// ten times a second, the middle one five times, the slowest once a second.
const SimRacer racers[] = {
    {QStringLiteral("AA:BB:CC:DD:E0:01"), QStringLiteral("RACE-1"), 7.0, 1000},
    {QStringLiteral("AA:BB:CC:DD:E0:02"), QStringLiteral("RACE-2"), 9.5, 100},
    {QStringLiteral("AA:BB:CC:DD:E0:03"), QStringLiteral("RACE-3"), 8.5, 200},
};

QTime timeOfLine(const QString& line)
{
    return QDateTime::fromString(line.left(19), QStringLiteral("yyyy-MM-dd hh:mm:ss")).time();
}

// How an athlete and the console under them behave in a race the test drives: the console
// counts down from the race distance at the athlete's speed and notifies every `intervalMs`;
// times are race times (0 at the race start).
struct Athlete
{
    double speed;
    int leadMs = 0;       // paddling starts this long before the race start
    int intervalMs = 200; // notification period
    int silentFromMs = 0; // no notification in [silentFromMs, silentToMs)
    int silentToMs = 0;
    int spikeFromMs = 0; // readings of 16,777,215 m in [spikeFromMs, spikeToMs)
    int spikeToMs = 0;
    bool outOfReach = false; // the silence is the console out of reach: its link drops
    int zeroLeft = 0;        // one frame reads 0 when this many metres are left
    int setBackAt = 0;       // the console is set back to the race distance after this many metres
    int offsetFromMs = 0;    // readings this much too high in [offsetFromMs, offsetToMs)
    int offsetToMs = 0;
    int offset = 0;

    // Race time of the first notification that reads 1 m or less.
    double finishSeconds(int distance) const
    {
        const double rowed = (distance - 1) / speed * 1000 - leadMs;
        return std::ceil(rowed / intervalMs) * intervalMs / 1000.0;
    }
};

const int raceDistance = 250;
const QString driven[3] = {QStringLiteral("AA:BB:CC:DD:E1:01"), QStringLiteral("AA:BB:CC:DD:E1:02"),
                           QStringLiteral("AA:BB:CC:DD:E1:03")};

QByteArray rowerFrame(quint32 distance)
{
    QByteArray frame(20, '\0');
    frame[0] = char(0x2C);
    frame[2] = char(60);
    frame[5] = char(distance & 0xFF);
    frame[6] = char((distance >> 8) & 0xFF);
    frame[7] = char((distance >> 16) & 0xFF);
    for (int i = 8; i < 20; ++i)
        frame[i] = char(i);
    return frame;
}

// Sends the frames of three driven consoles through the simulator from a timer, race time
// counted from `startAt` (wall clock ms).
class RaceDriver : public QObject
{
public:
    RaceDriver(const QString& busAddress, const Athlete (&athletes)[3], qint64 startAt)
        : bus(QDBusConnection::connectToBus(busAddress, QStringLiteral("race-driver"))),
          startAt(startAt)
    {
        for (int k = 0; k < 3; ++k) {
            profiles[k] = athletes[k];
            next[k] = -20000;
        }
        timer.setTimerType(Qt::PreciseTimer);
        connect(&timer, &QTimer::timeout, this, &RaceDriver::onTick);
        timer.start(50);
    }

private:
    void onTick()
    {
        const qint64 t = QDateTime::currentMSecsSinceEpoch() - startAt;
        for (int k = 0; k < 3; ++k) {
            const Athlete& a = profiles[k];
            const bool silent = t >= a.silentFromMs && t < a.silentToMs;
            if (a.outOfReach && silent != gone[k]) {
                gone[k] = silent;
                control("SetVisible", k, !silent);
            }
            if (t < next[k])
                continue;
            next[k] = t - (t % a.intervalMs) + a.intervalMs;
            if (silent)
                continue;
            const double rowed = std::max(0.0, a.speed * double(t + a.leadMs) / 1000.0);
            const double shown = a.setBackAt > 0 && rowed >= a.setBackAt ? rowed - a.setBackAt
                                                                        : rowed;
            quint32 reading = quint32(std::max(0.0, std::ceil(raceDistance - shown - 1e-6)));
            if (t >= a.offsetFromMs && t < a.offsetToMs)
                reading += quint32(a.offset);
            if (a.zeroLeft > 0 && !zeroSent[k] && reading <= quint32(a.zeroLeft)) {
                zeroSent[k] = true;
                reading = 0;
            }
            if (t >= a.spikeFromMs && t < a.spikeToMs)
                reading = 0xFFFFFF;
            control("SendRaw", k, rowerFrame(reading));
        }
    }

    void control(const QString& method, int k, const QVariant& argument)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("com.rivanta.BleSim"), QStringLiteral("/com/rivanta/BleSim"),
            QStringLiteral("com.rivanta.BleSim1"), method);
        call << driven[k] << argument;
        bus.send(call);
    }

    QDBusConnection bus;
    qint64 startAt;
    Athlete profiles[3];
    qint64 next[3];
    bool gone[3] = {false, false, false};
    bool zeroSent[3] = {false, false, false};
    QTimer timer;
};

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
                                                 {{"startDistance", 250},
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

        sharedData.setTotalDist(250);
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
        BLE_TRY(sharedData.getDistance(0) == 250 && sharedData.getDistance(1) == 250 &&
                    sharedData.getDistance(2) == 250,
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
        // notification interval after the athlete has rowed 249 m.
        int expected[3];
        for (int row = 0; row < 3; ++row)
            expected[row] = qRound(249 / racers[row].speed + racers[row].intervalMs / 1000.0);
        for (int row = 0; row < 3; ++row) {
            const QStringList result = RaceFeed::result(row);
            QCOMPARE(result.value(0), QStringLiteral("250"));
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

    // Three races on the same connections, each left with Back: the race page goes, the
    // consoles stay connected. First race: a jump start, a console silent for the first 3 s
    // of paddling and a 4 s notification gap at the start; every row finishes by itself.
    // Second race: a console notifying once a second, one back after a 10 s drop and one
    // that reads 16,777,215 m for a second; each finishes with its real time.
    void lateStartsJumpsAndBack()
    {
        QVERIFY(sim.reset());
        for (int k = 0; k < 3; ++k) {
            QVERIFY(!sim.rig
                         .addConsole(sim.console(driven[k], QStringLiteral("DRIVEN-%1").arg(k + 1),
                                                 {{"startDistance", raceDistance}}))
                         .isEmpty());
            sharedData.setBlueMacAddress(k, driven[k]);
            sharedData.setSharedItem(k, ColFirstName, QStringLiteral("Driven"));
            sharedData.setSharedItem(k, ColSurname, QString::number(k + 1));
        }
        auto manager = std::make_unique<BluetoothManager>();
        manager->startScan();
        BLE_TRY(sim.state(0) == "1" && sim.state(1) == "1" && sim.state(2) == "1", 20000);
        for (int k = 0; k < 3; ++k)
            BLE_TRY(sim.notifying(driven[k]), 5000);
        for (int k = 0; k < 3; ++k)
            QVERIFY(setConsole("SetStreaming", driven[k], false));

        QQmlComponent component(&engine);
        // The pages leave the stack through its transitions, which run in a shown window.
        component.setData("import QtQuick\nimport QtQuick.Controls\nimport RivantaRace\n"
                          "Window { width: 1920; height: 1080; visible: true\n"
                          "  StackView { id: stack; anchors.fill: parent; initialItem: Item {} }\n"
                          "  Component { id: race; Racing {} }\n"
                          "  function openRace() { const page = race.createObject(stack, "
                          "{ \"stack\": stack }); stack.push(page); return page } }",
                          QUrl());
        std::unique_ptr<QObject> stack(component.create());
        QVERIFY2(stack, qPrintable(component.errorString()));

        const Athlete late[3] = {{9.0, 4000}, {8.0, 0, 200, 0, 3000}, {7.0, 0, 200, 300, 4300}};
        QPointer<QObject> first = runRace(stack.get(), late);
        QVERIFY(first);
        QCOMPARE(first->property("ranking").toList(), QVariantList({0, 1, 2}));
        checkTimes(first, late);

        // Back: the page goes, every console stays connected and streams on.
        QVERIFY(QMetaObject::invokeMethod(first, "goBack"));
        QTRY_VERIFY_WITH_TIMEOUT(first.isNull(), 5000);
        sim.settle(500);
        QCOMPARE(consoles.size(), 3);
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(sim.state(k), QStringLiteral("1"));
            QVERIFY(sim.connected(driven[k]) && sim.notifying(driven[k]));
        }

        const Athlete uneven[3] = {
            {7.0, 0, 1000}, {9.0, 0, 200, 5000, 15000, 0, 0, true}, {8.0, 0, 200, 0, 0, 6000, 7000}};
        QPointer<QObject> second = runRace(stack.get(), uneven);
        QVERIFY(second);
        QCOMPARE(second->property("ranking").toList(), QVariantList({1, 2, 0}));
        checkTimes(second, uneven);

        // Third race: one frame reading 0 with 41 m left, a console set back to the race
        // distance after 30 m, and one reading 300 m too much for 3 s. Each finishes with its
        // real time, in the order the athletes got home.
        QVERIFY(QMetaObject::invokeMethod(second, "goBack"));
        QTRY_VERIFY_WITH_TIMEOUT(second.isNull(), 5000);
        Athlete faulty[3] = {{10.0, 0, 100}, {6.0, 0, 200}, {8.0, 0, 1000}};
        faulty[0].zeroLeft = 41;
        faulty[1].setBackAt = 30;
        faulty[2].offsetFromMs = 10000;
        faulty[2].offsetToMs = 13000;
        faulty[2].offset = 300;
        QPointer<QObject> third = runRace(stack.get(), faulty);
        QVERIFY(third);
        QCOMPARE(third->property("ranking").toList(), QVariantList({0, 2, 1}));
        checkTimes(third, faulty);

        stack.reset();
        manager.reset();
    }

private:
    // Opens a race page on the stack as the athlete screen does and runs the race until it
    // ends by itself, the consoles driven as the athletes say.
    QObject* runRace(QObject* stack, const Athlete (&athletes)[3])
    {
        sharedData.setTotalDist(raceDistance);
        sharedData.setPlayerNum(3);
        sharedData.filterRaceData();
        sharedData.setDeviceConnectionState(true);
        QVariant opened;
        QMetaObject::invokeMethod(stack, "openRace", Q_RETURN_ARG(QVariant, opened));
        auto* page = opened.value<QObject*>();
        if (!page)
            return nullptr;
        auto* clock = page->property("clockTimer").value<QObject*>();
        QMetaObject::invokeMethod(clock, "stop");
        const qint64 startAt = QDateTime::currentMSecsSinceEpoch() + 5000;
        RaceDriver driver(sim.rig.busAddress(), athletes, startAt);
        // The consoles show the race distance in the countdown, as the organiser set them.
        (void)QTest::qWaitFor(
            [this] {
                for (int k = 0; k < 3; ++k) {
                    if (sharedData.getDistance(k) != raceDistance)
                        return false;
                }
                return true;
            },
            900);
        for (int k = 0; k < 10; ++k)
            QMetaObject::invokeMethod(page, "countdownTick");
        QTest::qWait(int(startAt - QDateTime::currentMSecsSinceEpoch()));
        QMetaObject::invokeMethod(page, "countdownTick");
        QMetaObject::invokeMethod(clock, "start");
        // checkTimes() tells a race that did not end by itself.
        (void)QTest::qWaitFor([page] { return page->property("race_end_flag").toInt() == 1; },
                              60000);
        return page;
    }

    void checkTimes(QObject* page, const Athlete (&athletes)[3])
    {
        QCOMPARE(page->property("race_end_flag").toInt(), 1);
        const QStringList times = page->property("race_end_time").toStringList();
        for (int row = 0; row < 3; ++row) {
            const QStringList result = RaceFeed::result(row);
            QCOMPARE(result.value(0), QString::number(raceDistance));
            const int secs = QTime(0, 0).secsTo(QTime::fromString(times.value(row), "mm:ss"));
            QVERIFY2(qAbs(secs - athletes[row].finishSeconds(raceDistance)) <= 2,
                     qPrintable(QStringLiteral("row %1: %2").arg(row).arg(times.value(row))));
        }
    }

    bool setConsole(const char* method, const QString& address, bool on)
    {
        QDBusConnection bus =
            QDBusConnection::connectToBus(sim.rig.busAddress(), QStringLiteral("race-control"));
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("com.rivanta.BleSim"), QStringLiteral("/com/rivanta/BleSim"),
            QStringLiteral("com.rivanta.BleSim1"), QLatin1String(method));
        call << address << on;
        return bus.call(call).type() == QDBusMessage::ReplyMessage;
    }

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
