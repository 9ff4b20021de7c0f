#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Process-wide race tables. The race data object, the console link and the results output all
// read and write these directly; every access happens on the GUI thread.

// Columns of a row of global_data and race_data.
enum PlayerColumn
{
    ColNo = 0,
    ColFirstName = 1,
    ColSurname = 2,
    ColClub = 3,
    ColSex = 4,
    ColCat = 5,
    ColWeight = 6,
    ColDob = 7,
    ColMac = 8,
    ColActive = 9,
    ColDistance = 10,
    ColTime = 11,
    ColRanking = 12,
    PlayerColumnCount = 13
};

constexpr int SlotCount = 10;

// Slot state codes held as text in column "Active".
inline const QString SlotNotConfigured = QStringLiteral("-2");
inline const QString SlotFailed = QStringLiteral("-1");
inline const QString SlotConnecting = QStringLiteral("0");
inline const QString SlotConnected = QStringLiteral("1");

// States of the address-finder scan held in scan_console_state.
enum ScanState
{
    ScanNoAction = 0,
    ScanScanning = 1,
    ScanFinished = 2
};

// Entries of event_data.
enum EventEntry
{
    organiserName = 0,
    organiserAddress = 1,
    organiserEmail = 2,
    organiserPhone = 3,
    eventName = 4,
    eventDate = 5,
    eventPlace = 6,
    EventEntryCount = 7
};

extern QList<QStringList> global_data;
extern QList<QStringList> race_data;
extern QStringList event_data;
extern int console_indexes[SlotCount];

extern int global_playernum;
extern int global_totaldist;
extern int global_setting_page_click;
extern bool all_devices_connected;
// A race page holds its consoles from its opening ("Next") to the race end or to Back there:
// they are never given up meanwhile.
extern bool race_consoles_held;
extern int scan_console_state;
