#include "Worksheet.h"

#include "CellReference.h"
#include "FormulaText.h"
#include "SharedStrings.h"
#include "Styles.h"
#include "XmlText.h"

#include <QDateTime>
#include <QUtf8StringView>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>

namespace QXlsx {

namespace {

enum class CellType
{
    Number,
    SharedString,
    Boolean,
    String,
    InlineString,
    Error,
    Date
};

CellType cellType(QStringView t)
{
    if (t == u"s")
        return CellType::SharedString;
    if (t == u"b")
        return CellType::Boolean;
    if (t == u"str")
        return CellType::String;
    if (t == u"inlineStr")
        return CellType::InlineString;
    if (t == u"e")
        return CellType::Error;
    if (t == u"d")
        return CellType::Date;
    return CellType::Number;
}

// Serial day numbers count from 1900-01-01 = 1 and take 1900 for a leap year, as the first
// spreadsheets did; the 1904 system counts from 1904-01-01 = 0.
QVariant serialToDateTime(double serial, Styles::NumberKind kind, bool date1904)
{
    if (!std::isfinite(serial) || serial < 0 || serial >= 2958466)
        return serial;
    if (kind == Styles::Time && serial >= 1)
        return serial; // an elapsed time of a day or more stays a number
    qint64 ms = qint64(std::llround(serial * 86400000.0));
    qint64 days = ms / 86400000;
    ms -= days * 86400000;
    QDate base;
    if (date1904)
        base = QDate(1904, 1, 1);
    else
        base = days < 61 ? QDate(1899, 12, 31) : QDate(1899, 12, 30);
    const QDate date = base.addDays(days);
    const QTime time = QTime::fromMSecsSinceStartOfDay(int(ms));
    if (kind == Styles::Time)
        return time;
    if (kind == Styles::Date && ms == 0)
        return date;
    return QDateTime(date, time, Qt::UTC);
}

QVariant numberValue(double d)
{
    // Whole numbers come back as integers, so that 72 reads as 72 and a long telephone number
    // does not turn into exponent notation when the value is shown as text.
    if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9007199254740992.0) {
        const qint64 whole = qint64(d);
        if (whole >= std::numeric_limits<int>::min() && whole <= std::numeric_limits<int>::max())
            return int(whole);
        return whole;
    }
    return d;
}

bool isXmlSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// A row's start tag, up to but without its closing ">" or "/>", with its height attributes
// replaced by heightAttributes; every other attribute stays as written. Empty when the tag is
// not one that was read as a row.
QString startTagWithHeight(QStringView tag, const QString& heightAttributes)
{
    if (tag.isEmpty() || tag[0] != u'<')
        return QString();
    qsizetype i = 1;
    while (i < tag.size() && !isXmlSpace(tag[i]))
        ++i;
    QString out = tag.left(i).toString();
    for (;;) {
        while (i < tag.size() && isXmlSpace(tag[i]))
            ++i;
        if (i >= tag.size())
            break;
        const qsizetype nameStart = i;
        while (i < tag.size() && tag[i] != u'=' && !isXmlSpace(tag[i]))
            ++i;
        const QStringView name = tag.mid(nameStart, i - nameStart);
        while (i < tag.size() && isXmlSpace(tag[i]))
            ++i;
        if (i >= tag.size() || tag[i] != u'=')
            return QString();
        ++i;
        while (i < tag.size() && isXmlSpace(tag[i]))
            ++i;
        if (i >= tag.size() || (tag[i] != u'"' && tag[i] != u'\''))
            return QString();
        const qsizetype close = tag.indexOf(tag[i], i + 1);
        if (close < 0)
            return QString();
        i = close + 1;
        if (name != u"ht" && name != u"customHeight")
            out += u' ' + tag.mid(nameStart, i - nameStart).toString();
    }
    return out + heightAttributes;
}

bool parseRange(QStringView ref, int* range)
{
    const qsizetype colon = ref.indexOf(u':');
    const QStringView first = colon < 0 ? ref : ref.left(colon);
    const QStringView last = colon < 0 ? ref : ref.mid(colon + 1);
    return CellReference::parse(first, &range[0], &range[1]) &&
           CellReference::parse(last, &range[2], &range[3]);
}

} // namespace

