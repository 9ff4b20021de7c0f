#include "AppSetup.h"

#include "BluetoothManager.h"
#include "PrintManager.h"
#include "SharedData.h"

#include <QQmlEngine>

void AppSetup::registerTypes(SharedData* sharedData)
{
    qmlRegisterType<BluetoothManager>("com.rivanta.bluetooth", 1, 0, "BluetoothManager");
    qmlRegisterType<PrintManager>("com.rivanta.print", 1, 0, "PrintManager");
    qmlRegisterSingletonInstance("shareddataApp", 1, 0, "SharedData", sharedData);
}
