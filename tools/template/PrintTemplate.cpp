#include "PrintTemplate.h"

#include "ZipWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

namespace {

const QByteArray kXmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
const QByteArray kMainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const QByteArray kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// Cell styles, by their index in cellXfs below.
enum Style
{
    StyleDefault = 0,
    StyleOrganiser = 1, // organiser name, large
    StyleLabel = 2,     // small grey caption
    StyleValue = 3,     // organiser details
    StyleLabelRight = 4,
    StyleEvent = 5,   // event name, date and place
    StyleSection = 6, // "Race Results"
    StyleTitle = 7,   // result table titles
    StyleOddRow = 8,  // places 1, 3, 5, ...
    StyleEvenRow = 9
};

constexpr int kColumns = 11;
constexpr int kTitleRow = 10;
constexpr int kLastPlaceRow = 20;

// Column widths in characters, wide enough for the titles and for ten typical athletes.
constexpr double kWidths[kColumns] = {8, 8, 16, 18, 10, 10, 13, 26, 13, 12, 10};

QByteArray columnName(int column)
{
    return QByteArray(1, char('A' + column - 1));
}

QByteArray cellRef(int row, int column)
{
    return columnName(column) + QByteArray::number(row);
}

QByteArray emptyCell(int row, int column, Style style)
{
    return "<c r=\"" + cellRef(row, column) + "\" s=\"" + QByteArray::number(style) + "\"/>";
}

QByteArray textCell(int row, int column, Style style, const QByteArray& text)
{
    return "<c r=\"" + cellRef(row, column) + "\" s=\"" + QByteArray::number(style) +
           "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
}

QByteArray row(int number, const QByteArray& cells, double height = 0)
{
    QByteArray xml = "<row r=\"" + QByteArray::number(number) + "\"";
    if (height > 0)
        xml += " ht=\"" + QByteArray::number(height) + "\" customHeight=\"1\"";
    return xml + ">" + cells + "</row>";
}

// Every cell of a row from first to last column, empty, in one style.
QByteArray styledCells(int rowNumber, int first, int last, Style style)
{
    QByteArray cells;
    for (int c = first; c <= last; ++c)
        cells += emptyCell(rowNumber, c, style);
    return cells;
}

QByteArray font(const QByteArray& size, const QByteArray& rgb, bool bold)
{
    return QByteArray("<font>") + (bold ? "<b/>" : "") + "<sz val=\"" + size + "\"/><color rgb=\"" +
           rgb + "\"/><name val=\"Arial\"/><family val=\"2\"/></font>";
}

QByteArray solidFill(const QByteArray& rgb)
{
    return "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"" + rgb +
           "\"/><bgColor indexed=\"64\"/></patternFill></fill>";
}

QByteArray xf(int numFmt, int fontId, int fillId, int borderId, const QByteArray& alignment)
{
    QByteArray xml = "<xf numFmtId=\"" + QByteArray::number(numFmt) + "\" fontId=\"" +
                     QByteArray::number(fontId) + "\" fillId=\"" + QByteArray::number(fillId) +
                     "\" borderId=\"" + QByteArray::number(borderId) + "\" xfId=\"0\"";
    if (numFmt != 0)
        xml += " applyNumberFormat=\"1\"";
    if (fontId != 0)
        xml += " applyFont=\"1\"";
    if (fillId != 0)
        xml += " applyFill=\"1\"";
    if (borderId != 0)
        xml += " applyBorder=\"1\"";
    if (alignment.isEmpty())
        return xml + "/>";
    return xml + " applyAlignment=\"1\"><alignment " + alignment + "/></xf>";
}

} // namespace

PrintTemplate::Parts PrintTemplate::parts()
{
    return {{QStringLiteral("[Content_Types].xml"), contentTypes()},
            {QStringLiteral("_rels/.rels"), packageRelationships()},
            {QStringLiteral("docProps/app.xml"), appProperties()},
            {QStringLiteral("docProps/core.xml"), coreProperties()},
            {QStringLiteral("xl/workbook.xml"), workbook()},
            {QStringLiteral("xl/_rels/workbook.xml.rels"), workbookRelationships()},
            {QStringLiteral("xl/styles.xml"), styles()},
            {QStringLiteral("xl/worksheets/sheet1.xml"), sheet()}};
}

bool PrintTemplate::write(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QXlsx::ZipWriter zip(&file);
    for (const auto& part : parts())
        zip.addFile(part.first, part.second);
    // commit() alone would put a file in place whose last bytes never reached the disk.
    return zip.close() && file.flush() && file.commit();
}

