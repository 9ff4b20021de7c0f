#include "BleTestRig.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <unistd.h>
#if defined(Q_OS_LINUX)
#include <sys/prctl.h>
#endif

namespace {

const QString controlService = QStringLiteral("com.rivanta.BleSim");
const QString controlPath = QStringLiteral("/com/rivanta/BleSim");
const QString controlInterface = QStringLiteral("com.rivanta.BleSim1");

constexpr int startTimeoutMs = 10000;
constexpr int callTimeoutMs = 5000;
constexpr int stopTimeoutMs = 3000;

// Pid of the test process, read by the children between fork and exec.
pid_t rigPid = 0;

// Runs in the child before exec: it gets SIGKILL when the test process ends, however it ends.
// Only Linux offers that; elsewhere a child outlives a test process that is killed outright.
void dieWithParent()
{
#if defined(Q_OS_LINUX)
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
    if (::getppid() != rigPid)
        ::_exit(1); // the test process is already gone
}

QString busConfig(const QString& socketPath)
{
    // Everything is allowed: the bus belongs to one test process. Comments in this file must
    // not contain two dashes in a row.
    return QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus "
                          "Configuration 1.0//EN\"\n"
                          " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                          "<busconfig>\n"
                          "  <type>system</type>\n"
                          "  <listen>unix:path=%1</listen>\n"
                          "  <auth>EXTERNAL</auth>\n"
                          "  <policy context=\"default\">\n"
                          "    <allow user=\"*\"/>\n"
                          "    <allow own=\"*\"/>\n"
                          "    <allow send_type=\"*\"/>\n"
                          "    <allow receive_type=\"*\"/>\n"
                          "  </policy>\n"
                          "</busconfig>\n")
        .arg(socketPath.toHtmlEscaped());
}

} // namespace

BleTestRig::BleTestRig(QObject* parent) : QObject(parent) {}

BleTestRig::~BleTestRig()
{
    stop();
}

QString BleTestRig::simulatorPath()
{
    const QString fromEnvironment = qEnvironmentVariable("RIVANTA_BLE_SIM");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QStringLiteral(RIVANTA_BLE_SIM_PATH);
}

qint64 BleTestRig::busPid() const
{
    return m_bus ? m_bus->processId() : 0;
}

qint64 BleTestRig::simulatorPid() const
{
    return m_simulator ? m_simulator->processId() : 0;
}

bool BleTestRig::isRunning() const
{
    return m_simulator && m_simulator->state() == QProcess::Running && m_bus &&
           m_bus->state() == QProcess::Running;
}

bool BleTestRig::start()
{
    if (m_bus) {
        qWarning("BleTestRig: start() called twice");
        return false;
    }
    rigPid = ::getpid();
    // A socket path must fit in 108 bytes: a long TMPDIR gives way to /tmp.
    QString base = QDir::tempPath();
    if (base.size() > 60)
        base = QStringLiteral("/tmp");
    m_dir = std::make_unique<QTemporaryDir>(base + QStringLiteral("/blerig-XXXXXX"));
    if (!m_dir->isValid()) {
        qWarning("BleTestRig: cannot create a temporary folder: %s",
                 qPrintable(m_dir->errorString()));
        return false;
    }
    if (!startBus() || !startSimulator() || !waitForSimulator()) {
        stop();
        return false;
    }
    return true;
}

bool BleTestRig::startBus()
{
    const QString socketPath = m_dir->filePath(QStringLiteral("bus"));
    const QString configPath = m_dir->filePath(QStringLiteral("bus.conf"));
    QFile config(configPath);
    if (!config.open(QIODevice::WriteOnly | QIODevice::Text) ||
        config.write(busConfig(socketPath).toUtf8()) < 0) {
        qWarning("BleTestRig: cannot write %s", qPrintable(configPath));
        return false;
    }
    config.close();

    m_bus = std::make_unique<QProcess>();
    m_bus->setChildProcessModifier(dieWithParent);
    m_bus->setProcessChannelMode(QProcess::SeparateChannels);
    m_bus->setReadChannel(QProcess::StandardOutput);
    // The bus complains about file limits it may not raise; only its address is of interest.
    m_bus->setStandardErrorFile(QProcess::nullDevice());
    m_bus->start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--config-file=") + configPath, QStringLiteral("--nofork"),
                  QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
    if (!m_bus->waitForStarted(startTimeoutMs)) {
        qWarning("BleTestRig: cannot start dbus-daemon: %s", qPrintable(m_bus->errorString()));
        return false;
    }
    // dbus-daemon prints its address once it listens.
    QDeadlineTimer deadline(startTimeoutMs);
    while (!m_bus->canReadLine()) {
        if (deadline.hasExpired() || !m_bus->waitForReadyRead(int(deadline.remainingTime()))) {
            qWarning("BleTestRig: dbus-daemon did not report its address");
            return false;
        }
    }
    m_bus->readLine();
    m_busAddress = QStringLiteral("unix:path=") + socketPath;

    qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_busAddress.toLocal8Bit());
    qputenv("BLUETOOTH_FORCE_DBUS_LE_VERSION", "5.66");
    return true;
}

