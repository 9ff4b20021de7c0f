#pragma once

#include "ConsoleSettings.h"
#include "DbusTypes.h"
#include "RowerStream.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>

#include <memory>

class DbusObjectTable;

// One simulated console: its org.bluez.Device1 object, the GATT objects it exports while
// connected, the Rower Data stream and the fault modes of its settings. It also keeps what the
// program did to it (writes, connects) for the control interface.
class SimConsole : public QObject
{
    Q_OBJECT

public:
    SimConsole(const ConsoleSettings& settings, const QString& adapterPath, DbusObjectTable* table,
               const QDBusConnection& connection, QObject* parent = nullptr);
    ~SimConsole() override;

    const ConsoleSettings& settings() const { return m_settings; }
    QString address() const { return m_settings.address; }
    QString devicePath() const { return m_devicePath; }
    bool isExported() const { return m_exported; }
    bool isConnected() const { return m_connected; }
    bool isNotifying() const { return m_notifying; }
    bool owns(const QString& path) const;

    // Device object on the bus or not; taking it away ends a link without announcing it, so the
    // program sees the device vanish rather than disconnect.
    void exportDevice();
    void withdraw();

    bool isVisible() const { return m_visible; }
    void setVisible(bool visible);
    // Called when a discovery starts: a visible console not on the bus (one that shows up late,
    // or one the adapter forgot) appears, at once or after its delay.
    void discoveryStarted();

    // The console closes the link on its own.
    bool dropLink();
    bool sendRaw(const QByteArray& bytes);
    void setStreaming(bool on);
    void setRowing(bool rowing);
    // The next count requests to switch the Rower Data notifications on fail.
    void refuseNotify(quint32 count) { m_notifyRefusals = count; }
    // The adapter lost power: every link ends.
    void adapterPoweredOff();

    // Method calls on the device and its GATT objects; true when the call was answered.
    bool handleCall(const QDBusMessage& message, bool adapterPowered);

    QStringList writes() const { return m_writes; }
    QVariantMap stats() const;

private:
    void handleConnect(const QDBusMessage& message, bool adapterPowered);
    void handleDisconnect(const QDBusMessage& message);
    void handleReadValue(const QDBusMessage& message);
    void handleWriteValue(const QDBusMessage& message);
    void handleStartNotify(const QDBusMessage& message);
    void handleStopNotify(const QDBusMessage& message);

    void reply(const QDBusMessage& message, const QVariantList& arguments = {});
    void replyError(const QDBusMessage& message, const QString& name, const QString& text);

    InterfaceList deviceInterfaces() const;
    void exportGatt();
    void setConnected(bool connected);
    void endLink(bool announce);
    void stopNotifying();
    void sendNotification(const QByteArray& bytes);

    // QTimer m_frameTimer
    void onFrameTimeout();
    // QTimer m_resolveTimer
    void onResolveTimeout();

    ConsoleSettings m_settings;
    QString m_adapterPath;
    DbusObjectTable* m_table = nullptr;
    QDBusConnection m_connection;

    QString m_devicePath;
    QString m_servicePath;
    QString m_rowerPath;
    QString m_cccdPath;
    QString m_resistancePath;

    bool m_visible = true;
    bool m_exported = false;
    bool m_connected = false;
    bool m_servicesResolved = false;
    bool m_notifying = false;
    bool m_streaming = true;
    bool m_connectPending = false; // a Connect that is never answered
    quint32 m_notifyRefusals = 0;
    quint64 m_linkGeneration = 0;

    std::unique_ptr<RowerStream> m_stream;
    QTimer m_frameTimer;
    QTimer m_resolveTimer;
    QTimer m_dropTimer;
    QTimer m_appearTimer;

    QStringList m_writes;
    quint32 m_connects = 0;
    quint32 m_disconnects = 0;
    quint64 m_notificationsSent = 0;
    quint64 m_bytesSent = 0;
};
