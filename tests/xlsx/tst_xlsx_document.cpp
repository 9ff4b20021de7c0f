// The workbook layer: reading the current sheet, saving into a copy, and hostile packages.
#include "CellReference.h"
#include "Document.h"
#include "Format.h"
#include "FormulaText.h"
#include "SharedStrings.h"
#include "SheetStreamReader.h"
#include "Styles.h"
#include "TestWorkbook.h"
#include "Workbook.h"
#include "Worksheet.h"
#include "ZipReader.h"
#include "ZipWriter.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <zlib.h>

using namespace QXlsx;

namespace {

const QByteArray stylesXml =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<styleSheet xmlns=\"http://schemas.openxmlformats."
    "org/spreadsheetml/2006/main\"><numFmts count=\"2\"><numFmt numFmtId=\"164\" "
    "formatCode=\"dd/mm/yyyy\\ hh:mm\"/><numFmt numFmtId=\"165\" formatCode=\"&quot;day&quot;\\ "
    "0.0\"/></numFmts><cellXfs count=\"5\"><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf "
    "numFmtId=\"164\"/><xf numFmtId=\"165\"/><xf numFmtId=\"21\"/></cellXfs></styleSheet>";

QByteArray sha(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// Keeps a written workbook for the LibreOffice check (check_with_libreoffice.sh).
void keep(const QString& file)
{
    const QString dir = qEnvironmentVariable("RIVANTA_XLSX_KEEP");
    if (!dir.isEmpty()) {
        const QString target = dir + u'/' + QFileInfo(file).fileName();
        QFile::remove(target);
        QFile::copy(file, target);
    }
}

QString python()
{
    // Debian's interpreter, where python3-openpyxl is installed.
    return QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                             : QStringLiteral("python3");
}

QJsonObject runPython(const QString& script, const QStringList& args)
{
    QProcess process;
    process.start(python(), QStringList{QStringLiteral("-c"), script} + args);
    if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        qWarning().noquote() << process.readAllStandardError();
        return {};
    }
    return QJsonDocument::fromJson(process.readAllStandardOutput()).object();
}

} // namespace

class tst_XlsxDocument : public QObject
{
    Q_OBJECT

private slots:
    void readsTheActiveSheetThroughRelationships();
    void readsEveryKindOfCell();
    void readsDateStyledNumbers();
    void readsPrefixedAndUnnumberedCells();
    void refusesWhatIsNotAPackage_data();
    void refusesWhatIsNotAPackage();
    void cellReferences();
    void writesIntoACopy();
    void writesNewRowsAndCellsInOrder();
    void setsRowHeights_data();
    void setsRowHeights();
    void escapesTextAndNeverWritesAFormula();
    void newDocumentSavesAWorkbook();
    void roundTripThroughOpenpyxl();
    void capsAZipBomb();
    void refusesEntityExpansion();
    void refusesCellsBeyondTheLastCell();
    void boundsAMillionRowSheet();
    void boundsTheSharedStringTable();
    void keepsASharedFormulaWhoseAnchorIsWritten();
    void shiftsFormulaText_data();
    void shiftsFormulaText();
    void refusesSheetsThatCannotBeSpliced_data();
    void refusesSheetsThatCannotBeSpliced();
    void streamsAPartBeyond64MiB();

private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }
};

void tst_XlsxDocument::readsTheActiveSheetThroughRelationships()
{
    // Relationship ids deliberately not in sheet order; the second tab is active.
    auto parts = TestWorkbook::workbook(
        {{QStringLiteral("First"),
          TestWorkbook::sheetXml("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>")},
         {QStringLiteral("Second"),
          TestWorkbook::sheetXml("<row r=\"1\"><c r=\"A1\"><v>2</v></c></row>")}},
        1);
    QVERIFY(TestWorkbook::write(path("tabs.xlsx"), parts));
    Document doc(path("tabs.xlsx"));
    QVERIFY(doc.load());
    QCOMPARE(doc.read(1, 1), QVariant(2));
    QCOMPARE(doc.workbook()->worksheetNames(), QStringList({"First", "Second"}));
    QCOMPARE(doc.workbook()->sheet(0)->filePath(), QStringLiteral("xl/worksheets/sheet1.xml"));
    QVERIFY(!doc.workbook()->sheet(2));
    QVERIFY(!doc.workbook()->sheet(-1));

    // An active tab out of range falls back to the first sheet.
    parts = TestWorkbook::workbook(
        {{QStringLiteral("Only"),
          TestWorkbook::sheetXml("<row r=\"1\"><c r=\"A1\"><v>7</v></c></row>")}},
        5);
    QVERIFY(TestWorkbook::write(path("tab5.xlsx"), parts));
    QCOMPARE(Document(path("tab5.xlsx")).read(1, 1), QVariant(7));
}