Worksheet::Worksheet(const QString& filePath, const QString& name, bool isChartsheet)
    : AbstractOOXmlFile(filePath), m_name(name), m_isChartsheet(isChartsheet)
{}

void Worksheet::clear()
{
    m_loaded = false;
    m_xml.clear();
    m_cells.clear();
    m_rows.clear();
    m_cellColumns.clear();
    m_columns.clear();
    m_merges.clear();
    m_prefix.clear();
    m_sheetDataTagEnd = m_sheetDataEnd = m_dimensionTagEnd = m_dimensionEnd = -1;
    m_dimensionName.clear();
    m_sharedFormulas.clear();
    m_sharedAnchors.clear();
    m_written.clear();
    m_rowHeights.clear();
}

bool Worksheet::load(const QByteArray& xml, const SharedStrings* sharedStrings,
                     const Styles* styles, bool date1904)
{
    clear();
    if (m_isChartsheet)
        return false;
    m_hasBom = xml.startsWith("\xEF\xBB\xBF");
    m_xml = m_hasBom ? xml.mid(3) : xml;
    if (!parse(sharedStrings, styles, date1904)) {
        clear();
        return false;
    }
    m_loaded = true;
    return true;
}

bool Worksheet::parse(const SharedStrings* sharedStrings, const Styles* styles, bool date1904)
{
    // Written cells are spliced into the text decoded from these bytes; only valid UTF-8 comes
    // back out byte for byte.
    if (!QUtf8StringView(m_xml).isValidUtf8())
        return false;

    QXmlStreamReader reader(m_xml);
    bool inSheetData = false;
    bool inCols = false;
    bool inRow = false;
    bool inCell = false;
    bool inInline = false;
    int phoneticDepth = 0;
    int lastRow = 0;
    int lastColumn = 0;
    int row = 0;
    int column = 0;
    CellType type = CellType::Number;
    bool hasValue = false;
    bool hasInline = false;
    QString valueText;
    QString inlineText;
    Cell cell;

    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = readNextToken(reader);
        const qint64 offset = reader.characterOffset();
        if (offset > std::numeric_limits<qint32>::max())
            return false;
        if (token == QXmlStreamReader::StartDocument) {
            const QStringView encoding = reader.documentEncoding();
            if (!encoding.isEmpty() && encoding.compare(u"UTF-8", Qt::CaseInsensitive) != 0)
                return false; // offsets below are counted over UTF-8 text
        } else if (token == QXmlStreamReader::StartElement) {
            const QStringView name = reader.name();
            if (inCell) {
                if (name == u"c" || name == u"row" || name == u"sheetData")
                    return false; // a splice of the outer cell would cut across this one
                if (name == u"v") {
                    valueText = reader.readElementText();
                    hasValue = true;
                } else if (name == u"f") {
                    const QXmlStreamAttributes attributes = reader.attributes();
                    SharedFormula formula;
                    formula.cell = key(row, column);
                    formula.tagEnd = qint32(offset);
                    const QString text = reader.readElementText();
                    if (reader.characterOffset() > std::numeric_limits<qint32>::max())
                        return false;
                    formula.end = qint32(reader.characterOffset());
                    bool ok = false;
                    formula.index = attributes.value(QLatin1String("si")).toInt(&ok);
                    if (attributes.value(QLatin1String("t")) == u"shared" && ok &&
                        formula.index >= 0) {
                        m_sharedFormulas.append(formula);
                        if (attributes.hasAttribute(QLatin1String("ref")) &&
                            !m_sharedAnchors.contains(formula.index))
                            m_sharedAnchors.insert(formula.index, {formula.cell, text});
                    }
                } else if (name == u"is") {
                    inInline = true;
                    hasInline = true;
                } else if (name == u"rPh") {
                    ++phoneticDepth;
                } else if (name == u"t" && inInline && phoneticDepth == 0) {
                    inlineText += reader.readElementText();
                }
            } else if (inSheetData) {
                const QXmlStreamAttributes attributes = reader.attributes();
                if (name == u"row") {
                    if (inRow)
                        return false; // a row inside a row: not a sheet we can write into
                    const QStringView r = attributes.value(QLatin1String("r"));
                    bool ok = true;
                    row = r.isEmpty() ? lastRow + 1 : r.toInt(&ok);
                    if (!ok || row < 1 || row > CellReference::MaxRow || m_rows.size() >= MaxCells)
                        return false;
                    Row info;
                    info.number = row;
                    info.tagEnd = qint32(offset);
                    const QStringView custom = attributes.value(QLatin1String("customFormat"));
                    if (custom == u"1" || custom == u"true")
                        info.style = attributes.value(QLatin1String("s")).toInt(&ok);
                    const double height = attributes.value(QLatin1String("ht")).toDouble(&ok);
                    if (ok && height > 0)
                        info.height = height;
                    info.firstCell = qint32(m_cellColumns.size());
                    m_rows.append(info);
                    lastRow = row;
                    lastColumn = 0;
                    inRow = true;
                } else if (name == u"extLst" && inRow) {
                    reader.skipCurrentElement();
                } else if (name != u"c" || !inRow) {
                    // sheetData holds rows and rows hold cells: anything else there is not a
                    // sheet we can write into.
                    return false;
                } else {
                    const QStringView r = attributes.value(QLatin1String("r"));
                    if (r.isEmpty()) {
                        column = lastColumn + 1;
                        if (column > CellReference::MaxColumn)
                            return false;
                    } else if (!CellReference::parse(r, &row, &column)) {
                        return false;
                    }
                    type = cellType(attributes.value(QLatin1String("t")));
                    bool ok = false;
                    cell = Cell();
                    cell.style = attributes.value(QLatin1String("s")).toInt(&ok);
                    if (!ok)
                        cell.style = -1;
                    cell.tagEnd = qint32(offset);
                    valueText.clear();
                    inlineText.clear();
                    hasValue = hasInline = inInline = false;
                    phoneticDepth = 0;
                    inCell = true;
                }
            } else if (name == u"sheetData") {
                if (m_sheetDataTagEnd >= 0)
                    return false; // only one
                inSheetData = true;
                m_sheetDataTagEnd = qint32(offset);
                m_prefix = reader.prefix().toString();
            } else if (name == u"dimension" && m_dimensionTagEnd < 0) {
                m_dimensionTagEnd = qint32(offset);
                m_dimensionName = reader.qualifiedName().toString();
                if (!parseRange(reader.attributes().value(QLatin1String("ref")), m_dimension))
                    std::fill(std::begin(m_dimension), std::end(m_dimension), 0);
            } else if (name == u"cols") {
                inCols = true;
            } else if (name == u"col" && inCols) {
                const QXmlStreamAttributes attributes = reader.attributes();
                bool styled = false;
                bool sized = false;
                Column col;
                col.first = attributes.value(QLatin1String("min")).toInt();
                col.last = attributes.value(QLatin1String("max")).toInt();
                col.style = attributes.value(QLatin1String("style")).toInt(&styled);
                col.width = attributes.value(QLatin1String("width")).toDouble(&sized);
                if (!styled)
                    col.style = -1;
                if (!sized || col.width < 0)
                    col.width = 0;
                if ((styled || col.width > 0) && col.first >= 1 && col.last >= col.first &&
                    m_columns.size() < 16384)
                    m_columns.append(col);
            } else if (name == u"mergeCell") {
                int corners[4] = {0, 0, 0, 0};
                if (parseRange(reader.attributes().value(QLatin1String("ref")), corners) &&
                    m_merges.size() < MaxCells)
                    m_merges.append({corners[0], corners[1], corners[2], corners[3]});
            }
        } else if (token == QXmlStreamReader::EndElement) {
            const QStringView name = reader.name();
            if (inCell) {
                if (name == u"c") {
                    inCell = false;
                    cell.end = qint32(offset);
                    switch (type) {
                    case CellType::SharedString: {
                        bool ok = false;
                        const int index = valueText.toInt(&ok);
                        if (ok && sharedStrings && index >= 0 && index < sharedStrings->count())
                            cell.value = sharedStrings->strings().at(index);
                        break;
                    }
                    case CellType::Boolean:
                        if (hasValue)
                            cell.value = valueText == u"1" || valueText == u"true";
                        break;
                    case CellType::String:
                    case CellType::Error:
                        if (hasValue)
                            cell.value = XmlText::decode(valueText);
                        break;
                    case CellType::InlineString:
                        if (hasInline)
                            cell.value = XmlText::decode(inlineText);
                        break;
                    case CellType::Date: {
                        const QDateTime dt = QDateTime::fromString(valueText, Qt::ISODate);
                        if (dt.isValid())
                            cell.value =
                                valueText.contains(u'T') ? QVariant(dt) : QVariant(dt.date());
                        else if (hasValue)
                            cell.value = valueText;
                        break;
                    }
                    case CellType::Number: {
                        if (!hasValue)
                            break;
                        bool ok = false;
                        const double d = valueText.toDouble(&ok);
                        if (!ok) {
                            cell.value = valueText;
                            break;
                        }
                        const Styles::NumberKind kind = styles && cell.style >= 0
                                                            ? styles->numberKind(cell.style)
                                                            : Styles::Plain;
                        cell.value = kind == Styles::Plain ? numberValue(d)
                                                           : serialToDateTime(d, kind, date1904);
                        break;
                    }
                    }
                    // A cell given twice: which one a reader keeps is anyone's guess.
                    if (m_cells.contains(key(row, column)) || m_cells.size() >= MaxCells)
                        return false;
                    m_cellColumns.append(column);
                    ++m_rows.last().cellCount;
                    m_cells.insert(key(row, column), cell);
                    lastColumn = column;
                } else if (name == u"is") {
                    inInline = false;
                } else if (name == u"rPh" && phoneticDepth > 0) {
                    --phoneticDepth;
                }
            } else if (inSheetData) {
                if (name == u"row" && inRow) {
                    m_rows.last().end = qint32(offset);
                    inRow = false;
                } else if (name == u"sheetData") {
                    m_sheetDataEnd = qint32(offset);
                    inSheetData = false;
                }
            } else if (name == u"dimension" && m_dimensionTagEnd >= 0 && m_dimensionEnd < 0) {
                m_dimensionEnd = qint32(offset);
            } else if (name == u"cols") {
                inCols = false;
            }
        }
    }
    return !reader.hasError() && m_sheetDataEnd >= 0;
}

