#include "SharedData.h"

#include "AthleteImport.h"
#include "KayakConsole.h"
#include "LogWriter.h"
#include "RaceTables.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QSettings>

namespace {

bool tablesBuilt = false;

const QString organisation = QStringLiteral("Rivanta");
const QString addressStore = QStringLiteral("BlueMacAddr");
const QString profileStore = QStringLiteral("RaceApp");

bool isSlot(int index)
{
    return index >= 0 && index < SlotCount;
}

bool isRaceRow(int index)
{
    return index >= 0 && index < race_data.size();
}

QStringList& slotRow(int index)
{
    return global_data[index + 1];
}

} // namespace

SharedData::SharedData(QObject* parent) : QObject(parent)
{
    buildTables();
}

SharedData::~SharedData() = default;

void SharedData::buildTables()
{
    if (tablesBuilt)
        return;
    tablesBuilt = true;
    if (!global_data.isEmpty())
        return;

    global_data = QList<QStringList>(SlotCount + 1);
    global_data[0] = {"No",  "First Name", "Surname", "Club",     "M/F",  "Cat",    "Weight",
                      "DOB", "MAC",        "Active",  "Distance", "Time", "Ranking"};
    for (int row = 1; row <= SlotCount; ++row) {
        QStringList& r = global_data[row];
        while (r.size() < PlayerColumnCount)
            r.append(QString());
        r[ColActive] = SlotNotConfigured;
        r[ColNo] = QString::number(row);
        r[ColDistance] = QStringLiteral("0");
        r[ColTime] = QStringLiteral("0");
        r[ColRanking] = QStringLiteral("0");
    }
}

QVariantList SharedData::players() const
{
    QVariantList list;
    for (int row = 1; row <= SlotCount && row < global_data.size(); ++row) {
        QVariantList entry;
        for (const QString& text : global_data[row])
            entry.append(text);
        list.append(QVariant(entry));
    }
    return list;
}

bool SharedData::setSharedItem(int player_index, int pos, QString data)
{
    // A column outside the row is refused like a slot outside the table: a row never grows.
    if (!isSlot(player_index) || pos < 0 || pos >= PlayerColumnCount)
        return false;
    slotRow(player_index)[pos] = data;
    return true;
}

void SharedData::writeProfile()
{
    static const char* const fieldWords[] = {"firstname", "surname", "club", "mf",
                                             "cat",       "weight",  "dob"};
    QSettings settings(organisation, profileStore);
    for (int row = 1; row <= SlotCount; ++row) {
        const QString key = QStringLiteral("player%1/").arg(row);
        for (int field = 0; field < 7; ++field)
            settings.setValue(key + QLatin1String(fieldWords[field]),
                              global_data[row][ColFirstName + field]);
    }
}

void SharedData::readProfile()
{
    if (!all_devices_connected) {
        for (int row = 1; row <= SlotCount; ++row) {
            QStringList& r = global_data[row];
            r[ColNo] = QString::number(row);
            for (int c = ColFirstName; c <= ColDob; ++c)
                r[c].clear();
            if (!r[ColMac].isEmpty())
                r[ColFirstName] = r[ColMac];
        }
    }
    emit playersChanged();
}

int SharedData::isActive(int index)
{
    if (!isSlot(index))
        return -2;
    const QString& code = slotRow(index)[ColActive];
    if (code == SlotFailed)
        return -1;
    if (code == SlotConnecting)
        return 0;
    if (code == SlotConnected)
        return 1;
    return -2;
}

void SharedData::setTotalDist(int dist)
{
    global_totaldist = dist;
}

QString SharedData::playerCat(int index)
{
    return isRaceRow(index) ? race_data[index][ColCat] : QString();
}

int SharedData::getTotalDist()
{
    return global_totaldist;
}

QString SharedData::playerName(int index)
{
    if (!isSlot(index))
        return QString();
    return slotRow(index)[ColFirstName] + QLatin1Char(' ') + slotRow(index)[ColSurname];
}

QString SharedData::getPlayerName(int index)
{
    if (!isRaceRow(index))
        return QString();
    return race_data[index][ColFirstName] + QLatin1Char(' ') + race_data[index][ColSurname];
}

QString SharedData::getPlayerLane(int index)
{
    return isRaceRow(index) ? race_data[index][ColNo] : QString();
}