void tst_XlsxDocument::readsEveryKindOfCell()
{
    const QByteArray sst =
        "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<si><t>plain</t></si>"
        "<si><r><t>An</t></r><r><rPr><b/></rPr><t xml:space=\"preserve\">na </t></r>"
        "<rPh sb=\"0\" eb=\"1\"><t>PHON</t></rPh></si>"
        "<si><t>&lt;&amp;&gt;</t></si></sst>";
    const QByteArray data =
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
        "<c r=\"C1\" t=\"s\"><v>2</v></c><c r=\"D1\" t=\"s\"><v>99</v></c></row>"
        "<row r=\"2\"><c r=\"A2\"><v>72</v></c><c r=\"B2\"><v>72.0</v></c><c "
        "r=\"C2\"><v>3.25</v></c>"
        "<c r=\"D2\"><v>4915112345678</v></c><c r=\"E2\"><v>1E-3</v></c></row>"
        "<row r=\"3\"><c r=\"A3\" t=\"b\"><v>1</v></c><c r=\"B3\" t=\"b\"><v>0</v></c>"
        "<c r=\"C3\" t=\"inlineStr\"><is><r><t>in</t></r><r><t>line</t></r></is></c>"
        "<c r=\"D3\" t=\"e\"><v>#DIV/0!</v></c><c r=\"E3\" "
        "t=\"str\"><f>A1&amp;\"x\"</f><v>plainx</v></c>"
        "<c r=\"F3\" s=\"0\"/><c r=\"G3\"><f>1/0</f></c></row>";
    QVERIFY(TestWorkbook::write(
        path("kinds.xlsx"),
        TestWorkbook::workbook({{QStringLiteral("S"), TestWorkbook::sheetXml(data)}}, 0, sst)));
    Document doc(path("kinds.xlsx"));
    QVERIFY(doc.load());
    QCOMPARE(doc.read(1, 1), QVariant(QStringLiteral("plain")));
    QCOMPARE(doc.read(1, 2), QVariant(QStringLiteral("Anna "))); // runs joined, phonetics left out
    QCOMPARE(doc.read(1, 3), QVariant(QStringLiteral("<&>")));
    QVERIFY(!doc.read(1, 4).isValid()); // index past the table
    QCOMPARE(doc.read(2, 1).toString(), QStringLiteral("72"));
    QCOMPARE(doc.read(2, 2).toString(), QStringLiteral("72"));
    QCOMPARE(doc.read(2, 3), QVariant(3.25));
    QCOMPARE(doc.read(2, 4).toString(), QStringLiteral("4915112345678"));
    QCOMPARE(doc.read(2, 5), QVariant(0.001));
    QCOMPARE(doc.read(3, 1), QVariant(true));
    QCOMPARE(doc.read(3, 2), QVariant(false));
    QCOMPARE(doc.read(3, 3), QVariant(QStringLiteral("inline")));
    QCOMPARE(doc.read(3, 4), QVariant(QStringLiteral("#DIV/0!")));
    QCOMPARE(doc.read(3, 5), QVariant(QStringLiteral("plainx")));
    QVERIFY(!doc.read(3, 6).isValid()); // styled but empty
    QVERIFY(!doc.read(3, 7).isValid()); // a formula without a stored result
    QVERIFY(!doc.read(9, 9).isValid()); // outside the used range
    QVERIFY(!doc.read(0, 0).isValid());
    QVERIFY(!doc.read(-1, 5).isValid());
}

void tst_XlsxDocument::readsDateStyledNumbers()
{
    const QByteArray data =
        "<row r=\"1\"><c r=\"A1\" s=\"1\"><v>36526</v></c>"
        "<c r=\"B1\" s=\"2\"><v>36526.5</v></c><c r=\"C1\" s=\"3\"><v>36526</v></c>"
        "<c r=\"D1\" s=\"4\"><v>0.75</v></c><c r=\"E1\" s=\"1\"><v>59</v></c>"
        "<c r=\"F1\" s=\"1\"><v>-3</v></c><c r=\"G1\" t=\"d\"><v>2001-04-05</v></c></row>";
    QVERIFY(TestWorkbook::write(
        path("dates.xlsx"),
        TestWorkbook::workbook({{QStringLiteral("S"), TestWorkbook::sheetXml(data)}}, 0, {},
                               stylesXml)));
    Document doc(path("dates.xlsx"));
    QVERIFY(doc.load());
    QCOMPARE(doc.read(1, 1), QVariant(QDate(2000, 1, 1)));
    QCOMPARE(doc.read(1, 1).toString(), QStringLiteral("2000-01-01"));
    QCOMPARE(doc.read(1, 2).toDateTime(), QDateTime(QDate(2000, 1, 1), QTime(12, 0), Qt::UTC));
    QCOMPARE(doc.read(1, 3).toString(), QStringLiteral("36526")); // quoted "day" is not a date
    QCOMPARE(doc.read(1, 4), QVariant(QTime(18, 0)));
    QCOMPARE(doc.read(1, 5), QVariant(QDate(1900, 2, 28)));
    QCOMPARE(doc.read(1, 6).toString(), QStringLiteral("-3")); // no date before 1900
    QCOMPARE(doc.read(1, 7), QVariant(QDate(2001, 4, 5)));
}

void tst_XlsxDocument::readsPrefixedAndUnnumberedCells()
{
    const QByteArray sheet =
        "<x:worksheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<x:sheetData><x:row><x:c><x:v>1</x:v></x:c><x:c><x:v>2</x:v></x:c></x:row>"
        "<x:row r=\"4\"><x:c r=\"C4\"><x:v>3</x:v></x:c><x:c><x:v>4</x:v></x:c></x:row>"
        "</x:sheetData></x:worksheet>";
    QVERIFY(TestWorkbook::write(path("prefixed.xlsx"),
                                TestWorkbook::workbook({{QStringLiteral("S"), sheet}})));
    Document doc(path("prefixed.xlsx"));
    QVERIFY(doc.load());
    QCOMPARE(doc.read(1, 1), QVariant(1));
    QCOMPARE(doc.read(1, 2), QVariant(2));
    QCOMPARE(doc.read(4, 3), QVariant(3));
    QCOMPARE(doc.read(4, 4), QVariant(4));
    // Written cells take the sheet's prefix.
    QVERIFY(doc.write(4, 2, QStringLiteral("b"), Format()));
    QVERIFY(doc.write(2, 1, 5, Format()));
    QVERIFY(doc.saveAs(path("prefixed-out.xlsx")));
    Document out(path("prefixed-out.xlsx"));
    QVERIFY(out.load());
    QCOMPARE(out.read(4, 2), QVariant(QStringLiteral("b")));
    QCOMPARE(out.read(2, 1), QVariant(5));
    QCOMPARE(out.read(4, 4), QVariant(4));
    ZipReader zip(path("prefixed-out.xlsx"));
    QVERIFY(zip.fileData("xl/worksheets/sheet1.xml")
                .contains("<x:row r=\"2\"><x:c r=\"A2\"><x:v>5</x:v></x:c></x:row>"));
}

