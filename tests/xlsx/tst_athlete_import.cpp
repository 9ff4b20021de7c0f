// The athlete and event import, with and without its file dialog.
#include "AthleteImport.h"
#include "Document.h"
#include "Format.h"
#include "RaceTables.h"
#include "SharedData.h"
#include "TestWorkbook.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// Answers the next file dialog that opens: chooses path, or cancels when path is empty.
class DialogAnswer : public QObject
{
public:
    explicit DialogAnswer(const QString& path) : m_path(path)
    {
        connect(&m_timer, &QTimer::timeout, this, &DialogAnswer::poll);
        m_timer.start(20);
    }
    bool seen = false;
    bool modal = false;
    QString caption;
    QStringList filters;

private:
    void poll()
    {
        QFileDialog* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!dialog && w->isVisible())
                dialog = qobject_cast<QFileDialog*>(w);
        }
        if (!dialog) {
            if (++m_polls > 500) { // nothing after ten seconds: close whatever is open
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (auto* d = qobject_cast<QDialog*>(w))
                        d->reject();
            }
            return;
        }
        if (!seen) {
            seen = true;
            modal = dialog->isModal() || dialog->windowModality() != Qt::NonModal;
            caption = dialog->windowTitle();
            filters = dialog->nameFilters();
        }
        // Types the whole path into the file name field, as an operator may, and accepts. The
        // dialog may still be reading its folder: answer again on the next tick until it closes.
        if (m_path.isEmpty()) {
            dialog->reject();
        } else if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
            edit->setText(m_path);
            QMetaObject::invokeMethod(dialog, "accept");
        } else {
            dialog->selectFile(m_path);
            QMetaObject::invokeMethod(dialog, "accept");
        }
        if (++m_polls > 500)
            dialog->reject();
    }

    QString m_path;
    QTimer m_timer;
    int m_polls = 0;
};

// Notes the title and text of each message box that opens and closes it with OK.
class MessageAnswer : public QObject
{
public:
    MessageAnswer()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                seen << box->windowTitle() + u'|' + box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        m_timer.start(20);
    }
    QStringList seen;

private:
    QTimer m_timer;
};

} // namespace

class tst_AthleteImport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void importsEventCellsAndAllAthleteCells();
    void emptyEventCellsKeepTheirEntries();
    void fiveFilledRowsEmptyTheOtherSlots();
    void moreThanTenAthletesImportsTheFirstTen();
    void fileThatIsNotAWorkbookChangesNothing();
    void sheetWithoutCellsToReadChangesNothing_data();
    void sheetWithoutCellsToReadChangesNothing();
    void dialogChoosesAFile();
    void cancelledDialogChangesNothing();
    void unreadableFileIsTold_data();
    void unreadableFileIsTold();

private:
    QString workbook(const QString& name, const QByteArray& sheetData);
    QTemporaryDir m_dir;
    SharedData* m_data = nullptr;
    QList<QStringList> m_globalAtStart;
    QStringList m_eventAtStart;
};

void tst_AthleteImport::initTestCase()
{
    m_data = new SharedData(this);
    QCOMPARE(global_data.size(), SlotCount + 1);
    m_globalAtStart = global_data;
    m_eventAtStart = event_data;
}

void tst_AthleteImport::init()
{
    global_data = m_globalAtStart;
    event_data = m_eventAtStart;
    // Something in every athlete and results column, to see what the import replaces.
    for (int slot = 1; slot <= SlotCount; ++slot)
        for (int column = 0; column < PlayerColumnCount; ++column)
            global_data[slot][column] = QStringLiteral("old %1.%2").arg(slot).arg(column);
}

QString tst_AthleteImport::workbook(const QString& name, const QByteArray& sheetData)
{
    const QString path = m_dir.filePath(name);
    const QByteArray styles =
        "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<cellXfs count=\"2\"><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/></cellXfs></styleSheet>";
    const bool ok = TestWorkbook::write(
        path,
        TestWorkbook::workbook({{QStringLiteral("Athletes"), TestWorkbook::sheetXml(sheetData)}}, 0,
                               TestWorkbook::sharedStringsXml({"Kayak Club Split"}), styles));
    return ok ? path : QString();
}