QByteArray PrintTemplate::contentTypes()
{
    const QByteArray ooxml = "application/vnd.openxmlformats-";
    return kXmlHead +
           "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
           "<Default Extension=\"rels\" ContentType=\"" +
           ooxml +
           "package.relationships+xml\"/>"
           "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
           "<Override PartName=\"/xl/workbook.xml\" ContentType=\"" +
           ooxml +
           "officedocument.spreadsheetml.sheet.main+xml\"/>"
           "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"" +
           ooxml +
           "officedocument.spreadsheetml.worksheet+xml\"/>"
           "<Override PartName=\"/xl/styles.xml\" ContentType=\"" +
           ooxml +
           "officedocument.spreadsheetml.styles+xml\"/>"
           "<Override PartName=\"/docProps/core.xml\" ContentType=\"" +
           ooxml +
           "package.core-properties+xml\"/>"
           "<Override PartName=\"/docProps/app.xml\" ContentType=\"" +
           ooxml +
           "officedocument.extended-properties+xml\"/>"
           "</Types>";
}

QByteArray PrintTemplate::packageRelationships()
{
    return kXmlHead +
           "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
           "<Relationship Id=\"rId1\" Type=\"" +
           kRelNs +
           "/officeDocument\" "
           "Target=\"xl/workbook.xml\"/>"
           "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/package/2006/"
           "relationships/metadata/core-properties\" Target=\"docProps/core.xml\"/>"
           "<Relationship Id=\"rId3\" Type=\"" +
           kRelNs +
           "/extended-properties\" "
           "Target=\"docProps/app.xml\"/>"
           "</Relationships>";
}

QByteArray PrintTemplate::workbook()
{
    return kXmlHead + "<workbook xmlns=\"" + kMainNs + "\" xmlns:r=\"" + kRelNs + "\">" +
           "<bookViews><workbookView activeTab=\"0\"/></bookViews>"
           "<sheets><sheet name=\"Results\" sheetId=\"1\" r:id=\"rId1\"/></sheets>"
           "<definedNames><definedName name=\"_xlnm.Print_Area\" localSheetId=\"0\">"
           "Results!$A$1:$K$" +
           QByteArray::number(kLastPlaceRow) + "</definedName></definedNames></workbook>";
}

QByteArray PrintTemplate::workbookRelationships()
{
    return kXmlHead +
           "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
           "<Relationship Id=\"rId1\" Type=\"" +
           kRelNs +
           "/worksheet\" "
           "Target=\"worksheets/sheet1.xml\"/>"
           "<Relationship Id=\"rId2\" Type=\"" +
           kRelNs +
           "/styles\" Target=\"styles.xml\"/>"
           "</Relationships>";
}

QByteArray PrintTemplate::styles()
{
    // The greys of the printed report, so the workbook and the PDF read as one document; the
    // organiser's name in the product's dark teal.
    const QByteArray fonts = font("10", "FF282828", false)   // 0 table and detail text
                             + font("16", "FF0A4F5C", true)  // 1 organiser name
                             + font("9", "FF646464", false)  // 2 captions
                             + font("10", "FFFFFFFF", true)  // 3 table titles
                             + font("13", "FF000000", true)  // 4 section heading
                             + font("11", "FF323232", true); // 5 event line
    const QByteArray fills = "<fill><patternFill patternType=\"none\"/></fill>"
                             "<fill><patternFill patternType=\"gray125\"/></fill>" +
                             solidFill("FF808080") + solidFill("FFF8F8F8");
    QByteArray grid;
    for (const char* side : {"left", "right", "top", "bottom"})
        grid += QByteArray("<") + side + " style=\"thin\"><color rgb=\"FFC8C8C8\"/></" + side + ">";
    const QByteArray borders = "<border><left/><right/><top/><bottom/><diagonal/></border>"
                               "<border>" +
                               grid +
                               "<diagonal/></border>"
                               "<border><left/><right/><top/><bottom style=\"medium\">"
                               "<color rgb=\"FF14A3A0\"/></bottom><diagonal/></border>";
    const QByteArray middle = "vertical=\"center\"";
    const QByteArray centred = "horizontal=\"center\" vertical=\"center\" wrapText=\"1\"";
    // 49 is the built-in text format: whatever is typed into a result cell stays text.
    const QByteArray cellXfs = xf(0, 0, 0, 0, {})                                 // default
                               + xf(49, 1, 0, 0, middle)                          // organiser
                               + xf(0, 2, 0, 0, middle)                           // label
                               + xf(49, 0, 0, 0, middle)                          // value
                               + xf(0, 2, 0, 0, "horizontal=\"right\" " + middle) // label right
                               + xf(49, 5, 0, 0, middle + " wrapText=\"1\"")      // event
                               + xf(0, 4, 0, 2, middle)                           // section
                               + xf(49, 3, 2, 1, centred)                         // titles
                               + xf(49, 0, 3, 1, centred)                         // odd place
                               + xf(49, 0, 0, 1, centred);                        // even place
    return kXmlHead + "<styleSheet xmlns=\"" + kMainNs + "\">" + "<fonts count=\"6\">" + fonts +
           "</fonts><fills count=\"4\">" + fills + "</fills><borders count=\"3\">" + borders +
           "</borders><cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
           "borderId=\"0\"/></cellStyleXfs><cellXfs count=\"10\">" +
           cellXfs +
           "</cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" "
           "builtinId=\"0\"/></cellStyles></styleSheet>";
}

