#include "BluetoothManager.h"

#include "ConsoleLookup.h"
#include "ConsoleMatcher.h"
#include "LogWriter.h"
#include "RaceTables.h"
#include "SharedData.h"
#include "SlotTable.h"

#include <QDebug>
#include <QLowEnergyDescriptor>
#include <QMetaEnum>
#include <QTimer>
#include <QtEndian>

#include <algorithm>
#include <iterator>

const QBluetoothUuid
    FTMS_SERVICE_UUID(QUuid::fromString(QLatin1String("00001826-0000-1000-8000-00805f9b34fb")));
const QBluetoothUuid
    ROWER_DATA_UUID(QUuid::fromString(QLatin1String("00002AD1-0000-1000-8000-00805f9b34fb")));
const QBluetoothUuid
    RESISTANCE_UUID(QUuid::fromString(QLatin1String("00002AD6-0000-1000-8000-00805f9b34fb")));
const QBluetoothUuid
    CCCD_UUID(QUuid::fromString(QLatin1String("00002902-0000-1000-8000-00805f9b34fb")));

QHash<QString, int> retryCounts;

namespace {

constexpr int FrameSize = 20;
constexpr int MaxRetries = 5;
constexpr int ScanTimeoutMs = 10000;
constexpr int StaggerMs = 1000;
constexpr int DiscoverServicesDelayMs = 500;
constexpr int SetupDelayMs = 100;
constexpr int RetryConnectDelayMs = 1000;
constexpr int ControllerCloseTimeoutMs = 3000;
// A Connect that never answers would otherwise hold its slot until the 25 s D-Bus timeout, six
// times over, and a service discovery that never ends would hold it for ever. A console in reach
// is connected and its service discovered well within this.
constexpr int ConnectTimeoutMs = 5000;
// A console that does not stream within this of its first attempt is given up, however its
// attempts fail: with the 10 s search and up to 9 s of staggered starts before it, its slot on
// the connection page settles within 40 s of the page opening.
constexpr int SetUpLimitMs = 20000;
// Bytes left over from earlier notifications are dropped when the next one comes this much
// later than the console's usual gap between notifications, and at least this late.
constexpr int StaleGapFactor = 4;
constexpr int StaleFloorMs = 1000;

QString& slotState(int slot)
{
    return SlotTable::state(slot);
}

QString configuredText(int slot)
{
    return SlotTable::configuredText(slot);
}

bool isSlot(int index)
{
    return SlotTable::isSlot(index);
}

template <typename Enum> const char* enumKey(Enum value)
{
    const char* key = QMetaEnum::fromType<Enum>().valueToKey(int(value));
    return key ? key : "";
}

const char* controllerErrorName(QLowEnergyController::Error error)
{
    switch (error) {
    case QLowEnergyController::UnknownError:
        return "UnknownError";
    case QLowEnergyController::ConnectionError:
        return "ConnectionError";
    case QLowEnergyController::RemoteHostClosedError:
        return "RemoteHostClosedError (device closed connection)";
    default:
        return nullptr;
    }
}

// A race page holding its consoles reads this one.
bool servesRaceHold(const KayakConsole& console)
{
    if (!race_consoles_held)
        return false;
    for (int j = 0; j < consoles.size(); ++j) {
        if (consoles[j].id == console.id)
            return std::find(std::begin(console_indexes), std::end(console_indexes), j) !=
                   std::end(console_indexes);
    }
    return false;
}

// The clock of the notification gaps.
qint64 linkClockMs()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

// Keeps the frame boundaries of a console's stream when a notification was damaged: a
// notification of whole frames starts on a boundary, and bytes left waiting much longer than
// the console's gap between notifications belong to no frame that is still coming.
void resynchronise(KayakConsole& console, const QByteArray& value)
{
    const qint64 now = linkClockMs();
    if (!value.isEmpty() && value.size() % FrameSize == 0) {
        console.rxBuffer.clear();
    } else if (!console.rxBuffer.isEmpty() && console.lastNotifyMs >= 0 &&
               console.notifyIntervalMs > 0) {
        const double limit =
            std::max<double>(StaleFloorMs, StaleGapFactor * console.notifyIntervalMs);
        if (now - console.lastNotifyMs > limit)
            console.rxBuffer.clear();
    }
    if (console.lastNotifyMs >= 0) {
        const double gap = double(now - console.lastNotifyMs);
        // Each new gap weighs one eighth, so that one pause does not make the average.
        console.notifyIntervalMs =
            console.notifyIntervalMs > 0
                ? console.notifyIntervalMs + (gap - console.notifyIntervalMs) / 8
                : gap;
    }
    console.lastNotifyMs = now;
}

int retryDelay(QLowEnergyController::Error error, int attempt)
{
    if (error == QLowEnergyController::RemoteHostClosedError)
        return std::min(200 + 200 * attempt, 1200);
    return std::min(100 * attempt, 500);
}

} // namespace

