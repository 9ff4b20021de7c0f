#include "BluezSimulator.h"

#include "ConsoleSettings.h"
#include "SimConsole.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDebug>

namespace {

const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString objectManagerInterface = QStringLiteral("org.freedesktop.DBus.ObjectManager");
const QString adapterInterface = QStringLiteral("org.bluez.Adapter1");

const QString errorInvalidArgs = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs");
const QString errorUnknownMethod = QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod");
const QString errorUnknownObject = QStringLiteral("org.freedesktop.DBus.Error.UnknownObject");
const QString errorUnknownProperty = QStringLiteral("org.freedesktop.DBus.Error.UnknownProperty");
const QString errorPropertyReadOnly = QStringLiteral("org.freedesktop.DBus.Error.PropertyReadOnly");
const QString errorUnknownConsole = QStringLiteral("com.rivanta.BleSim1.Error.UnknownConsole");
const QString errorNotConnected = QStringLiteral("com.rivanta.BleSim1.Error.NotConnected");
const QString errorAlreadyExists = QStringLiteral("com.rivanta.BleSim1.Error.AlreadyExists");

// A scan that loses its adapter loses it this long after it started.
constexpr int scanFailureDelayMs = 500;

QVariantMap mapArgument(const QVariant& value)
{
    if (value.canConvert<QDBusArgument>())
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value.toMap();
}

// Property values arrive wrapped in a variant; unwrap to the plain value.
QVariant plainValue(const QVariant& value)
{
    if (value.canConvert<QDBusVariant>())
        return value.value<QDBusVariant>().variant();
    return value;
}

} // namespace

BluezSimulator::BluezSimulator(const QDBusConnection& connection, QObject* parent)
    : QDBusVirtualObject(parent), m_connection(connection), m_table(connection),
      m_trace(qEnvironmentVariableIsSet("RIVANTA_BLE_SIM_TRACE"))
{
    m_scanFailureTimer.setSingleShot(true);
    connect(&m_scanFailureTimer, &QTimer::timeout, this, [this] {
        if (!m_discoveryClients.isEmpty())
            removeAdapter();
    });
}

BluezSimulator::~BluezSimulator() = default;

bool BluezSimulator::start(QString* error)
{
    if (!m_connection.isConnected()) {
        *error = QStringLiteral("no system bus: %1").arg(m_connection.lastError().message());
        return false;
    }
    exportAdapter();
    if (!m_connection.registerVirtualObject(QStringLiteral("/"), this, QDBusConnection::SubPath)) {
        *error = QStringLiteral("cannot register the object tree");
        return false;
    }
    for (const char* name : {"org.bluez", ControlService}) {
        if (!m_connection.registerService(QString::fromLatin1(name))) {
            *error = QStringLiteral("cannot own %1: %2")
                         .arg(QLatin1String(name), m_connection.lastError().message());
            return false;
        }
    }
    return true;
}

QString BluezSimulator::introspect(const QString& path) const
{
    QString xml;
    const InterfaceList interfaces = m_table.interfaces(path);
    for (auto it = interfaces.cbegin(); it != interfaces.cend(); ++it)
        xml += QStringLiteral("<interface name=\"%1\"/>\n").arg(it.key());
    if (path == QLatin1String("/"))
        xml += QStringLiteral("<interface name=\"%1\"/>\n").arg(objectManagerInterface);
    if (path == QLatin1String(ControlPath))
        xml += QStringLiteral("<interface name=\"%1\"/>\n").arg(QLatin1String(ControlInterface));
    QStringList children = m_table.childNodes(path);
    // The control object is no part of the BlueZ tree, but busctl and gdbus should find it.
    const QString control = QString::fromLatin1(ControlPath);
    const QString prefix = path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
    if (control.startsWith(prefix)) {
        const QString child = control.mid(prefix.size()).section(QLatin1Char('/'), 0, 0);
        if (!children.contains(child))
            children.append(child);
    }
    for (const QString& child : std::as_const(children))
        xml += QStringLiteral("<node name=\"%1\"/>\n").arg(child);
    return xml;
}

