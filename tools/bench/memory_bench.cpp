// Memory over a day of races: the program's window (App.qml, as the program loads it) driven
// through its pages against simulated consoles, with the resident set read after each step.
//   memory_bench [races] [openings] [page ...]   (default 20, 20, every page)
// First `races` races in a row from the athlete screen: each counts down, runs for three
// seconds, is stopped, and is left with Back for the next one on the same connections. Then
// `openings` openings of each set-up page and guide page from the home page, each left with
// its Back; the athlete screen twice over: once left when every console is connected, once
// left while they are still being connected ("Main-connecting"). Naming pages runs only
// those openings. Every line gives the resident set after the step; the last lines give the
// growth a race and an opening (the trend of the figures), counted from the third, against
// the targets (< 5 MiB a race, < 0.3 MiB an opening of the athlete screen, < 1 MiB another).

#include "AppSetup.h"
#include "BenchWait.h"
#include "BleTestRig.h"
#include "RaceTables.h"
#include "SharedData.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QStringList>
#include <QTextStream>
#include <QtQml/qqmlextensionplugin.h>

#include <malloc.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <vector>

Q_IMPORT_QML_PLUGIN(RivantaRacePlugin)

namespace {

using bench::spin;
using bench::waitUntil;

constexpr int ConsoleCount = 5;
// The slot state of a console that is being searched for or connected.
constexpr int SlotConnectingState = 0;

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

// The bytes the C heap has handed out and not had back, over all its arenas (the scene graph
// allocates from its own thread's): what the arenas hold less their free chunks, plus the
// chunks mapped on their own. Read from the totals at the end of malloc_info's report.
double heapInUseMiB()
{
    char* text = nullptr;
    size_t size = 0;
    FILE* report = open_memstream(&text, &size);
    if (!report)
        return -1;
    malloc_info(0, report);
    fclose(report);
    const QByteArray xml(text, qsizetype(size));
    free(text);
    const qsizetype totals = xml.lastIndexOf("</heap>");
    auto field = [&xml, totals](const char* tag) {
        const qsizetype at = xml.indexOf(tag, totals);
        const qsizetype from = xml.indexOf("size=\"", at) + 6;
        return at < 0 ? 0.0 : xml.mid(from, xml.indexOf('"', from) - from).toDouble();
    };
    const double inUse = field("<system type=\"current\"") - field("<total type=\"fast\"") -
                         field("<total type=\"rest\"") + field("<total type=\"mmap\"");
    return inUse / (1024.0 * 1024.0);
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
    QObject* open(const char* name, bool settle = true)
    {
        QVariant page;
        QMetaObject::invokeMethod(current(), "openPage", Q_RETURN_ARG(QVariant, page),
                                  Q_ARG(QVariant, QString::fromLatin1(name)));
        if (settle)
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
    // `held`, what is left once the C heap has handed its free pages back to the system, and
    // in `live`, the heap in use (the steadiest figure: neither the heap's free pages nor its
    // arenas count).
    double measure()
    {
        spin(300);
        engine.collectGarbage();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // The scene graph lets go of a left page's textures and buffers only in the frames that
        // follow; an idle window draws none.
        auto* window = qobject_cast<QQuickWindow*>(engine.rootObjects().constFirst());
        for (int frame = 0; frame < 3; ++frame) {
            bool swapped = false;
            const auto connection = QObject::connect(
                window, &QQuickWindow::frameSwapped, window, [&swapped] { swapped = true; },
                Qt::QueuedConnection);
            window->update();
            waitUntil([&swapped] { return swapped; }, 1000);
            QObject::disconnect(connection);
        }
        spin(500);
        const double resident = residentMiB();
        malloc_trim(0);
        held = residentMiB();
        live = heapInUseMiB();
        return resident;
    }

    QString figures(double resident) const
    {
        return QString::number(resident, 'f', 1) + QStringLiteral(" MiB (held ") +
               QString::number(held, 'f', 1) + QStringLiteral(" MiB, heap in use ") +
               QString::number(live, 'f', 2) + QStringLiteral(" MiB)");
    }

    double held = 0;
    double live = 0;

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

struct Figures
{
    std::vector<double> resident;
    std::vector<double> held;
    std::vector<double> live;
};

// The growth a step: the median of the slopes between every two figures (Theil and Sen). The
// heap's arenas keep or hand back a freed picture's worth of pages from one step to the next;
// such steps up and down, however large, do not move the median, while a steady growth does.
double trend(const std::vector<double>& figures)
{
    std::vector<double> slopes;
    for (size_t i = 0; i < figures.size(); ++i) {
        for (size_t j = i + 1; j < figures.size(); ++j)
            slopes.push_back((figures[j] - figures[i]) / double(j - i));
    }
    if (slopes.empty())
        return 0;
    const auto middle = slopes.begin() + qsizetype(slopes.size() / 2);
    std::nth_element(slopes.begin(), middle, slopes.end());
    return *middle;
}

// The first two steps fill caches that every later one reuses (components, pictures, the
// heap's own arenas); the growth is counted from the third.
void report(QTextStream& out, const QString& what, const Figures& figures, double target)
{
    constexpr size_t Skipped = 2;
    if (figures.resident.size() < Skipped + 2)
        return;
    const std::vector<double> rss(figures.resident.begin() + Skipped, figures.resident.end());
    const std::vector<double> held(figures.held.begin() + Skipped, figures.held.end());
    const std::vector<double> live(figures.live.begin() + Skipped, figures.live.end());
    const double slope = trend(rss);
    out << what << ": " << QString::number(rss.front(), 'f', 1) << " MiB after the third, "
        << QString::number(rss.back(), 'f', 1) << " MiB after the last ("
        << QString::number((rss.back() - rss.front()) / double(rss.size() - 1), 'f', 2)
        << " MiB each), trend " << QString::number(slope, 'f', 2) << " MiB each, held "
        << QString::number(trend(held), 'f', 2) << " MiB each, heap in use "
        << QString::number(trend(live), 'f', 3) << " MiB each (target < " << target
        << " MiB): " << (slope < target ? "met" : "MISSED") << "\n";
}

int run(QTextStream& out, int races, int openings, const QStringList& only)
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

    Figures raceFigures;
    if (races > 0) {
        QObject* main = bench.open("Main");
        if (!main || !waitUntil([&] { return bench.allConnected(main); }, 60000)) {
            out << "the consoles did not connect\n";
            return 2;
        }
        for (int r = 1; r <= races; ++r) {
            if (!bench.race(main) || bench.current() != main || !bench.allConnected(main)) {
                out << "race " << r << " did not run through, or the consoles were dropped\n";
                return 2;
            }
            raceFigures.resident.push_back(bench.measure());
            raceFigures.held.push_back(bench.held);
            raceFigures.live.push_back(bench.live);
            out << "race " << r << ": " << bench.figures(raceFigures.resident.back()) << "\n";
            out.flush();
        }
        bench.back(main);
    }

    // "Main-connecting" is the athlete screen left before its first look at the slots, while
    // the consoles are still being found and connected (later its Back waits for them).
    const QStringList pages = {QStringLiteral("Main"), QStringLiteral("Main-connecting"),
                               QStringLiteral("SetBluetoothAddress"),
                               QStringLiteral("QuickStartGuide"), QStringLiteral("Features")};
    std::vector<Figures> pageFigures(pages.size());
    for (qsizetype p = 0; p < pages.size(); ++p) {
        if (!only.isEmpty() && !only.contains(pages[p]))
            continue;
        const QString name = pages[p].section(QLatin1Char('-'), 0, 0);
        const bool leftConnecting = pages[p].endsWith(QLatin1String("-connecting"));
        for (int k = 1; k <= openings; ++k) {
            QElapsedTimer opened;
            opened.start();
            QObject* page = bench.open(name.toLatin1().constData(), !leftConnecting);
            if (!page) {
                out << name << " did not open\n";
                return 2;
            }
            if (leftConnecting) {
                // The first console is being connected, the others wait for their turn; the
                // page's first look at the slots comes 500 ms after its creation.
                spin(std::max<int>(0, 350 - int(opened.elapsed())));
                if (sharedData.isActive(ConsoleCount - 1) != SlotConnectingState) {
                    out << "the last console was not waiting to be connected at opening " << k
                        << "\n";
                    return 2;
                }
            } else {
                // The athlete screen connects the consoles on every opening.
                if (name == QLatin1String("Main") &&
                    !waitUntil([&] { return bench.allConnected(page); }, 30000)) {
                    out << "the consoles did not connect at opening " << k << "\n";
                    return 2;
                }
                spin(500);
            }
            if (!bench.back(page)) {
                out << pages[p] << " has no Back\n";
                return 2;
            }
            // A page left while connecting must have been left before its Back waits for the
            // consoles; otherwise the next opening would stack on it.
            if (bench.current() == page) {
                out << pages[p] << " did not close with Back (" << opened.elapsed()
                    << " ms after its opening)\n";
                return 2;
            }
            pageFigures[p].resident.push_back(bench.measure());
            pageFigures[p].held.push_back(bench.held);
            pageFigures[p].live.push_back(bench.live);
            out << pages[p] << " opening " << k << ": "
                << bench.figures(pageFigures[p].resident.back()) << "\n";
            out.flush();
        }
    }

    out << "== summary (growth counted from the third race and the third opening)\n";
    report(out, QStringLiteral("races"), raceFigures, 5);
    for (qsizetype p = 0; p < pages.size(); ++p)
        report(out, pages[p], pageFigures[p], pages[p].startsWith(QLatin1String("Main")) ? 0.3 : 1);
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
    QStringList only;
    for (int i = 3; i < argc; ++i)
        only.append(QString::fromLocal8Bit(argv[i]));
    return run(out, races, openings, only);
}