BluetoothManager::BluetoothManager(QObject* parent)
    : QObject(parent), lookup(new ConsoleLookup(this))
{
    // The slot table is normally built by the race data object at start-up; a manager used
    // without it must still find its rows.
    SharedData::buildTables();
    connect(lookup, &ConsoleLookup::consoleTaken, this, &BluetoothManager::onConsoleTaken);
}

BluetoothManager::~BluetoothManager()
{
    if (!keepsLinks)
        disconnectAllDevices();
    releaseAgent(scanAgent);
}

bool BluetoothManager::lowEnergySupported()
{
    return QBluetoothDeviceDiscoveryAgent::supportedDiscoveryMethods().testFlag(
        QBluetoothDeviceDiscoveryAgent::LowEnergyMethod);
}

// ---------------------------------------------------------------------------------------------
// Teardown

void BluetoothManager::releaseAgent(QBluetoothDeviceDiscoveryAgent*& agent)
{
    if (!agent)
        return;
    agent->disconnect(this);
    if (agent->isActive())
        agent->stop();
    agent->deleteLater();
    agent = nullptr;
}

void BluetoothManager::tearDownLink(KayakConsole& console)
{
    // Every manager works on the shared list, so the link may belong to another manager: its
    // objects are cut off from the manager that made them (their parent).
    if (console.service) {
        QLowEnergyService* service = console.service;
        console.service = nullptr;
        if (QObject* owner = service->parent())
            service->disconnect(owner);
        // Every link makes its own service object: the old ones would otherwise stay with their
        // manager, which lives as long as its page, one for each reconnect.
        service->deleteLater();
    }
    if (console.controller) {
        QLowEnergyController* controller = console.controller;
        console.controller = nullptr;
        if (QObject* owner = controller->parent())
            controller->disconnect(owner);
        if (controller->state() == QLowEnergyController::UnconnectedState) {
            controller->deleteLater();
        } else {
            // Deleted once the link is closed, so that BlueZ sees the disconnect through, also
            // when the manager goes first; a link that never reports its end goes after a
            // while all the same.
            controller->setParent(nullptr);
            connect(controller, &QLowEnergyController::disconnected, controller,
                    &QObject::deleteLater);
            connect(controller, &QLowEnergyController::stateChanged, controller,
                    [controller](QLowEnergyController::ControllerState state) {
                        if (state == QLowEnergyController::UnconnectedState)
                            controller->deleteLater();
                    });
            QTimer::singleShot(ControllerCloseTimeoutMs, controller, &QObject::deleteLater);
            controller->disconnectFromDevice();
        }
    }
}

void BluetoothManager::dropController(KayakConsole& console)
{
    if (!console.controller)
        return;
    qDebug() << "[BLE] Disconnecting old connected device";
    // The next connection brings its own service object; the old one must not report into the
    // record any more, so it goes with the controller.
    tearDownLink(console);
}

void BluetoothManager::disconnectAllDevices()
{
    qDebug() << "[BLE] Disconnecting old connected device";
    // The page that calls this is left but stays alive: a search of its own still running
    // would match and connect the consoles of the page opened next.
    releaseAgent(scanAgent);
    lookup->stop();
    for (KayakConsole& console : consoles)
        tearDownLink(console);
    consoles.clear();
    all_devices_connected = false;
}