void tst_XlsxDocument::refusesWhatIsNotAPackage_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("opens"); // the workbook opens, its sheet's cells do not
    const QByteArray good = TestWorkbook::bytes(TestWorkbook::workbook(
        {{QStringLiteral("S"),
          TestWorkbook::sheetXml("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>")}}));
    QVERIFY(!good.isEmpty());
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("text") << QByteArray("No,First Name,Surname\n1,Ana,Horvat\n") << false;
    // The start of an old compound-document .xls.
    QTest::newRow("xls") << (QByteArray::fromHex("D0CF11E0A1B11AE1") + QByteArray(4096, '\0'))
                         << false;
    QTest::newRow("truncated") << good.left(good.size() / 2) << false;
    QTest::newRow("no central directory") << good.left(good.size() - 22) << false;
    QByteArray corrupt = good;
    for (int i = 60; i < corrupt.size() - 200; i += 37)
        corrupt[i] = char(corrupt[i] ^ 0x5a);
    QTest::newRow("corrupt") << corrupt << false;
    // A zip that is not a workbook.
    QTest::newRow("other zip") << TestWorkbook::bytes({{QStringLiteral("readme.txt"), "hello"}})
                               << false;
    QTest::newRow("no workbook part")
        << TestWorkbook::bytes(
               TestWorkbook::workbook({{QStringLiteral("S"), TestWorkbook::sheetXml("")}})
                   .mid(0, 2))
        << false;
    auto parts = TestWorkbook::workbook({{QStringLiteral("S"), TestWorkbook::sheetXml("<row>")}});
    QTest::newRow("broken sheet xml") << TestWorkbook::bytes(parts) << true;
    parts = TestWorkbook::workbook({{QStringLiteral("S"), QByteArray("<worksheet/>")}});
    QTest::newRow("no sheetData") << TestWorkbook::bytes(parts) << true;
    parts = TestWorkbook::workbook({{QStringLiteral("S"), TestWorkbook::sheetXml("")}});
    parts.removeAt(3); // the sheet part itself
    QTest::newRow("missing sheet part") << TestWorkbook::bytes(parts) << false;
}

void tst_XlsxDocument::refusesWhatIsNotAPackage()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, opens);
    const QString file = path(QStringLiteral("bad-%1.xlsx").arg(QTest::currentDataTag()));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();
    Document doc(file);
    QCOMPARE(doc.load(), opens);
    QVERIFY(!doc.currentWorksheet());
    QVERIFY(!doc.read(1, 1).isValid());
    QVERIFY(!doc.write(1, 1, 1, Format()));
    QVERIFY(!doc.saveAs(path("never.xlsx")));
    QVERIFY(!QFile::exists(path("never.xlsx")));
    if (!opens)
        QVERIFY(!doc.read_sheet_sax(0, sax_options(), [](const sax_cell&) { return true; }));
    QVERIFY(!Document(path("does-not-exist.xlsx")).load());
}

void tst_XlsxDocument::cellReferences()
{
    int row = 0;
    int column = 0;
    QVERIFY(CellReference::parse(u"XFD1048576", &row, &column));
    QCOMPARE(row, 1048576);
    QCOMPARE(column, 16384);
    for (const char* bad : {"XFE1", "A1048577", "A0", "a1", "A-1", "A+1", "A 1", "1A", "A",
                            "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA1", "A99999999999999999999"})
        QVERIFY2(!CellReference::parse(QString::fromLatin1(bad), &row, &column), bad);
    QCOMPARE(CellReference::toString(20, 28), QStringLiteral("AB20"));
    QCOMPARE(CellReference::toString(1048576, 16384), QStringLiteral("XFD1048576"));
}

void tst_XlsxDocument::writesIntoACopy()
{
    // A template with styles, a shared string, a formula, merged cells and a self-closing row.
    const QByteArray data =
        "<row r=\"1\" spans=\"1:3\"><c r=\"A1\" s=\"1\" t=\"s\"><v>0</v></c><c r=\"C1\" s=\"3\" "
        "t=\"s\"><v>0</v></c></row>"
        "<row r=\"4\" s=\"2\" customFormat=\"1\"/>"
        "<row r=\"7\"><c r=\"B7\"><f>1+1</f><v>2</v></c><c r=\"E7\" s=\"4\"/></row>";
    const QByteArray after = "<mergeCells count=\"1\"><mergeCell ref=\"A1:B1\"/></mergeCells>"
                             "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" "
                             "header=\"0.3\" footer=\"0.3\"/>";
    auto parts = TestWorkbook::workbook(
        {{QStringLiteral("Results"),
          TestWorkbook::sheetXml(data,
                                 "<dimension ref=\"A1:E7\"/><cols><col min=\"8\" max=\"9\" "
                                 "width=\"12\" style=\"1\" customWidth=\"1\"/></cols>",
                                 after)},
         {QStringLiteral("Other"),
          TestWorkbook::sheetXml("<row r=\"1\"><c r=\"A1\"><v>9</v></c></row>")}},
        0, TestWorkbook::sharedStringsXml({QStringLiteral("Title")}), stylesXml);
    const QString templ = path("template.xlsx");
    QVERIFY(TestWorkbook::write(templ, parts));
    const QByteArray before = sha(templ);

    Document doc(templ);
    QVERIFY(doc.load());
    QVERIFY(doc.write(1, 3, QStringLiteral("Organiser"), Format())); // existing, styled
    QVERIFY(doc.write(4, 7, QStringLiteral("555"), Format()));       // in a self-closing styled row
    QVERIFY(doc.write(7, 2, QStringLiteral("no formula"), Format())); // replaces a formula
    QVERIFY(doc.write(7, 1, QStringLiteral("first"), Format()));      // before existing cells
    QVERIFY(doc.write(7, 5, QStringLiteral("styled empty"), Format()));
    QVERIFY(doc.write(12, 8, QStringLiteral("column style"), Format())); // a new row at the end
    QVERIFY(doc.write(2, 2, 2.5, Format()));                             // a new row between others
    QVERIFY(!doc.write(0, 1, 1, Format()));
    QVERIFY(!doc.write(1, 16385, 1, Format()));
    QCOMPARE(doc.read(1, 3), QVariant(QStringLiteral("Organiser"))); // written, not yet saved
    QVERIFY(doc.saveAs(path("copy.xlsx")));
    keep(path("copy.xlsx"));
    QCOMPARE(sha(templ), before); // the template itself is never changed

    Document copy(path("copy.xlsx"));
    QVERIFY(copy.load());
    QCOMPARE(copy.read(1, 1), QVariant(QStringLiteral("Title")));
    QCOMPARE(copy.read(1, 3), QVariant(QStringLiteral("Organiser")));
    QCOMPARE(copy.read(4, 7), QVariant(QStringLiteral("555")));
    QCOMPARE(copy.read(7, 1), QVariant(QStringLiteral("first")));
    QCOMPARE(copy.read(7, 2), QVariant(QStringLiteral("no formula")));
    QCOMPARE(copy.read(7, 5), QVariant(QStringLiteral("styled empty")));
    QCOMPARE(copy.read(12, 8), QVariant(QStringLiteral("column style")));
    QCOMPARE(copy.read(2, 2), QVariant(2.5));

    ZipReader original(templ);
    ZipReader saved(path("copy.xlsx"));
    QCOMPARE(saved.filePaths(), original.filePaths()); // same parts, same order
    for (const QString& name : original.filePaths()) {
        if (name == QLatin1String("xl/worksheets/sheet1.xml"))
            continue;
        QByteArray a, b;
        int m1 = 0, m2 = 0, l1 = 0, l2 = 0;
        QVERIFY(original.readRawFile(name, &a, &m1, &l1));
        QVERIFY(saved.readRawFile(name, &b, &m2, &l2));
        QVERIFY2(a == b && m1 == m2, qPrintable(name)); // the stored bytes, copied as they are
        QCOMPARE(saved.fileData(name), original.fileData(name));
    }
    const QString xml = QString::fromUtf8(saved.fileData("xl/worksheets/sheet1.xml"));
    QVERIFY(xml.contains(QLatin1String("<c r=\"C1\" s=\"3\" t=\"inlineStr\">"))); // style kept
    QVERIFY(xml.contains(QLatin1String(
        "<row r=\"4\" s=\"2\" customFormat=\"1\"><c r=\"G4\" s=\"2\" t=\"inlineStr\">")));
    QVERIFY(xml.contains(QLatin1String("<c r=\"E7\" s=\"4\" t=\"inlineStr\">")));
    QVERIFY(xml.contains(QLatin1String("<c r=\"H12\" s=\"1\" t=\"inlineStr\">")));
    QVERIFY(xml.contains(QLatin1String("<dimension ref=\"A1:H12\"/>")));
    QVERIFY(xml.contains(QString::fromUtf8(after)));
    QVERIFY(!xml.contains(QLatin1String("<f>")));
    // Rows stay in order, cells within them too.
    QVERIFY(xml.indexOf(QLatin1String("r=\"A7\"")) < xml.indexOf(QLatin1String("r=\"B7\"")));
    QVERIFY(xml.indexOf(QLatin1String("<row r=\"2\"")) <
            xml.indexOf(QLatin1String("<row r=\"4\"")));
    QVERIFY(xml.indexOf(QLatin1String("<row r=\"1\"")) <
            xml.indexOf(QLatin1String("<row r=\"2\"")));
    // Writing nothing copies the sheet too.
    Document untouched(templ);
    QVERIFY(untouched.saveAs(path("same.xlsx")));
    QCOMPARE(ZipReader(path("same.xlsx")).fileData("xl/worksheets/sheet1.xml"),
             original.fileData("xl/worksheets/sheet1.xml"));
    // An unwritable target fails without leaving anything behind.
    QVERIFY(!doc.saveAs(path("no/such/folder/x.xlsx")));
}

