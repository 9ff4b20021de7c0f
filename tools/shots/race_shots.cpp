// Screenshots of the race screen at 1920 x 1080: the countdown at 10 and at GO, a ten-lane race
// half-way, the finish cards with medals and notices, the end, and a one-lane race. The page's
// own timers run; the consoles' readings are played in at four times the speed of real time.
//
//     race_shots <output folder>

#include "AppSetup.h"
#include "RaceFeed.h"
#include "SharedData.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QVariant>
#include <QtQml/qqmlextensionplugin.h>

#include <cmath>
#include <memory>

Q_IMPORT_QML_PLUGIN(RivantaRacePlugin)

namespace {

constexpr int speedUp = 4;

void settle(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

class RaceShots
{
public:
    RaceShots(QQmlEngine& engine, const QString& folder) : m_engine(engine), m_folder(folder)
    {
        m_window.resize(1920, 1080);
        m_window.show();
    }

    // A fresh race page over `distance` metres for racers with these speeds (m/s).
    bool open(const QList<double>& speeds, int distance)
    {
        m_page.reset();
        m_speeds = speeds;
        m_distance = distance;
        RaceFeed::setUpRace(int(speeds.size()), distance);
        QVariantList readings;
        for (int k = 0; k < speeds.size(); ++k)
            readings.append(distance);
        RaceFeed::setReadings(readings);
        QQmlComponent component(&m_engine);
        component.setData("import RivantaRace\nRacing { width: 1920; height: 1080 }", QUrl());
        m_page.reset(qobject_cast<QQuickItem*>(component.create()));
        if (!m_page) {
            qWarning("%s", qPrintable(component.errorString()));
            return false;
        }
        m_page->setParentItem(m_window.contentItem());
        clock()->setProperty("running", false);
        return true;
    }

    void tick() { QMetaObject::invokeMethod(m_page.get(), "countdownTick"); }

    // Starts the race and lets it run until `until` says stop, playing the readings in.
    template <typename Until> void race(Until until)
    {
        if (!m_page->property("raceRunning").toBool()) {
            tick();
            m_raceStart = QDateTime::currentMSecsSinceEpoch();
            clock()->setProperty("running", true);
        }
        while (!until()) {
            const qint64 real = QDateTime::currentMSecsSinceEpoch() - m_raceStart;
            const double seconds = double(real) * speedUp / 1000.0;
            QVariantList readings;
            for (double speed : std::as_const(m_speeds))
                readings.append(std::max(0, int(std::ceil(m_distance - speed * seconds))));
            RaceFeed::setReadings(readings);
            m_page->setProperty("startTime",
                                double(QDateTime::currentMSecsSinceEpoch()) - seconds * 1000.0);
            settle(50);
        }
    }

    int finishers() const
    {
        int n = 0;
        const QVariantList passed = m_page->property("passed_dist").toList();
        for (int k = 0; k < m_speeds.size(); ++k)
            n += passed.value(k).toDouble() >= m_distance ? 1 : 0;
        return n;
    }
    double leaderDistance() const { return m_page->property("leaderDist").toDouble(); }
    QObject* page() const { return m_page.get(); }

    void shoot(const QString& name)
    {
        const QString path = m_folder + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!m_window.grabWindow().save(path))
            qWarning("could not write %s", qPrintable(path));
        else
            qInfo("%s", qPrintable(path));
    }

private:
    QObject* clock() const { return m_page->property("clockTimer").value<QObject*>(); }

    QQmlEngine& m_engine;
    QString m_folder;
    QQuickWindow m_window;
    std::unique_ptr<QQuickItem> m_page;
    QList<double> m_speeds;
    int m_distance = 500;
    qint64 m_raceStart = 0;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QQuickStyle::setStyle(QStringLiteral("Fusion"));
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(folder);

    SharedData sharedData;
    AppSetup::registerTypes(&sharedData);
    QQmlEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/"));
    RaceShots shots(engine, folder);

    const QList<double> ten = {4.6, 4.9, 4.4, 5.1, 4.7, 4.2, 4.8, 4.5, 5.0, 4.3};
    if (!shots.open(ten, 500))
        return 1;
    settle(800);
    shots.shoot(QStringLiteral("race-countdown-10"));
    for (int k = 0; k < 10; ++k)
        shots.tick();
    settle(800);
    shots.shoot(QStringLiteral("race-countdown-go"));

    shots.race([&] { return shots.leaderDistance() >= 250; });
    settle(300);
    shots.shoot(QStringLiteral("race-10-lanes-midway"));

    shots.race([&] { return shots.finishers() >= 4; });
    settle(900);
    shots.shoot(QStringLiteral("race-finish-cards"));

    shots.page()->setProperty("raceRunning", false);
    settle(6000);
    shots.shoot(QStringLiteral("race-end"));

    if (!shots.open({4.8}, 1000))
        return 1;
    for (int k = 0; k < 10; ++k)
        shots.tick();
    shots.race([&] { return shots.leaderDistance() >= 430; });
    settle(300);
    shots.shoot(QStringLiteral("race-1-lane"));
    return 0;
}