void BluetoothManager::rebootBluetoothAdapter() {}

// ---------------------------------------------------------------------------------------------
// Discovery and slot matching

void BluetoothManager::startScan()
{
    if (all_devices_connected)
        return;
    if (!lowEnergySupported()) {
        const QByteArray stars = "[BLE] " + QByteArray(70, '*');
        qWarning() << stars.constData();
        qWarning() << "[BLE] Qt Bluetooth is using the DUMMY backend (non-functional).";
        qWarning() << "[BLE] On Windows, Qt 6 Bluetooth requires the WinRT backend.";
        qWarning() << "[BLE] Build this project with MSVC (Visual Studio), NOT MinGW.";
        qWarning()
            << "[BLE] MinGW has no Bluetooth backend -> dummy -> UnsupportedDiscoveryMethod.";
        qWarning() << stars.constData();
        return;
    }

    qDebug() << "[BLE] startScan: Loading configured MACs and marking slots...";
    int count = 0;
    for (int slot = 0; slot < SlotCount; ++slot) {
        const QString text = configuredText(slot);
        if (text.isEmpty()) {
            slotState(slot) = SlotNotConfigured;
        } else {
            slotState(slot) = SlotConnecting;
            ++count;
            qDebug() << "[BLE]   Slot" << slot + 1 << "configured:" << text;
        }
    }
    expectedCount = count;
    qDebug() << "[BLE] startScan: Expecting" << count << "configured device(s).";

    releaseAgent(scanAgent);
    scanAgent = new QBluetoothDeviceDiscoveryAgent(this);
    scanAgent->setLowEnergyDiscoveryTimeout(ScanTimeoutMs);
    connect(scanAgent, &QBluetoothDeviceDiscoveryAgent::deviceDiscovered, this,
            &BluetoothManager::deviceDiscovered);
    connect(scanAgent, &QBluetoothDeviceDiscoveryAgent::finished, this,
            &BluetoothManager::scanFinished);
    connect(scanAgent, &QBluetoothDeviceDiscoveryAgent::errorOccurred, this,
            &BluetoothManager::onScanError);

    // Links still alive from an earlier scan would otherwise stay connected with no record.
    for (KayakConsole& console : consoles)
        tearDownLink(console);
    consoles.clear();
    connectScheduled = false;
    scanTimer.start();

    qDebug() << "[BLE] Starting LowEnergy scan...";
    scanAgent->start(QBluetoothDeviceDiscoveryAgent::LowEnergyMethod);
}

void BluetoothManager::deviceDiscovered(const QBluetoothDeviceInfo& device)
{
    const QString name = device.name();
    const QString address = device.address().toString();
    qDebug() << "[BLE] Discovered:" << name << "|" << address
             << "| serviceUuids:" << device.serviceUuids().size()
             << "| serviceIds:" << device.serviceIds().size();

    const bool hasFtms = ConsoleMatcher::offersFtms(device);
    int slot = -1;
    for (int s = 0; s < SlotCount; ++s) {
        if (ConsoleMatcher::matchesConfiguredDevice(configuredText(s), address, name)) {
            slot = s;
            break;
        }
    }
    if (slot < 0) {
        if (hasFtms)
            qDebug() << "[BLE] Device has FTMS but no configured MAC/name match; skipping:" << name
                     << address;
        return;
    }
    for (const KayakConsole& record : std::as_const(consoles)) {
        if (ConsoleMatcher::isDuplicate(record, device, slot)) {
            qDebug() << "[BLE] Already have device, skipping duplicate:" << address;
            return;
        }
    }
    if (!hasFtms)
        qDebug() << "[BLE] No FTMS in advertisement; will connect by address and discover "
                    "services:"
                 << name << address;

    consoles.append(KayakConsole::matched(device, slot));
    qDebug() << "[BLE] Matched slot" << slot + 1 << "->" << name << address;

    if (expectedCount >= 1 && consoles.size() >= expectedCount) {
        qDebug() << "[BLE] Found all" << expectedCount << "expected. Stopping scan and connecting.";
        if (scanAgent && scanAgent->isActive())
            scanAgent->stop();
        scheduleConnectAttempts();
    }
}

