#include "RaceTables.h"
#include "SharedData.h"

#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

class TestSharedData : public QObject
{
    Q_OBJECT

private:
    SharedData* data = nullptr;

    static QSettings addressStore() { return QSettings("Rivanta", "BlueMacAddr"); }

private slots:
    void initTestCase()
    {
        // The test's own HOME and XDG folders keep the settings away from the user's.
        QVERIFY(QStandardPaths::writableLocation(QStandardPaths::ConfigLocation)
                    .startsWith(qEnvironmentVariable("HOME")));
        QSettings("Rivanta", "BlueMacAddr").clear();
        QSettings("Rivanta", "RaceApp").clear();
        QVERIFY(global_data.isEmpty());
        data = new SharedData;
    }

    void cleanupTestCase() { delete data; }

    void tablesAfterConstruction()
    {
        QCOMPARE(global_data.size(), 11);
        QCOMPARE(global_data[0],
                 QStringList({"No", "First Name", "Surname", "Club", "M/F", "Cat", "Weight", "DOB",
                              "MAC", "Active", "Distance", "Time", "Ranking"}));
        const QVariantList players = data->players();
        QCOMPARE(players.size(), 10);
        for (int s = 0; s < 10; ++s) {
            const QStringList row = players[s].toStringList();
            QCOMPARE(row.size(), 13);
            QCOMPARE(row[0], QString::number(s + 1));
            for (int c = 1; c <= 8; ++c)
                QVERIFY2(row[c].isEmpty(), qPrintable(QString("slot %1 column %2").arg(s).arg(c)));
            QCOMPARE(row.mid(9), QStringList({"-2", "0", "0", "0"}));
        }
        QCOMPARE(race_data.size(), 0);
        for (int entry : console_indexes)
            QCOMPARE(entry, -1);
        QCOMPARE(event_data.size(), 7);
        QCOMPARE(event_data[eventName], QString("Race Event"));
        QCOMPARE(event_data[eventDate], QDate::currentDate().toString("yyyy-MM-dd"));
        QCOMPARE(event_data[eventPlace], QString("Vezezi Zar Ududevi Zuvuvo"));
        QVERIFY(!event_data[organiserName].isEmpty());
    }

