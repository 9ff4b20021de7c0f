#include "RaceFeed.h"

#include "KayakConsole.h"
#include "LogWriter.h"
#include "RaceTables.h"
#include "SharedData.h"

#include <QFile>
#include <QQmlEngine>
#include <QtCore/qcoreapplication.h>

namespace {

const char* const firstNames[SlotCount] = {"Ana",   "Marko", "Lena", "Ivan", "Sara",
                                           "Tomas", "Mia",   "Luka", "Eva",  "Petar"};
const char* const surnames[SlotCount] = {"Kovac", "Horvat",   "Novak",   "Babic", "Maric",
                                         "Juric", "Knezevic", "Vukovic", "Peric", "Pavlovic"};

QString consoleAddress(int slot)
{
    return QStringLiteral("AA:BB:CC:00:00:%1").arg(slot, 2, 10, QLatin1Char('0'));
}

} // namespace

void RaceFeed::setUpRace(int racers, int distance, int firstSlot)
{
    SharedData data;
    consoles.clear();
    for (int slot = 0; slot < SlotCount; ++slot) {
        QStringList& row = global_data[slot + 1];
        const bool racing = slot >= firstSlot && slot < firstSlot + racers;
        row[ColFirstName] = QString::fromLatin1(firstNames[slot]);
        row[ColSurname] = QString::fromLatin1(surnames[slot]);
        row[ColCat] = slot % 2 ? QStringLiteral("K1 Junior") : QStringLiteral("K1 Senior");
        row[ColMac] = consoleAddress(slot);
        row[ColActive] = racing ? SlotConnected : SlotNotConfigured;
        if (!racing)
            continue;
        KayakConsole console;
        console.name = QStringLiteral("Console %1").arg(slot + 1);
        console.address = consoleAddress(slot);
        console.slot = slot;
        consoles.append(console);
    }
    data.setTotalDist(distance);
    data.setPlayerNum(racers);
    data.filterRaceData();
}

void RaceFeed::setReading(int row, int metres)
{
    const int c = row >= 0 && row < SlotCount ? console_indexes[row] : -1;
    if (c >= 0 && c < consoles.size())
        consoles[c].distance = quint32(metres);
}

void RaceFeed::setReadings(const QVariantList& metres)
{
    for (int row = 0; row < metres.size(); ++row)
        setReading(row, metres[row].toInt());
}

QStringList RaceFeed::result(int row)
{
    if (row < 0 || row >= race_data.size())
        return {};
    return race_data[row].mid(ColDistance, 3);
}

QStringList RaceFeed::logLines(const QString& fileName, const QString& label)
{
    QFile file(LogWriter::logFolder() + QLatin1Char('/') + fileName);
    QStringList lines;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return lines;
    const QString marker = QStringLiteral(" | ") + label + QStringLiteral(" | Distance: ");
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).chopped(1);
        if (label.isEmpty() || line.contains(marker))
            lines.append(line);
    }
    return lines;
}

QString RaceFeed::athleteName(int slot)
{
    return QString::fromLatin1(firstNames[slot]) + QLatin1Char(' ') +
           QString::fromLatin1(surnames[slot]);
}

namespace {

void registerRaceFeed()
{
    qmlRegisterSingletonType<RaceFeed>(
        "RivantaRaceFeed", 1, 0, "RaceFeed",
        [](QQmlEngine*, QJSEngine*) -> QObject* { return new RaceFeed; });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(registerRaceFeed)

bool RaceFeed::consolesHeld()
{
    return race_consoles_held;
}
