// Memory over a day of races: the program's window (App.qml, as the program loads it) driven
// through its pages against simulated consoles, with the resident set read after each step.
//   memory_bench [races] [openings]   (default 20, 20)
// First `races` races in a row from the athlete screen: each counts down, runs for three
// seconds, is stopped, and is left with Back for the next one on the same connections. Then
// `openings` openings of each set-up page and guide page from the home page, each left with
// its Back. Every line gives the resident set after the step; the last lines give the growth
// a race and an opening after the first (the trend of the figures), against the targets
// (< 5 MiB a race, < 1 MiB an opening).

#include "AppSetup.h"
#include "BenchWait.h"
#include "BleTestRig.h"
#include "RaceTables.h"
#include "SharedData.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QTextStream>
#include <QtQml/qqmlextensionplugin.h>

#include <malloc.h>

#include <vector>

Q_IMPORT_QML_PLUGIN(RivantaRacePlugin)

namespace {

using bench::spin;
using bench::waitUntil;

constexpr int ConsoleCount = 4;

QString address(int i)
{
    return QStringLiteral("AA:BB:CC:DD:F0:%1").arg(i + 1, 2, 10, QLatin1Char('0'));
}

double residentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

class MemoryBench
{
public:
    MemoryBench(QQmlApplicationEngine& engine, QTextStream& out) : engine(engine), out(out) {}

    bool load()
    {
        engine.load(QUrl(QStringLiteral("qrc:/RivantaRace/App.qml")));
        if (engine.rootObjects().isEmpty())
            return false;
        auto* window = qobject_cast<QQuickWindow*>(engine.rootObjects().constFirst());
        if (!window)
            return false;
        window->resize(1920, 1080);
        window->show();
        stack = window->findChild<QObject*>(QStringLiteral("stackView"));
        return stack && waitUntil([this] { return current() != nullptr; }, 10000);
    }

    QObject* current() const { return stack->property("currentItem").value<QObject*>(); }
    int depth() const { return stack->property("depth").toInt(); }

    // Opens a screen from the page on top, as its card or button does.
    QObject* open(const char* name)
    {
        QVariant page;
        QMetaObject::invokeMethod(current(), "openPage", Q_RETURN_ARG(QVariant, page),
                                  Q_ARG(QVariant, QString::fromLatin1(name)));
        settleStack();
        return page.value<QObject*>();
    }

    // Leaves the page with its Back button and waits until it has gone.
    bool back(QObject* page)
    {
        QPointer<QObject> watched(page);
        auto* button = page->findChild<QObject*>(QStringLiteral("backButton"));
        if (!button)
            return false;
        QMetaObject::invokeMethod(button, "clicked");
        settleStack();
        // A page that is not released stays; the figures then show it.
        waitUntil([&] { return watched.isNull(); }, 3000);
        return true;
    }

    void settleStack()
    {
        waitUntil([this] { return !stack->property("busy").toBool(); }, 5000);
    }

    // The resident set once the engine has let go of what it no longer holds; also, in
    // `held`, what is left once the C heap has handed its free pages back to the system.
    double measure()
    {
        spin(300);
        engine.collectGarbage();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        spin(200);
        const double resident = residentMiB();
        malloc_trim(0);
        held = residentMiB();
        return resident;
    }

    QString figures(double resident) const
    {
        return QString::number(resident, 'f', 1) + QStringLiteral(" MiB (held ") +
               QString::number(held, 'f', 1) + QStringLiteral(" MiB)");
    }

    double held = 0;

    bool allConnected(QObject* main) const
    {
        return main->property("_activeconsoles").toInt() == ConsoleCount;
    }

    // One race from the athlete screen: countdown, three seconds of racing, Stop, Back.
    bool race(QObject* main)
    {
        QVariant opened;
        QMetaObject::invokeMethod(main, "startRace", Q_RETURN_ARG(QVariant, opened));
        QObject* page = opened.value<QObject*>();
        if (!page)
            return false;
        settleStack();
        for (int k = 0; k < 10; ++k)
            QMetaObject::invokeMethod(page, "countdownTick");
        if (!waitUntil([page] { return page->property("raceRunning").toBool(); }, 3000))
            return false;
        spin(3000);
        page->setProperty("raceRunning", false);
        if (!waitUntil([page] { return page->property("race_end_flag").toInt() == 1; }, 3000))
            return false;
        return back(page);
    }

