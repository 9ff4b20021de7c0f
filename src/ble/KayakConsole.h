#pragma once

#include <QBluetoothDeviceInfo>
#include <QByteArray>
#include <QList>
#include <QLowEnergyCharacteristic>
#include <QString>

class QLowEnergyController;
class QLowEnergyService;

// One console that discovery matched to a slot.
struct KayakConsole
{
    QString name;
    QString address;
    QBluetoothDeviceInfo deviceInfo;
    int slot = -1;
    QLowEnergyController* controller = nullptr;
    QLowEnergyService* service = nullptr;
    QLowEnergyCharacteristic rowerData;
    QLowEnergyCharacteristic resistanceChar;
    quint16 packetFlags = 0;
    quint8 strokeRate = 0;
    quint16 strokeCount = 0;
    quint32 distance = 0;
    quint16 rawWord8 = 0;
    quint16 rawWord10 = 0;
    quint16 rawWord12 = 0;
    qint16 scaledWord12 = 0;
    quint8 rawByte17 = 0;
    quint16 rawWord18 = 0;
    QByteArray rxBuffer;

    // Handlers and timers outlive list positions (records are appended and removed while links
    // live), so they find their record again by this number, never by its position.
    int id = 0;
    // The FTMS service details were found: the slot shows connected.
    bool ready = false;
    // The link was given up (retries or time used up, no FTMS service, or no Rower Data
    // notifications); a retry may replace it.
    bool givenUp = false;
    // Numbers the connection attempts, so that an attempt's timer knows whether it is still
    // the current one.
    int attempt = 0;
    // A connection phase runs: from the first attempt after the console last streamed (or was
    // matched) until its notifications are on again or it is given up.
    bool settingUp = false;
    // Numbers the connection phases, so that a phase's time limit knows whether it still applies.
    int phase = 0;
    // When the last notification came (milliseconds of the link's clock, -1 for none on this
    // link) and the running average of the gaps between notifications (0 until known).
    qint64 lastNotifyMs = -1;
    double notifyIntervalMs = 0;
    // Frames read from this console since its record was made.
    quint64 framesParsed = 0;

    // A fresh record for a device that discovery matched to a slot, with its own id.
    static KayakConsole matched(const QBluetoothDeviceInfo& device, int slot);
};

// The matched consoles in the order they were matched; a record's position is its console index.
extern QList<KayakConsole> consoles;

// The record with this id, or null when it has left the list. The pointer is only good until
// the list next changes.
KayakConsole* findConsole(int id);