QVariant Worksheet::read(int row, int column) const
{
    if (!m_loaded)
        return QVariant();
    const auto written = m_written.constFind(key(row, column));
    if (written != m_written.constEnd())
        return written.value();
    return m_cells.value(key(row, column)).value;
}

bool Worksheet::write(int row, int column, const QVariant& value)
{
    if (!m_loaded || !CellReference::isValid(row, column))
        return false;
    m_written.insert(key(row, column), value);
    return true;
}

int Worksheet::inheritedStyle(const Row* row, int column) const
{
    if (row && row->style >= 0)
        return row->style;
    for (const Column& col : m_columns) {
        if (column >= col.first && column <= col.last && col.style >= 0)
            return col.style;
    }
    return -1;
}

const Worksheet::Row* Worksheet::findRow(int number) const
{
    // Rows stand in ascending order in a sheet part, but nothing here relies on it.
    for (const Row& row : m_rows) {
        if (row.number == number)
            return &row;
    }
    return nullptr;
}

int Worksheet::cellStyle(int row, int column) const
{
    const auto cell = m_cells.constFind(key(row, column));
    if (cell != m_cells.constEnd() && cell->style >= 0)
        return cell->style;
    return inheritedStyle(findRow(row), column);
}

double Worksheet::rowHeight(int row) const
{
    const auto set = m_rowHeights.constFind(row);
    if (set != m_rowHeights.constEnd())
        return set.value();
    const Row* found = findRow(row);
    return found ? found->height : 0;
}

