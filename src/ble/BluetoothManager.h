#pragma once

#include "KayakConsole.h"

#include <QBluetoothDeviceDiscoveryAgent>
#include <QBluetoothDeviceInfo>
#include <QBluetoothUuid>
#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QLowEnergyCharacteristic>
#include <QLowEnergyController>
#include <QLowEnergyDescriptor>
#include <QLowEnergyService>
#include <QObject>
#include <QString>
#include <QVariantMap>

class ConsoleLookup;

// The Fitness Machine service, its Rower Data and resistance characteristics, and the
// descriptor that switches notifications on.
extern const QBluetoothUuid FTMS_SERVICE_UUID;
extern const QBluetoothUuid ROWER_DATA_UUID;
extern const QBluetoothUuid RESISTANCE_UUID;
extern const QBluetoothUuid CCCD_UUID;

// Failed connection attempts per device address text, shared by every manager. A successful
// connection sets it back to 0.
extern QHash<QString, int> retryCounts;

// The console link: finds the consoles configured for the ten slots, connects them with
// staggered starts and bounded retries, and turns their Rower Data into live readings.
// Every instance works on the one process-wide list `consoles`.
class BluetoothManager : public QObject
{
    Q_OBJECT

public:
    explicit BluetoothManager(QObject* parent = nullptr);
    ~BluetoothManager() override;

    // Reads one 20-byte frame into the record; false, with nothing changed, for a short frame.
    static bool parseConsolePacket(KayakConsole& console, const QByteArray& frame);

private slots:
    void deviceDiscovered(const QBluetoothDeviceInfo& device);
    void scanFinished();
    void characteristicChanged(const QLowEnergyCharacteristic& c, const QByteArray& value);

public:
    Q_INVOKABLE void scanConsoles();
    Q_INVOKABLE void startScan();
    Q_INVOKABLE void setResistance(int consoleIndex, int level);
    Q_INVOKABLE QVariantMap getMetrics(int consoleIndex);
    Q_INVOKABLE void connectRetry(int index);
    Q_INVOKABLE void disconnectConsole(int index);
    Q_INVOKABLE void disconnectAllDevices();

private:
    void scheduleConnectAttempts();
    void connectConsole(KayakConsole* console);
    void setupFtmsService(KayakConsole* console);
    void rebootBluetoothAdapter();

    static bool lowEnergySupported();
    // Ends a console's link: the service and the controller stop reaching their manager.
    static void tearDownLink(KayakConsole& console);
    // Drops only the controller (and the service that came with it) before a reconnect.
    static void dropController(KayakConsole& console);
    void appendPacketLog(const KayakConsole& console, const QByteArray& frame) const;
    // Stops a search agent, cuts it off from this manager and lets it go.
    void releaseAgent(QBluetoothDeviceDiscoveryAgent*& agent);
    void removeGivenUpRecords(int slot);
    // One failed connection attempt: retried after the back-off, or the console is given up.
    void failAttempt(KayakConsole& console, QLowEnergyController::Error error);
    // The Rower Data notifications cannot be switched on: the slot is not connected.
    void failNotifications(KayakConsole& console);
    // The console's link ends and its slot shows failed; Retry may replace the record.
    void giveUp(KayakConsole& console);

    // scanAgent
    void onScanError(QBluetoothDeviceDiscoveryAgent::Error error);

    // QLowEnergyController of a console
    void onControllerConnected(int id, QLowEnergyController* controller);
    void onControllerError(int id, QLowEnergyController* controller,
                           QLowEnergyController::Error error);
    void onControllerDisconnected(int id, QLowEnergyController* controller);
    void onServiceDiscovered(int id, QLowEnergyController* controller, const QBluetoothUuid& uuid);
    void onDiscoveryFinished(int id, QLowEnergyController* controller);

    // QLowEnergyService (FTMS) of a console
    void onFtmsStateChanged(int id, QLowEnergyService* service,
                            QLowEnergyService::ServiceState state);
    void onFtmsError(int id, QLowEnergyService* service, QLowEnergyService::ServiceError error);
    void onFtmsDescriptorWritten(int id, QLowEnergyService* service,
                                 const QLowEnergyDescriptor& descriptor);

    // Single-shot timers of a console's link
    void onConnectTimer(int id);
    void onConnectTimeoutTimer(int id, int attempt);
    void onSetUpLimitTimer(int id, int phase);
    void onDiscoverServicesTimer(int id, QLowEnergyController* controller);
    void onRetryTimer(int id);
    void onSetupTimer(int id, QLowEnergyService* service);

    // lookup: a single-slot search took its console
    void onConsoleTaken(int id);
    void onRetryConnectTimer(int id);

    QBluetoothDeviceDiscoveryAgent* scanAgent = nullptr;
    // The single-slot retry and the address finder, one search at a time.
    ConsoleLookup* lookup = nullptr;
    int expectedCount = -1;
    QElapsedTimer scanTimer;
    bool connectScheduled = false;

public:
    // Lets a page that is released while the program runs destroy its manager without
    // dropping any console link: links are shared by every page. Only for a manager that holds
    // no live link of its own; destruction at exit still drops every link.
    Q_INVOKABLE void keepLinksOnDestruction() { keepsLinks = true; }

private:
    bool keepsLinks = false;
};
