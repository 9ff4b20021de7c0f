// The streaming sheet reader.
#include "CellReference.h"
#include "Document.h"
#include "Format.h"
#include "SheetStreamReader.h"
#include "TestWorkbook.h"
#include "Workbook.h"
#include "ZipReader.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>

using namespace QXlsx;

namespace {

struct Seen
{
    QList<sax_cell> cells;
    sax_callback collect()
    {
        return [this](const sax_cell& c) {
            cells.append(c);
            return true;
        };
    }
};

QList<sax_cell> stream(const QByteArray& data, sax_options options = {},
                       const QList<QString>* strings = nullptr, bool* ok = nullptr)
{
    Seen seen;
    const bool result =
        read_sheet_xml_sax(TestWorkbook::sheetXml(data), options, strings, seen.collect());
    if (ok)
        *ok = result;
    return seen.cells;
}

sax_options withFormulas(bool formulasAsText)
{
    sax_options options;
    options.formulasAsText = formulasAsText;
    return options;
}

} // namespace

class tst_SheetStream : public QObject
{
    Q_OBJECT

private slots:
    void skipsCellsWithoutAUsableReference();
    void sharedStringIndexes();
    void booleansNumbersAndTexts();
    void textsConvertAsQtConvertsThem();
    void formulas();
    void zeroWidthNoBreakSpaceIsText();
    void inlineStringKeepsTheLastRun();
    void callbackStopsTheReading();
    void stopsAfterSheetDataOnlyWhenAsked();
    void malformedXmlIsFalse();
    void xmlFormsOfTheSameCells_data();
    void xmlFormsOfTheSameCells();
    void malformedFormsAreFalse_data();
    void malformedFormsAreFalse();
    void cellReferenceParsing();
    void readsSheetsOfAFileByIndexAndName();
    void loadsSharedStringsWithRunsJoined();

private:
    QTemporaryDir m_dir;
};

void tst_SheetStream::skipsCellsWithoutAUsableReference()
{
    bool ok = false;
    const auto cells = stream("<row r=\"2\"><c><v>1</v></c><c r=\"b2\"><v>2</v></c>"
                              "<c r=\"C2\"><v>3</v></c></row>",
                              {}, nullptr, &ok);
    QVERIFY(ok);
    QCOMPARE(cells.size(), 1);
    QCOMPARE(cells[0].row, 2);
    QCOMPARE(cells[0].column, 3);
    QVERIFY(cells[0].extra.isEmpty());
}

void tst_SheetStream::sharedStringIndexes()
{
    QList<QString> five = {"s0", "s1", "s2", "s3", "s4"};
    QList<QString> ten;
    for (int i = 0; i < 10; ++i)
        ten.append(QStringLiteral("t%1").arg(i));
    const QByteArray b3 = "<row r=\"3\"><c r=\"B3\" t=\"s\"><v>4</v></c></row>";
    auto cells = stream(b3, {}, &five);
    QCOMPARE(cells.size(), 1);
    QCOMPARE(cells[0].row, 3);
    QCOMPARE(cells[0].column, 2);
    QCOMPARE(cells[0].value, QVariant(QStringLiteral("s4")));
    cells = stream(b3, {}, nullptr); // not resolved: the index as text
    QCOMPARE(cells[0].value, QVariant(QStringLiteral("4")));
    cells = stream("<row r=\"3\"><c r=\"B3\" t=\"s\"><v>99</v></c><c r=\"C3\" t=\"s\"><v>-1</v></c>"
                   "<c r=\"D3\" t=\"s\"><v>x</v></c></row>",
                   {}, &ten);
    QCOMPARE(cells[0].value, QVariant(QStringLiteral("99")));
    QCOMPARE(cells[1].value, QVariant(QStringLiteral("-1")));
    QCOMPARE(cells[2].value, QVariant(QStringLiteral("x")));
}