bool Worksheet::setRowHeight(int rowFirst, int rowLast, double height)
{
    // Spreadsheet programs take 409 points as the tallest row.
    if (!m_loaded || rowFirst < 1 || rowLast > CellReference::MaxRow || rowFirst > rowLast ||
        !(height > 0 && height <= 409))
        return false;
    for (int row = rowFirst; row <= rowLast; ++row)
        m_rowHeights.insert(row, height);
    return true;
}

double Worksheet::columnWidth(int column) const
{
    for (const Column& col : m_columns) {
        if (column >= col.first && column <= col.last && col.width > 0)
            return col.width;
    }
    return 0;
}

QString Worksheet::heightAttributes(int row) const
{
    const auto set = m_rowHeights.constFind(row);
    if (set == m_rowHeights.constEnd())
        return QString();
    return QStringLiteral(" ht=\"%1\" customHeight=\"1\"")
        .arg(QString::number(set.value(), 'g', QLocale::FloatingPointShortest));
}

QString Worksheet::qualified(const QString& localName) const
{
    return m_prefix.isEmpty() ? localName : m_prefix + u':' + localName;
}

QString Worksheet::cellXml(int row, int column, const QVariant& value, int style) const
{
    QString xml = u'<' + qualified(QStringLiteral("c")) + QStringLiteral(" r=\"") +
                  CellReference::toString(row, column) + u'"';
    if (style >= 0)
        xml += QStringLiteral(" s=\"%1\"").arg(style);
    const QString close = QStringLiteral("</") + qualified(QStringLiteral("c")) + u'>';

    QString text;
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return xml + QStringLiteral("/>");
    case QMetaType::Bool:
        return xml + QStringLiteral(" t=\"b\"><") + qualified(QStringLiteral("v")) + u'>' +
               (value.toBool() ? u'1' : u'0') + QStringLiteral("</") +
               qualified(QStringLiteral("v")) + u'>' + close;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        if (std::isfinite(d)) {
            const QString number =
                value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float
                    ? QString::number(d, 'g', QLocale::FloatingPointShortest)
                    : value.toString();
            return xml + u'>' + u'<' + qualified(QStringLiteral("v")) + u'>' + number +
                   QStringLiteral("</") + qualified(QStringLiteral("v")) + u'>' + close;
        }
        text = value.toString();
        break;
    }
    default:
        text = value.toString();
        break;
    }
    if (text.isEmpty())
        return xml + QStringLiteral("/>");
    // Text is always an inline string: never a formula, and the shared string part stays as it was.
    return xml + QStringLiteral(" t=\"inlineStr\"><") + qualified(QStringLiteral("is")) + u'>' +
           u'<' + qualified(QStringLiteral("t")) + QStringLiteral(" xml:space=\"preserve\">") +
           XmlText::escape(text) + QStringLiteral("</") + qualified(QStringLiteral("t")) +
           QStringLiteral("></") + qualified(QStringLiteral("is")) + u'>' + close;
}

