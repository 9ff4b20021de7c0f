#pragma once

#include "RaceTables.h"

#include <QStringList>

// A finished race of n athletes (n <= 10) in the shared tables, as the race screen leaves it:
// race row k took place n - k, so the results list the race rows backwards.
inline void setUpFinishedRace(int n)
{
    static const char* const first[] = {"Anna",  "Ben",   "Clara", "David", "Eva",
                                        "Felix", "Greta", "Hugo",  "Ida",   "Jonas"};
    static const char* const last[] = {"Keller", "Lang",  "Meyer", "Novak",  "Ortiz",
                                       "Petrov", "Quinn", "Rossi", "Schulz", "Thorsen"};
    static const char* const clubs[] = {"Lakeside Paddling Club", "River Kayak Team",
                                        "Harbour Canoe Club"};
    race_data.clear();
    for (int k = 0; k < n; ++k) {
        race_data.append({QString::number(k + 1), QString::fromLatin1(first[k]),
                          QString::fromLatin1(last[k]), QString::fromLatin1(clubs[k % 3]),
                          k % 2 ? QStringLiteral("F") : QStringLiteral("M"),
                          QStringLiteral("Senior"), QString::number(68 + k),
                          QStringLiteral("1995-04-%1").arg(10 + k), QStringLiteral("C%1").arg(k),
                          SlotConnected, QStringLiteral("500"),
                          QStringLiteral("02:%1").arg(10 + (n - 1 - k) * 3),
                          QString::number(n - 1 - k)});
    }
    global_playernum = n;
    event_data = {
        QStringLiteral("Lakeside Paddling Club"),   QStringLiteral("12 Harbour Road, Lakeside"),
        QStringLiteral("results@lakeside.example"), QStringLiteral("+44 20 7946 0000"),
        QStringLiteral("Spring Regatta"),           QStringLiteral("2024-05-18"),
        QStringLiteral("Lakeside Boathouse")};
}

// The athlete in place p (1 = winner) of setUpFinishedRace(n), as "First Last".
inline QString athleteInPlace(int p)
{
    const QStringList& row = race_data.at(race_data.size() - p);
    return row.at(ColFirstName) + u' ' + row.at(ColSurname);
}
