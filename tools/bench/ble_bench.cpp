// Load on the console link: ten simulated consoles stream Rower Data at 20 notifications a
// second each through the real Qt Bluetooth code into one BluetoothManager. Every frame sent
// must be parsed and logged; the CPU time the program spends on it is reported.
//   ble_bench [seconds]      (default 60)

#include "BenchWait.h"
#include "BleTestRig.h"
#include "BluetoothManager.h"
#include "KayakConsole.h"
#include "LogWriter.h"
#include "RaceTables.h"
#include "SharedData.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTextStream>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

#include <functional>

namespace {

using bench::spin;
using bench::waitUntil;

constexpr int ConsoleCount = 10;
constexpr int IntervalMs = 50; // 20 notifications a second


QString address(int i)
{
    return QStringLiteral("AA:BB:CC:DD:EE:%1").arg(i + 1, 2, 16, QLatin1Char('0')).toUpper();
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double processCpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // Fields after the command name in parentheses; utime and stime are the 14th and 15th.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    return (fields[11].toDouble() + fields[12].toDouble()) / double(sysconf(_SC_CLK_TCK));
}

quint64 framesSent(BleTestRig& rig)
{
    quint64 sum = 0;
    for (int i = 0; i < ConsoleCount; ++i)
        sum += rig.stats(address(i)).value(QStringLiteral("framesSent")).toULongLong();
    return sum;
}

quint64 framesParsed()
{
    quint64 sum = 0;
    for (const KayakConsole& console : std::as_const(consoles))
        sum += console.framesParsed;
    return sum;
}

quint64 packetLogLines()
{
    QFile file(LogWriter::logFolder() + QStringLiteral("/packet.log"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    quint64 lines = 0;
    while (!file.atEnd()) {
        if (file.readLine().contains(" | packet: "))
            ++lines;
    }
    return lines;
}

void setStreaming(BleTestRig& rig, bool on)
{
    for (int i = 0; i < ConsoleCount; ++i)
        rig.setStreaming(address(i), on);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 60;
    QTextStream out(stdout);

    BleTestRig rig;
    if (!rig.start()) {
        out << "could not start the simulated consoles\n";
        return 2;
    }
    SharedData::buildTables();
    QFile::remove(LogWriter::logFolder() + QStringLiteral("/packet.log"));
    for (int i = 0; i < ConsoleCount; ++i) {
        const QString name = QStringLiteral("KAYAK %1").arg(i + 1);
        rig.addConsole({{"address", address(i)},
                        {"name", name},
                        {"intervalMs", IntervalMs},
                        {"startDistance", 1000000}});
        global_data[i + 1][ColMac] = name;
    }

    BluetoothManager manager;
    manager.startScan();
    const bool ready = waitUntil(
        [&] {
            for (int i = 0; i < ConsoleCount; ++i) {
                if (global_data[i + 1][ColActive] != SlotConnected ||
                    !rig.stats(address(i)).value(QStringLiteral("notifying")).toBool())
                    return false;
            }
            return true;
        },
        40000);
    if (!ready) {
        out << "the consoles did not all connect\n";
        return 2;
    }

    // Counting starts from a still stream.
    setStreaming(rig, false);
    spin(500);
    const quint64 sent0 = framesSent(rig);
    const quint64 parsed0 = framesParsed();
    const quint64 lines0 = packetLogLines();
    const double cpu0 = cpuSeconds();
    const double simCpu0 = processCpuSeconds(rig.simulatorPid());
    QElapsedTimer wall;
    wall.start();

    setStreaming(rig, true);
    spin(seconds * 1000);
    setStreaming(rig, false);
    const quint64 sent = framesSent(rig) - sent0;
    // Let the frames in flight arrive.
    waitUntil([&] { return framesParsed() - parsed0 >= sent; }, 5000);
    spin(200);
    const double cpu = cpuSeconds() - cpu0;
    const double simCpu = processCpuSeconds(rig.simulatorPid()) - simCpu0;
    const double wallSeconds = wall.elapsed() / 1000.0;
    const quint64 parsed = framesParsed() - parsed0;
    const quint64 lines = packetLogLines() - lines0;

    out << "consoles:              " << ConsoleCount << " x " << 1000 / IntervalMs
        << " notifications/s for " << seconds << " s\n";
    out << "frames sent:           " << sent << "\n";
    out << "frames parsed:         " << parsed << "\n";
    out << "packet-log lines:      " << lines << "\n";
    out << "program CPU time:      " << QString::number(cpu, 'f', 2) << " s ("
        << QString::number(100.0 * cpu / wallSeconds, 'f', 1) << " % of one core over "
        << QString::number(wallSeconds, 'f', 1) << " s)\n";
    out << "simulator CPU time:    " << QString::number(simCpu, 'f', 2) << " s\n";
    const bool none_lost = sent > 0 && sent == parsed && parsed == lines;
    out << "result:                " << (none_lost ? "none lost" : "FRAMES LOST") << "\n";
    out.flush();

    manager.disconnectAllDevices();
    spin(300);
    rig.stop();
    return none_lost ? 0 : 1;
}
