#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>

class QDBusMessage;
class QProcess;
class QTemporaryDir;

// Runs the real Qt Bluetooth code of a test against simulated rowing consoles: a private
// D-Bus system bus (dbus-daemon in a temporary folder) with rivanta-ble-sim serving org.bluez
// on it. One rig per test process; both children die with the test process, also when it
// crashes.
//
//     BleTestRig rig;                       // a member of the test class
//     void initTestCase() { QVERIFY(rig.start()); }
//     void init() { QVERIFY(rig.reset()); }
//     rig.addConsole({{"address", "AA:BB:CC:DD:EE:01"}, {"name", "KAYAK 1"}});
class BleTestRig : public QObject
{
    Q_OBJECT

public:
    explicit BleTestRig(QObject* parent = nullptr);
    ~BleTestRig() override;

    // Starts a private dbus-daemon (system-type config, socket in a temp dir) and the simulator;
    // sets DBUS_SYSTEM_BUS_ADDRESS and BLUETOOTH_FORCE_DBUS_LE_VERSION in this process. Call once
    // per test process, in initTestCase(), BEFORE any Qt Bluetooth or system-bus use. Waits until
    // com.rivanta.BleSim is owned. false (and a qWarning saying why) on failure.
    bool start();
    void stop(); // ends exactly the processes it started (also in the destructor)
    bool isRunning() const;

    bool reset(); // Reset(): fresh state between test cases (bus and simulator stay)
    QString addConsole(const QVariantMap& spec); // object path, empty on failure
    bool setVisible(const QString& address, bool visible);
    bool removeConsole(const QString& address);
    bool dropLink(const QString& address);
    bool sendRaw(const QString& address, const QByteArray& bytes);
    bool setStreaming(const QString& address, bool on);
    bool setAdapter(const QVariantMap& props);
    QStringList writes(const QString& address);
    QVariantMap stats(const QString& address);

    // Process ids of the two children, 0 when not started.
    qint64 busPid() const;
    qint64 simulatorPid() const;
    // The bus address given to the program, "unix:path=..."; empty before start().
    QString busAddress() const { return m_busAddress; }
    // The simulator executable the rig starts: $RIVANTA_BLE_SIM, else the one built with the
    // tests.
    static QString simulatorPath();

private:
    bool startBus();
    bool startSimulator();
    bool waitForSimulator();
    // A blocking control call; the reply, or an invalid message (with a qWarning) on error.
    QDBusMessage call(const QString& method, const QVariantList& arguments);
    void endProcess(std::unique_ptr<QProcess>& process);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QProcess> m_bus;
    std::unique_ptr<QProcess> m_simulator;
    QString m_busAddress;
};
