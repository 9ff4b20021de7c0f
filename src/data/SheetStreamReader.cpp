#include "SheetStreamReader.h"

#include "CellReference.h"
#include "DocumentPrivate.h"
#include "Worksheet.h"
#include "ZipReader.h"

#include <QBuffer>
#include <QFile>
#include <QXmlStreamReader>

namespace QXlsx {

namespace {

enum class ValueType
{
    Other,
    SharedString,
    Boolean,
    InlineString
};

// The text of the current element and its children, into a buffer that keeps its capacity
// from cell to cell.
void readText(QXmlStreamReader& reader, QString& out)
{
    out.resize(0);
    int depth = 1;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::Characters:
        case QXmlStreamReader::EntityReference:
            out.append(reader.text());
            break;
        case QXmlStreamReader::StartElement:
            ++depth;
            break;
        case QXmlStreamReader::EndElement:
            if (--depth == 0)
                return;
            break;
        default:
            break;
        }
    }
}

} // namespace

bool read_sheet_xml_sax(const QByteArray& sheetXml, const sax_options& options,
                        const QList<QString>* sharedStrings, sax_callback callback)
{
    QXmlStreamReader reader(sheetXml);
    bool inSheetData = false;
    bool inCell = false;
    bool referenceOk = false;
    ValueType type = ValueType::Other;
    QString valueText;
    sax_cell cell;

    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const QStringView name = reader.name();
            if (inCell) {
                if (name == u"v") {
                    readText(reader, valueText);
                } else if (name == u"f") {
                    if (options.formulasAsText) {
                        type = ValueType::Other; // "str"
                        readText(reader, valueText);
                    } else {
                        reader.skipCurrentElement();
                    }
                } else if (name == u"t" && type == ValueType::InlineString) {
                    readText(reader, valueText);
                }
            } else if (name == u"c" && inSheetData) {
                const QXmlStreamAttributes attributes = reader.attributes();
                referenceOk = CellReference::parse(attributes.value(QLatin1String("r")), &cell.row,
                                                   &cell.column);
                const QStringView t = attributes.value(QLatin1String("t"));
                type = t == u"s"           ? ValueType::SharedString
                       : t == u"b"         ? ValueType::Boolean
                       : t == u"inlineStr" ? ValueType::InlineString
                                           : ValueType::Other;
                valueText.resize(0);
                inCell = true;
            } else if (name == u"sheetData") {
                inSheetData = true;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            const QStringView name = reader.name();
            if (inCell && name == u"c") {
                inCell = false;
                if (!referenceOk)
                    continue;
                bool ok = false;
                switch (type) {
                case ValueType::SharedString: {
                    const int index = valueText.toInt(&ok);
                    if (ok && sharedStrings && index >= 0 && index < sharedStrings->size())
                        cell.value = sharedStrings->at(index);
                    else
                        cell.value = valueText;
                    break;
                }
                case ValueType::Boolean:
                    cell.value = valueText == u"1";
                    break;
                default: {
                    const double d = valueText.toDouble(&ok);
                    cell.value = ok ? QVariant(d) : QVariant(valueText);
                    break;
                }
                }
                if (callback && !callback(cell))
                    return true;
            } else if (inSheetData && name == u"sheetData") {
                inSheetData = false;
                if (options.stopAfterSheetData)
                    return true;
            }
        } else if (token == QXmlStreamReader::DTD) {
            // No package part has one, and entity expansion attacks start there.
            reader.raiseError(QStringLiteral("Document type declarations are not allowed"));
        }
    }
    return !reader.hasError();
}

QStringList load_shared_strings_all(ZipReader& zip)
{
    QStringList strings;
    const QByteArray xml = zip.fileData(QStringLiteral("xl/sharedStrings.xml"));
    if (xml.isEmpty())
        return strings;
    QXmlStreamReader reader(xml);
    QString text;
    bool inItem = false;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (reader.name() == u"si") {
                inItem = true;
                text.clear();
            } else if (inItem && reader.name() == u"t") {
                text += reader.readElementText(QXmlStreamReader::IncludeChildElements);
            }
        } else if (token == QXmlStreamReader::EndElement && inItem && reader.name() == u"si") {
            strings.append(text);
            inItem = false;
        } else if (token == QXmlStreamReader::DTD) {
            break;
        }
    }
    return strings;
}

bool parse_cell_ref(const QString& ref, int* row, int* column)
{
    return CellReference::parse(ref, row, column);
}

int parse_col_letters(const QStringView& letters, int* consumed)
{
    return CellReference::parseColumn(letters, consumed);
}

bool Document::read_sheet_sax(int sheetIndex, const sax_options& options,
                              sax_callback callback) const
{
    if (!d->workbook)
        return false;
    // Read afresh from the file (or the bytes held in memory): unsaved writes are not seen.
    QFile file;
    QBuffer buffer;
    QIODevice* source = nullptr;
    if (!d->fileName.isEmpty()) {
        file.setFileName(d->fileName);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        source = &file;
    } else if (d->packageBytes && !d->packageBytes->isEmpty()) {
        buffer.setData(*d->packageBytes);
        if (!buffer.open(QIODevice::ReadOnly))
            return false;
        source = &buffer;
    } else {
        return false;
    }
    ZipReader zip(source);
    const Worksheet* sheet = d->workbook->sheet(sheetIndex);
    if (!sheet)
        return false;
    const QByteArray xml = zip.fileData(sheet->filePath());
    if (xml.isEmpty())
        return false;
    QStringList strings;
    if (options.resolveSharedStrings)
        strings = load_shared_strings_all(zip);
    return read_sheet_xml_sax(xml, options, options.resolveSharedStrings ? &strings : nullptr,
                              std::move(callback));
}

bool Document::read_sheet_sax(const QString& sheetName, const sax_options& options,
                              sax_callback callback) const
{
    if (!d->workbook)
        return false;
    const int index = int(d->workbook->worksheetNames().indexOf(sheetName));
    if (index < 0)
        return false;
    return read_sheet_sax(index, options, std::move(callback));
}

} // namespace QXlsx
