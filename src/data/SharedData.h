#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantList>

// The race data object: the screens' only access to the athlete and slot table, the race rows
// and their results, the event header, the logs and the athlete import. The data live in the
// process-wide tables of RaceTables.h, which the console link and the results output share.
class SharedData : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariantList players READ players NOTIFY playersChanged)

public:
    explicit SharedData(QObject* parent = nullptr);
    ~SharedData() override;

    QVariantList players() const;

    // Builds the athlete and slot table once per process; also called by the constructor.
    static void buildTables();

signals:
    void playersChanged();

public:
    Q_INVOKABLE bool setSharedItem(int player_index, int pos, QString data);
    Q_INVOKABLE void writeProfile();
    Q_INVOKABLE void readProfile();
    Q_INVOKABLE int isActive(int index);
    Q_INVOKABLE void setTotalDist(int dist);
    Q_INVOKABLE QString playerCat(int index);
    Q_INVOKABLE int getTotalDist();
    Q_INVOKABLE QString playerName(int index);
    Q_INVOKABLE QString getPlayerName(int index);
    Q_INVOKABLE QString getPlayerLane(int index);
    Q_INVOKABLE void filterRaceData();
    Q_INVOKABLE int getConsoleIndex(int index);
    Q_INVOKABLE bool setRaceResult(int index, QString total_dist, QString race_end_time,
                                   QString ranking);
    Q_INVOKABLE void deletePlayers();
    Q_INVOKABLE void importExcelFile();
    Q_INVOKABLE int getDistance(int index);
    Q_INVOKABLE int getStrokeRate(int consoleIndex);
    Q_INVOKABLE int getStrokeCount(int consoleIndex);
    Q_INVOKABLE void setPlayerNum(int nn);
    Q_INVOKABLE void setBlueMacAddress(int index, QVariant mac);
    Q_INVOKABLE QString blueMacAddress(int index);
    Q_INVOKABLE QString getBlueMacAddress(int index);
    Q_INVOKABLE int getPlayerNum();
    Q_INVOKABLE void setConfirmSetting(int value);
    Q_INVOKABLE int isConfirmSetting();
    Q_INVOKABLE void setDeviceConnectionState(bool state);
    Q_INVOKABLE void holdRaceConsoles(bool held);
    Q_INVOKABLE void setScanConsoleState(int state);
    Q_INVOKABLE int getScanConsoleState();
    Q_INVOKABLE void writeRaceLog(QString fileName, QString laneNum, double distance);
    Q_INVOKABLE void writeDistanceLog(QString deviceName, double distance);

    // The import without its dialog: loads the workbook at path and, when it loads, replaces
    // the event header and the athlete block and emits playersChanged. When it does not, *why
    // says why and nothing changes.
    bool importExcelFileFrom(const QString& path, QString* why = nullptr);

private:
    QString macCache[10];
};