bool BluezSimulator::handleMessage(const QDBusMessage& message, const QDBusConnection&)
{
    if (message.type() != QDBusMessage::MethodCallMessage)
        return false;
    const QString path = message.path();
    const QString interface = message.interface();
    if (m_trace) {
        qInfo().noquote() << "call" << message.service() << path << interface << message.member()
                          << message.arguments();
    }

    if (interface == QLatin1String("org.freedesktop.DBus.Introspectable")) {
        reply(message, {QStringLiteral("<!DOCTYPE node PUBLIC "
                                       "\"-//freedesktop//DTD D-BUS Object Introspection 1.0//EN\" "
                                       "\"http://www.freedesktop.org/standards/dbus/1.0/"
                                       "introspect.dtd\">\n<node>\n%1</node>\n")
                            .arg(introspect(path))});
        return true;
    }
    if (path == QLatin1String(ControlPath)) {
        if (interface != QLatin1String(ControlInterface) && !interface.isEmpty())
            return false;
        handleControl(message);
        return true;
    }
    if (interface == propertiesInterface) {
        handleProperties(message);
        return true;
    }
    if (path == QLatin1String("/") && interface == objectManagerInterface) {
        handleObjectManager(message);
        return true;
    }
    if (path == QLatin1String(AdapterPath) && interface == adapterInterface &&
        m_table.contains(path)) {
        handleAdapter(message);
        return true;
    }
    if (SimConsole* console = consoleForPath(path)) {
        if (m_table.contains(path) && console->handleCall(message, m_powered))
            return true;
    }
    if (!m_table.contains(path))
        replyError(message, errorUnknownObject, QStringLiteral("No such object: %1").arg(path));
    else
        replyError(message, errorUnknownMethod,
                   QStringLiteral("No method %1.%2").arg(interface, message.member()));
    return true;
}

void BluezSimulator::handleObjectManager(const QDBusMessage& message)
{
    if (message.member() != QLatin1String("GetManagedObjects")) {
        replyError(message, errorUnknownMethod, message.member());
        return;
    }
    reply(message, {QVariant::fromValue(m_table.managedObjects())});
}

void BluezSimulator::handleProperties(const QDBusMessage& message)
{
    const QString path = message.path();
    const QVariantList arguments = message.arguments();
    const QString member = message.member();
    if (!m_table.contains(path)) {
        replyError(message, errorUnknownObject, QStringLiteral("No such object: %1").arg(path));
        return;
    }
    const QString interface = arguments.value(0).toString();
    if (member == QLatin1String("GetAll")) {
        if (!m_table.hasInterface(path, interface)) {
            replyError(message, errorInvalidArgs,
                       QStringLiteral("No such interface '%1'").arg(interface));
            return;
        }
        reply(message, {m_table.interfaces(path).value(interface)});
        return;
    }
    const QString name = arguments.value(1).toString();
    const QVariantMap values = m_table.interfaces(path).value(interface);
    if (!values.contains(name)) {
        replyError(message, errorUnknownProperty,
                   QStringLiteral("No such property '%1'").arg(name));
        return;
    }
    if (member == QLatin1String("Get")) {
        reply(message, {QVariant::fromValue(QDBusVariant(values.value(name)))});
        return;
    }
    if (member == QLatin1String("Set")) {
        const QVariant value = plainValue(arguments.value(2));
        if (path == QLatin1String(AdapterPath) && interface == adapterInterface &&
            name == QLatin1String("Powered")) {
            reply(message);
            setPowered(value.toBool());
            return;
        }
        replyError(message, errorPropertyReadOnly,
                   QStringLiteral("Property '%1' is read-only").arg(name));
        return;
    }
    replyError(message, errorUnknownMethod, member);
}

void BluezSimulator::handleAdapter(const QDBusMessage& message)
{
    const QString member = message.member();
    if (member == QLatin1String("SetDiscoveryFilter")) {
        // Qt takes org.bluez.Error.Failed, and only that, as "transport not supported".
        if (m_filterFails)
            replyError(message, QStringLiteral("org.bluez.Error.Failed"),
                       QStringLiteral("Operation is not supported"));
        else
            reply(message);
        return;
    }
    if (member == QLatin1String("StartDiscovery")) {
        if (!m_powered) {
            replyError(message, QStringLiteral("org.bluez.Error.NotReady"),
                       QStringLiteral("Resource Not Ready"));
            return;
        }
        if (m_startFails) {
            replyError(message, QStringLiteral("org.bluez.Error.Failed"),
                       QStringLiteral("Discovery could not be started"));
            return;
        }
        if (m_discoveryClients.contains(message.service())) {
            replyError(message, QStringLiteral("org.bluez.Error.InProgress"),
                       QStringLiteral("Operation already in progress"));
            return;
        }
        m_discoveryClients.insert(message.service());
        reply(message);
        setDiscovering(true);
        for (SimConsole* console : std::as_const(m_consoles))
            console->discoveryStarted();
        if (m_failDuringScan)
            m_scanFailureTimer.start(scanFailureDelayMs);
        return;
    }
    if (member == QLatin1String("StopDiscovery")) {
        if (!m_discoveryClients.remove(message.service())) {
            replyError(message, QStringLiteral("org.bluez.Error.Failed"),
                       QStringLiteral("No discovery started"));
            return;
        }
        reply(message);
        setDiscovering(!m_discoveryClients.isEmpty());
        return;
    }
    if (member == QLatin1String("RemoveDevice")) {
        // BlueZ forgets the device (and drops its link); it comes back when a scan sees it.
        const QString path = message.arguments().value(0).value<QDBusObjectPath>().path();
        SimConsole* console = consoleForPath(path);
        if (!console || !console->isExported() || path != console->devicePath()) {
            replyError(message, QStringLiteral("org.bluez.Error.DoesNotExist"),
                       QStringLiteral("Does Not Exist"));
            return;
        }
        if (console->isConnected())
            console->dropLink();
        console->withdraw();
        reply(message);
        return;
    }
    replyError(message, errorUnknownMethod, member);
}