void BluetoothManager::scanFinished()
{
    releaseAgent(scanAgent);
    const qint64 elapsed = scanTimer.isValid() ? scanTimer.elapsed() : -1;
    qDebug() << "[BLE] Scan finished. Matched consoles:" << consoles.size()
             << "| expected:" << expectedCount << "| scan time (start -> finished):" << elapsed
             << "ms";
    if (!consoles.isEmpty()) {
        scheduleConnectAttempts();
        return;
    }
    for (int slot = 0; slot < SlotCount; ++slot)
        slotState(slot) = configuredText(slot).isEmpty() ? SlotNotConfigured : SlotFailed;
    qWarning() << "[BLE] No devices matched. Check configured MACs/names and that devices are "
                  "powered on and discoverable.";
}

// scanAgent

void BluetoothManager::onScanError(QBluetoothDeviceDiscoveryAgent::Error error)
{
    qWarning() << "[BLE] Discovery error:" << enumKey(error);
    // A discovery that stopped on an error never reports finished: end the scan here, or the
    // configured slots would wait in "0" for ever.
    scanFinished();
}

// ---------------------------------------------------------------------------------------------
// Connection, retries and FTMS service set-up

void BluetoothManager::scheduleConnectAttempts()
{
    if (connectScheduled || consoles.isEmpty())
        return;
    connectScheduled = true;
    const qint64 elapsed = scanTimer.isValid() ? scanTimer.elapsed() : -1;
    qDebug() << "[BLE] Scan success. Total scanning time:" << elapsed << "ms. Connecting to"
             << consoles.size() << "device(s)...";

    for (int slot = 0; slot < SlotCount; ++slot)
        slotState(slot) = configuredText(slot).isEmpty() ? SlotNotConfigured : SlotFailed;

    for (int i = 0; i < consoles.size(); ++i) {
        const KayakConsole& console = consoles[i];
        if (isSlot(console.slot))
            slotState(console.slot) = SlotConnecting;
        qDebug() << "[BLE] Will connect to slot" << console.slot + 1 << ":" << console.name
                 << console.address;
        const int id = console.id;
        QTimer::singleShot(i * StaggerMs, Qt::PreciseTimer, this,
                           [this, id] { onConnectTimer(id); });
    }
}

void BluetoothManager::connectConsole(KayakConsole* console)
{
    if (!console) {
        qWarning() << "[BLE] connectConsole null";
        return;
    }
    qDebug() << "[BLE] Connecting to" << console->name << "|" << console->address;
    dropController(*console);
    // A new link starts a new stream: bytes left from a frame cut off by the old one would
    // shift every later frame.
    console->rxBuffer.clear();
    console->lastNotifyMs = -1;

    const int id = console->id;
    if (!console->settingUp) {
        console->settingUp = true;
        const int phase = ++console->phase;
        QTimer::singleShot(SetUpLimitMs, Qt::PreciseTimer, this,
                           [this, id, phase] { onSetUpLimitTimer(id, phase); });
    }
    const int attempt = ++console->attempt;
    QTimer::singleShot(ConnectTimeoutMs, Qt::PreciseTimer, this,
                       [this, id, attempt] { onConnectTimeoutTimer(id, attempt); });
    QLowEnergyController* controller =
        QLowEnergyController::createCentral(console->deviceInfo, this);
    console->controller = controller;
    connect(controller, &QLowEnergyController::connected, this,
            [this, id, controller] { onControllerConnected(id, controller); });
    connect(controller, &QLowEnergyController::errorOccurred, this,
            [this, id, controller](QLowEnergyController::Error error) {
                onControllerError(id, controller, error);
            });
    connect(controller, &QLowEnergyController::disconnected, this,
            [this, id, controller] { onControllerDisconnected(id, controller); });
    connect(controller, &QLowEnergyController::serviceDiscovered, this,
            [this, id, controller](const QBluetoothUuid& uuid) {
                onServiceDiscovered(id, controller, uuid);
            });
    connect(controller, &QLowEnergyController::discoveryFinished, this,
            [this, id, controller] { onDiscoveryFinished(id, controller); });
    // May report an error (and so drop this controller) before it returns.
    controller->connectToDevice();
}