void tst_XlsxDocument::writesNewRowsAndCellsInOrder()
{
    Document doc;
    QVERIFY(!doc.load()); // nothing was read from a file
    for (int row = 5; row >= 1; --row)
        for (int column = 3; column >= 1; --column)
            QVERIFY(doc.write(row * 2, column * 2, row * 100 + column, Format()));
    QVERIFY(doc.write(3, 3, QVariant(), Format()));
    QVERIFY(doc.saveAs(path("order.xlsx")));
    Document back(path("order.xlsx"));
    QVERIFY(back.load());
    QList<QPair<int, int>> seen;
    QVERIFY(back.read_sheet_sax(0, sax_options(), [&](const sax_cell& c) {
        seen.append({c.row, c.column});
        return true;
    }));
    QList<QPair<int, int>> sorted = seen;
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(seen, sorted);
    QCOMPARE(seen.size(), 16); // with the empty C3
    QCOMPARE(back.read(10, 6), QVariant(503));
    QVERIFY(!back.read(3, 3).isValid());
}

void tst_XlsxDocument::setsRowHeights_data()
{
    // Row 2 gets its height (and a cell in B2 when asked) in every kind of place a row can be.
    QTest::addColumn<QByteArray>("sheetData");
    QTest::addColumn<bool>("writeCell");
    QTest::addColumn<QByteArray>("kept"); // of row 2's start tag, kept as written
    const QByteArray first = "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>";
    const QByteArray third = "<row r=\"3\"><c r=\"A3\"><v>3</v></c></row>";
    const QByteArray tall =
        "<row r=\"2\" spans='1:2' ht=\"15\" customHeight=\"1\"><c r=\"A2\"><v>2</v></c></row>";
    for (bool cell : {false, true}) {
        const char* with = cell ? ", a cell written" : "";
        QTest::addRow("with a height%s", with)
            << first + tall + third << cell << QByteArray("spans='1:2'");
        QTest::addRow("empty%s", with) << first + "<row r=\"2\" spans=\"1:2\" />" + third << cell
                                       << QByteArray("spans=\"1:2\"");
        QTest::addRow("between two%s", with) << first + third << cell << QByteArray();
        QTest::addRow("last%s", with) << first << cell << QByteArray();
        QTest::addRow("alone%s", with) << QByteArray() << cell << QByteArray();
    }
}

void tst_XlsxDocument::setsRowHeights()
{
    QFETCH(QByteArray, sheetData);
    QFETCH(bool, writeCell);
    QFETCH(QByteArray, kept);
    const QString file = path("heights.xlsx");
    QVERIFY(TestWorkbook::write(
        file, TestWorkbook::workbook({{QStringLiteral("S"), TestWorkbook::sheetXml(sheetData)}})));
    Document doc(file);
    QVERIFY(doc.load());
    QVERIFY(!doc.setRowHeight(2, 2, 0));
    QVERIFY(doc.setRowHeight(2, 2, 31.5));
    QVERIFY(!writeCell || doc.write(2, 2, QStringLiteral("written"), Format()));
    QVERIFY(doc.saveAs(path("heights-out.xlsx")));

    Document back(path("heights-out.xlsx"));
    QVERIFY(back.load());
    QCOMPARE(back.rowHeight(2), 31.5);
    QCOMPARE(back.read(2, 2), writeCell ? QVariant(QStringLiteral("written")) : QVariant());
    for (int row = 1; row <= 3; ++row) {
        if (row != 2 || sheetData.contains("A2"))
            QCOMPARE(back.read(row, 1), Document(file).read(row, 1));
    }
    QByteArray xml;
    QVERIFY(ZipReader(path("heights-out.xlsx"))
                .readFile(QStringLiteral("xl/worksheets/sheet1.xml"), &xml));
    QCOMPARE(xml.count(" ht="), 1);
    QVERIFY(xml.contains(kept));
}