void BluezSimulator::handleControl(const QDBusMessage& message)
{
    const QString member = message.member();
    const QVariantList arguments = message.arguments();
    if (member == QLatin1String("AddConsole")) {
        controlAddConsole(message);
        return;
    }
    if (member == QLatin1String("SetAdapter")) {
        controlSetAdapter(message);
        return;
    }
    if (member == QLatin1String("Reset")) {
        reset();
        reply(message);
        return;
    }

    const QString address = arguments.value(0).toString().toUpper();
    if (member == QLatin1String("Writes") || member == QLatin1String("Stats")) {
        const bool writes = member == QLatin1String("Writes");
        if (SimConsole* console = consoleForAddress(address)) {
            reply(message, {writes ? QVariant(console->writes()) : QVariant(console->stats())});
        } else if (m_removedStats.contains(address)) {
            reply(message, {writes ? QVariant(m_removedWrites.value(address))
                                   : QVariant(m_removedStats.value(address))});
        } else {
            replyError(message, errorUnknownConsole, address);
        }
        return;
    }

    SimConsole* console = consoleForAddress(address);
    if (!console) {
        replyError(message, errorUnknownConsole, QStringLiteral("No console %1").arg(address));
        return;
    }
    if (member == QLatin1String("SetVisible")) {
        console->setVisible(arguments.value(1).toBool());
        reply(message);
    } else if (member == QLatin1String("RemoveConsole")) {
        m_removedWrites.insert(address, console->writes());
        QVariantMap stats = console->stats();
        stats.insert(QStringLiteral("connected"), false);
        stats.insert(QStringLiteral("notifying"), false);
        m_removedStats.insert(address, stats);
        m_consoles.remove(address);
        console->withdraw();
        console->deleteLater();
        reply(message);
    } else if (member == QLatin1String("DropLink")) {
        if (console->dropLink())
            reply(message);
        else
            replyError(message, errorNotConnected,
                       QStringLiteral("%1 is not connected").arg(address));
    } else if (member == QLatin1String("SendRaw")) {
        reply(message, {console->sendRaw(arguments.value(1).toByteArray())});
    } else if (member == QLatin1String("SetStreaming")) {
        console->setStreaming(arguments.value(1).toBool());
        reply(message);
    } else if (member == QLatin1String("RefuseNotify")) {
        console->refuseNotify(arguments.value(1).toUInt());
        reply(message);
    } else if (member == QLatin1String("SetRowing")) {
        console->setRowing(arguments.value(1).toBool());
        reply(message);
    } else {
        replyError(message, errorUnknownMethod, member);
    }
}

void BluezSimulator::controlAddConsole(const QDBusMessage& message)
{
    ConsoleSettings settings;
    QString error;
    if (!settings.parse(mapArgument(message.arguments().value(0)), &error)) {
        replyError(message, errorInvalidArgs, error);
        return;
    }
    if (m_consoles.contains(settings.address)) {
        replyError(message, errorAlreadyExists,
                   QStringLiteral("%1 already exists").arg(settings.address));
        return;
    }
    m_removedWrites.remove(settings.address);
    m_removedStats.remove(settings.address);
    auto* console =
        new SimConsole(settings, QString::fromLatin1(AdapterPath), &m_table, m_connection, this);
    m_consoles.insert(settings.address, console);
    if (m_adapterPresent && settings.visible && settings.discoverDelayMs == 0)
        console->exportDevice();
    else if (m_adapterPresent && !m_discoveryClients.isEmpty())
        console->discoveryStarted();
    reply(message, {QVariant::fromValue(QDBusObjectPath(console->devicePath()))});
}

