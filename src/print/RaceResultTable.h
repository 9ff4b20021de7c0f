#pragma once

#include <QList>
#include <QStringList>

// Turns the race rows left by the race screen into the result table that every output prints:
// a title row, then one row per place in finishing order.
class RaceResultTable
{
public:
    static constexpr int ColumnCount = 11;

    static QStringList titles();
    // racerCount is the number of racers the race started with; empty when there is nothing to
    // output.
    static QList<QStringList> build(const QList<QStringList>& raceRows, int racerCount);
    // The race row that takes each place, read from the rows' "Ranking" column; always a
    // permutation of 0 .. count - 1.
    static QList<int> placeOrder(const QList<QStringList>& raceRows, int count);
};