void BluetoothManager::setupFtmsService(KayakConsole* console)
{
    QLowEnergyService* service = console->service;
    console->rowerData = service->characteristic(ROWER_DATA_UUID);
    console->resistanceChar = service->characteristic(RESISTANCE_UUID);
    if (!console->rowerData.isValid()) {
        qWarning() << "[BLE]" << console->name << "Metrics characteristic (ROWER_DATA) not found!";
        failNotifications(*console);
        return;
    }
    if (!(console->rowerData.properties() & QLowEnergyCharacteristic::Notify)) {
        qWarning() << "[BLE]" << console->name << "Notify not supported!";
        failNotifications(*console);
        return;
    }
    const QLowEnergyDescriptor cccd = console->rowerData.descriptor(CCCD_UUID);
    if (!cccd.isValid()) {
        qWarning() << "[BLE]" << console->name << "CCCD descriptor not found.";
        failNotifications(*console);
        return;
    }
    service->writeDescriptor(cccd, QByteArray::fromHex("0100"));
    qDebug() << "[BLE]" << console->name << "Notifications enabled on rower data.";
    connect(service, &QLowEnergyService::characteristicChanged, this,
            &BluetoothManager::characteristicChanged, Qt::UniqueConnection);
}

// QLowEnergyController of a console

void BluetoothManager::onControllerConnected(int id, QLowEnergyController* controller)
{
    KayakConsole* console = findConsole(id);
    if (!console || console->controller != controller)
        return;
    qDebug() << "[BLE]" << console->name << "Connected; discovering services...";
    // The failure count starts again only once the console streams: a link that keeps dropping
    // before that would otherwise be retried for ever.
    console->givenUp = false;
    QTimer::singleShot(DiscoverServicesDelayMs, Qt::PreciseTimer, this,
                       [this, id, controller] { onDiscoverServicesTimer(id, controller); });
}

void BluetoothManager::onControllerError(int id, QLowEnergyController* controller,
                                         QLowEnergyController::Error error)
{
    KayakConsole* console = findConsole(id);
    if (!console || console->controller != controller)
        return;
    if (const char* errorName = controllerErrorName(error))
        qWarning() << "[BLE]" << console->name << "Controller error:" << errorName;
    else
        qWarning() << "[BLE]" << console->name << "Controller error:" << int(error);
    failAttempt(*console, error);
}

void BluetoothManager::failAttempt(KayakConsole& console, QLowEnergyController::Error error)
{
    const int id = console.id;
    const int attempt = ++retryCounts[console.address];
    dropController(console);

    // A race holds its consoles from "Next" on: one that lost its link in the countdown or
    // mid-race is never given up, so that it races on under its own record (the race rows
    // point at it) as soon as it is back.
    if (attempt > MaxRetries && !servesRaceHold(console)) {
        qWarning() << "[BLE]" << console.name << "Failed after" << MaxRetries << "attempts.";
        giveUp(console);
        return;
    }
    const int delay = retryDelay(error, std::min(attempt, MaxRetries));
    qDebug() << "[BLE]" << console.name << "Retry" << attempt << "in" << delay << "ms";
    QTimer::singleShot(delay, Qt::PreciseTimer, this, [this, id] { onRetryTimer(id); });
}

void BluetoothManager::failNotifications(KayakConsole& console)
{
    // Connected but silent, the slot would race at 0 all race long. It fails, so that the
    // operator is offered Retry, which replaces the record.
    qWarning() << "[BLE]" << console.name << "No Rower Data notifications; slot" << console.slot + 1
               << "failed.";
    // The count of a race in progress is its number of race rows; it does not change.
    if (isSlot(console.slot) && slotState(console.slot) == SlotConnected && !all_devices_connected)
        --global_playernum;
    giveUp(console);
}