void tst_XlsxDocument::escapesTextAndNeverWritesAFormula()
{
    const QStringList texts = {
        QStringLiteral("=SUM(A1:A2)"),     QStringLiteral("<b>&amp;\"'</b>"),
        QStringLiteral("  two  blanks  "), QStringLiteral("line\nbreak\ttab"),
        QStringLiteral("cr\r\nlf"),        QStringLiteral("Čakovec – Šibenik ✓ 🚣"),
        QStringLiteral("_x0041_"),         QStringLiteral("+1 555"),
        QStringLiteral("]]> <![CDATA[")};
    Document doc;
    for (int i = 0; i < texts.size(); ++i)
        QVERIFY(doc.write(i + 1, 1, texts[i], Format()));
    QVERIFY(doc.write(1, 2, QString(QChar(1)) + QStringLiteral("ctl"), Format()));
    QVERIFY(doc.write(2, 2, QString(QChar(0xD800)) + QStringLiteral("lone"), Format()));
    QVERIFY(doc.saveAs(path("escape.xlsx")));
    keep(path("escape.xlsx"));
    Document back(path("escape.xlsx"));
    QVERIFY(back.load());
    for (int i = 0; i < texts.size(); ++i)
        QCOMPARE(back.read(i + 1, 1), QVariant(texts[i]));
    // A control character XML cannot hold travels in the workbook's own escape.
    QCOMPARE(back.read(1, 2), QVariant(QString(QChar(1)) + QStringLiteral("ctl")));
    QCOMPARE(back.read(2, 2), QVariant(QStringLiteral("\uFFFDlone")));
    const QByteArray xml = ZipReader(path("escape.xlsx")).fileData("xl/worksheets/sheet1.xml");
    QVERIFY(!xml.contains("<f>"));
    QXmlStreamReader reader(xml);
    while (!reader.atEnd())
        reader.readNext();
    QVERIFY(!reader.hasError());
}

void tst_XlsxDocument::newDocumentSavesAWorkbook()
{
    Document doc;
    QVERIFY(doc.workbook());
    QCOMPARE(doc.workbook()->worksheetNames(), QStringList({"Sheet1"}));
    QVERIFY(doc.write(1, 1, QStringLiteral("hello"), Format()));
    QVERIFY(doc.write(2, 1, true, Format()));
    QVERIFY(doc.saveAs(path("new.xlsx")));
    keep(path("new.xlsx"));
    // The streaming reader has no file to read for a document made without a name.
    QVERIFY(!doc.read_sheet_sax(0, sax_options(), {}));
    Document back(path("new.xlsx"));
    QVERIFY(back.load());
    QCOMPARE(back.read(1, 1), QVariant(QStringLiteral("hello")));
    QCOMPARE(back.read(2, 1), QVariant(true));
}

void tst_XlsxDocument::roundTripThroughOpenpyxl()
{
    // The template is made by openpyxl with styles, a merged range, a formula and two sheets.
    const QString make = QStringLiteral(R"(
import json, sys, openpyxl
from openpyxl.styles import Font, PatternFill
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "Results"
ws["C1"] = "Organiser"; ws["C1"].font = Font(bold=True, size=14)
ws["A10"] = "Rank"; ws["A10"].fill = PatternFill("solid", fgColor="FFFF00")
ws["G4"].font = Font(italic=True)
ws["D2"] = "=1+1"
ws.merge_cells("A1:B1")
ws.column_dimensions["B"].width = 30
wb.create_sheet("Notes")["A1"] = "keep me"
wb.save(sys.argv[1])
print(json.dumps({"ok": True}))
)");
    const QString templ = path("py-template.xlsx");
    QVERIFY2(runPython(make, {templ}).value("ok").toBool(), "python3-openpyxl is needed");

    Document doc(templ);
    QVERIFY(doc.load());
    QCOMPARE(doc.read(1, 3), QVariant(QStringLiteral("Organiser")));
    QVERIFY(doc.write(1, 3, QStringLiteral("Kayak Club <Split> & Co"), Format()));
    QVERIFY(doc.write(4, 7, QStringLiteral("+385 21 555"), Format()));
    QVERIFY(doc.write(10, 1, QStringLiteral("=Rank"), Format()));
    QVERIFY(doc.write(11, 10, QStringLiteral("500"), Format()));
    QVERIFY(doc.write(11, 11, QStringLiteral("03:12"), Format()));
    QVERIFY(doc.write(12, 1, 7, Format()));
    QVERIFY(doc.setRowHeight(12, 12, 40));
    // What the result export sizes rows by: widths, merged ranges and fonts as openpyxl wrote them.
    const Worksheet* sheet = doc.currentWorksheet();
    QCOMPARE(sheet->columnWidth(2), 30.0);
    QCOMPARE(sheet->columnWidth(3), 0.0);
    QCOMPARE(sheet->mergedCells().size(), 1);
    QCOMPARE(sheet->mergedCells().first().lastColumn, 2);
    const Styles::TextStyle organiser = doc.workbook()->styles()->textStyle(sheet->cellStyle(1, 3));
    QVERIFY(organiser.bold);
    QCOMPARE(organiser.fontSize, 14.0);
    QVERIFY(doc.saveAs(path("py-out.xlsx")));
    keep(path("py-out.xlsx"));

    const QString check = QStringLiteral(R"(
import json, sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb["Results"]
out = {c: ws[c].value for c in ["C1", "G4", "A10", "J11", "K11", "A12", "D2"]}
out["types"] = {c: ws[c].data_type for c in ["A10", "J11", "A12"]}
out["bold"] = ws["C1"].font.b
out["size"] = ws["C1"].font.sz
out["fill"] = ws["A10"].fill.fgColor.rgb
out["italic"] = ws["G4"].font.i
out["merged"] = [str(r) for r in ws.merged_cells.ranges]
out["notes"] = wb["Notes"]["A1"].value
out["width"] = ws.column_dimensions["B"].width
out["height"] = ws.row_dimensions[12].ht
ro = openpyxl.load_workbook(sys.argv[1], read_only=True)
out["readonly"] = [[c for c in row] for row in ro["Results"].iter_rows(min_row=10, max_row=12, max_col=11, values_only=True)]
print(json.dumps(out))
)");
    const QJsonObject r = runPython(check, {path("py-out.xlsx")});
    QVERIFY(!r.isEmpty());
    QCOMPARE(r.value("C1").toString(), QStringLiteral("Kayak Club <Split> & Co"));
    QCOMPARE(r.value("G4").toString(), QStringLiteral("+385 21 555"));
    QCOMPARE(r.value("A10").toString(), QStringLiteral("=Rank"));
    QCOMPARE(r.value("types").toObject().value("A10").toString(), QStringLiteral("s"));
    QCOMPARE(r.value("J11").toString(), QStringLiteral("500"));
    QCOMPARE(r.value("types").toObject().value("J11").toString(), QStringLiteral("s"));
    QCOMPARE(r.value("K11").toString(), QStringLiteral("03:12"));
    QCOMPARE(r.value("A12").toInt(), 7);
    QCOMPARE(r.value("D2").toString(), QStringLiteral("=1+1"));
    QCOMPARE(r.value("bold").toBool(), true);
    QCOMPARE(r.value("size").toDouble(), 14.0);
    QCOMPARE(r.value("fill").toString(), QStringLiteral("00FFFF00"));
    QCOMPARE(r.value("italic").toBool(), true);
    QCOMPARE(r.value("merged").toVariant().toStringList(), QStringList({"A1:B1"}));
    QCOMPARE(r.value("notes").toString(), QStringLiteral("keep me"));
    QCOMPARE(r.value("width").toDouble(), 30.0);
    QCOMPARE(r.value("height").toDouble(), 40.0);
    const QVariantList ro = r.value("readonly").toVariant().toList();
    QCOMPARE(ro.size(), 3);
    QCOMPARE(ro[0].toList()[0].toString(), QStringLiteral("=Rank"));
    QCOMPARE(ro[1].toList()[9].toString(), QStringLiteral("500"));

    Document back(path("py-out.xlsx"));
    QVERIFY(back.load());
    QCOMPARE(back.read(1, 3), QVariant(QStringLiteral("Kayak Club <Split> & Co")));
    QCOMPARE(back.read(10, 1), QVariant(QStringLiteral("=Rank")));
    ZipReader a(templ), b(path("py-out.xlsx"));
    for (const QString& name : a.filePaths()) {
        if (name != QLatin1String("xl/worksheets/sheet1.xml"))
            QVERIFY2(a.fileData(name) == b.fileData(name), qPrintable(name));
    }
}