void BluezSimulator::controlSetAdapter(const QDBusMessage& message)
{
    static const QStringList keys = {QStringLiteral("powered"), QStringLiteral("present"),
                                     QStringLiteral("filterFails"), QStringLiteral("startFails"),
                                     QStringLiteral("failDuringScan")};
    const QVariantMap props = mapArgument(message.arguments().value(0));
    for (auto it = props.cbegin(); it != props.cend(); ++it) {
        if (!keys.contains(it.key())) {
            replyError(message, errorInvalidArgs,
                       QStringLiteral("unknown key \"%1\"").arg(it.key()));
            return;
        }
    }
    m_filterFails = props.value(QStringLiteral("filterFails"), m_filterFails).toBool();
    m_startFails = props.value(QStringLiteral("startFails"), m_startFails).toBool();
    m_failDuringScan = props.value(QStringLiteral("failDuringScan"), m_failDuringScan).toBool();
    if (props.contains(QStringLiteral("powered")))
        setPowered(props.value(QStringLiteral("powered")).toBool());
    if (props.contains(QStringLiteral("present"))) {
        const bool present = props.value(QStringLiteral("present")).toBool();
        if (present && !m_adapterPresent)
            exportAdapter();
        else if (!present && m_adapterPresent)
            removeAdapter();
    }
    reply(message);
}

void BluezSimulator::reset()
{
    for (SimConsole* console : std::as_const(m_consoles)) {
        console->withdraw();
        console->deleteLater();
    }
    m_consoles.clear();
    m_removedWrites.clear();
    m_removedStats.clear();
    m_filterFails = m_startFails = m_failDuringScan = false;
    m_scanFailureTimer.stop();
    if (!m_adapterPresent) {
        m_powered = true;
        exportAdapter();
    } else {
        setPowered(true);
        m_discoveryClients.clear();
        setDiscovering(false);
    }
}

void BluezSimulator::exportAdapter()
{
    m_adapterPresent = true;
    m_discoveryClients.clear();
    QVariantMap adapter{
        {QStringLiteral("Address"), QString::fromLatin1(AdapterAddress)},
        {QStringLiteral("AddressType"), QStringLiteral("public")},
        {QStringLiteral("Name"), QStringLiteral("rivanta-ble-sim")},
        {QStringLiteral("Alias"), QStringLiteral("rivanta-ble-sim")},
        {QStringLiteral("Class"), quint32(0)},
        {QStringLiteral("Powered"), m_powered},
        {QStringLiteral("Discoverable"), false},
        {QStringLiteral("DiscoverableTimeout"), quint32(180)},
        {QStringLiteral("Pairable"), false},
        {QStringLiteral("PairableTimeout"), quint32(0)},
        {QStringLiteral("Discovering"), false},
        {QStringLiteral("UUIDs"), QStringList()},
        {QStringLiteral("Modalias"), QStringLiteral("usb:v1D6Bp0246d0542")},
    };
    m_table.addObject(QString::fromLatin1(AdapterPath), {{adapterInterface, adapter}});
    for (SimConsole* console : std::as_const(m_consoles)) {
        if (console->isVisible() && console->settings().discoverDelayMs == 0)
            console->exportDevice();
    }
}

void BluezSimulator::removeAdapter()
{
    m_scanFailureTimer.stop();
    for (SimConsole* console : std::as_const(m_consoles))
        console->withdraw();
    m_discoveryClients.clear();
    m_adapterPresent = false;
    m_table.removeTree(QString::fromLatin1(AdapterPath));
}

void BluezSimulator::setPowered(bool powered)
{
    if (powered == m_powered)
        return;
    m_powered = powered;
    if (!powered) {
        // No radio: every link and every scan ends.
        for (SimConsole* console : std::as_const(m_consoles))
            console->adapterPoweredOff();
        m_discoveryClients.clear();
        setDiscovering(false);
    }
    setAdapterProperty(QStringLiteral("Powered"), powered);
}

void BluezSimulator::setAdapterProperty(const QString& name, const QVariant& value)
{
    if (m_adapterPresent)
        m_table.setProperty(QString::fromLatin1(AdapterPath), adapterInterface, name, value);
}

void BluezSimulator::setDiscovering(bool discovering)
{
    const QVariant current = m_table.property(QString::fromLatin1(AdapterPath), adapterInterface,
                                              QStringLiteral("Discovering"));
    if (current.isValid() && current.toBool() != discovering)
        setAdapterProperty(QStringLiteral("Discovering"), discovering);
}

SimConsole* BluezSimulator::consoleForPath(const QString& path) const
{
    for (SimConsole* console : m_consoles) {
        if (console->owns(path))
            return console;
    }
    return nullptr;
}

SimConsole* BluezSimulator::consoleForAddress(const QString& address) const
{
    return m_consoles.value(address.toUpper());
}

void BluezSimulator::reply(const QDBusMessage& message, const QVariantList& arguments)
{
    if (m_trace && message.member() != QLatin1String("Introspect"))
        qInfo().noquote() << "  reply" << message.member() << arguments;
    m_connection.send(message.createReply(arguments));
}

void BluezSimulator::replyError(const QDBusMessage& message, const QString& name,
                                const QString& text)
{
    if (m_trace)
        qInfo().noquote() << "  error" << message.member() << name << text;
    m_connection.send(message.createErrorReply(name, text));
}