void BluetoothManager::giveUp(KayakConsole& console)
{
    tearDownLink(console);
    console.settingUp = false;
    console.ready = false;
    console.givenUp = true;
    if (isSlot(console.slot))
        slotState(console.slot) = SlotFailed;
}

void BluetoothManager::onControllerDisconnected(int id, QLowEnergyController* controller)
{
    // Our own disconnects cut the controller off first, so this is the console closing the
    // link. BlueZ reports that as a plain disconnect, never as RemoteHostClosedError; it gets
    // the same back-off as on the other platforms.
    onControllerError(id, controller, QLowEnergyController::RemoteHostClosedError);
}

void BluetoothManager::onServiceDiscovered(int id, QLowEnergyController* controller,
                                           const QBluetoothUuid& uuid)
{
    KayakConsole* console = findConsole(id);
    if (!console || console->controller != controller)
        return;
    if (uuid == FTMS_SERVICE_UUID)
        qDebug() << "[BLE]" << console->name << "FTMS service discovered";
}

void BluetoothManager::onDiscoveryFinished(int id, QLowEnergyController* controller)
{
    KayakConsole* console = findConsole(id);
    if (!console || console->controller != controller)
        return;
    QStringList uuids;
    const QList<QBluetoothUuid> services = controller->services();
    for (const QBluetoothUuid& uuid : services)
        uuids.append(uuid.toString());
    qDebug() << "[BLE]" << console->name << "Services:" << uuids;

    const QLowEnergyController::ControllerState state = controller->state();
    if (state != QLowEnergyController::DiscoveredState &&
        state != QLowEnergyController::ConnectedState) {
        qWarning() << "[BLE]" << console->name << "Controller invalid";
        return;
    }
    QLowEnergyService* service = controller->createServiceObject(FTMS_SERVICE_UUID, this);
    if (!service) {
        qWarning() << "[BLE]" << console->name
                   << "FTMS service not found on device. Ensure it is a RV5120 / FTMS rower.";
        // Nothing will ever come from this device: show the slot as failed so that the
        // operator can retry, rather than leaving it connecting for ever.
        console->givenUp = true;
        console->settingUp = false;
        if (isSlot(console->slot))
            slotState(console->slot) = SlotFailed;
        return;
    }
    console->service = service;
    connect(service, &QLowEnergyService::stateChanged, this,
            [this, id, service](QLowEnergyService::ServiceState s) {
                onFtmsStateChanged(id, service, s);
            });
    connect(
        service, &QLowEnergyService::errorOccurred, this,
        [this, id, service](QLowEnergyService::ServiceError e) { onFtmsError(id, service, e); });
    connect(service, &QLowEnergyService::descriptorWritten, this,
            [this, id, service](const QLowEnergyDescriptor& descriptor) {
                onFtmsDescriptorWritten(id, service, descriptor);
            });
    // May finish (state change included) before it returns.
    service->discoverDetails(QLowEnergyService::FullDiscovery);
}

// QLowEnergyService (FTMS) of a console

void BluetoothManager::onFtmsStateChanged(int id, QLowEnergyService* service,
                                          QLowEnergyService::ServiceState state)
{
    if (state != QLowEnergyService::RemoteServiceDiscovered)
        return;
    KayakConsole* console = findConsole(id);
    if (!console || console->service != service)
        return;
    QTimer::singleShot(SetupDelayMs, Qt::PreciseTimer, this,
                       [this, id, service] { onSetupTimer(id, service); });
    console->ready = true;
    if (isSlot(console->slot) && slotState(console->slot) != SlotConnected) {
        slotState(console->slot) = SlotConnected;
        // The count of a race in progress is its number of race rows: a console that becomes
        // ready now has no row.
        if (!all_devices_connected)
            ++global_playernum;
        qDebug() << "[BLE]" << console->name << "slot" << console->slot + 1 << "FTMS Ready!";
    }
}