QByteArray PrintTemplate::sheet()
{
    QByteArray cols;
    for (int c = 0; c < kColumns; ++c) {
        cols += "<col min=\"" + QByteArray::number(c + 1) + "\" max=\"" +
                QByteArray::number(c + 1) + "\" width=\"" + QByteArray::number(kWidths[c]) +
                "\" customWidth=\"1\"/>";
    }

    QByteArray rows;
    // Organiser block: name in C1, address in C3, e-mail in C4 and phone in G4. The phone's
    // caption sits in E4 with F4 left empty, because the athlete import reads F4 as a phone.
    rows += row(1, textCell(1, 1, StyleLabel, "Organiser") + emptyCell(1, 3, StyleOrganiser), 28);
    rows += row(3, textCell(3, 1, StyleLabel, "Address") + emptyCell(3, 3, StyleValue), 18);
    rows += row(4,
                textCell(4, 1, StyleLabel, "E-mail") + emptyCell(4, 3, StyleValue) +
                    textCell(4, 5, StyleLabelRight, "Phone") + emptyCell(4, 7, StyleValue),
                18);
    // Event line: captions above the name (A7), date (C7) and place (E7). The heights of the
    // event line and the result rows are those of one line of text; the export makes a row
    // taller when its texts wrap to more lines.
    rows += row(6, textCell(6, 1, StyleLabel, "Event") + textCell(6, 3, StyleLabel, "Date") +
                       textCell(6, 5, StyleLabel, "Place"));
    rows += row(
        7, emptyCell(7, 1, StyleEvent) + emptyCell(7, 3, StyleEvent) + emptyCell(7, 5, StyleEvent),
        30);
    rows += row(
        9, textCell(9, 1, StyleSection, "Race Results") + styledCells(9, 2, kColumns, StyleSection),
        22);

    const QList<QByteArray> titles = {"Rank", "Lane", "First Name", "Last Name", "Weight", "Gender",
                                      "DOB",  "Club", "Category",   "Distance",  "Time"};
    QByteArray titleCells;
    for (int c = 0; c < kColumns; ++c)
        titleCells += textCell(kTitleRow, c + 1, StyleTitle, titles.at(c));
    rows += row(kTitleRow, titleCells, 24);
    for (int r = kTitleRow + 1; r <= kLastPlaceRow; ++r) {
        const Style style = (r - kTitleRow) % 2 == 1 ? StyleOddRow : StyleEvenRow;
        rows += row(r, styledCells(r, 1, kColumns, style), 20);
    }

    const QByteArray merges = "<mergeCells count=\"7\">"
                              "<mergeCell ref=\"C1:K1\"/><mergeCell ref=\"C3:K3\"/>"
                              "<mergeCell ref=\"C4:D4\"/><mergeCell ref=\"E4:F4\"/>"
                              "<mergeCell ref=\"G4:K4\"/><mergeCell ref=\"A7:B7\"/>"
                              "<mergeCell ref=\"E7:K7\"/></mergeCells>";

    return kXmlHead + "<worksheet xmlns=\"" + kMainNs + "\" xmlns:r=\"" + kRelNs + "\">" +
           "<sheetPr><pageSetUpPr fitToPage=\"1\"/></sheetPr>"
           "<dimension ref=\"A1:K" +
           QByteArray::number(kLastPlaceRow) +
           "\"/>"
           "<sheetViews><sheetView showGridLines=\"0\" tabSelected=\"1\" workbookViewId=\"0\"/>"
           "</sheetViews><sheetFormatPr defaultRowHeight=\"15\"/>"
           "<cols>" +
           cols + "</cols><sheetData>" + rows + "</sheetData>" + merges +
           "<printOptions horizontalCentered=\"1\"/>"
           "<pageMargins left=\"0.5\" right=\"0.5\" top=\"0.5\" bottom=\"0.5\" header=\"0.3\" "
           "footer=\"0.3\"/>"
           "<pageSetup paperSize=\"9\" orientation=\"landscape\" fitToWidth=\"1\" "
           "fitToHeight=\"0\"/></worksheet>";
}

QByteArray PrintTemplate::coreProperties()
{
    return kXmlHead +
           "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/"
           "metadata/core-properties\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
           "<dc:title>Race Results</dc:title><dc:creator>Rivanta Race</dc:creator>"
           "</cp:coreProperties>";
}

QByteArray PrintTemplate::appProperties()
{
    return kXmlHead + "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                      "extended-properties\"><Application>Rivanta Race</Application></Properties>";
}