    void isActiveMapsExactCodes_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("expected");
        QTest::newRow("failed") << 0 << "-1" << -1;
        QTest::newRow("connecting") << 4 << "0" << 0;
        QTest::newRow("connected") << 9 << "1" << 1;
        QTest::newRow("not configured") << 2 << "-2" << -2;
        QTest::newRow("blank before 1") << 3 << " 1" << -2;
        QTest::newRow("leading zero") << 3 << "01" << -2;
        QTest::newRow("empty") << 3 << "" << -2;
        QTest::newRow("index 10") << 10 << "1" << -2;
        QTest::newRow("index -1") << -1 << "1" << -2;
        QTest::newRow("index 100") << 100 << "1" << -2;
    }

    void isActiveMapsExactCodes()
    {
        QFETCH(int, index);
        QFETCH(QString, code);
        QFETCH(int, expected);
        for (int row = 1; row <= 10; ++row)
            global_data[row][ColActive] = "1";
        if (index >= 0 && index < 10)
            global_data[index + 1][ColActive] = code;
        QCOMPARE(data->isActive(index), expected);
        for (int row = 1; row <= 10; ++row)
            global_data[row][ColActive] = "-2";
    }

    void secondInstanceLeavesTablesAlone()
    {
        QVERIFY(data->setSharedItem(0, ColFirstName, "Ana"));
        global_data[1][ColActive] = "1";
        const QList<QStringList> before = global_data;
        {
            SharedData second;
            QCOMPARE(second.players(), data->players());
        }
        QCOMPARE(global_data, before);
        global_data[1][ColActive] = "-2";
        global_data[1][ColFirstName].clear();
    }

    void setSharedItemBounds()
    {
        QSignalSpy changed(data, &SharedData::playersChanged);
        QVERIFY(data->setSharedItem(9, 1, "  Ivo  "));
        QCOMPARE(global_data[10][1], QString("  Ivo  "));
        QVERIFY(data->setSharedItem(0, 12, "x"));
        QCOMPARE(global_data[1][12], QString("x"));
        global_data[1][12] = "0";

        const QList<QStringList> before = global_data;
        QVERIFY(!data->setSharedItem(10, 1, "A"));
        QVERIFY(!data->setSharedItem(-1, 1, "A"));
        QVERIFY(!data->setSharedItem(0, 13, "A"));
        QVERIFY(!data->setSharedItem(0, -1, "A"));
        QVERIFY(!data->setSharedItem(0, 1000, "A"));
        QCOMPARE(global_data, before);
        for (const QStringList& row : global_data)
            QCOMPARE(row.size(), 13);
        QCOMPARE(changed.count(), 0);
        global_data[10][1].clear();
    }

    void addressesThroughSettingsStore()
    {
        data->setBlueMacAddress(3, QVariant("  AA:BB:CC:DD:EE:01 \t"));
        QCOMPARE(addressStore().value("3").toString(), QString("AA:BB:CC:DD:EE:01"));
        QCOMPARE(global_data[4][ColMac], QString("AA:BB:CC:DD:EE:01"));

        // The getter reads the table, not the store.
        addressStore().setValue("3", "changed behind its back");
        QCOMPARE(data->getBlueMacAddress(3), QString("AA:BB:CC:DD:EE:01"));
        // The loader copies the store into the table.
        QCOMPARE(data->blueMacAddress(3), QString("changed behind its back"));
        QCOMPARE(global_data[4][ColMac], QString("changed behind its back"));

        // A missing key empties the slot's entry, overwriting whatever it held.
        global_data[6][ColMac] = "Console 6";
        QCOMPARE(data->blueMacAddress(5), QString());
        QCOMPARE(global_data[6][ColMac], QString());

        // A number is stored as its text.
        data->setBlueMacAddress(0, QVariant(42));
        QCOMPARE(data->blueMacAddress(0), QString("42"));

        // Slots outside the table change nothing.
        const QList<QStringList> before = global_data;
        data->setBlueMacAddress(10, "X");
        data->setBlueMacAddress(-1, "X");
        QCOMPARE(data->blueMacAddress(10), QString());
        QCOMPARE(data->blueMacAddress(-1), QString());
        QCOMPARE(data->getBlueMacAddress(10), QString());
        QCOMPARE(global_data, before);
        QVERIFY(!addressStore().contains("10"));
        QVERIFY(!addressStore().contains("-1"));

        // An empty text is stored like any other.
        data->setBlueMacAddress(3, "");
        QCOMPARE(addressStore().value("3").toString(), QString());
        QCOMPARE(data->blueMacAddress(3), QString());
        data->setBlueMacAddress(0, "");
    }

    void readProfileResetsAthletesUnlessConnected()
    {
        QSignalSpy changed(data, &SharedData::playersChanged);
        global_data[2][ColMac] = "Kayak-07";
        global_data[2][ColSurname] = "Horvat";
        global_data[5][ColNo] = "";
        global_data[5][ColClub] = "VK Split";

        all_devices_connected = true;
        const QList<QStringList> before = global_data;
        data->readProfile();
        QCOMPARE(global_data, before);
        QCOMPARE(changed.count(), 1);

        all_devices_connected = false;
        data->readProfile();
        QCOMPARE(changed.count(), 2);
        QCOMPARE(global_data[2][ColFirstName], QString("Kayak-07"));
        QCOMPARE(global_data[2][ColSurname], QString());
        QCOMPARE(global_data[5][ColNo], QString("5"));
        QCOMPARE(global_data[5][ColClub], QString());
        QCOMPARE(global_data[5][ColFirstName], QString());
        QCOMPARE(global_data[2][ColMac], QString("Kayak-07"));
        global_data[2][ColMac].clear();
        data->readProfile();
    }

    void deletePlayersKeepsAddressesAndStates()
    {
        QSignalSpy changed(data, &SharedData::playersChanged);
        for (int s = 0; s < 10; ++s) {
            for (int c = 1; c <= 7; ++c)
                QVERIFY(data->setSharedItem(s, c, QString("v%1%2").arg(s).arg(c)));
        }
        global_data[3][ColMac] = "Console 3";
        global_data[3][ColActive] = "1";
        data->deletePlayers();
        QCOMPARE(changed.count(), 1);
        for (int row = 1; row <= 10; ++row) {
            // The lane numbers stay for the next race.
            QCOMPARE(global_data[row][ColNo], QString::number(row));
            for (int c = 1; c <= 7; ++c)
                QVERIFY(global_data[row][c].isEmpty());
            QCOMPARE(global_data[row].size(), 13);
        }
        QCOMPARE(global_data[3][ColMac], QString("Console 3"));
        QCOMPARE(global_data[3][ColActive], QString("1"));
        QCOMPARE(global_data[3][ColDistance], QString("0"));
        global_data[3][ColMac].clear();
        global_data[3][ColActive] = "-2";
        data->readProfile();
    }

    // The racer count is the number of race rows, whatever the set-up page counted at its last
    // poll; the rows keep their lane numbers after "Delete Players".
    void raceRowsSetTheRacerCount_data()
    {
        QTest::addColumn<QList<int>>("connected");
        QTest::newRow("none") << QList<int>{};
        QTest::newRow("three") << QList<int>{2, 5, 7};
        QTest::newRow("all") << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    }
    void raceRowsSetTheRacerCount()
    {
        QFETCH(QList<int>, connected);
        for (int s = 0; s < 10; ++s)
            global_data[s + 1][ColActive] = connected.contains(s) ? "1" : "-1";
        data->deletePlayers();
        data->setPlayerNum(4);
        data->filterRaceData();
        QCOMPARE(data->getPlayerNum(), connected.size());
        QCOMPARE(race_data.size(), connected.size());
        for (int k = 0; k < connected.size(); ++k)
            QCOMPARE(data->getPlayerLane(k), QString::number(connected[k] + 1));
        for (int s = 0; s < 10; ++s)
            global_data[s + 1][ColActive] = "-2";
    }

    void writeProfileStoresAthleteFields()
    {
        QVERIFY(data->setSharedItem(0, ColFirstName, "Ana"));
        QVERIFY(data->setSharedItem(9, ColDob, "2001-02-03"));
        QVERIFY(data->setSharedItem(4, ColSex, "F"));
        data->writeProfile();
        QSettings profile("Rivanta", "RaceApp");
        QCOMPARE(profile.value("player1/firstname").toString(), QString("Ana"));
        QCOMPARE(profile.value("player10/dob").toString(), QString("2001-02-03"));
        QCOMPARE(profile.value("player5/mf").toString(), QString("F"));
        QCOMPARE(profile.allKeys().size(), 70);
        data->readProfile();
    }

    void flagsKeepWhatWasStored()
    {
        data->setPlayerNum(3);
        global_playernum += 1; // a console that became ready afterwards
        QCOMPARE(data->getPlayerNum(), 4);
        data->setTotalDist(1500);
        QCOMPARE(data->getTotalDist(), 1500);
        data->setScanConsoleState(ScanScanning);
        QCOMPARE(data->getScanConsoleState(), 1);
        data->setConfirmSetting(1);
        QCOMPARE(data->isConfirmSetting(), 1);
        data->setDeviceConnectionState(true);
        QVERIFY(all_devices_connected);
        data->setDeviceConnectionState(false);
        QVERIFY(!all_devices_connected);
        data->setScanConsoleState(ScanNoAction);
    }

    void playerNameOfSlot()
    {
        QVERIFY(data->setSharedItem(2, ColFirstName, "Marko"));
        QVERIFY(data->setSharedItem(2, ColSurname, "Kovač"));
        QCOMPARE(data->playerName(2), QString("Marko Kovač"));
        QCOMPARE(data->playerName(10), QString());
        QCOMPARE(data->playerName(-1), QString());
        data->readProfile();
    }
};

QTEST_GUILESS_MAIN(TestSharedData)
#include "tst_shareddata.moc"
