#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>

// Race rows with consoles of their own whose readings a test sets, reached by the race page
// through the real SharedData calls; and what the race left in the race rows and the logs.
// Also a QML singleton "RaceFeed" (module RivantaRaceFeed 1.0).
class RaceFeed : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // The first `racers` slots connected, with athletes and one console each reading 0; the
    // race distance and the number of racers stored and the race rows built, as the athlete
    // screen leaves them before it opens the race page.
    // With `firstSlot`, the racers take the slots from there on, so lanes differ from rows.
    Q_INVOKABLE static void setUpRace(int racers, int distance, int firstSlot = 0);
    Q_INVOKABLE static void setReading(int row, int metres);
    Q_INVOKABLE static void setReadings(const QVariantList& metres);
    // Columns "Distance", "Time" and "Ranking" of a race row.
    Q_INVOKABLE static QStringList result(int row);
    // The lines of a log file in the logs folder; for "packet.log" only those with this label.
    Q_INVOKABLE static QStringList logLines(const QString& fileName, const QString& label = {});
    Q_INVOKABLE static QString athleteName(int slot);
    // Whether a race page holds its consoles, so that none is given up.
    Q_INVOKABLE static bool consolesHeld();
};