void tst_SheetStream::booleansNumbersAndTexts()
{
    const auto cells = stream(
        "<row r=\"1\"><c r=\"A1\" t=\"b\"><v>1</v></c><c r=\"B1\" t=\"b\"><v>0</v></c>"
        "<c r=\"C1\" t=\"b\"><v>true</v></c><c r=\"D1\"><v>3.5</v></c>"
        "<c r=\"E1\" t=\"e\"><v>#REF!</v></c><c r=\"F1\" s=\"3\"/><c r=\"G1\" t=\"n\"><v>72</v></c>"
        "<c r=\"H1\" t=\"str\"><v>text</v></c></row>");
    QCOMPARE(cells.size(), 8);
    QCOMPARE(cells[0].value, QVariant(true));
    QCOMPARE(cells[1].value, QVariant(false));
    QCOMPARE(cells[2].value, QVariant(false));
    QCOMPARE(cells[3].value, QVariant(3.5));
    QCOMPARE(cells[3].value.typeId(), QMetaType::Double);
    QCOMPARE(cells[4].value, QVariant(QStringLiteral("#REF!")));
    QCOMPARE(cells[5].value, QVariant(QString()));
    QCOMPARE(cells[5].value.typeId(), QMetaType::QString);
    QCOMPARE(cells[6].value.toString(), QStringLiteral("72"));
    QCOMPARE(cells[7].value, QVariant(QStringLiteral("text")));
}

void tst_SheetStream::textsConvertAsQtConvertsThem()
{
    // Texts that start with a letter take a shortcut; the result must be Qt's all the same.
    const QStringList texts = {"Athlete 3", "inf", " -INF", "nan", "NaN ", "e5",  "E",
                               " 2.5e3 ",   "x1",  "+.5",   "i",   "n",    "\t7", "\u00e93"};
    QByteArray data = "<row r=\"1\">";
    for (int i = 0; i < texts.size(); ++i)
        data += "<c r=\"" + CellReference::toString(1, i + 1).toUtf8() + "\" t=\"str\"><v>" +
                texts[i].toUtf8() + "</v></c>";
    const auto cells = stream(data + "</row>");
    QCOMPARE(cells.size(), texts.size());
    for (int i = 0; i < texts.size(); ++i) {
        bool ok = false;
        const double d = texts[i].toDouble(&ok);
        QCOMPARE(cells[i].value.typeId(), ok ? QMetaType::Double : QMetaType::QString);
        if (ok && !qIsNaN(d))
            QCOMPARE(cells[i].value.toDouble(), d);
    }
}

void tst_SheetStream::formulas()
{
    const QByteArray withResult = "<row r=\"1\"><c r=\"A1\"><f>1+1</f><v>2</v></c></row>";
    for (bool asText : {false, true}) {
        const auto cells = stream(withResult, withFormulas(asText));
        QCOMPARE(cells.size(), 1);
        QCOMPARE(cells[0].value, QVariant(2.0));
    }
    const QByteArray noResult = "<row r=\"1\"><c r=\"A1\"><f>SUM(B1:B3)</f></c>"
                                "<c r=\"B1\"><f>2*3</f></c></row>";
    auto cells = stream(noResult, withFormulas(true));
    QCOMPARE(cells[0].value, QVariant(QStringLiteral("SUM(B1:B3)")));
    // A formula of digits alone is still a formula, kept as its text.
    QCOMPARE(cells[1].value, QVariant(QStringLiteral("2*3")));
    cells = stream(noResult, withFormulas(false));
    QCOMPARE(cells[0].value, QVariant(QString()));
}

void tst_SheetStream::zeroWidthNoBreakSpaceIsText()
{
    // U+FEFF inside a cell is a character of its text, not a byte order mark to drop.
    const auto cells = stream("<row r=\"1\"><c r=\"A1\"><v>\xEF\xBB\xBF"
                              "5</v></c>"
                              "<c r=\"B1\" t=\"inlineStr\"><is><t>\xEF\xBB\xBF"
                              "Ana</t></is></c></row>");
    QCOMPARE(cells.size(), 2);
    QCOMPARE(cells[0].value, QVariant(QStringLiteral("\uFEFF"
                                                     "5")));
    QCOMPARE(cells[1].value, QVariant(QStringLiteral("\uFEFF"
                                                     "Ana")));
}

void tst_SheetStream::inlineStringKeepsTheLastRun()
{
    const auto cells = stream("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><r><t>first</t></r>"
                              "<r><t>second</t></r></is></c><c r=\"B1\"><is><t>not inline</t></is>"
                              "<v>5</v></c></row>");
    QCOMPARE(cells.size(), 2);
    QCOMPARE(cells[0].value, QVariant(QStringLiteral("second")));
    QCOMPARE(cells[1].value, QVariant(5.0));
}