QString Worksheet::rowXml(int row, const QList<int>& columns) const
{
    QString xml = u'<' + qualified(QStringLiteral("row")) + QStringLiteral(" r=\"") +
                  QString::number(row) + u'"' + heightAttributes(row) + u'>';
    for (int column : columns)
        xml += cellXml(row, column, m_written.value(key(row, column)),
                       inheritedStyle(nullptr, column));
    return xml + QStringLiteral("</") + qualified(QStringLiteral("row")) + u'>';
}

QString Worksheet::dimensionXml() const
{
    int range[4] = {m_dimension[0], m_dimension[1], m_dimension[2], m_dimension[3]};
    bool changed = false;
    for (auto it = m_written.constBegin(); it != m_written.constEnd(); ++it) {
        if (!it.value().isValid())
            continue;
        const int row = int(it.key() >> 32);
        const int column = int(it.key() & 0xffffffffu);
        if (range[0] == 0) {
            range[0] = range[2] = row;
            range[1] = range[3] = column;
            changed = true;
            continue;
        }
        if (row < range[0] || row > range[2] || column < range[1] || column > range[3])
            changed = true;
        range[0] = std::min(range[0], row);
        range[1] = std::min(range[1], column);
        range[2] = std::max(range[2], row);
        range[3] = std::max(range[3], column);
    }
    if (!changed)
        return QString();
    QString ref = CellReference::toString(range[0], range[1]);
    if (range[0] != range[2] || range[1] != range[3])
        ref += u':' + CellReference::toString(range[2], range[3]);
    return u'<' + m_dimensionName + QStringLiteral(" ref=\"") + ref + QStringLiteral("\"/>");
}

