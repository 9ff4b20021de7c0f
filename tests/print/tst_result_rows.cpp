// The result table read from the race rows: place order, incomplete race data, trimming.

#include "PrintManager.h"
#include "RaceTables.h"

#include <QTest>

namespace {

// Race row k: lane " k+1" and distance " 5k0" keep their blanks, the names lose theirs.
QStringList raceRow(int k, const QString& ranking)
{
    return {u' ' + QString::number(k + 1),
            QStringLiteral("  First%1 ").arg(k),
            QStringLiteral("Last%1\t").arg(k),
            QStringLiteral(" Club%1").arg(k),
            QStringLiteral("F "),
            QStringLiteral(" Cat"),
            QStringLiteral("7%1").arg(k),
            QStringLiteral("2000-01-0%1").arg(k + 1),
            QStringLiteral("mac"),
            SlotConnected,
            QStringLiteral(" 5%10").arg(k),
            QStringLiteral("02:0%1").arg(k),
            ranking};
}

} // namespace

class TestResultRows : public QObject
{
    Q_OBJECT

private slots:
    void placesFollowTheRankingColumn_data();
    void placesFollowTheRankingColumn();
};

void TestResultRows::placesFollowTheRankingColumn_data()
{
    QTest::addColumn<int>("racers");
    QTest::addColumn<QStringList>("rankings"); // column 12 of each race row
    QTest::addColumn<int>("shortRow");         // a race row cut to 12 texts, or -1
    QTest::addColumn<QList<int>>("places");    // race row of each place; empty: no table

    QTest::newRow("no racers") << 0 << QStringList{"0", "1"} << -1 << QList<int>{};
    QTest::newRow("row of 12 texts") << 3 << QStringList{"2", "0", "1"} << 1 << QList<int>{};
    QTest::newRow("short row past the racers")
        << 2 << QStringList{"1", "0", "2"} << 2 << QList<int>{1, 0};
    QTest::newRow("finishing order")
        << 4 << QStringList{"2", "0", "3", "1"} << -1 << QList<int>{2, 0, 3, 1};
    QTest::newRow("damaged entries keep their own row")
        << 4 << QStringList{"7", "-1", "x", ""} << -1 << QList<int>{0, 1, 2, 3};
    QTest::newRow("overflow and letters")
        << 4 << QStringList{"1", "99999999999", "0", "abc"} << -1 << QList<int>{1, 2, 0, 3};
    QTest::newRow("duplicate names nobody twice")
        << 4 << QStringList{"2", "2", "3", "1"} << -1 << QList<int>{2, 0, 3, 1};
    QTest::newRow("race not ended") << 3 << QStringList{"0", "0", "0"} << -1 << QList<int>{0, 1, 2};
    QTest::newRow("more race rows than racers")
        << 3 << QStringList{"4", "2", "0", "1", "3"} << -1 << QList<int>{1, 2, 0};
    // A console that became ready during the countdown raised the count past the race rows.
    QTest::newRow("more racers than race rows")
        << 5 << QStringList{"2", "0", "1"} << -1 << QList<int>{2, 0, 1};
}

void TestResultRows::placesFollowTheRankingColumn()
{
    QFETCH(int, racers);
    QFETCH(QStringList, rankings);
    QFETCH(int, shortRow);
    QFETCH(QList<int>, places);

    race_data.clear();
    for (int k = 0; k < rankings.size(); ++k)
        race_data.append(raceRow(k, rankings.at(k)));
    if (shortRow >= 0)
        race_data[shortRow].removeLast();
    global_playernum = racers;

    const QList<QStringList> table = PrintManager().buildRaceResultRows();
    if (places.isEmpty()) {
        QVERIFY(table.isEmpty());
        return;
    }
    QCOMPARE(table.size(), places.size() + 1);
    QCOMPARE(table.first(), (QStringList{"Rank", "Lane", "First Name", "Last Name", "Weight",
                                         "Gender", "DOB", "Club", "Category", "Distance", "Time"}));
    for (int p = 0; p < places.size(); ++p) {
        const int k = places.at(p);
        const QStringList r = raceRow(k, {}); // lane, distance and time keep their blanks
        const QStringList expected = {QString::number(p + 1),
                                      r[0],
                                      r[1].trimmed(),
                                      r[2].trimmed(),
                                      r[6],
                                      QStringLiteral("F"),
                                      r[7],
                                      r[3].trimmed(),
                                      QStringLiteral("Cat"),
                                      r[10],
                                      r[11]};
        QCOMPARE(table.at(p + 1), expected);
    }
}

QTEST_GUILESS_MAIN(TestResultRows)
#include "tst_result_rows.moc"
