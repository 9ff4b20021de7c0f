#include "KayakConsole.h"

#include <QBluetoothAddress>

QList<KayakConsole> consoles;

namespace {
int lastConsoleId = 0;
}

KayakConsole KayakConsole::matched(const QBluetoothDeviceInfo& device, int slot)
{
    KayakConsole console;
    console.name = device.name();
    console.address = device.address().toString();
    console.deviceInfo = device;
    console.slot = slot;
    console.id = ++lastConsoleId;
    return console;
}

KayakConsole* findConsole(int id)
{
    for (KayakConsole& console : consoles) {
        if (console.id == id)
            return &console;
    }
    return nullptr;
}