void tst_SheetStream::callbackStopsTheReading()
{
    QByteArray data = "<row r=\"1\">";
    for (int c = 1; c <= 6; ++c)
        data += "<c r=\"" + QByteArray(1, char('@' + c)) + "1\"><v>" + QByteArray::number(c) +
                "</v></c>";
    data += "</row><row r=\"2\"><c r=\"A2\"/></row>";
    int calls = 0;
    QVERIFY(read_sheet_xml_sax(TestWorkbook::sheetXml(data), {}, nullptr,
                               [&](const sax_cell&) { return ++calls < 3; }));
    QCOMPARE(calls, 3);
    // An empty callback gets nothing and the reading goes on to the end.
    QVERIFY(read_sheet_xml_sax(TestWorkbook::sheetXml(data), {}, nullptr, {}));
}

void tst_SheetStream::stopsAfterSheetDataOnlyWhenAsked()
{
    // Broken XML after sheetData is seen only when the reading goes on.
    const QByteArray xml =
        "<worksheet><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row></sheetData>"
        "<sheetData><row r=\"2\"><c r=\"A2\"><v>2</v></c></row></sheetData><oops></worksheet>";
    sax_options options;
    options.stopAfterSheetData = true;
    int calls = 0;
    QVERIFY(read_sheet_xml_sax(xml, options, nullptr, [&](const sax_cell&) { return ++calls; }));
    QCOMPARE(calls, 1);
    options.stopAfterSheetData = false;
    calls = 0;
    QVERIFY(!read_sheet_xml_sax(xml, options, nullptr, [&](const sax_cell&) { return ++calls; }));
    QCOMPARE(calls, 2);
}

void tst_SheetStream::malformedXmlIsFalse()
{
    QVERIFY(!read_sheet_xml_sax("<worksheet><sheetData><row>", {}, nullptr, {}));
    QVERIFY(!read_sheet_xml_sax("", {}, nullptr, {}));
    QVERIFY(!read_sheet_xml_sax("\xff\xfe garbage", {}, nullptr, {}));
    QVERIFY(read_sheet_xml_sax("<worksheet/>", {}, nullptr, {}));
}

void tst_SheetStream::xmlFormsOfTheSameCells_data()
{
    // Each sheet holds A1 = "a<b & c" (text) and B2 = 2.5, written in a different way.
    QTest::addColumn<QByteArray>("xml");
    const QByteArray ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
    QTest::newRow("references")
        << ("<worksheet " + ns +
            "><sheetData><row r=\"1\"><c r=\"&#65;1\" "
            "t=\"inlineStr\"><is><t>a&lt;b &amp; &#x63;</t></is></c></row>"
            "<row r=\"2\"><c r=\"B2\"><v>2.5</v></c></row></sheetData></worksheet>");
    QTest::newRow("cdata, comments, instructions")
        << ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- made by hand --><worksheet " + ns +
            "><?app hint?><sheetData><row r=\"1\"><c r=\"A1\" "
            "t=\"inlineStr\"><is><t><![CDATA[a<b]]>"
            "<!-- x --> &amp; c</t></is></c></row><row r='2'><c r='B2' ><v> 2.5 </v></c></row>"
            "</sheetData></worksheet>\n<!-- end -->\n");
    QTest::newRow("prefixed") << QByteArray(
        "\xEF\xBB\xBF<s:worksheet "
        "xmlns:s=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<s:sheetData><s:row r=\"1\"><s:c r=\"A1\" t=\"inlineStr\"><s:is><s:t>a&lt;b &amp; c</s:t>"
        "</s:is></s:c></s:row><s:row r=\"2\"><s:c "
        "r=\"B2\"><s:v>2.5</s:v></s:c></s:row></s:sheetData>"
        "</s:worksheet>");
    QTest::newRow("latin-1") << QByteArray(
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><worksheet><sheetData><row r=\"1\">"
        "<c r=\"A1\" t=\"inlineStr\"><is><t>a&lt;b &amp; c</t></is></c></row><row r=\"2\">"
        "<c r=\"B2\"><v>2.5</v></c></row></sheetData></worksheet>");
    const QString text = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-16\"?><worksheet><sheetData><row r=\"1\"><c r=\"A1\" "
        "t=\"inlineStr\"><is><t>a&lt;b &amp; c</t></is></c></row><row r=\"2\"><c r=\"B2\"><v>2.5"
        "</v></c></row></sheetData></worksheet>");
    QByteArray utf16("\xFF\xFE");
    utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    QTest::newRow("utf-16") << utf16;
}