void SharedData::filterRaceData()
{
    race_data.clear();
    for (int& entry : console_indexes)
        entry = -1;

    int k = 0;
    for (int row = 1; row <= SlotCount; ++row) {
        const QStringList& r = global_data[row];
        if (r[ColActive] != SlotConnected)
            continue;
        race_data.append(r);
        // The slot's own console: the link matched it loosely (any address notation, any
        // letter case of the name), so only its record knows it serves this slot.
        console_indexes[k] = getConsoleIndex(row - 1);
        if (console_indexes[k] < 0) {
            const QString a = r[ColMac].trimmed();
            for (int j = 0; j < consoles.size(); ++j) {
                if (consoles[j].address == a || consoles[j].name == a) {
                    console_indexes[k] = j;
                    break;
                }
            }
        }
        ++k;
    }
    // The race page takes its number of racers from here: one per race row, whatever the
    // last poll of the set-up page counted.
    global_playernum = race_data.size();
}

int SharedData::getConsoleIndex(int index)
{
    for (int j = consoles.size() - 1; j >= 0; --j) {
        if (consoles[j].slot == index)
            return j;
    }
    return -1;
}

bool SharedData::setRaceResult(int index, QString total_dist, QString race_end_time,
                               QString ranking)
{
    if (!isRaceRow(index))
        return false;
    race_data[index][ColDistance] = total_dist;
    race_data[index][ColTime] = race_end_time;
    race_data[index][ColRanking] = ranking;
    return true;
}

void SharedData::deletePlayers()
{
    for (int row = 1; row <= SlotCount; ++row) {
        // The lane number stays: no field of the set-up page could put it back, and the next
        // race shows it in its lanes, standings and results.
        global_data[row][ColNo] = QString::number(row);
        for (int c = ColFirstName; c <= ColDob; ++c)
            global_data[row][c].clear();
    }
    emit playersChanged();
}

void SharedData::importExcelFile()
{
    const QString path =
        QFileDialog::getOpenFileName(nullptr, QStringLiteral("Select Excel File"), QString(),
                                     QStringLiteral("Excel Files (*.xlsx *.xls)"));
    if (path.isEmpty())
        return;
    // An import that did nothing must not pass for one that worked: the organiser would race
    // with the athletes of the last sheet.
    QString why;
    if (!importExcelFileFrom(path, &why))
        QMessageBox::warning(nullptr, QStringLiteral("Import Excel"),
                             QStringLiteral("Nothing was imported.\n\n%1").arg(why));
}

bool SharedData::importExcelFileFrom(const QString& path, QString* why)
{
    if (!AthleteImport::load(path, why))
        return false;
    emit playersChanged();
    return true;
}

int SharedData::getDistance(int index)
{
    // Only the ten-entry map exists; anything outside it has no console.
    if (!isSlot(index))
        return 0;
    const int c = console_indexes[index];
    if (c < 0 || c >= consoles.size())
        return 0;
    return int(consoles[c].distance);
}

int SharedData::getStrokeRate(int consoleIndex)
{
    if (consoleIndex < 0 || consoleIndex >= consoles.size())
        return 0;
    return consoles[consoleIndex].strokeRate;
}

int SharedData::getStrokeCount(int consoleIndex)
{
    if (consoleIndex < 0 || consoleIndex >= consoles.size())
        return 0;
    return consoles[consoleIndex].strokeCount;
}

void SharedData::setPlayerNum(int nn)
{
    global_playernum = nn;
}

void SharedData::setBlueMacAddress(int index, QVariant mac)
{
    if (!isSlot(index))
        return;
    const QString text = mac.toString().trimmed();
    macCache[index] = text;
    QSettings settings(organisation, addressStore);
    settings.setValue(QString::number(index), text);
    slotRow(index)[ColMac] = text;
}

QString SharedData::blueMacAddress(int index)
{
    if (!isSlot(index))
        return QString();
    QSettings settings(organisation, addressStore);
    const QString text = settings.value(QString::number(index), QString()).toString().trimmed();
    slotRow(index)[ColMac] = text;
    return text;
}

QString SharedData::getBlueMacAddress(int index)
{
    return isSlot(index) ? slotRow(index)[ColMac] : QString();
}

int SharedData::getPlayerNum()
{
    return global_playernum;
}

void SharedData::setConfirmSetting(int value)
{
    global_setting_page_click = value;
}

int SharedData::isConfirmSetting()
{
    return global_setting_page_click;
}

void SharedData::setDeviceConnectionState(bool state)
{
    all_devices_connected = state;
}

void SharedData::holdRaceConsoles(bool held)
{
    race_consoles_held = held;
}

void SharedData::setScanConsoleState(int state)
{
    scan_console_state = state;
}

int SharedData::getScanConsoleState()
{
    return scan_console_state;
}

void SharedData::writeRaceLog(QString fileName, QString laneNum, double distance)
{
    LogWriter::append(fileName, " | Lane: ", laneNum, " | Distance: ", distance);
}

void SharedData::writeDistanceLog(QString deviceName, double distance)
{
    LogWriter::append(QStringLiteral("packet.log"), " | ", deviceName, " | Distance: ", distance,
                      " | *************************************************** ");
}
