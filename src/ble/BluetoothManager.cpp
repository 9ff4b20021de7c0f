#include "BluetoothManager.h"

BluetoothManager::BluetoothManager(QObject* parent) : QObject(parent) {}

BluetoothManager::~BluetoothManager() = default;
