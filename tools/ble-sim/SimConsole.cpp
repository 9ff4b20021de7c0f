#include "SimConsole.h"

#include "DbusObjectTable.h"

#include <QDBusArgument>
#include <QDBusObjectPath>

namespace {

const QString deviceInterface = QStringLiteral("org.bluez.Device1");
const QString serviceInterface = QStringLiteral("org.bluez.GattService1");
const QString characteristicInterface = QStringLiteral("org.bluez.GattCharacteristic1");
const QString descriptorInterface = QStringLiteral("org.bluez.GattDescriptor1");

const QString ftmsUuid = QStringLiteral("00001826-0000-1000-8000-00805f9b34fb");
const QString rowerDataUuid = QStringLiteral("00002ad1-0000-1000-8000-00805f9b34fb");
const QString resistanceUuid = QStringLiteral("00002ad6-0000-1000-8000-00805f9b34fb");
const QString cccdUuid = QStringLiteral("00002902-0000-1000-8000-00805f9b34fb");

const QString errorFailed = QStringLiteral("org.bluez.Error.Failed");
const QString errorInProgress = QStringLiteral("org.bluez.Error.InProgress");
const QString errorNotPermitted = QStringLiteral("org.bluez.Error.NotPermitted");
const QString errorNotSupported = QStringLiteral("org.bluez.Error.NotSupported");
const QString errorNotReady = QStringLiteral("org.bluez.Error.NotReady");

// The link becomes usable (ServicesResolved) this long after Connect, and a link that is lost
// before that drops this long after Connect.
constexpr int resolveDelayMs = 20;
constexpr int dropBeforeResolveMs = 50;

// FTMS service data: flags "machine available", machine type "rower".
const QByteArray ftmsServiceData = QByteArray::fromHex("011000");

QVariantMap writeOptions(const QDBusMessage& message, int index)
{
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() <= index)
        return {};
    const QVariant value = arguments.at(index);
    if (value.canConvert<QDBusArgument>())
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value.toMap();
}

} // namespace

SimConsole::SimConsole(const ConsoleSettings& settings, const QString& adapterPath,
                       DbusObjectTable* table, const QDBusConnection& connection, QObject* parent)
    : QObject(parent), m_settings(settings), m_adapterPath(adapterPath), m_table(table),
      m_connection(connection), m_visible(settings.visible),
      m_stream(std::make_unique<RowerStream>(settings))
{
    m_devicePath = m_adapterPath + QStringLiteral("/dev_") +
                   QString(m_settings.address).replace(QLatin1Char(':'), QLatin1Char('_'));
    m_servicePath = m_devicePath + QStringLiteral("/service000a");
    m_rowerPath = m_servicePath + QStringLiteral("/char000b");
    m_cccdPath = m_rowerPath + QStringLiteral("/desc000d");
    m_resistancePath = m_servicePath + QStringLiteral("/char000e");

    m_frameTimer.setInterval(int(m_settings.intervalMs));
    connect(&m_frameTimer, &QTimer::timeout, this, &SimConsole::onFrameTimeout);
    m_resolveTimer.setSingleShot(true);
    connect(&m_resolveTimer, &QTimer::timeout, this, &SimConsole::onResolveTimeout);
    m_dropTimer.setSingleShot(true);
    connect(&m_dropTimer, &QTimer::timeout, this, [this] { dropLink(); });
    m_appearTimer.setSingleShot(true);
    connect(&m_appearTimer, &QTimer::timeout, this, [this] {
        if (m_visible && !m_exported)
            exportDevice();
    });
}

SimConsole::~SimConsole() = default;

bool SimConsole::owns(const QString& path) const
{
    return path == m_devicePath || path.startsWith(m_devicePath + QLatin1Char('/'));
}

