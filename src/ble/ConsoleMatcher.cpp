#include "ConsoleMatcher.h"

#include "BluetoothManager.h"
#include "KayakConsole.h"

QString ConsoleMatcher::normalizeMacAddress(const QString& text)
{
    QString hex;
    hex.reserve(text.size());
    for (const QChar c : text) {
        if ((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'))
            hex.append(c.toUpper());
    }
    return hex;
}

bool ConsoleMatcher::matchesConfiguredDevice(const QString& configured, const QString& address,
                                             const QString& name)
{
    if (configured.isEmpty())
        return false;
    const QString configuredHex = normalizeMacAddress(configured);
    if (!configuredHex.isEmpty() && configuredHex == normalizeMacAddress(address))
        return true;
    return !name.isEmpty() && configured.trimmed().compare(name, Qt::CaseInsensitive) == 0;
}

bool ConsoleMatcher::offersFtms(const QBluetoothDeviceInfo& device)
{
    if (device.serviceUuids().contains(FTMS_SERVICE_UUID))
        return true;
    static const QString bracedFtms = QStringLiteral("{00001826-0000-1000-8000-00805f9b34fb}");
    const QList<QBluetoothUuid> ids = device.serviceIds();
    for (const QBluetoothUuid& id : ids) {
        if (id == FTMS_SERVICE_UUID || id.toString().compare(bracedFtms, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool ConsoleMatcher::isDuplicate(const KayakConsole& record, const QBluetoothDeviceInfo& device,
                                 int slot)
{
    // One record per slot: a second device for a slot that already has one is not taken.
    if (record.slot == slot)
        return true;
    // The same device configured in two slots (by name in one, by address in the other) gets
    // one link only. Some platforms hide the address and identify devices by a UUID instead.
    const QBluetoothDeviceInfo& known = record.deviceInfo;
    if (!device.address().isNull() && !known.address().isNull())
        return device.address() == known.address();
    if (!device.deviceUuid().isNull() && !known.deviceUuid().isNull())
        return device.deviceUuid() == known.deviceUuid();
    return !device.name().isEmpty() && device.name() == record.name;
}