void tst_SheetStream::xmlFormsOfTheSameCells()
{
    QFETCH(QByteArray, xml);
    Seen seen;
    QVERIFY(read_sheet_xml_sax(xml, {}, nullptr, seen.collect()));
    QCOMPARE(seen.cells.size(), 2);
    QCOMPARE(seen.cells[0].row, 1);
    QCOMPARE(seen.cells[0].column, 1);
    QCOMPARE(seen.cells[0].value, QVariant(QStringLiteral("a<b & c")));
    QCOMPARE(seen.cells[1].row, 2);
    QCOMPARE(seen.cells[1].column, 2);
    QCOMPARE(seen.cells[1].value, QVariant(2.5));
}

void tst_SheetStream::malformedFormsAreFalse_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::newRow("mismatched tag") << QByteArray("<worksheet><sheetData></sheetdata></worksheet>");
    QTest::newRow("undeclared prefix") << QByteArray("<x:worksheet><x:sheetData/></x:worksheet>");
    QTest::newRow("unknown entity")
        << QByteArray("<worksheet><sheetData>&nbsp;</sheetData></worksheet>");
    QTest::newRow("bad character reference") << QByteArray("<worksheet>&#1;</worksheet>");
    QTest::newRow("unquoted attribute") << QByteArray("<worksheet a=1/>");
    QTest::newRow("duplicate attribute") << QByteArray("<worksheet a='1' a='2'/>");
    QTest::newRow("lt in attribute") << QByteArray("<worksheet a='<'/>");
    QTest::newRow("invalid utf-8")
        << QByteArray("<worksheet><sheetData>\xC3\x28</sheetData></worksheet>");
    QTest::newRow("control character") << QByteArray("<worksheet>\x01</worksheet>");
    QTest::newRow("two roots") << QByteArray("<worksheet/><worksheet/>");
    QTest::newRow("text after root") << QByteArray("<worksheet/>text");
    QTest::newRow("declaration late") << QByteArray(" <?xml version=\"1.0\"?><worksheet/>");
    QTest::newRow("unclosed comment") << QByteArray("<worksheet><!-- </worksheet>");
    QTest::newRow("doctype") << QByteArray("<!DOCTYPE worksheet><worksheet/>");
    QTest::newRow("cdata end in text") << QByteArray("<worksheet>]]></worksheet>");
    QTest::newRow("truncated") << QByteArray(
        "<worksheet><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v>");
}

void tst_SheetStream::malformedFormsAreFalse()
{
    QFETCH(QByteArray, xml);
    sax_options options;
    options.stopAfterSheetData = false;
    QVERIFY(!read_sheet_xml_sax(xml, options, nullptr, {}));
}

void tst_SheetStream::cellReferenceParsing()
{
    int row = -1;
    int column = -1;
    QVERIFY(parse_cell_ref(QStringLiteral("AA1"), &row, &column));
    QCOMPARE(row, 1);
    QCOMPARE(column, 27);
    QVERIFY(parse_cell_ref(QStringLiteral("XFD1048576"), &row, &column));
    QCOMPARE(row, 1048576);
    QCOMPARE(column, 16384);
    QVERIFY(parse_cell_ref(QStringLiteral("C7"), nullptr, &column));
    QCOMPARE(column, 3);
    QVERIFY(parse_cell_ref(QStringLiteral("C7"), &row, nullptr));
    QCOMPARE(row, 7);
    for (const char* bad : {"A0", "A", "1A", "A1B", "", "a1", "XFE1", "A1048577", "A-2"}) {
        row = column = -5;
        QVERIFY2(!parse_cell_ref(QString::fromLatin1(bad), &row, &column), bad);
        QCOMPARE(row, -5); // nothing stored on failure
    }
    int consumed = -1;
    QCOMPARE(parse_col_letters(u"AB12", &consumed), 28);
    QCOMPARE(consumed, 2);
    QCOMPARE(parse_col_letters(u"XFD", &consumed), 16384);
    QCOMPARE(consumed, 3);
    QCOMPARE(parse_col_letters(u"", &consumed), 0);
    QCOMPARE(consumed, 0);
    QCOMPARE(parse_col_letters(u"12", nullptr), 0);
    QCOMPARE(parse_col_letters(u"ZZZZZZZZZZZZZZZZZZZZ", &consumed), 0); // never overflows
    QCOMPARE(consumed, 20);
}