InterfaceList SimConsole::deviceInterfaces() const
{
    QVariantMap device;
    device.insert(QStringLiteral("Address"), m_settings.address);
    device.insert(QStringLiteral("AddressType"), QStringLiteral("public"));
    device.insert(QStringLiteral("Alias"), m_settings.name);
    if (!m_settings.name.isEmpty())
        device.insert(QStringLiteral("Name"), m_settings.name);
    device.insert(QStringLiteral("Adapter"), QVariant::fromValue(QDBusObjectPath(m_adapterPath)));
    device.insert(QStringLiteral("Paired"), false);
    device.insert(QStringLiteral("Trusted"), false);
    device.insert(QStringLiteral("Blocked"), false);
    device.insert(QStringLiteral("LegacyPairing"), false);
    device.insert(QStringLiteral("Connected"), m_connected);
    device.insert(QStringLiteral("ServicesResolved"), m_servicesResolved);
    device.insert(QStringLiteral("RSSI"), QVariant::fromValue<qint16>(-60));
    device.insert(QStringLiteral("UUIDs"),
                  m_settings.advertiseFtms ? QStringList{ftmsUuid} : QStringList());
    QVariantMap serviceData;
    if (m_settings.advertiseFtms)
        serviceData.insert(ftmsUuid, ftmsServiceData);
    device.insert(QStringLiteral("ServiceData"), serviceData);
    ManufacturerDataMap manufacturerData;
    manufacturerData.insert(0xFFFF, QDBusVariant(QByteArray("RV")));
    device.insert(QStringLiteral("ManufacturerData"), QVariant::fromValue(manufacturerData));
    return {{deviceInterface, device}};
}

void SimConsole::exportDevice()
{
    if (m_exported)
        return;
    m_exported = true;
    m_table->addObject(m_devicePath, deviceInterfaces());
}

void SimConsole::withdraw()
{
    m_appearTimer.stop();
    if (!m_exported)
        return;
    endLink(false);
    m_exported = false;
    m_table->removeTree(m_devicePath);
}

void SimConsole::setVisible(bool visible)
{
    m_visible = visible;
    if (visible) {
        exportDevice();
        return;
    }
    // Out of reach: a live link is lost first, then the device is forgotten.
    if (m_connected)
        dropLink();
    withdraw();
}

void SimConsole::discoveryStarted()
{
    if (!m_visible || m_exported || m_appearTimer.isActive())
        return;
    if (m_settings.discoverDelayMs == 0)
        exportDevice();
    else
        m_appearTimer.start(int(m_settings.discoverDelayMs));
}

bool SimConsole::dropLink()
{
    if (!m_connected)
        return false;
    endLink(true);
    return true;
}

bool SimConsole::sendRaw(const QByteArray& bytes)
{
    if (!m_notifying)
        return false;
    sendNotification(bytes);
    return true;
}

void SimConsole::setStreaming(bool on)
{
    m_streaming = on;
    if (on && m_notifying)
        m_frameTimer.start();
    else
        m_frameTimer.stop();
}

void SimConsole::setRowing(bool rowing)
{
    m_stream->setRowing(rowing);
}

void SimConsole::adapterPoweredOff()
{
    m_connectPending = false;
    dropLink();
}

QVariantMap SimConsole::stats() const
{
    return {
        {QStringLiteral("connects"), m_connects},
        {QStringLiteral("disconnects"), m_disconnects},
        {QStringLiteral("framesSent"), quint32(m_stream->framesSent())},
        {QStringLiteral("notificationsSent"), quint32(m_notificationsSent)},
        {QStringLiteral("bytesSent"), quint32(m_bytesSent)},
        {QStringLiteral("connected"), m_connected},
        {QStringLiteral("notifying"), m_notifying},
    };
}

bool SimConsole::handleCall(const QDBusMessage& message, bool adapterPowered)
{
    const QString path = message.path();
    const QString interface = message.interface();
    const QString member = message.member();

    if (path == m_devicePath && interface == deviceInterface) {
        if (member == QLatin1String("Connect")) {
            handleConnect(message, adapterPowered);
            return true;
        }
        if (member == QLatin1String("Disconnect")) {
            handleDisconnect(message);
            return true;
        }
        return false;
    }
    if (!m_table->contains(path))
        return false;
    if (interface == characteristicInterface || interface == descriptorInterface) {
        if (member == QLatin1String("ReadValue")) {
            handleReadValue(message);
            return true;
        }
        if (member == QLatin1String("WriteValue")) {
            handleWriteValue(message);
            return true;
        }
    }
    if (interface == characteristicInterface && member == QLatin1String("StartNotify")) {
        handleStartNotify(message);
        return true;
    }
    if (interface == characteristicInterface && member == QLatin1String("StopNotify")) {
        handleStopNotify(message);
        return true;
    }
    return false;
}