void BluetoothManager::onFtmsError(int id, QLowEnergyService* service,
                                   QLowEnergyService::ServiceError error)
{
    KayakConsole* console = findConsole(id);
    if (!console || console->service != service)
        return;
    qWarning() << "[BLE]" << console->name << "FTMS service error:" << enumKey(error);
    // The only descriptor written is the one that switches the Rower Data notifications on.
    if (error != QLowEnergyService::DescriptorWriteError)
        return;
    // A race console may manage it on the next link: it is retried like a lost link.
    if (servesRaceHold(*console))
        failAttempt(*console, QLowEnergyController::RemoteHostClosedError);
    else
        failNotifications(*console);
}

void BluetoothManager::onFtmsDescriptorWritten(int id, QLowEnergyService* service,
                                               const QLowEnergyDescriptor& descriptor)
{
    KayakConsole* console = findConsole(id);
    if (!console || console->service != service || descriptor.uuid() != CCCD_UUID)
        return;
    // The console streams: its connection phase is over.
    retryCounts[console->address] = 0;
    console->settingUp = false;
}

// Single-shot timers of a console's link

void BluetoothManager::onConnectTimer(int id)
{
    if (KayakConsole* console = findConsole(id))
        connectConsole(console);
}

void BluetoothManager::onConnectTimeoutTimer(int id, int attempt)
{
    KayakConsole* console = findConsole(id);
    if (!console || console->attempt != attempt || !console->controller || !console->settingUp)
        return;
    // Connected and the service discovered: only the notifications are still to come.
    if (console->service && console->service->state() == QLowEnergyService::RemoteServiceDiscovered)
        return;
    qWarning() << "[BLE]" << console->name << "Connect timed out after" << ConnectTimeoutMs << "ms";
    failAttempt(*console, QLowEnergyController::ConnectionError);
}

void BluetoothManager::onSetUpLimitTimer(int id, int phase)
{
    KayakConsole* console = findConsole(id);
    if (!console || console->phase != phase || !console->settingUp || servesRaceHold(*console))
        return;
    qWarning() << "[BLE]" << console->name << "Not streaming after" << SetUpLimitMs
               << "ms; given up.";
    giveUp(*console);
}

void BluetoothManager::onDiscoverServicesTimer(int id, QLowEnergyController* controller)
{
    KayakConsole* console = findConsole(id);
    if (!console || !console->controller || console->controller != controller)
        return;
    if (controller->state() == QLowEnergyController::ConnectedState)
        controller->discoverServices();
}

void BluetoothManager::onRetryTimer(int id)
{
    if (KayakConsole* console = findConsole(id))
        connectConsole(console);
}

void BluetoothManager::onSetupTimer(int id, QLowEnergyService* service)
{
    KayakConsole* console = findConsole(id);
    if (console && console->service && console->service == service)
        setupFtmsService(console);
}

// ---------------------------------------------------------------------------------------------
// Rower Data frames

bool BluetoothManager::parseConsolePacket(KayakConsole& console, const QByteArray& frame)
{
    if (frame.size() < FrameSize)
        return false;
    const auto* b = reinterpret_cast<const uchar*>(frame.constData());
    console.packetFlags = qFromLittleEndian<quint16>(b);
    console.strokeRate = quint8(b[2] >> 1);
    console.strokeCount = qFromLittleEndian<quint16>(b + 3);
    console.distance = quint32(b[5]) | (quint32(b[6]) << 8) | (quint32(b[7]) << 16);
    console.rawWord8 = qFromLittleEndian<quint16>(b + 8);
    console.rawWord10 = qFromLittleEndian<quint16>(b + 10);
    console.rawWord12 = qFromLittleEndian<quint16>(b + 12);
    console.scaledWord12 = qint16(int(console.rawWord12 * 0.239));
    console.rawByte17 = b[17];
    console.rawWord18 = qFromLittleEndian<quint16>(b + 18);
    return true;
}