QByteArray Worksheet::saveXml() const
{
    if (!m_loaded)
        return QByteArray();
    if (!isModified())
        return m_hasBom ? "\xEF\xBB\xBF" + m_xml : m_xml;

    QString text;
    XmlText::appendUtf8(text, m_xml);
    // Offsets were counted while reading; one that does not point just past a tag means the
    // part is not what was read, and nothing is written.
    bool offsetsOk = true;
    const auto tagStart = [&text, &offsetsOk](qint32 tagEnd) {
        if (tagEnd <= 0 || tagEnd > text.size() || text[tagEnd - 1] != u'>') {
            offsetsOk = false;
            return qint32(0);
        }
        return qint32(text.lastIndexOf(u'<', tagEnd - 1));
    };
    QList<Edit> edits;

    // Cells that exist are replaced where they stand; the others wait for their row.
    QMap<int, QList<int>> missing;
    for (auto it = m_written.constBegin(); it != m_written.constEnd(); ++it) {
        const int row = int(it.key() >> 32);
        const int column = int(it.key() & 0xffffffffu);
        const auto cell = m_cells.constFind(it.key());
        if (cell != m_cells.constEnd()) {
            edits.append({tagStart(cell->tagEnd), cell->end - tagStart(cell->tagEnd),
                          cellXml(row, column, it.value(), cell->style)});
        } else {
            missing[row].append(column);
        }
    }

    for (auto it = m_rowHeights.constBegin(); it != m_rowHeights.constEnd(); ++it)
        missing[it.key()]; // a row without written cells gets its height all the same

    QHash<int, int> rowIndex;
    for (int i = int(m_rows.size()) - 1; i >= 0; --i)
        rowIndex.insert(m_rows[i].number, i);
    QList<int> newRows;
    for (auto it = missing.constBegin(); it != missing.constEnd(); ++it) {
        const int number = it.key();
        const int index = rowIndex.value(number, -1);
        if (index < 0) {
            newRows.append(number);
            continue;
        }
        const Row& row = m_rows[index];
        const bool selfClosing = row.end == row.tagEnd;
        if (m_rowHeights.contains(number)) {
            // The start tag is written anew up to its closing ">" or "/>", which stay.
            const qint32 start = tagStart(row.tagEnd);
            const qint32 closing = row.tagEnd - (selfClosing ? 2 : 1);
            const QString tag = startTagWithHeight(QStringView(text).mid(start, closing - start),
                                                   heightAttributes(number));
            if (tag.isEmpty())
                return QByteArray();
            edits.append({start, closing - start, tag});
        }
        if (it.value().isEmpty())
            continue;
        if (selfClosing) { // <row .../>: open it up
            QString xml = QStringLiteral(">");
            for (int column : it.value())
                xml += cellXml(number, column, m_written.value(key(number, column)),
                               inheritedStyle(&row, column));
            xml += QStringLiteral("</") + qualified(QStringLiteral("row")) + u'>';
            edits.append({row.tagEnd - 2, 2, xml});
            continue;
        }
        for (int column : it.value()) {
            // Before the first cell of the row that lies to the right, else before </row>.
            qint32 position = tagStart(row.end);
            for (int i = row.firstCell; i < row.firstCell + row.cellCount; ++i) {
                const auto next = m_cells.constFind(key(number, m_cellColumns[i]));
                if (m_cellColumns[i] > column && next != m_cells.constEnd()) {
                    position = tagStart(next->tagEnd);
                    break;
                }
            }
            edits.append({position, 0,
                          cellXml(number, column, m_written.value(key(number, column)),
                                  inheritedStyle(&row, column))});
        }
    }
    QString appended; // rows after the last one, for a sheetData that is still empty
    for (int number : newRows) {
        qint32 position = -1;
        for (const Row& row : m_rows) {
            if (row.number > number) {
                position = tagStart(row.tagEnd);
                break;
            }
        }
        if (position >= 0)
            edits.append({position, 0, rowXml(number, missing.value(number))});
        else if (m_sheetDataEnd == m_sheetDataTagEnd)
            appended += rowXml(number, missing.value(number));
        else
            edits.append({tagStart(m_sheetDataEnd), 0, rowXml(number, missing.value(number))});
    }
    if (!appended.isEmpty()) { // <sheetData/>: open it up
        edits.append({m_sheetDataTagEnd - 2, 2,
                      u'>' + appended + QStringLiteral("</") +
                          qualified(QStringLiteral("sheetData")) + u'>'});
    }
    // A written cell that anchored a shared formula takes the formula's text with it: every
    // other cell of that formula gets it written out, moved from the anchor to its own place.
    for (const SharedFormula& formula : m_sharedFormulas) {
        const auto anchor = m_sharedAnchors.constFind(formula.index);
        if (anchor == m_sharedAnchors.constEnd() || anchor->cell == formula.cell ||
            !m_written.contains(anchor->cell) || m_written.contains(formula.cell))
            continue;
        const int rows = int(formula.cell >> 32) - int(anchor->cell >> 32);
        const int columns = int(formula.cell & 0xffffffffu) - int(anchor->cell & 0xffffffffu);
        const QString f = qualified(QStringLiteral("f"));
        const qint32 start = tagStart(formula.tagEnd);
        edits.append({start, formula.end - start,
                      u'<' + f + u'>' +
                          FormulaText::shifted(anchor->text, rows, columns).toHtmlEscaped() +
                          QStringLiteral("</") + f + u'>'});
    }
    if (m_dimensionTagEnd >= 0 && m_dimensionEnd >= 0) {
        const QString dimension = dimensionXml();
        if (!dimension.isEmpty()) {
            const qint32 start = tagStart(m_dimensionTagEnd);
            edits.append({start, m_dimensionEnd - start, dimension});
        }
    }

    if (!offsetsOk)
        return QByteArray();
    // Insertions come before a replacement at the same place; equal places keep their order.
    std::stable_sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) {
        if (a.position != b.position)
            return a.position < b.position;
        return a.removed == 0 && b.removed != 0;
    });
    QString out;
    out.reserve(text.size() + 256);
    qint32 cursor = 0;
    for (const Edit& e : edits) {
        if (e.position < cursor || e.position < 0 || e.position + e.removed > text.size())
            return QByteArray(); // overlapping edits: the part is not what we read
        out += QStringView(text).mid(cursor, e.position - cursor);
        out += e.text;
        cursor = e.position + e.removed;
    }
    out += QStringView(text).mid(cursor);
    const QByteArray bytes = out.toUtf8();
    return m_hasBom ? "\xEF\xBB\xBF" + bytes : bytes;
}

