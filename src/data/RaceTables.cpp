#include "RaceTables.h"

#include <QDate>

QList<QStringList> global_data;
QList<QStringList> race_data;
QStringList event_data = {
    QStringLiteral("Rivanta Sports Ltd"),
    QStringLiteral("12 Harbour Road, 21000 Split"),
    QStringLiteral("info@rivanta.example"),
    QStringLiteral("+385 21 555 0100"),
    QStringLiteral("Race Event"),
    QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")),
    QStringLiteral("Vezezi Zar Ududevi Zuvuvo"),
};
int console_indexes[SlotCount] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};

int global_playernum = 0;
int global_totaldist = 0;
int global_setting_page_click = 0;
bool all_devices_connected = false;
bool race_consoles_held = false;
int scan_console_state = ScanNoAction;
