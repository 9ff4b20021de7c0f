#include "ResultWorkbook.h"

#include "Document.h"
#include "Format.h"
#include "RaceResultTable.h"
#include "RaceTables.h"
#include "Styles.h"
#include "WholeFile.h"
#include "Workbook.h"
#include "Worksheet.h"
#include "WrappedText.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QMap>
#include <cmath>

namespace {

struct EventCell
{
    int row;
    int column;
    EventEntry entry;
};

// The cells the athlete import reads the event header from, except the phone: the import
// takes it from F4, the result workbook keeps it in G4.
constexpr EventCell kEventCells[] = {
    {1, 3, organiserName}, {3, 3, organiserAddress}, {4, 3, organiserEmail}, {4, 7, organiserPhone},
    {7, 1, eventName},     {7, 3, eventDate},        {7, 5, eventPlace}};

constexpr int kTitleRow = 10;

// Spreadsheet programs lay a sheet out at 96 pixels per inch. A column's width counts digits of
// the workbook's normal font and includes 5 pixels of cell margins and grid line; a row's
// height is in points and takes a little room above and below its lines.
constexpr qreal kSheetDpi = 96;
constexpr qreal kPointsPerPixel = 72 / kSheetDpi;
constexpr qreal kColumnPadding = 5;
constexpr qreal kDefaultColumnWidth = 8.43; // digits, in a column the sheet gives no width
constexpr qreal kRowPadding = 4;            // points
constexpr qreal kTallestRow = 409;          // points, the most a spreadsheet program takes

QFontMetricsF sheetMetrics(const QXlsx::Styles::TextStyle& style)
{
    QImage screen(1, 1, QImage::Format_ARGB32);
    screen.setDotsPerMeterX(qRound(kSheetDpi / 0.0254));
    screen.setDotsPerMeterY(qRound(kSheetDpi / 0.0254));
    QFont font(style.fontName);
    font.setPointSizeF(style.fontSize);
    font.setBold(style.bold);
    return QFontMetricsF(font, &screen);
}

// The widest digit of the normal font in whole pixels, as spreadsheet programs round it.
qreal digitWidth(const QXlsx::Styles& styles)
{
    const QFontMetricsF metrics = sheetMetrics(styles.textStyle(0));
    qreal widest = 0;
    for (char16_t digit = u'0'; digit <= u'9'; ++digit)
        widest = qMax(widest, metrics.horizontalAdvance(QChar(digit)));
    return qMax<qreal>(1, std::floor(widest));
}

// The pixels a cell's text has across: its column's, or its merged range's when the cell begins
// one on its row; -1 for a cell whose text is not shown (inside a merged range) or whose range
// spans rows (spreadsheet programs do not grow a row for those either).
qreal textWidth(const QXlsx::Worksheet& sheet, int row, int column, qreal digit)
{
    int last = column;
    for (const QXlsx::CellRange& range : sheet.mergedCells()) {
        if (row < range.firstRow || row > range.lastRow || column < range.firstColumn ||
            column > range.lastColumn)
            continue;
        if (range.firstRow != range.lastRow || column != range.firstColumn)
            return -1;
        last = range.lastColumn;
    }
    qreal pixels = 0;
    for (int c = column; c <= last; ++c) {
        const qreal width = sheet.columnWidth(c);
        const qreal digits = width > 0 ? width : kDefaultColumnWidth + kColumnPadding / digit;
        pixels += std::trunc((256 * digits + std::trunc(128 / digit)) / 256 * digit);
    }
    return pixels - kColumnPadding;
}

// Spreadsheet programs keep a row's stored height rather than fit it to its text, and
// LibreOffice shows a row without one at a single line: a long name, club or event name would
// run over the rows around it. Each written row is made as tall as its most wrapped text needs,
// never lower than the template has it.
void fitRowHeights(QXlsx::Document& document, const QMap<int, QList<int>>& written)
{
    QXlsx::Worksheet* sheet = document.currentWorksheet();
    const QXlsx::Styles* styles = document.workbook()->styles();
    if (!sheet || !styles)
        return;
    const qreal digit = digitWidth(*styles);
    for (auto it = written.constBegin(); it != written.constEnd(); ++it) {
        const int row = it.key();
        qreal needed = 0;
        for (int column : it.value()) {
            const QString text = sheet->read(row, column).toString();
            const qreal width = textWidth(*sheet, row, column, digit);
            if (text.isEmpty() || width <= 0)
                continue;
            const QXlsx::Styles::TextStyle style = styles->textStyle(sheet->cellStyle(row, column));
            const QFontMetricsF metrics = sheetMetrics(style);
            // A cell that does not wrap shows one line, however long.
            const int lines = style.wraps ? WrappedText::lineCount(metrics, width, text) : 1;
            needed = qMax(needed, lines * metrics.lineSpacing() * kPointsPerPixel + kRowPadding);
        }
        needed = qMin(std::ceil(needed * 4) / 4, kTallestRow);
        if (needed > sheet->rowHeight(row))
            sheet->setRowHeight(row, row, needed);
    }
}

} // namespace

QString ResultWorkbook::templatePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/printTemplate.xlsx");
}

ResultWorkbook::Outcome ResultWorkbook::write(const QString& templateFile,
                                              const QList<QStringList>& rows,
                                              const QStringList& event, const QString& path,
                                              QString* why)
{
    QXlsx::Document document(templateFile);
    if (!document.load())
        return NoTemplate;
    if (rows.isEmpty())
        return NoRows;

    // Every value is text, so a name like "=1+1" or "http://..." stays what was typed.
    const QXlsx::Format keepStyle;
    QMap<int, QList<int>> written;
    for (int i = 0; i < rows.size(); ++i) {
        const QStringList& row = rows.at(i);
        for (int c = 0; c < RaceResultTable::ColumnCount && c < row.size(); ++c) {
            document.write(kTitleRow + i, c + 1, QVariant(row.at(c)), keepStyle);
            written[kTitleRow + i].append(c + 1);
        }
    }
    for (const EventCell& cell : kEventCells) {
        document.write(cell.row, cell.column, QVariant(event.value(cell.entry)), keepStyle);
        written[cell.row].append(cell.column);
    }
    fitRowHeights(document, written);

    QBuffer package;
    if (!package.open(QIODevice::WriteOnly) || !document.saveAs(&package))
        return NotSaved;
    WholeFile file(path);
    if (file.commit(package.data()))
        return Saved;
    if (why)
        *why = file.errorString();
    return NotSaved;
}

QString ResultWorkbook::freeName(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return path;
    const QString stem = info.absolutePath() + u'/' + info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    for (int i = 1;; ++i) {
        const QString candidate = QStringLiteral("%1 (%2)%3").arg(stem, QString::number(i), suffix);
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}
