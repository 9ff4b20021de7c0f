// Load on the race screen: what the window presents while ten racers on simulated consoles
// paddle, and the same measures for a bare scene of ten animated kayaks as the yardstick.
//   race_bench race [seconds] [picture]   the race page of the program, ten consoles (60 s)
//   race_bench bare [seconds] [picture]   ten AnimatedSprite items over the kayak sheets
// With a picture path, the window as it stood at the end is saved there.
// Each run prints the renderer Qt chose, frames presented a second (frameSwapped), the
// 95th percentile and the worst interval between presented frames, the program's CPU use and,
// for the race, the time one race step takes. The last line holds the figures as key=value
// pairs for tools/bench/race_bench.sh.

#include "BenchWait.h"
#include "AppSetup.h"
#include "BleTestRig.h"
#include "BluetoothManager.h"
#include "RaceTables.h"
#include "SharedData.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMap>
#include <QMutex>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQmlApplicationEngine>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <QtQml/qqmlextensionplugin.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

Q_IMPORT_QML_PLUGIN(RivantaRacePlugin)

namespace {

using bench::spin;
using bench::waitUntil;

constexpr int RacerCount = 10;
constexpr int RaceDistance = 500;

// Speeds in m/s: a field of realistic paces with two quick racers who finish near the end of
// a 60 s run, so that finish cards and toasts are part of the load.
constexpr double Speeds[RacerCount] = {9.0, 8.6, 5.6, 5.4, 5.2, 5.0, 4.8, 4.6, 4.4, 4.2};
// Notification intervals in ms: most consoles five times a second, two once a second.
constexpr int Intervals[RacerCount] = {200, 200, 200, 1000, 200, 200, 200, 1000, 200, 200};

// The race page pushed on a page stack in a window of the design size, as the athlete screen
// opens it in the program.
const char* const RaceScene = R"(
import QtQuick
import QtQuick.Controls
Window {
    width: 1920; height: 1080; visible: true; color: "black"; title: "Race benchmark"
    property Item page: null
    StackView { id: stack; anchors.fill: parent }
    Component.onCompleted: {
        const component = Qt.createComponent("qrc:/RivantaRace/Racing.qml")
        if (component.status !== Component.Ready) {
            console.error("Failed to load Racing:", component.errorString())
            return
        }
        page = component.createObject(stack, { stack: stack })
        stack.push(page)
    }
}
)";

// Ten kayaks paddling where the race page would put them, and nothing else.
const char* const BareScene = R"(
import QtQuick
Window {
    width: 1920; height: 1080; visible: true; color: "#082F37"; title: "Sprite benchmark"
    Repeater {
        model: 10
        AnimatedSprite {
            x: 190 + index * 100; y: 105 + index * 74 + 41 - height / 2
            width: 189.12; height: 98
            source: "qrc:/RivantaRace/images/sprite_" + index + ".png"
            frameCount: 12; frameWidth: 467; frameHeight: 242; frameRate: 12
            interpolate: false; running: true
        }
    }
}
)";


double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU seconds of this process's threads, summed by thread name without its number (the
// rasteriser's "llvmpipe-0" to "llvmpipe-7" count as one), so that the figures show where
// the time goes: GUI thread, render thread, software rasteriser, D-Bus.
QMap<QString, double> threadCpuSeconds()
{
    QMap<QString, double> byName;
    const QStringList threads =
        QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& tid : threads) {
        QFile stat(QStringLiteral("/proc/self/task/%1/stat").arg(tid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const int open = text.indexOf('(');
        const int close = text.lastIndexOf(')');
        QString name = QString::fromUtf8(text.mid(open + 1, close - open - 1));
        if (tid == QString::number(getpid()))
            name = QStringLiteral("GUI thread");
        while (!name.isEmpty() && (name.back().isDigit() || name.back() == QLatin1Char('-')))
            name.chop(1);
        // Fields after the name: utime and stime are the 12th and 13th.
        const QList<QByteArray> fields = text.mid(close + 2).split(' ');
        if (fields.size() > 12)
            byName[name] +=
                (fields[11].toDouble() + fields[12].toDouble()) / double(sysconf(_SC_CLK_TCK));
    }
    return byName;
}

QString address(int i)
{
    return QStringLiteral("AA:BB:CC:DD:EF:%1").arg(i + 1, 2, 16, QLatin1Char('0')).toUpper();
}

double percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t at = std::min(values.size() - 1, size_t(fraction * (values.size() - 1) + 0.5));
    return values[at];
}

QString ms(double value)
{
    return QString::number(value, 'f', 2);
}