bool Worksheet::isSavedXml(const QByteArray& xml) const
{
    Worksheet saved(filePath(), m_name, false);
    if (!saved.load(xml, nullptr, nullptr, false))
        return false;
    for (auto it = m_written.constBegin(); it != m_written.constEnd(); ++it) {
        const QVariant back = saved.read(int(it.key() >> 32), int(it.key() & 0xffffffffu));
        const QVariant& value = it.value();
        bool same = false;
        switch (value.typeId()) {
        case QMetaType::UnknownType:
            same = !back.isValid();
            break;
        case QMetaType::Bool:
            same = back.typeId() == QMetaType::Bool && back.toBool() == value.toBool();
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
        case QMetaType::Float:
            same = std::isfinite(value.toDouble()) ? back.toDouble() == value.toDouble()
                                                   : back.toString() == value.toString();
            break;
        default: {
            // A lone surrogate cannot be stored and is written as U+FFFD.
            QString text = value.toString();
            for (qsizetype i = 0; i < text.size(); ++i) {
                if (text[i].isHighSurrogate() && i + 1 < text.size() &&
                    text[i + 1].isLowSurrogate())
                    ++i;
                else if (text[i].isSurrogate())
                    text[i] = QChar(QChar::ReplacementCharacter);
            }
            same = text.isEmpty() ? !back.isValid() : back.toString() == text;
            break;
        }
        }
        if (!same)
            return false;
    }
    for (auto it = m_rowHeights.constBegin(); it != m_rowHeights.constEnd(); ++it) {
        if (saved.rowHeight(it.key()) != it.value())
            return false;
    }
    return true;
}

QByteArray Worksheet::blankXml()
{
    return QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<dimension ref=\"A1\"/><sheetData/></worksheet>");
}

} // namespace QXlsx