bool BleTestRig::startSimulator()
{
    const QString program = simulatorPath();
    m_simulator = std::make_unique<QProcess>();
    m_simulator->setChildProcessModifier(dieWithParent);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_busAddress);
    m_simulator->setProcessEnvironment(environment);
    m_simulator->setProcessChannelMode(QProcess::ForwardedChannels);
    m_simulator->start(program, {});
    if (!m_simulator->waitForStarted(startTimeoutMs)) {
        qWarning("BleTestRig: cannot start %s: %s", qPrintable(program),
                 qPrintable(m_simulator->errorString()));
        return false;
    }
    return true;
}

bool BleTestRig::waitForSimulator()
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        qWarning("BleTestRig: cannot connect to the private bus %s: %s", qPrintable(m_busAddress),
                 qPrintable(bus.lastError().message()));
        return false;
    }
    QDeadlineTimer deadline(startTimeoutMs);
    while (!bus.interface()->isServiceRegistered(controlService)) {
        if (m_simulator->state() != QProcess::Running) {
            qWarning("BleTestRig: the simulator ended before it served the bus (exit code %d)",
                     m_simulator->exitCode());
            return false;
        }
        if (deadline.hasExpired()) {
            qWarning("BleTestRig: the simulator did not take %s in time",
                     qPrintable(controlService));
            return false;
        }
        m_simulator->waitForFinished(20);
    }
    return true;
}

void BleTestRig::endProcess(std::unique_ptr<QProcess>& process)
{
    if (!process)
        return;
    if (process->state() != QProcess::NotRunning) {
        process->terminate();
        if (!process->waitForFinished(stopTimeoutMs)) {
            process->kill();
            process->waitForFinished(stopTimeoutMs);
        }
    }
    process.reset();
}

void BleTestRig::stop()
{
    endProcess(m_simulator);
    endProcess(m_bus);
    m_dir.reset();
}

QDBusMessage BleTestRig::call(const QString& method, const QVariantList& arguments)
{
    if (!m_simulator) {
        qWarning("BleTestRig: %s before start()", qPrintable(method));
        return {};
    }
    QDBusMessage message =
        QDBusMessage::createMethodCall(controlService, controlPath, controlInterface, method);
    message.setArguments(arguments);
    const QDBusMessage reply =
        QDBusConnection::systemBus().call(message, QDBus::Block, callTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        qWarning("BleTestRig: %s failed: %s %s", qPrintable(method), qPrintable(reply.errorName()),
                 qPrintable(reply.errorMessage()));
        return {};
    }
    return reply;
}

bool BleTestRig::reset()
{
    const bool done = call(QStringLiteral("Reset"), {}).type() == QDBusMessage::ReplyMessage;
    // Signals of the previous case (a scan's Discovering=false above all) have arrived before
    // the answer; delivered late, they would reach the next case's objects. Qt's discovery
    // manager, for one, takes a stale Discovering=false for an interrupted new scan.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    return done;
}

QString BleTestRig::addConsole(const QVariantMap& spec)
{
    const QDBusMessage reply = call(QStringLiteral("AddConsole"), {spec});
    return reply.arguments().value(0).value<QDBusObjectPath>().path();
}

bool BleTestRig::setVisible(const QString& address, bool visible)
{
    return call(QStringLiteral("SetVisible"), {address, visible}).type() ==
           QDBusMessage::ReplyMessage;
}

bool BleTestRig::removeConsole(const QString& address)
{
    return call(QStringLiteral("RemoveConsole"), {address}).type() == QDBusMessage::ReplyMessage;
}

bool BleTestRig::dropLink(const QString& address)
{
    return call(QStringLiteral("DropLink"), {address}).type() == QDBusMessage::ReplyMessage;
}

bool BleTestRig::sendRaw(const QString& address, const QByteArray& bytes)
{
    return call(QStringLiteral("SendRaw"), {address, bytes}).arguments().value(0).toBool();
}

bool BleTestRig::setStreaming(const QString& address, bool on)
{
    return call(QStringLiteral("SetStreaming"), {address, on}).type() == QDBusMessage::ReplyMessage;
}

bool BleTestRig::refuseNotify(const QString& address, uint count)
{
    return call(QStringLiteral("RefuseNotify"), {address, count}).type() ==
           QDBusMessage::ReplyMessage;
}

bool BleTestRig::setAdapter(const QVariantMap& props)
{
    return call(QStringLiteral("SetAdapter"), {props}).type() == QDBusMessage::ReplyMessage;
}

QStringList BleTestRig::writes(const QString& address)
{
    return call(QStringLiteral("Writes"), {address}).arguments().value(0).toStringList();
}

QVariantMap BleTestRig::stats(const QString& address)
{
    const QVariant value = call(QStringLiteral("Stats"), {address}).arguments().value(0);
    if (value.canConvert<QDBusArgument>())
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value.toMap();
}
