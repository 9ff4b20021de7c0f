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
    // Both children get SIGKILL when the thread that called start() ends: call it from the main
    // thread.
    bool start();
    void stop(); // ends exactly the processes it started (also in the destructor)
    bool isRunning() const;

    bool reset(); // Reset(): fresh state between test cases (bus and simulator stay)

    // Adds a console; its object path (/org/bluez/hci0/dev_AA_BB_...), empty on failure (an
    // unknown key, a bad value, an address already in use). Keys, all optional but "address":
    //   "address" s, stored upper case      "name" s, the advertised name ("" = unnamed)
    //   "advertiseFtms" b = true            "ftmsService" b = true (GATT service 0x1826)
    //   "notify" b = true (on 0x2AD1)       "cccd" b = true (0x2902 of 0x2AD1)
    //   "resistance" b = true (0x2AD6)      "chunking" s = "20" | "12+8" | "25" | "40"
    //   "startDistance" u = 2000 m, counting down at "speed" d = 4.0 m/s, never below 0
    //   "strokeRate" u = 30 per min         "strokeCount" u = 0, +1 every 2 s of rowing
    //   "intervalMs" u = 100 (one frame per interval while notifications are on)
    //   "connectFailures" u = 0 (the first N Connect calls fail)
    //   "connectMode" s = "ok" | "fail" | "drop-before-resolve" | "drop-during-discovery" |
    //                     "no-answer"
    //   "dropAfterMs" u = 0 (> 0: the console closes the link that long after notifications
    //                        start)
    //   "startNotifyFails" b = false
    //   "cccdReadFails" b = false (Qt's service discovery then never ends)
    //   "visible" b = true (false: unseen until setVisible)
    //   "discoverDelayMs" u = 0 (> 0: appears that long after a scan starts)
    // Numbers may be given as any integer or floating type.
    QString addConsole(const QVariantMap& spec);
    bool setVisible(const QString& address, bool visible);
    bool removeConsole(const QString& address);
    bool dropLink(const QString& address);
    bool sendRaw(const QString& address, const QByteArray& bytes);
    bool setStreaming(const QString& address, bool on);
    // The console's next count requests to switch notifications on fail.
    bool refuseNotify(const QString& address, uint count);
    // "powered" b, "present" b (false removes the adapter and its devices), "filterFails" b,
    // "startFails" b, "failDuringScan" b (the adapter vanishes 500 ms into the next scan).
    bool setAdapter(const QVariantMap& props);
    // What the program did, in order: "2ad6 command 05" / "2ad6 request 05" (write type, bytes
    // as lower-case hex), "2902 start-notify" / "2902 stop-notify". Kept after removeConsole.
    QStringList writes(const QString& address);
    // "connects", "disconnects" (calls of the program), "framesSent" (whole streamed frames),
    // "notificationsSent", "bytesSent" (these two count sendRaw too), all u; "connected",
    // "notifying" (b). Empty for an unknown console.
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