void tst_XlsxDocument::capsAZipBomb()
{
    // One sheet part inflating to 1 GiB of blanks: once with honest sizes, once claiming 2 KiB.
    quint32 crc = 0;
    const QByteArray deflated = TestWorkbook::deflatedBlanks(qint64(1) << 30, &crc);
    QVERIFY(deflated.size() < 2 * 1024 * 1024);
    for (const qint64 claimed : {qint64(1) << 30, qint64(2048)}) {
        auto parts = TestWorkbook::workbook({{QStringLiteral("S"), QByteArray()}});
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        ZipWriter zip(&buffer);
        for (const auto& part : parts) {
            if (part.first == QLatin1String("xl/worksheets/sheet1.xml"))
                zip.addRawFile(part.first, deflated, Z_DEFLATED, 9, crc, claimed, {});
            else
                zip.addFile(part.first, part.second);
        }
        QVERIFY(zip.close());
        const QString file = path(QStringLiteral("bomb-%1.xlsx").arg(claimed));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        out.close();
        QVERIFY(!Document(file).currentWorksheet());
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        ZipReader reader(&in);
        QVERIFY(reader.isReadable());
        QByteArray data;
        QVERIFY(!reader.readFile(QStringLiteral("xl/worksheets/sheet1.xml"), &data));
        QVERIFY(data.isEmpty());
        QVERIFY(reader.fileData(QStringLiteral("xl/worksheets/sheet1.xml")).isEmpty());
    }
}

void tst_XlsxDocument::refusesEntityExpansion()
{
    QByteArray dtd =
        "<!DOCTYPE worksheet [<!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">";
    QByteArray previous = "a";
    for (const char* name : {"b", "c", "d", "e", "f", "g", "h", "i"}) {
        dtd += QByteArray("<!ENTITY ") + name + " \"" +
               QByteArray("&" + previous + ";").repeated(10) + "\">";
        previous = name;
    }
    dtd += "]>";
    const QByteArray sheet =
        "<?xml version=\"1.0\"?>" + dtd +
        "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&i;"
        "</t></is></c></row></sheetData></worksheet>";
    // Qt's own reader already stops an expansion this large...
    QXmlStreamReader plain(sheet);
    while (!plain.atEnd())
        plain.readNext();
    QVERIFY(plain.hasError());
    // ...and a package part with a document type declaration is not read at all.
    QVERIFY(TestWorkbook::write(path("laughs.xlsx"),
                                TestWorkbook::workbook({{QStringLiteral("S"), sheet}})));
    QVERIFY(!Document(path("laughs.xlsx")).currentWorksheet());
    QVERIFY(!read_sheet_xml_sax(sheet, sax_options(), nullptr, {}));
    const QByteArray small = "<?xml version=\"1.0\"?><!DOCTYPE worksheet [<!ENTITY x \"y\">]>"
                             "<worksheet><sheetData/></worksheet>";
    QVERIFY(!read_sheet_xml_sax(small, sax_options(), nullptr, {}));
    auto parts =
        TestWorkbook::workbook({{QStringLiteral("S"), TestWorkbook::sheetXml("")}}, 0,
                               "<?xml version=\"1.0\"?>" + dtd + "<sst><si><t>&i;</t></si></sst>");
    QVERIFY(TestWorkbook::write(path("laughs-sst.xlsx"), parts));
    QVERIFY(!Document(path("laughs-sst.xlsx")).currentWorksheet());
}