void SimConsole::handleConnect(const QDBusMessage& message, bool adapterPowered)
{
    ++m_connects;
    if (!adapterPowered) {
        replyError(message, errorNotReady, QStringLiteral("Resource Not Ready"));
        return;
    }
    if (m_connectPending || (m_connected && !m_servicesResolved)) {
        replyError(message, errorInProgress, QStringLiteral("In Progress"));
        return;
    }
    if (m_connected) {
        reply(message);
        return;
    }
    const QString& mode = m_settings.connectMode;
    if (m_connects <= m_settings.connectFailures || mode == QLatin1String("fail")) {
        replyError(message, errorFailed, QStringLiteral("le-connection-abort-by-local"));
        return;
    }
    if (mode == QLatin1String("no-answer")) {
        // The reply is never sent: the caller's D-Bus timeout ends the attempt.
        message.setDelayedReply(true);
        m_connectPending = true;
        return;
    }

    setConnected(true);
    reply(message);
    const quint64 generation = m_linkGeneration;
    if (mode == QLatin1String("drop-before-resolve")) {
        QTimer::singleShot(dropBeforeResolveMs, this, [this, generation] {
            if (m_connected && generation == m_linkGeneration)
                endLink(true);
        });
        return;
    }
    if (m_settings.ftmsService)
        exportGatt();
    m_resolveTimer.start(resolveDelayMs);
}

void SimConsole::handleDisconnect(const QDBusMessage& message)
{
    ++m_disconnects;
    m_connectPending = false;
    if (m_connected)
        endLink(true);
    reply(message);
}

void SimConsole::onResolveTimeout()
{
    if (!m_connected)
        return;
    m_servicesResolved = true;
    m_table->setProperty(m_devicePath, deviceInterface, QStringLiteral("ServicesResolved"), true);
}

void SimConsole::exportGatt()
{
    const QVariant devicePath = QVariant::fromValue(QDBusObjectPath(m_devicePath));
    const QVariant servicePath = QVariant::fromValue(QDBusObjectPath(m_servicePath));

    m_table->addObject(m_servicePath, {{serviceInterface,
                                        {{QStringLiteral("UUID"), ftmsUuid},
                                         {QStringLiteral("Primary"), true},
                                         {QStringLiteral("Device"), devicePath}}}});

    QStringList rowerFlags{QStringLiteral("read")};
    if (m_settings.notify)
        rowerFlags.append(QStringLiteral("notify"));
    m_table->addObject(m_rowerPath, {{characteristicInterface,
                                      {{QStringLiteral("UUID"), rowerDataUuid},
                                       {QStringLiteral("Service"), servicePath},
                                       {QStringLiteral("Value"), m_stream->lastFrame()},
                                       {QStringLiteral("Notifying"), false},
                                       {QStringLiteral("Flags"), rowerFlags}}}});
    if (m_settings.cccd) {
        m_table->addObject(m_cccdPath,
                           {{descriptorInterface,
                             {{QStringLiteral("UUID"), cccdUuid},
                              {QStringLiteral("Characteristic"),
                               QVariant::fromValue(QDBusObjectPath(m_rowerPath))},
                              {QStringLiteral("Value"), QByteArray::fromHex("0000")},
                              {QStringLiteral("Flags"), QStringList{QStringLiteral("read")}}}}});
    }
    if (m_settings.resistance) {
        m_table->addObject(
            m_resistancePath,
            {{characteristicInterface,
              {{QStringLiteral("UUID"), resistanceUuid},
               {QStringLiteral("Service"), servicePath},
               {QStringLiteral("Value"), QByteArray()},
               {QStringLiteral("Notifying"), false},
               {QStringLiteral("Flags"),
                QStringList{QStringLiteral("write"), QStringLiteral("write-without-response")}}}}});
    }
}

void SimConsole::setConnected(bool connected)
{
    m_connected = connected;
    m_table->setProperty(m_devicePath, deviceInterface, QStringLiteral("Connected"), connected);
}

void SimConsole::endLink(bool announce)
{
    ++m_linkGeneration;
    m_connectPending = false;
    m_resolveTimer.stop();
    m_dropTimer.stop();
    stopNotifying();
    m_stream->dropPending();
    const bool wasResolved = m_servicesResolved;
    const bool wasConnected = m_connected;
    m_servicesResolved = false;
    m_connected = false;
    if (!announce || !m_exported)
        return;
    if (wasResolved) {
        m_table->setProperty(m_devicePath, deviceInterface, QStringLiteral("ServicesResolved"),
                             false);
    }
    if (wasConnected)
        m_table->setProperty(m_devicePath, deviceInterface, QStringLiteral("Connected"), false);
    // The GATT objects of an unpaired device go with its link.
    if (m_table->contains(m_servicePath))
        m_table->removeTree(m_servicePath);
}