void tst_AthleteImport::importsEventCellsAndAllAthleteCells()
{
    // Written by our own writer; the phone is in F4, a decoy in G4.
    QXlsx::Document doc;
    const QXlsx::Format plain;
    const QList<QPair<QString, QVariant>> header = {
        {"C1", "Kayak Club Split"}, {"C3", "Obala 1, Split"}, {"C4", "club@example.org"},
        {"F4", "+385 21 000"},      {"G4", "not the phone"},  {"A7", "Winter Cup"},
        {"C7", "2027-01-16"},       {"E7", "Split Arena"}};
    for (const auto& cell : header) {
        const int row = cell.first.mid(1).toInt();
        const int column = cell.first[0].unicode() - u'A' + 1;
        QVERIFY(doc.write(row, column, cell.second, plain));
    }
    for (int slot = 0; slot < SlotCount; ++slot)
        for (int column = 1; column <= 8; ++column)
            QVERIFY(doc.write(11 + slot, column,
                              column == 1
                                  ? QVariant(slot + 1)
                                  : QVariant(QStringLiteral("r%1c%2").arg(slot).arg(column)),
                              plain));
    QVERIFY(doc.write(11, 9, QStringLiteral("beyond H"), plain));
    const QString path = m_dir.filePath("full.xlsx");
    QVERIFY(doc.saveAs(path));

    QSignalSpy spy(m_data, &SharedData::playersChanged);
    QVERIFY(m_data->importExcelFileFrom(path));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(event_data, QStringList({"Kayak Club Split", "Obala 1, Split", "club@example.org",
                                      "+385 21 000", "Winter Cup", "2027-01-16", "Split Arena"}));
    for (int slot = 0; slot < SlotCount; ++slot) {
        const QStringList& row = global_data[slot + 1];
        QCOMPARE(row[ColNo], QString::number(slot + 1));
        for (int column = 1; column < 8; ++column)
            QCOMPARE(row[column], QStringLiteral("r%1c%2").arg(slot).arg(column + 1));
        for (int column = 8; column < PlayerColumnCount; ++column) // address, state, results
            QCOMPARE(row[column], QStringLiteral("old %1.%2").arg(slot + 1).arg(column));
    }
    QCOMPARE(global_data[0], m_globalAtStart[0]); // the header row
}

void tst_AthleteImport::emptyEventCellsKeepTheirEntries()
{
    // Athletes only; a lane of 3.0 and a date of birth stored as a date.
    const QString path =
        workbook("athletes-only.xlsx",
                 "<row r=\"4\"><c r=\"C4\" s=\"1\"/><c r=\"G4\" t=\"inlineStr\"><is><t>+1 "
                 "555</t></is></c></row>"
                 "<row r=\"11\"><c r=\"A11\"><v>3.0</v></c><c r=\"B11\" t=\"s\"><v>0</v></c>"
                 "<c r=\"H11\" s=\"1\"><v>37000</v></c></row>");
    QVERIFY(!path.isEmpty());
    QVERIFY(AthleteImport::load(path));
    QCOMPARE(event_data, m_eventAtStart);
    QCOMPARE(global_data[1][ColNo], QStringLiteral("3"));
    QCOMPARE(global_data[1][ColFirstName], QStringLiteral("Kayak Club Split"));
    QCOMPARE(global_data[1][ColDob], QStringLiteral("2001-04-19"));
}

void tst_AthleteImport::fiveFilledRowsEmptyTheOtherSlots()
{
    QByteArray data;
    for (int r = 11; r <= 15; ++r)
        data += "<row r=\"" + QByteArray::number(r) + "\"><c r=\"A" + QByteArray::number(r) +
                "\"><v>" + QByteArray::number(r - 10) + "</v></c><c r=\"C" + QByteArray::number(r) +
                "\" t=\"inlineStr\"><is><t> Horvat </t></is></c></row>";
    const QString path = workbook("five.xlsx", data);
    QVERIFY(AthleteImport::load(path));
    for (int slot = 0; slot < 5; ++slot) {
        QCOMPARE(global_data[slot + 1][ColNo], QString::number(slot + 1));
        QCOMPARE(global_data[slot + 1][ColSurname], QStringLiteral(" Horvat ")); // not trimmed
        QCOMPARE(global_data[slot + 1][ColFirstName], QString());
    }
    // The slots below the last athlete are emptied but keep their lane numbers.
    for (int slot = 5; slot < SlotCount; ++slot) {
        QCOMPARE(global_data[slot + 1][ColNo], QString::number(slot + 1));
        for (int column = 1; column < 8; ++column)
            QCOMPARE(global_data[slot + 1][column], QString());
        QCOMPARE(global_data[slot + 1][ColMac], QStringLiteral("old %1.8").arg(slot + 1));
    }
}

void tst_AthleteImport::moreThanTenAthletesImportsTheFirstTen()
{
    QByteArray data;
    for (int r = 11; r <= 25; ++r)
        data += "<row r=\"" + QByteArray::number(r) + "\"><c r=\"B" + QByteArray::number(r) +
                "\" t=\"inlineStr\"><is><t>row " + QByteArray::number(r) + "</t></is></c></row>";
    QVERIFY(AthleteImport::load(workbook("fifteen.xlsx", data)));
    for (int slot = 0; slot < SlotCount; ++slot)
        QCOMPARE(global_data[slot + 1][ColFirstName], QStringLiteral("row %1").arg(11 + slot));
}

void tst_AthleteImport::fileThatIsNotAWorkbookChangesNothing()
{
    const QList<QStringList> globalBefore = global_data;
    const QStringList eventBefore = event_data;
    QSignalSpy spy(m_data, &SharedData::playersChanged);
    const QString text = m_dir.filePath("athletes.xls");
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromHex("D0CF11E0A1B11AE1") + QByteArray(2048, '\0'));
    file.close();
    QVERIFY(!m_data->importExcelFileFrom(text));
    QVERIFY(!m_data->importExcelFileFrom(m_dir.filePath("missing.xlsx")));
    QCOMPARE(spy.count(), 0);
    QCOMPARE(global_data, globalBefore);
    QCOMPARE(event_data, eventBefore);
}