QString apiName(QSGRendererInterface::GraphicsApi api)
{
    switch (api) {
    case QSGRendererInterface::Software:
        return QStringLiteral("Software");
    case QSGRendererInterface::OpenVG:
        return QStringLiteral("OpenVG");
    case QSGRendererInterface::OpenGL:
        return QStringLiteral("OpenGL");
    case QSGRendererInterface::Direct3D11:
        return QStringLiteral("Direct3D11");
    case QSGRendererInterface::Vulkan:
        return QStringLiteral("Vulkan");
    case QSGRendererInterface::Metal:
        return QStringLiteral("Metal");
    case QSGRendererInterface::Null:
        return QStringLiteral("Null");
    default:
        return QStringLiteral("Unknown");
    }
}

// Times of the frames the window presents; frameSwapped comes from the render thread when
// Qt renders on one.
class FrameClock : public QObject
{
public:
    explicit FrameClock(QQuickWindow* window) : m_window(window)
    {
        m_clock.start();
        connect(window, &QQuickWindow::frameSwapped, this, &FrameClock::onFrameSwapped,
                Qt::DirectConnection);
        connect(window, &QQuickWindow::beforeRendering, this, &FrameClock::onBeforeRendering,
                Qt::DirectConnection);
    }

    void startRecording()
    {
        QMutexLocker lock(&m_mutex);
        m_swaps.clear();
        m_recording = true;
    }
    std::vector<qint64> stopRecording()
    {
        QMutexLocker lock(&m_mutex);
        m_recording = false;
        return m_swaps;
    }
    QString renderThread() const
    {
        QMutexLocker lock(&m_mutex);
        return m_renderThread;
    }
    QString glRenderer() const
    {
        QMutexLocker lock(&m_mutex);
        return m_glRenderer;
    }

private:
    // QQuickWindow signals
    void onFrameSwapped()
    {
        const qint64 now = m_clock.nsecsElapsed();
        QMutexLocker lock(&m_mutex);
        if (m_renderThread.isEmpty())
            m_renderThread = QThread::currentThread() == qApp->thread()
                                 ? QStringLiteral("GUI thread (basic render loop)")
                                 : QStringLiteral("own render thread (threaded render loop)");
        if (m_recording)
            m_swaps.push_back(now);
    }
    void onBeforeRendering()
    {
        QMutexLocker lock(&m_mutex);
        if (!m_glRenderer.isEmpty())
            return;
        m_glRenderer = QStringLiteral("-");
        if (QOpenGLContext* context = QOpenGLContext::currentContext()) {
            const auto* text = context->functions()->glGetString(GL_RENDERER);
            if (text)
                m_glRenderer = QString::fromLatin1(reinterpret_cast<const char*>(text));
        }
    }

    QQuickWindow* m_window = nullptr;
    QElapsedTimer m_clock;
    mutable QMutex m_mutex;
    std::vector<qint64> m_swaps;
    bool m_recording = false;
    QString m_renderThread;
    QString m_glRenderer;
};

// Counts the race page's steps: connected to its step timer after the page's own handler.
class StepCounter : public QObject
{
    Q_OBJECT

public:
    int count = 0;

public slots:
    // Timer signals
    void onTriggered() { ++count; }
};

// The page's race step runs in the handler of its step timer, which Qt delivers as an event to
// the timer object: timing that delivery, when it emitted `triggered`, times one step with all
// the bindings it sets off.
class BenchApplication : public QApplication
{
public:
    using QApplication::QApplication;

    void watchStepTimer(QObject* timer)
    {
        m_timer = timer;
        QObject::connect(timer, SIGNAL(triggered()), &m_counter, SLOT(onTriggered()));
    }

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (receiver != m_timer || !m_recording)
            return QApplication::notify(receiver, event);
        const int before = m_counter.count;
        QElapsedTimer clock;
        clock.start();
        const bool result = QApplication::notify(receiver, event);
        if (m_counter.count != before) {
            m_steps.push_back(clock.nsecsElapsed() / 1e6);
            m_stepTimes.push_back(m_since.elapsed() / 1000.0);
        }
        return result;
    }

    void startRecording()
    {
        m_steps.clear();
        m_stepTimes.clear();
        m_since.start();
        m_counter.count = 0;
        m_recording = true;
    }
    std::vector<double> stopRecording()
    {
        m_recording = false;
        return m_steps;
    }
    int steps() const { return m_counter.count; }
    // Seconds into the measurement at which step i ran.
    double stepTime(size_t i) const { return i < m_stepTimes.size() ? m_stepTimes[i] : -1; }