void tst_XlsxDocument::refusesCellsBeyondTheLastCell()
{
    for (const char* ref : {"XFE1", "A1048577", "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA1", "b2"}) {
        const QByteArray data = QByteArray("<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"") + ref +
                                "\"><v>2</v></c></row>";
        const QByteArray sheet = TestWorkbook::sheetXml(data);
        QVERIFY(TestWorkbook::write(path("far.xlsx"),
                                    TestWorkbook::workbook({{QStringLiteral("S"), sheet}})));
        QVERIFY2(!Document(path("far.xlsx")).currentWorksheet(), ref);
        // The streaming reader drops the cell and reads on.
        int calls = 0;
        QVERIFY(read_sheet_xml_sax(sheet, sax_options(), nullptr, [&](const sax_cell&) {
            ++calls;
            return true;
        }));
        QCOMPARE(calls, 1);
    }
    const QByteArray rows = TestWorkbook::sheetXml("<row r=\"1048577\"><c><v>1</v></c></row>");
    QVERIFY(TestWorkbook::write(path("far-row.xlsx"),
                                TestWorkbook::workbook({{QStringLiteral("S"), rows}})));
    QVERIFY(!Document(path("far-row.xlsx")).currentWorksheet());
}

void tst_XlsxDocument::boundsAMillionRowSheet()
{
    // 1,048,576 rows of two cells: more cells than a loaded sheet may hold. Opening the document
    // and streaming the sheet need no cell table; asking for a cell reads it and is refused.
    QByteArray data;
    data.reserve(64 * 1024 * 1024);
    for (int row = 1; row <= CellReference::MaxRow; ++row) {
        const QByteArray n = QByteArray::number(row);
        data += "<row r=\"" + n + "\"><c r=\"A" + n + "\"><v>1</v></c><c/></row>";
    }
    const QByteArray sheet = TestWorkbook::sheetXml(data);
    data.clear();
    QVERIFY(TestWorkbook::write(
        path("million.xlsx"),
        TestWorkbook::workbook(
            {{QStringLiteral("Notes"), TestWorkbook::sheetXml("")}, {QStringLiteral("Big"), sheet}},
            1)));
    Document doc(path("million.xlsx"));
    QVERIFY(doc.load());
    QCOMPARE(doc.workbook()->worksheetNames(), QStringList({"Notes", "Big"}));
    QCOMPARE(doc.workbook()->activeSheetIndex(), 1);
    QCOMPARE(doc.workbook()->sheet(1)->filePath(), QStringLiteral("xl/worksheets/sheet2.xml"));
    qint64 cells = 0;
    QVERIFY(doc.read_sheet_sax(QStringLiteral("Big"), sax_options(), [&](const sax_cell&) {
        ++cells;
        return true;
    }));
    QCOMPARE(cells, qint64(CellReference::MaxRow)); // the cells without a reference are dropped
    QVERIFY(!doc.workbook()->sheet(1)->isLoaded());
    QVERIFY(!doc.read(1, 1).isValid());
    QVERIFY(!doc.currentWorksheet());
    QVERIFY(!doc.write(1, 1, 1, Format()));
    QVERIFY(!doc.saveAs(path("million-out.xlsx")));
}

void tst_XlsxDocument::boundsTheSharedStringTable()
{
    // Millions of empty strings are a few bytes of XML each but far more in memory.
    const QByteArray sst =
        "<sst>" + QByteArray("<si/>").repeated(SharedStrings::MaxCount + 1) + "</sst>";
    const QString file = path("many-strings.xlsx");
    QVERIFY(TestWorkbook::write(
        file, TestWorkbook::workbook({{QStringLiteral("S"), TestWorkbook::sheetXml("")}}, 0, sst)));
    QVERIFY(!Document(file).currentWorksheet());
    ZipReader zip(file);
    QCOMPARE(load_shared_strings_all(zip).size(), SharedStrings::MaxCount);
}

void tst_XlsxDocument::keepsASharedFormulaWhoseAnchorIsWritten()
{
    // A11:A20 hold one formula filled down, stored once at A11 and shared by the cells below.
    QByteArray data = "<row r=\"1\"><c r=\"C1\"><v>2</v></c></row>";
    int sum = 0;
    for (int r = 11; r <= 20; ++r) {
        const QByteArray n = QByteArray::number(r);
        sum += r;
        const QByteArray f = r == 11 ? "<f t=\"shared\" ref=\"A11:A20\" si=\"0\">B11*$C$1+SUM(B$2:"
                                       "B11)+LEN(\"B11\")</f>"
                                     : "<f t=\"shared\" si=\"0\"/>";
        data += "<row r=\"" + n + "\"><c r=\"A" + n + "\">" + f + "<v>" +
                QByteArray::number(r * 2 + sum + 3) + "</v></c><c r=\"B" + n + "\"><v>" + n +
                "</v></c></row>";
    }
    const QString templ = path("shared.xlsx");
    QVERIFY(TestWorkbook::write(
        templ, TestWorkbook::workbook({{QStringLiteral("S"), TestWorkbook::sheetXml(data)}})));
    Document doc(templ);
    for (int r = 11; r <= 14; ++r)
        QVERIFY(doc.write(r, 1, QStringLiteral("rank %1").arg(r - 10), Format()));
    QVERIFY(doc.saveAs(path("shared-out.xlsx")));
    keep(path("shared-out.xlsx"));
    QCOMPARE(Document(path("shared-out.xlsx")).read(15, 1), QVariant(98)); // its result stays

    const QJsonObject r = runPython(QStringLiteral(R"(
import json, sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).active
print(json.dumps({str(r): ws.cell(r, 1).value for r in range(11, 21)}))
)"),
                                    {path("shared-out.xlsx")});
    QVERIFY(!r.isEmpty());
    for (int row = 11; row <= 20; ++row) {
        const QString expected =
            row <= 14 ? QStringLiteral("rank %1").arg(row - 10)
                      : QStringLiteral("=B%1*$C$1+SUM(B$2:B%1)+LEN(\"B11\")").arg(row);
        QCOMPARE(r.value(QString::number(row)).toString(), expected);
    }
    // Written again, the copy keeps its formulas as they now stand.
    Document again(path("shared-out.xlsx"));
    QVERIFY(again.write(15, 1, QStringLiteral("rank 5"), Format()));
    QVERIFY(again.saveAs(path("shared-again.xlsx")));
    QCOMPARE(Document(path("shared-again.xlsx")).read(20, 2), QVariant(20));
}

