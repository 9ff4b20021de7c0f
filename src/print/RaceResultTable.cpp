#include "RaceResultTable.h"

#include "RaceTables.h"

QStringList RaceResultTable::titles()
{
    return {QStringLiteral("Rank"),      QStringLiteral("Lane"),   QStringLiteral("First Name"),
            QStringLiteral("Last Name"), QStringLiteral("Weight"), QStringLiteral("Gender"),
            QStringLiteral("DOB"),       QStringLiteral("Club"),   QStringLiteral("Category"),
            QStringLiteral("Distance"),  QStringLiteral("Time")};
}

QList<QStringList> RaceResultTable::build(const QList<QStringList>& raceRows, int racerCount)
{
    // A console that becomes ready during the countdown raises the racer count past the race
    // rows; the rows that raced are still worth printing.
    const int n = qMin(racerCount, int(raceRows.size()));
    if (n < 1)
        return {};
    for (int i = 0; i < n; ++i) {
        if (raceRows.at(i).size() < PlayerColumnCount)
            return {};
    }

    QList<QStringList> table;
    table.reserve(n + 1);
    table.append(titles());
    const QList<int> order = placeOrder(raceRows, n);
    for (int k = 0; k < n; ++k) {
        const QStringList& r = raceRows.at(order.at(k));
        table.append({QString::number(k + 1), r.at(ColNo), r.at(ColFirstName).trimmed(),
                      r.at(ColSurname).trimmed(), r.at(ColWeight).trimmed(), r.at(ColSex).trimmed(),
                      r.at(ColDob).trimmed(), r.at(ColClub).trimmed(), r.at(ColCat).trimmed(),
                      r.at(ColDistance), r.at(ColTime)});
    }
    return table;
}

QList<int> RaceResultTable::placeOrder(const QList<QStringList>& raceRows, int count)
{
    // The first place to name a race row keeps it. A place whose entry is unset, damaged or
    // names a row already placed takes its own row when that is still free, otherwise the
    // lowest free one, so every athlete is listed exactly once.
    QList<int> order(count, -1);
    QList<bool> placed(count, false);
    for (int i = 0; i < count; ++i) {
        bool ok = false;
        const int value = raceRows.at(i).value(ColRanking).toInt(&ok, 10);
        if (ok && value >= 0 && value < count && !placed.at(value)) {
            order[i] = value;
            placed[value] = true;
        }
    }
    int lowestFree = 0;
    for (int i = 0; i < count; ++i) {
        if (order.at(i) >= 0)
            continue;
        int row = i;
        if (placed.at(row)) {
            while (placed.at(lowestFree))
                ++lowestFree;
            row = lowestFree;
        }
        order[i] = row;
        placed[row] = true;
    }
    return order;
}