private:
    QObject* m_timer = nullptr;
    StepCounter m_counter;
    std::vector<double> m_steps;
    std::vector<double> m_stepTimes;
    QElapsedTimer m_since;
    bool m_recording = false;
};

struct Figures
{
    double seconds = 0;
    double fps = 0;
    double p95 = 0;
    double worst = 0;
    double cpu = 0;
    QMap<QString, double> threadCpu; // share of one core by thread name
};

// Measures the window for `seconds` from now.
Figures measure(FrameClock& frames, int seconds)
{
    Figures figures;
    const double cpu0 = cpuSeconds();
    const QMap<QString, double> threads0 = threadCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    frames.startRecording();
    spin(seconds * 1000);
    const std::vector<qint64> swaps = frames.stopRecording();
    figures.seconds = wall.elapsed() / 1000.0;
    figures.cpu = (cpuSeconds() - cpu0) / figures.seconds;
    const QMap<QString, double> threads = threadCpuSeconds();
    for (auto it = threads.cbegin(); it != threads.cend(); ++it)
        figures.threadCpu[it.key()] = (it.value() - threads0.value(it.key())) / figures.seconds;
    std::vector<double> intervals;
    for (size_t i = 1; i < swaps.size(); ++i)
        intervals.push_back((swaps[i] - swaps[i - 1]) / 1e6);
    if (swaps.size() > 1)
        figures.fps = (swaps.size() - 1) / ((swaps.back() - swaps.front()) / 1e9);
    figures.p95 = percentile(intervals, 0.95);
    figures.worst = intervals.empty() ? 0 : *std::max_element(intervals.begin(), intervals.end());
    return figures;
}

void printCommon(QTextStream& out, QQuickWindow* window, const FrameClock& frames,
                 const Figures& figures)
{
    out << "renderer:                 " << apiName(window->rendererInterface()->graphicsApi())
        << " (" << frames.glRenderer() << "), frames swapped on the " << frames.renderThread()
        << "\n";
    out << "window:                   " << window->width() << " x " << window->height() << "\n";
    out << "frames presented:         " << ms(figures.fps) << " a second over "
        << ms(figures.seconds) << " s\n";
    out << "frame interval:           95th percentile " << ms(figures.p95) << " ms, worst "
        << ms(figures.worst) << " ms\n";
    out << "program CPU:              " << QString::number(100 * figures.cpu, 'f', 1)
        << " % of one core, " << ms(figures.fps > 0 ? 1000 * figures.cpu / figures.fps : 0)
        << " ms of CPU per presented frame\n";
    out << "  by thread:             ";
    for (auto it = figures.threadCpu.cbegin(); it != figures.threadCpu.cend(); ++it) {
        if (it.value() >= 0.005)
            out << " " << it.key() << " " << QString::number(100 * it.value(), 'f', 1) << " %;";
    }
    out << "\n";
}

QQuickWindow* loadScene(QQmlApplicationEngine& engine, const char* scene)
{
    engine.addImportPath(QStringLiteral("qrc:/"));
    engine.loadData(QByteArray(scene));
    if (engine.rootObjects().isEmpty())
        return nullptr;
    return qobject_cast<QQuickWindow*>(engine.rootObjects().constFirst());
}

void savePicture(QQuickWindow* window, const QString& path)
{
    if (!path.isEmpty() && !window->grabWindow().save(path))
        qWarning("Could not write %s", qPrintable(path));
}

int runBare(QTextStream& out, int seconds, const QString& picture)
{
    QQmlApplicationEngine engine;
    QQuickWindow* window = loadScene(engine, BareScene);
    if (!window) {
        out << "the sprite scene did not load\n";
        return 2;
    }
    FrameClock frames(window);
    spin(2000); // the sheets are loaded and the first frames are out of the way
    const Figures figures = measure(frames, seconds);
    savePicture(window, picture);
    out << "== bare scene: ten AnimatedSprite items\n";
    printCommon(out, window, frames, figures);
    out << "figures: fps=" << figures.fps << " p95=" << figures.p95 << " cpu=" << figures.cpu
        << "\n";
    return 0;
}