void tst_SheetStream::readsSheetsOfAFileByIndexAndName()
{
    const QString file = m_dir.filePath("two.xlsx");
    auto parts = TestWorkbook::workbook(
        {{QStringLiteral("Alpha"),
          TestWorkbook::sheetXml("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>1</v></c></row>")},
         {QStringLiteral("Beta"),
          TestWorkbook::sheetXml("<row r=\"5\"><c r=\"E5\"><v>5</v></c></row>")},
         {QStringLiteral("Empty"), QByteArray()}},
        0, TestWorkbook::sharedStringsXml({"zero", "one"}));
    QVERIFY(TestWorkbook::write(file, parts));
    Document doc(file);
    QVERIFY(doc.load());

    Seen seen;
    QVERIFY(doc.read_sheet_sax(0, sax_options(), seen.collect()));
    QCOMPARE(seen.cells.size(), 1);
    QCOMPARE(seen.cells[0].value, QVariant(QStringLiteral("one")));
    sax_options raw;
    raw.resolveSharedStrings = false;
    seen.cells.clear();
    QVERIFY(doc.read_sheet_sax(QStringLiteral("Alpha"), raw, seen.collect()));
    QCOMPARE(seen.cells[0].value, QVariant(QStringLiteral("1")));
    seen.cells.clear();
    QVERIFY(doc.read_sheet_sax(QStringLiteral("Beta"), sax_options(), seen.collect()));
    QCOMPARE(seen.cells.size(), 1);
    QCOMPARE(seen.cells[0].row, 5);
    QCOMPARE(seen.cells[0].column, 5);

    seen.cells.clear();
    QVERIFY(!doc.read_sheet_sax(3, sax_options(), seen.collect()));
    QVERIFY(!doc.read_sheet_sax(-1, sax_options(), seen.collect()));
    QVERIFY(!doc.read_sheet_sax(QStringLiteral("beta"), sax_options(), seen.collect()));
    QVERIFY(!doc.read_sheet_sax(QStringLiteral("Empty"), sax_options(), seen.collect()));
    QVERIFY(seen.cells.isEmpty());

    // The file is read afresh: writes not saved are not seen.
    QVERIFY(doc.write(1, 1, QStringLiteral("unsaved"), Format()));
    QVERIFY(doc.read_sheet_sax(0, sax_options(), seen.collect()));
    QCOMPARE(seen.cells[0].value, QVariant(QStringLiteral("one")));
    // A file that disappeared after loading reads as false.
    QVERIFY(QFile::remove(file));
    QVERIFY(!doc.read_sheet_sax(0, sax_options(), seen.collect()));
}

void tst_SheetStream::loadsSharedStringsWithRunsJoined()
{
    const QByteArray sst =
        "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<si><t>plain</t></si><si><r><t>ri</t></r><r><rPr><b/></rPr><t>ch</t></r>"
        "<rPh><t>PH</t></rPh></si><si/><si><t>after</t></si><si><t>cut";
    QByteArray bytes = TestWorkbook::bytes(
        TestWorkbook::workbook({{QStringLiteral("S"), TestWorkbook::sheetXml("")}}, 0, sst));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    ZipReader zip(&buffer);
    // Phonetic runs are joined too; the error at the end keeps what came before it.
    QCOMPARE(load_shared_strings_all(zip), QStringList({"plain", "richPH", "", "after"}));
    QByteArray none = TestWorkbook::bytes(
        TestWorkbook::workbook({{QStringLiteral("S"), TestWorkbook::sheetXml("")}}));
    QBuffer noneBuffer(&none);
    noneBuffer.open(QIODevice::ReadOnly);
    ZipReader noStrings(&noneBuffer);
    QVERIFY(load_shared_strings_all(noStrings).isEmpty());
}

QTEST_GUILESS_MAIN(tst_SheetStream)
#include "tst_sheet_stream.moc"
