#pragma once

#include <QObject>

// The console link: finds the configured rowing consoles and streams their Rower Data.
class BluetoothManager : public QObject
{
    Q_OBJECT

public:
    explicit BluetoothManager(QObject* parent = nullptr);
    ~BluetoothManager() override;
};