void tst_AthleteImport::sheetWithoutCellsToReadChangesNothing_data()
{
    QTest::addColumn<QString>("path");
    // openpyxl's workbook with athletes on its first sheet and a chart sheet as the active one.
    const QString chart = m_dir.filePath("chart.xlsx");
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QStringLiteral(R"(
import sys, openpyxl
from openpyxl.chart import BarChart, Reference
wb = openpyxl.Workbook()
ws = wb.active
for r in range(11, 21):
    ws.cell(r, 1, r - 10); ws.cell(r, 2, "Ana %d" % r)
chart = BarChart(); chart.add_data(Reference(ws, min_col=1, min_row=11, max_row=20))
wb.create_chartsheet("Chart").add_chart(chart)
wb.active = 1
wb.save(sys.argv[1])
)"),
                                                      chart});
    QVERIFY2(python.waitForFinished(60000) && python.exitCode() == 0,
             python.readAllStandardError().constData());
    QTest::newRow("chart sheet") << chart;
    QTest::newRow("sheet that cannot be read")
        << workbook("nested.xlsx", "<row r=\"11\"><c r=\"A11\"><c r=\"B11\"/></c></row>");
}

void tst_AthleteImport::sheetWithoutCellsToReadChangesNothing()
{
    QFETCH(QString, path);
    QVERIFY(QXlsx::Document(path).load());
    const QList<QStringList> globalBefore = global_data;
    const QStringList eventBefore = event_data;
    QSignalSpy spy(m_data, &SharedData::playersChanged);
    QVERIFY(!m_data->importExcelFileFrom(path));
    QCOMPARE(spy.count(), 0);
    QCOMPARE(global_data, globalBefore);
    QCOMPARE(event_data, eventBefore);
}

void tst_AthleteImport::dialogChoosesAFile()
{
    const QString path = workbook("dialog.xlsx", "<row r=\"1\"><c r=\"C1\" t=\"inlineStr\"><is>"
                                                 "<t>From the dialog</t></is></c></row>");
    QSignalSpy spy(m_data, &SharedData::playersChanged);
    DialogAnswer answer(path);
    m_data->importExcelFile();
    QVERIFY(answer.seen);
    QVERIFY(answer.modal);
    QCOMPARE(answer.caption, QStringLiteral("Select Excel File"));
    QCOMPARE(answer.filters, QStringList({"Excel Files (*.xlsx *.xls)"}));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(event_data[organiserName], QStringLiteral("From the dialog"));
}

void tst_AthleteImport::cancelledDialogChangesNothing()
{
    const QList<QStringList> globalBefore = global_data;
    const QStringList eventBefore = event_data;
    QSignalSpy spy(m_data, &SharedData::playersChanged);
    DialogAnswer answer{QString()};
    m_data->importExcelFile();
    QVERIFY(answer.seen);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(global_data, globalBefore);
    QCOMPARE(event_data, eventBefore);
}

void tst_AthleteImport::unreadableFileIsTold_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // "": a workbook whose sheet cannot be read
    QTest::addColumn<QString>("why");
    const QByteArray compoundFile = QByteArray::fromHex("D0CF11E0A1B11AE1") + QByteArray(2048, 0);
    QTest::newRow("Excel 97-2003")
        << "athletes.xls" << compoundFile
        << "\"%1\" is an Excel 97-2003 workbook (.xls). Only xlsx workbooks can be read: open it "
           "in "
           "your spreadsheet program, save it as an Excel workbook (.xlsx) and import that file.";
    QTest::newRow("not a workbook") << "athletes.xlsx" << QByteArray("No,First Name\n1,Ana\n")
                                    << "\"%1\" could not be read as an xlsx workbook.";
    QTest::newRow("protected by a password")
        << "protected.xlsx" << compoundFile << "\"%1\" could not be read as an xlsx workbook.";
    QTest::newRow("a sheet without cells to read")
        << "nested.xlsx" << QByteArray()
        << "\"%1\" opens on a sheet without cells to read, such as a chart. Save it with the "
           "athletes' sheet shown and import it again.";
}

void tst_AthleteImport::unreadableFileIsTold()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, why);
    QString path = m_dir.filePath(name);
    if (content.isEmpty()) {
        path = workbook(name, "<row r=\"11\"><c r=\"A11\"><c r=\"B11\"/></c></row>");
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }
    const QList<QStringList> globalBefore = global_data;
    const QStringList eventBefore = event_data;
    QSignalSpy spy(m_data, &SharedData::playersChanged);
    MessageAnswer message;
    DialogAnswer answer(path);
    m_data->importExcelFile();
    QVERIFY(answer.seen);
    QCOMPARE(message.seen, QStringList("Import Excel|Nothing was imported.\n\n" +
                                       why.arg(QDir::toNativeSeparators(path))));
    QCOMPARE(spy.count(), 0);
    QCOMPARE(global_data, globalBefore);
    QCOMPARE(event_data, eventBefore);
}

QTEST_MAIN(tst_AthleteImport)
#include "tst_athlete_import.moc"
