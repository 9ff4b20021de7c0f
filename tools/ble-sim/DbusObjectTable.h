#pragma once

#include "DbusTypes.h"

#include <QDBusConnection>
#include <QMap>
#include <QStringList>

// The objects the simulator exports below "/": their interfaces and typed properties. Every
// change is announced as BlueZ does, with ObjectManager.InterfacesAdded/InterfacesRemoved on
// "/" and Properties.PropertiesChanged on the object.
class DbusObjectTable
{
public:
    explicit DbusObjectTable(const QDBusConnection& connection);

    void addObject(const QString& path, const InterfaceList& interfaces);
    // Removes path and every object below it, deepest first.
    void removeTree(const QString& path);

    bool contains(const QString& path) const { return m_objects.contains(path); }
    bool hasInterface(const QString& path, const QString& interface) const;
    InterfaceList interfaces(const QString& path) const { return m_objects.value(path); }
    QVariant property(const QString& path, const QString& interface, const QString& name) const;

    // Stores the values and announces them in one PropertiesChanged, also when they are equal
    // to the stored ones (a notification repeats the same bytes whenever the reading does).
    void setProperties(const QString& path, const QString& interface, const QVariantMap& values);
    void setProperty(const QString& path, const QString& interface, const QString& name,
                     const QVariant& value);

    ManagedObjectList managedObjects() const;
    // Names of the direct children of path, for introspection.
    QStringList childNodes(const QString& path) const;

private:
    QDBusConnection m_connection;
    QMap<QString, InterfaceList> m_objects;
    bool m_trace = false;
};