    QQmlApplicationEngine& engine;
    QTextStream& out;
    QObject* stack = nullptr;
};

void report(QTextStream& out, const char* what, const std::vector<double>& rss, double target)
{
    if (rss.size() < 2)
        return;
    // The slope of the least-squares line: the heap's page-sized steps up and down weigh
    // less than in the difference of the first and last figure, which is shown beside it.
    const double n = double(rss.size());
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (size_t i = 0; i < rss.size(); ++i) {
        sx += double(i);
        sy += rss[i];
        sxx += double(i) * double(i);
        sxy += double(i) * rss[i];
    }
    const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    out << what << ": " << QString::number(rss.front(), 'f', 1) << " MiB after the first, "
        << QString::number(rss.back(), 'f', 1) << " MiB after the last ("
        << QString::number((rss.back() - rss.front()) / (n - 1), 'f', 2) << " MiB each), trend "
        << QString::number(slope, 'f', 2) << " MiB each (target < " << target
        << " MiB): " << (slope < target ? "met" : "MISSED") << "\n";
}

int run(QTextStream& out, int races, int openings)
{
    BleTestRig rig;
    if (!rig.start()) {
        out << "could not start the simulated consoles\n";
        return 2;
    }
    static SharedData sharedData;
    for (int i = 0; i < ConsoleCount; ++i) {
        rig.addConsole({{"address", address(i)},
                        {"name", QStringLiteral("KAYAK %1").arg(i + 1)},
                        {"startDistance", 1000000},
                        {"speed", 5.0 + i * 0.5},
                        {"intervalMs", 200}});
        sharedData.setBlueMacAddress(i, address(i));
    }

    QQmlApplicationEngine engine;
    AppSetup::registerTypes(&sharedData);
    engine.rootContext()->setContextProperty(QStringLiteral("resizeObserver"), static_cast<QObject*>(nullptr));
    MemoryBench bench(engine, out);
    if (!bench.load()) {
        out << "the window did not load\n";
        return 2;
    }
    out << "start: " << bench.figures(bench.measure()) << "\n";

    QObject* main = bench.open("Main");
    if (!main || !waitUntil([&] { return bench.allConnected(main); }, 60000)) {
        out << "the consoles did not connect\n";
        return 2;
    }
    std::vector<double> raceRss;
    for (int r = 1; r <= races; ++r) {
        if (!bench.race(main) || bench.current() != main || !bench.allConnected(main)) {
            out << "race " << r << " did not run through, or the consoles were dropped\n";
            return 2;
        }
        raceRss.push_back(bench.measure());
        out << "race " << r << ": " << bench.figures(raceRss.back()) << "\n";
        out.flush();
    }
    bench.back(main);

    const char* const pages[] = {"Main", "SetBluetoothAddress", "QuickStartGuide", "Features"};
    std::vector<std::vector<double>> pageRss(std::size(pages));
    for (size_t p = 0; p < std::size(pages); ++p) {
        for (int k = 1; k <= openings; ++k) {
            QObject* page = bench.open(pages[p]);
            if (!page) {
                out << pages[p] << " did not open\n";
                return 2;
            }
            // The athlete screen connects the consoles on every opening.
            if (p == 0)
                waitUntil([&] { return bench.allConnected(page); }, 30000);
            spin(500);
            bench.back(page);
            pageRss[p].push_back(bench.measure());
            out << pages[p] << " opening " << k << ": " << bench.figures(pageRss[p].back())
                << "\n";
            out.flush();
        }
    }

    out << "== summary (growth counted from the first race and the first opening)\n";
    report(out, "races", raceRss, 5);
    for (size_t p = 0; p < std::size(pages); ++p)
        report(out, pages[p], pageRss[p], 1);
    rig.stop();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QQuickStyle::setStyle(QStringLiteral("Fusion"));
    QTextStream out(stdout);
    const int races = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 20;
    const int openings = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 20;
    return run(out, races, openings);
}