void tst_XlsxDocument::shiftsFormulaText_data()
{
    QTest::addColumn<QString>("formula");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("expected");
    QTest::newRow("relative and absolute") << "A1+$A1+A$1+$A$1" << 2 << 1 << "B3+$A3+B$1+$A$1";
    QTest::newRow("ranges") << "SUM(B2:C$9)*AVERAGE($A:C)+SUM(3:$4)" << 1 << 1
                            << "SUM(C3:D$9)*AVERAGE($A:D)+SUM(4:$4)";
    QTest::newRow("texts and names") << "\"A1\"&'Sheet A1'!B2&Sheet2!C3&LOG10(D4)&Rate" << 1 << 0
                                     << "\"A1\"&'Sheet A1'!B3&Sheet2!C4&LOG10(D5)&Rate";
    QTest::newRow("numbers and errors")
        << "1E5+0.5+A1*#N/A+IF(#REF!,2,TRUE)" << 3 << 0 << "1E5+0.5+A4*#N/A+IF(#REF!,2,TRUE)";
    QTest::newRow("structured") << "SUM(Table1[[#This Row],[B1]])+B1" << 1 << 0
                                << "SUM(Table1[[#This Row],[B1]])+B2";
    QTest::newRow("off the bottom") << "A1+XFD1048576" << 1 << 0 << "A2+#REF!";
    QTest::newRow("off the left") << "A1+B1" << 0 << -1 << "#REF!+A1";
    QTest::newRow("lower case kept") << "a1+b$2" << 0 << 1 << "B1+C$2";
}

void tst_XlsxDocument::shiftsFormulaText()
{
    QFETCH(QString, formula);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(QString, expected);
    QCOMPARE(FormulaText::shifted(formula, rows, columns), expected);
}

void tst_XlsxDocument::refusesSheetsThatCannotBeSpliced_data()
{
    QTest::addColumn<QByteArray>("sheetData");
    QTest::newRow("cell in a cell") << QByteArray("<row r=\"1\"><c r=\"A1\"><c r=\"B1\"><v>1</v>"
                                                  "</c></c></row>");
    QTest::newRow("row in a cell") << QByteArray("<row r=\"1\"><c r=\"A1\"><row/></c></row>");
    QTest::newRow("cell outside a row") << QByteArray("<c r=\"A1\"><v>1</v></c>");
    QTest::newRow("cell in another element")
        << QByteArray("<row r=\"1\"><x><c r=\"A1\"/></x></row>");
    QTest::newRow("rows in another element") << QByteArray("<x><row r=\"1\"/></x>");
    QTest::newRow("cell given twice")
        << QByteArray("<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"A1\"><v>2</v></c></row>");
}

void tst_XlsxDocument::refusesSheetsThatCannotBeSpliced()
{
    QFETCH(QByteArray, sheetData);
    const QString file = path("splice.xlsx");
    QVERIFY(TestWorkbook::write(
        file, TestWorkbook::workbook({{QStringLiteral("S"), TestWorkbook::sheetXml(sheetData)}})));
    // A save that is refused leaves what was at the target before.
    const QString target = path("splice-out.xlsx");
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("earlier results");
    old.close();
    Document doc(file);
    QVERIFY(doc.load());
    QVERIFY(!doc.currentWorksheet());
    QVERIFY(!doc.write(1, 3, QStringLiteral("x"), Format()));
    QVERIFY(!doc.saveAs(target));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("earlier results"));
    QCOMPARE(QDir(m_dir.path()).entryList({"splice-out*"}), QStringList({"splice-out.xlsx"}));

    // The same sheet with an extension list in its row is fine, and so is its saved copy.
    const QByteArray ext = "<row r=\"1\"><c r=\"A1\"><v>1</v></c><extLst><ext uri=\"u\"><c/>"
                           "</ext></extLst></row>";
    QVERIFY(TestWorkbook::write(
        file, TestWorkbook::workbook({{QStringLiteral("S"), TestWorkbook::sheetXml(ext)}})));
    Document good(file);
    QVERIFY(good.write(1, 3, QStringLiteral("x"), Format()));
    QVERIFY(good.saveAs(target));
    QCOMPARE(Document(target).read(1, 3), QVariant(QStringLiteral("x")));
    // A folder that does not exist: nothing is written anywhere.
    QVERIFY(!good.saveAs(path("missing/out.xlsx")));
    QVERIFY(!QFileInfo::exists(path("missing")));
}

void tst_XlsxDocument::streamsAPartBeyond64MiB()
{
    // 1,500,000 inline-string cells: a sheet part well beyond 64 MiB that compresses as sheets
    // do, not as a bomb.
    QByteArray data;
    data.reserve(100 * 1024 * 1024);
    for (int row = 1; row <= 150000; ++row) {
        const QByteArray n = QByteArray::number(row);
        data += "<row r=\"" + n + "\">";
        for (char column = 'A'; column <= 'J'; ++column)
            data += QByteArray("<c r=\"") + column + n + "\" t=\"inlineStr\"><is><t>Athlete " +
                    QByteArray::number(row * 7 % 1000) + "</t></is></c>";
        data += "</row>";
    }
    const QByteArray sheet = TestWorkbook::sheetXml(data);
    data.clear();
    QVERIFY(sheet.size() > ZipReader::MaxPartSize);
    QVERIFY(TestWorkbook::write(path("large.xlsx"),
                                TestWorkbook::workbook({{QStringLiteral("S"), sheet}})));
    QVERIFY(QFileInfo(path("large.xlsx")).size() * ZipReader::MaxRatio > sheet.size());
    Document doc(path("large.xlsx"));
    QVERIFY(doc.load());
    qint64 cells = 0;
    QVariant last;
    QVERIFY(doc.read_sheet_sax(0, sax_options(), [&](const sax_cell& cell) {
        ++cells;
        last = cell.value;
        return true;
    }));
    QCOMPARE(cells, qint64(1500000));
    QCOMPARE(last, QVariant(QStringLiteral("Athlete 0")));
}

QTEST_GUILESS_MAIN(tst_XlsxDocument)
#include "tst_xlsx_document.moc"