void BluetoothManager::appendPacketLog(const KayakConsole& console, const QByteArray& frame) const
{
    LogWriter::append(QStringLiteral("packet.log"), " | ", console.name,
                      " | Distance: ", double(console.distance),
                      " | packet: ", QString::fromLatin1(frame.toHex(' ').toUpper()));
}

void BluetoothManager::characteristicChanged(const QLowEnergyCharacteristic& c,
                                             const QByteArray& value)
{
    KayakConsole* console = nullptr;
    for (KayakConsole& record : consoles) {
        if (record.rowerData.isValid() && record.rowerData == c) {
            console = &record;
            break;
        }
    }
    if (!console) {
        qWarning() << "[BLE] Unknown console characteristic changed!";
        return;
    }
    resynchronise(*console, value);
    console->rxBuffer.append(value);
    while (console->rxBuffer.size() >= FrameSize) {
        const QByteArray frame = console->rxBuffer.left(FrameSize);
        console->rxBuffer.remove(0, FrameSize);
        parseConsolePacket(*console, frame);
        ++console->framesParsed;
        appendPacketLog(*console, frame);
    }
}

QVariantMap BluetoothManager::getMetrics(int consoleIndex)
{
    if (consoleIndex < 0 || consoleIndex >= consoles.size())
        return {};
    const KayakConsole& console = consoles[consoleIndex];
    return {{QStringLiteral("strokeRate"), int(console.strokeRate)},
            {QStringLiteral("strokeCount"), int(console.strokeCount)}};
}

void BluetoothManager::setResistance(int consoleIndex, int level)
{
    if (consoleIndex < 0 || consoleIndex >= consoles.size())
        return;
    const KayakConsole& console = consoles[consoleIndex];
    // A console whose link was dropped keeps its old characteristic but has no service.
    if (!console.resistanceChar.isValid() || !console.service) {
        qWarning() << "Cannot write resistance: invalid characteristic for" << console.name;
        return;
    }
    console.service->writeCharacteristic(console.resistanceChar, QByteArray(1, char(level & 0xFF)),
                                         QLowEnergyService::WriteWithoutResponse);
}

// ---------------------------------------------------------------------------------------------
// Single-slot retry, address finder and disconnect

void BluetoothManager::removeGivenUpRecords(int slot)
{
    // A given-up record would make the retry skip its own device as a duplicate; the retry
    // starts the slot afresh, with a fresh failure count.
    for (int j = consoles.size() - 1; j >= 0; --j) {
        KayakConsole& console = consoles[j];
        if (console.slot != slot || !console.givenUp)
            continue;
        tearDownLink(console);
        retryCounts.remove(console.address);
        consoles.removeAt(j);
    }
}

void BluetoothManager::connectRetry(int index)
{
    // Only slots have a row in the table.
    if (!isSlot(index) || !lowEnergySupported() || lookup->isSearching())
        return;
    removeGivenUpRecords(index);
    lookup->searchSlot(index);
}

void BluetoothManager::scanConsoles()
{
    if (!lowEnergySupported()) {
        // The address page waits for the end before it lets the operator go on.
        scan_console_state = ScanFinished;
        return;
    }
    lookup->findConsoles();
}

// lookup

void BluetoothManager::onConsoleTaken(int id)
{
    QTimer::singleShot(RetryConnectDelayMs, Qt::PreciseTimer, this,
                       [this, id] { onRetryConnectTimer(id); });
}

void BluetoothManager::onRetryConnectTimer(int id)
{
    if (KayakConsole* console = findConsole(id))
        connectConsole(console);
}

void BluetoothManager::disconnectConsole(int index)
{
    if (index < 0 || index >= consoles.size())
        return;
    qDebug() << "[BLE] Disconnecting console" << index;
    tearDownLink(consoles[index]);
    const int slot = consoles[index].slot;
    consoles.removeAt(index);
    if (isSlot(slot))
        slotState(slot) = SlotFailed;
    all_devices_connected = !consoles.isEmpty();
}
