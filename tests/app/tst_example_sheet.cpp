// The example athlete sheet that the build writes for trying "Import Excel" imports as the
// README describes it.
#include "RaceTables.h"
#include "SharedData.h"

#include <QSignalSpy>
#include <QTest>

class tst_ExampleSheet : public QObject
{
    Q_OBJECT

private slots:
    void importsOrganiserEventAndSixAthletes();
};

void tst_ExampleSheet::importsOrganiserEventAndSixAthletes()
{
    SharedData data;
    QSignalSpy spy(&data, &SharedData::playersChanged);
    QVERIFY(data.importExcelFileFrom(QStringLiteral(RIVANTA_EXAMPLE_SHEET)));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(event_data,
             QStringList({"Split Kayak Club", "Obala 12, 21000 Split", "races@splitkayak.example",
                          "+385 21 555 0199", "Winter Ergo Cup", "2027-01-16", "Spaladium Arena"}));
    QCOMPARE(global_data[1].mid(ColNo, 8),
             QStringList({"1", "Ana", "Horvat", "KK Split", "F", "Senior", "62", "1999-03-14"}));
    QCOMPARE(global_data[6].mid(ColNo, 3), QStringList({"6", "Marko", "Peric"}));
    // Lanes without an athlete keep their numbers and lose their athletes.
    for (int slot = 6; slot < SlotCount; ++slot)
        QCOMPARE(global_data[slot + 1].mid(ColNo, 8),
                 QStringList({QString::number(slot + 1)}) + QStringList(7, QString()));
}

QTEST_MAIN(tst_ExampleSheet)
#include "tst_example_sheet.moc"