int runRace(BenchApplication& app, QTextStream& out, int seconds, const QString& picture)
{
    BleTestRig rig;
    if (!rig.start()) {
        out << "could not start the simulated consoles\n";
        return 2;
    }
    static SharedData sharedData;
    AppSetup::registerTypes(&sharedData);

    for (int i = 0; i < RacerCount; ++i) {
        const QString name = QStringLiteral("KAYAK %1").arg(i + 1);
        rig.addConsole({{"address", address(i)},
                        {"name", name},
                        {"startDistance", RaceDistance},
                        {"speed", Speeds[i]},
                        {"intervalMs", Intervals[i]}});
        // The athletes wait for the start.
        rig.setStreaming(address(i), false);
        sharedData.setBlueMacAddress(i, address(i));
        sharedData.setSharedItem(i, ColFirstName, QStringLiteral("Racer"));
        sharedData.setSharedItem(i, ColSurname, QString::number(i + 1));
    }
    // The console link of the athlete screen, which stays alive under the race page.
    auto manager = std::make_unique<BluetoothManager>();
    manager->startScan();
    const bool connected = waitUntil(
        [&] {
            for (int i = 0; i < RacerCount; ++i) {
                if (sharedData.isActive(i) != 1)
                    return false;
            }
            return true;
        },
        60000);
    if (!connected) {
        out << "the consoles did not all connect\n";
        return 2;
    }
    sharedData.setTotalDist(RaceDistance);
    sharedData.setPlayerNum(RacerCount);
    sharedData.filterRaceData();
    sharedData.setDeviceConnectionState(true);

    QQmlApplicationEngine engine;
    QQuickWindow* window = loadScene(engine, RaceScene);
    QObject* page = window ? window->property("page").value<QObject*>() : nullptr;
    QObject* stepTimer = page ? page->property("stepTimer").value<QObject*>() : nullptr;
    if (!stepTimer) {
        out << "the race page did not load\n";
        return 2;
    }
    FrameClock frames(window);
    app.watchStepTimer(stepTimer);

    // The athletes start paddling on "GO"; the race starts a second later.
    if (!waitUntil([&] { return page->property("countdown").toInt() == 0; }, 20000)) {
        out << "the countdown did not reach GO\n";
        return 2;
    }
    for (int i = 0; i < RacerCount; ++i)
        rig.setStreaming(address(i), true);
    if (!waitUntil([&] { return page->property("raceRunning").toBool(); }, 3000)) {
        out << "the race did not start\n";
        return 2;
    }

    app.startRecording();
    const Figures figures = measure(frames, seconds);
    const std::vector<double> steps = app.stopRecording();
    savePicture(window, picture);

    out << "== race page: " << RacerCount << " lanes, " << RaceDistance
        << " m, simulated consoles\n";
    printCommon(out, window, frames, figures);
    if (steps.empty()) {
        out << "race step:                not measured (" << app.steps() << " steps)\n";
    } else {
        out << "race step:                median " << ms(percentile(steps, 0.5)) << " ms, worst "
            << ms(*std::max_element(steps.begin(), steps.end())) << " ms over " << steps.size()
            << " steps\n";
        // The slowest steps and when they ran: finishes and the engine's garbage collection
        // show here.
        std::vector<size_t> order(steps.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::sort(order.begin(), order.end(),
                  [&](size_t a, size_t b) { return steps[a] > steps[b]; });
        out << "  slowest steps:         ";
        for (size_t i = 0; i < std::min<size_t>(5, order.size()); ++i)
            out << " " << ms(steps[order[i]]) << " ms at "
                << QString::number(app.stepTime(order[i]), 'f', 1) << " s;";
        out << "\n";
    }
    int finished = 0;
    const QVariantList passed = page->property("passed_dist").toList();
    for (int i = 0; i < RacerCount; ++i)
        finished += passed.value(i).toDouble() >= RaceDistance ? 1 : 0;
    out << "racers finished:          " << finished << " of " << RacerCount << "\n";
    out << "figures: fps=" << figures.fps << " p95=" << figures.p95 << " cpu=" << figures.cpu
        << " step_median=" << (steps.empty() ? -1 : percentile(steps, 0.5))
        << " step_worst=" << (steps.empty() ? -1 : *std::max_element(steps.begin(), steps.end()))
        << "\n";
    out.flush();

    for (int i = 0; i < RacerCount; ++i)
        rig.setStreaming(address(i), false);
    manager->disconnectAllDevices();
    spin(300);
    rig.stop();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    BenchApplication app(argc, argv);
    QQuickStyle::setStyle(QStringLiteral("Fusion"));
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("race");
    const int seconds = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 60;
    const QString picture = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    QTextStream out(stdout);
    if (mode == QLatin1String("bare"))
        return runBare(out, seconds, picture);
    if (mode == QLatin1String("race"))
        return runRace(app, out, seconds, picture);
    out << "usage: race_bench race|bare [seconds] [picture]\n";
    return 2;
}

#include "race_bench.moc"
