#pragma once

#include <QBluetoothDeviceInfo>
#include <QString>

struct KayakConsole;

// How a discovered device is recognised: as an FTMS console, as the console a slot is
// configured for, and as one that already has a record.
class ConsoleMatcher
{
public:
    // Keeps only the hexadecimal digits, upper-cased, so that "aa:bb-cc" and "AABBCC" compare
    // equal.
    static QString normalizeMacAddress(const QString& text);

    // configured is the slot's trimmed text: an address in any notation, or a device name in
    // any letter case.
    static bool matchesConfiguredDevice(const QString& configured, const QString& address,
                                        const QString& name);

    // The advertisement names the Fitness Machine service, as a service or as service data.
    static bool offersFtms(const QBluetoothDeviceInfo& device);

    // record already serves this slot, or it is this very device reported once more.
    static bool isDuplicate(const KayakConsole& record, const QBluetoothDeviceInfo& device,
                            int slot);
};