void SimConsole::stopNotifying()
{
    m_frameTimer.stop();
    if (!m_notifying)
        return;
    m_notifying = false;
    if (m_table->contains(m_rowerPath)) {
        m_table->setProperty(m_rowerPath, characteristicInterface, QStringLiteral("Notifying"),
                             false);
    }
}

void SimConsole::handleReadValue(const QDBusMessage& message)
{
    const QString path = message.path();
    if (path == m_rowerPath && !m_notifying &&
        m_settings.connectMode == QLatin1String("drop-during-discovery")) {
        // The program reads the value while it discovers the service: the link is lost then,
        // and the read fails with it.
        endLink(true);
        replyError(message, errorFailed, QStringLiteral("Not connected"));
        return;
    }
    if (path == m_rowerPath) {
        reply(message, {m_stream->lastFrame()});
    } else if (path == m_cccdPath && m_settings.cccdReadFails) {
        replyError(message, errorNotPermitted, QStringLiteral("Read not permitted"));
    } else if (path == m_cccdPath) {
        reply(message, {m_notifying ? QByteArray::fromHex("0100") : QByteArray::fromHex("0000")});
    } else {
        replyError(message, errorNotPermitted, QStringLiteral("Read not permitted"));
    }
}

void SimConsole::handleWriteValue(const QDBusMessage& message)
{
    if (message.path() != m_resistancePath) {
        replyError(message, errorNotPermitted, QStringLiteral("Write not permitted"));
        return;
    }
    const QByteArray value = message.arguments().value(0).toByteArray();
    QString type = writeOptions(message, 1).value(QStringLiteral("type")).toString();
    if (type.isEmpty())
        type = QStringLiteral("request");
    m_writes.append(QStringLiteral("2ad6 %1 %2").arg(type, QString::fromLatin1(value.toHex())));
    m_table->setProperty(m_resistancePath, characteristicInterface, QStringLiteral("Value"), value);
    reply(message);
}

void SimConsole::handleStartNotify(const QDBusMessage& message)
{
    if (message.path() != m_rowerPath) {
        replyError(message, errorNotSupported, QStringLiteral("Operation is not supported"));
        return;
    }
    m_writes.append(QStringLiteral("2902 start-notify"));
    if (!m_settings.notify) {
        replyError(message, errorNotSupported, QStringLiteral("Operation is not supported"));
        return;
    }
    if (m_notifyRefusals > 0) {
        --m_notifyRefusals;
        replyError(message, errorFailed, QStringLiteral("Notify failed"));
        return;
    }
    if (m_settings.startNotifyFails) {
        replyError(message, errorFailed, QStringLiteral("Notify failed"));
        return;
    }
    reply(message);
    if (m_notifying)
        return;
    m_notifying = true;
    m_table->setProperty(m_rowerPath, characteristicInterface, QStringLiteral("Notifying"), true);
    if (m_streaming)
        m_frameTimer.start();
    if (m_settings.dropAfterMs > 0)
        m_dropTimer.start(int(m_settings.dropAfterMs));
}

void SimConsole::handleStopNotify(const QDBusMessage& message)
{
    if (message.path() != m_rowerPath) {
        replyError(message, errorNotSupported, QStringLiteral("Operation is not supported"));
        return;
    }
    m_writes.append(QStringLiteral("2902 stop-notify"));
    m_dropTimer.stop();
    stopNotifying();
    reply(message);
}

void SimConsole::onFrameTimeout()
{
    if (!m_notifying || !m_streaming)
        return;
    const QList<QByteArray> notifications = m_stream->tick();
    for (const QByteArray& bytes : notifications)
        sendNotification(bytes);
}

void SimConsole::sendNotification(const QByteArray& bytes)
{
    ++m_notificationsSent;
    m_bytesSent += quint64(bytes.size());
    m_table->setProperty(m_rowerPath, characteristicInterface, QStringLiteral("Value"), bytes);
}

void SimConsole::reply(const QDBusMessage& message, const QVariantList& arguments)
{
    m_connection.send(message.createReply(arguments));
}

void SimConsole::replyError(const QDBusMessage& message, const QString& name, const QString& text)
{
    m_connection.send(message.createErrorReply(name, text));
}
