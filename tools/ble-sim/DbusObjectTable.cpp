#include "DbusObjectTable.h"

#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDebug>
#include <QSet>

#include <algorithm>

void registerDbusTypes()
{
    qDBusRegisterMetaType<InterfaceList>();
    qDBusRegisterMetaType<ManagedObjectList>();
    qDBusRegisterMetaType<ManufacturerDataMap>();
}

namespace {

const QString objectManager = QStringLiteral("org.freedesktop.DBus.ObjectManager");
const QString properties = QStringLiteral("org.freedesktop.DBus.Properties");

} // namespace

DbusObjectTable::DbusObjectTable(const QDBusConnection& connection)
    : m_connection(connection), m_trace(qEnvironmentVariableIsSet("RIVANTA_BLE_SIM_TRACE"))
{}

void DbusObjectTable::addObject(const QString& path, const InterfaceList& interfaces)
{
    m_objects.insert(path, interfaces);
    if (m_trace)
        qInfo().noquote() << "signal InterfacesAdded" << path << interfaces.keys();
    QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/"), objectManager,
                                                     QStringLiteral("InterfacesAdded"));
    signal << QVariant::fromValue(QDBusObjectPath(path)) << QVariant::fromValue(interfaces);
    m_connection.send(signal);
}

void DbusObjectTable::removeTree(const QString& path)
{
    QStringList doomed;
    const QString prefix = path + QLatin1Char('/');
    for (auto it = m_objects.cbegin(); it != m_objects.cend(); ++it) {
        if (it.key() == path || it.key().startsWith(prefix))
            doomed.append(it.key());
    }
    // Longest paths first: children vanish before their parents, as in BlueZ.
    std::sort(doomed.begin(), doomed.end(),
              [](const QString& a, const QString& b) { return a.size() > b.size(); });
    for (const QString& victim : std::as_const(doomed)) {
        const QStringList names = m_objects.take(victim).keys();
        if (m_trace)
            qInfo().noquote() << "signal InterfacesRemoved" << victim << names;
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/"), objectManager,
                                                         QStringLiteral("InterfacesRemoved"));
        signal << QVariant::fromValue(QDBusObjectPath(victim)) << names;
        m_connection.send(signal);
    }
}

bool DbusObjectTable::hasInterface(const QString& path, const QString& interface) const
{
    const auto it = m_objects.constFind(path);
    return it != m_objects.cend() && it->contains(interface);
}

QVariant DbusObjectTable::property(const QString& path, const QString& interface,
                                   const QString& name) const
{
    return m_objects.value(path).value(interface).value(name);
}

void DbusObjectTable::setProperties(const QString& path, const QString& interface,
                                    const QVariantMap& values)
{
    auto object = m_objects.find(path);
    if (object == m_objects.end() || !object->contains(interface))
        return;
    QVariantMap& stored = (*object)[interface];
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        stored.insert(it.key(), it.value());

    if (m_trace)
        qInfo().noquote() << "signal PropertiesChanged" << path << interface << values;
    QDBusMessage signal =
        QDBusMessage::createSignal(path, properties, QStringLiteral("PropertiesChanged"));
    signal << interface << values << QStringList();
    m_connection.send(signal);
}

void DbusObjectTable::setProperty(const QString& path, const QString& interface,
                                  const QString& name, const QVariant& value)
{
    setProperties(path, interface, {{name, value}});
}

ManagedObjectList DbusObjectTable::managedObjects() const
{
    ManagedObjectList list;
    for (auto it = m_objects.cbegin(); it != m_objects.cend(); ++it)
        list.insert(QDBusObjectPath(it.key()), it.value());
    return list;
}

QStringList DbusObjectTable::childNodes(const QString& path) const
{
    const QString prefix = path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
    QSet<QString> children;
    for (auto it = m_objects.cbegin(); it != m_objects.cend(); ++it) {
        if (!it.key().startsWith(prefix) || it.key() == prefix)
            continue;
        children.insert(it.key().mid(prefix.size()).section(QLatin1Char('/'), 0, 0));
    }
    QStringList sorted(children.cbegin(), children.cend());
    sorted.sort();
    return sorted;
}
