#pragma once

#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QMap>
#include <QVariantMap>

// The container types of BlueZ's object tree, marshalled with their exact D-Bus signatures.
using InterfaceList = QMap<QString, QVariantMap>;               // a{sa{sv}}
using ManagedObjectList = QMap<QDBusObjectPath, InterfaceList>; // a{oa{sa{sv}}}
using ManufacturerDataMap = QMap<quint16, QDBusVariant>;        // a{qv}

Q_DECLARE_METATYPE(InterfaceList)
Q_DECLARE_METATYPE(ManagedObjectList)
Q_DECLARE_METATYPE(ManufacturerDataMap)

void registerDbusTypes();
