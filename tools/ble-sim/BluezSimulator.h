#pragma once

#include "DbusObjectTable.h"

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QMap>
#include <QSet>
#include <QTimer>

class SimConsole;

// A stand-in for bluetoothd on a private system bus: one adapter, the consoles added through
// the control interface, and org.freedesktop.DBus.ObjectManager/Properties on all of them.
// Serves every path below "/" by hand, so that each property has the exact D-Bus type BlueZ
// gives it; the control interface com.rivanta.BleSim1 lives at /com/rivanta/BleSim.
class BluezSimulator : public QDBusVirtualObject
{
    Q_OBJECT

public:
    static constexpr const char* AdapterPath = "/org/bluez/hci0";
    static constexpr const char* AdapterAddress = "00:11:22:33:44:55";
    static constexpr const char* ControlPath = "/com/rivanta/BleSim";
    static constexpr const char* ControlInterface = "com.rivanta.BleSim1";
    static constexpr const char* ControlService = "com.rivanta.BleSim";

    explicit BluezSimulator(const QDBusConnection& connection, QObject* parent = nullptr);
    ~BluezSimulator() override;

    // Registers "/" and owns org.bluez, then com.rivanta.BleSim (the name users wait for).
    bool start(QString* error);

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    // org.freedesktop.DBus.ObjectManager and org.freedesktop.DBus.Properties
    void handleObjectManager(const QDBusMessage& message);
    void handleProperties(const QDBusMessage& message);
    // org.bluez.Adapter1
    void handleAdapter(const QDBusMessage& message);
    // com.rivanta.BleSim1
    void handleControl(const QDBusMessage& message);

    void controlAddConsole(const QDBusMessage& message);
    void controlSetAdapter(const QDBusMessage& message);
    void reset();

    void exportAdapter();
    void removeAdapter();
    void setPowered(bool powered);
    void setAdapterProperty(const QString& name, const QVariant& value);
    void setDiscovering(bool discovering);
    SimConsole* consoleForPath(const QString& path) const;
    SimConsole* consoleForAddress(const QString& address) const;

    void reply(const QDBusMessage& message, const QVariantList& arguments = {});
    void replyError(const QDBusMessage& message, const QString& name, const QString& text);

    QDBusConnection m_connection;
    DbusObjectTable m_table;
    QMap<QString, SimConsole*> m_consoles; // by upper-case address
    // What a removed console went through stays readable until its address is added again.
    QMap<QString, QStringList> m_removedWrites;
    QMap<QString, QVariantMap> m_removedStats;

    bool m_adapterPresent = true;
    bool m_powered = true;
    bool m_filterFails = false;
    bool m_startFails = false;
    bool m_failDuringScan = false;
    QSet<QString> m_discoveryClients;
    QTimer m_scanFailureTimer;
    bool m_trace = false; // RIVANTA_BLE_SIM_TRACE: every call and answer on stderr
};
