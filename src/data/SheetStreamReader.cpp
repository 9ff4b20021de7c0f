#include "SheetStreamReader.h"

#include "CellReference.h"
#include "DocumentPrivate.h"
#include "SharedStrings.h"
#include "SheetXmlScanner.h"
#include "Worksheet.h"
#include "ZipReader.h"

#include <QBuffer>
#include <QFile>
#include <QXmlStreamReader>
#include <charconv>
#include <memory>
#include <thread>

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

// QString::toDouble without its cost for the plain numbers cells hold: digits, sign, point and
// exponent in ASCII go through std::from_chars (correctly rounded, as Qt is); anything else,
// or anything from_chars does not take whole, is left to QString::toDouble.
double toDouble(const QString& text, bool* ok)
{
    char buffer[64];
    const qsizetype size = text.size();
    // Most texts start with a letter that no number does (only "inf" and "nan" are words to
    // QString::toDouble): they are told apart without its costly look at the whole text.
    qsizetype start = 0;
    while (start < size && text[start].isSpace())
        ++start;
    if (start < size) {
        const char16_t u = text[start].unicode();
        if (((u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z')) && u != u'i' && u != u'I' &&
            u != u'n' && u != u'N') {
            *ok = false;
            return 0;
        }
    }
    if (size == 0 || size >= qsizetype(sizeof(buffer)))
        return text.toDouble(ok);
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t u = text[i].unicode();
        if (!((u >= u'0' && u <= u'9') || u == u'.' || u == u'-' || u == u'+' || u == u'e' ||
              u == u'E'))
            return text.toDouble(ok);
        buffer[i] = char(u);
    }
    const char* first = buffer;
    if (buffer[0] == '+' && size > 1 &&
        (buffer[1] == '.' || (buffer[1] >= '0' && buffer[1] <= '9')))
        ++first;
    double value = 0;
    const auto result = std::from_chars(first, buffer + size, value);
    if (result.ec != std::errc() || result.ptr != buffer + size)
        return text.toDouble(ok);
    *ok = true;
    return value;
}

// QString::toInt for the shared-string indexes cells hold: up to nine ASCII digits are read
// here, anything else (signs, blanks, longer numbers) is left to QString::toInt.
int toIndex(const QString& text, bool* ok)
{
    const qsizetype size = text.size();
    if (size == 0 || size > 9)
        return text.toInt(ok);
    int value = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t u = text[i].unicode();
        if (u < u'0' || u > u'9')
            return text.toInt(ok);
        value = value * 10 + (u - u'0');
    }
    *ok = true;
    return value;
}

QVariant cellValue(ValueType type, const QString& valueText, const QList<QString>* sharedStrings)
{
    bool ok = false;
    switch (type) {
    case ValueType::SharedString: {
        const int index = toIndex(valueText, &ok);
        if (ok && sharedStrings && index >= 0 && index < sharedStrings->size())
            return sharedStrings->at(index);
        return valueText;
    }
    case ValueType::Boolean:
        return valueText == u"1";
    default: {
        const double d = toDouble(valueText, &ok);
        return ok ? QVariant(d) : QVariant(valueText);
    }
    }
}

inline bool same(QByteArrayView a, QByteArrayView b)
{
    return SheetXmlScanner::same(a, b);
}

ValueType valueType(QByteArrayView t)
{
    if (same(t, "s"))
        return ValueType::SharedString;
    if (same(t, "b"))
        return ValueType::Boolean;
    if (same(t, "inlineStr"))
        return ValueType::InlineString;
    return ValueType::Other;
}

// An attribute value that needs no decoding: no references and no blanks to normalise.
inline bool isPlainValue(QByteArrayView raw)
{
    for (char c : raw) {
        if (c == '&' || c == '\t' || c == '\n' || c == '\r')
            return false;
    }
    return true;
}

// The text of the current element and its children.
bool readText(SheetXmlScanner& scanner, QString* out)
{
    if (out)
        out->resize(0);
    int depth = 1;
    for (;;) {
        switch (scanner.next()) {
        case SheetXmlScanner::Characters:
            if (out)
                scanner.appendText(*out);
            break;
        case SheetXmlScanner::StartElement:
            ++depth;
            break;
        case SheetXmlScanner::EndElement:
            if (--depth == 0)
                return true;
            break;
        default:
            return false;
        }
    }
}

} // namespace

namespace internal {

bool readSheetXmlWithQt(const QByteArray& sheetXml, const sax_options& options,
                        const QList<QString>* sharedStrings, const sax_callback& callback)
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
                cell.value = cellValue(type, valueText, sharedStrings);
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

} // namespace internal

bool read_sheet_xml_sax(const QByteArray& sheetXml, const sax_options& options,
                        const QList<QString>* sharedStrings, sax_callback callback)
{
    SheetXmlScanner scanner(sheetXml);
    if (!scanner.isSupported())
        return internal::readSheetXmlWithQt(sheetXml, options, sharedStrings, callback);
    bool inSheetData = false;
    bool inCell = false;
    bool referenceOk = false;
    ValueType type = ValueType::Other;
    QString valueText;
    QString reference;
    sax_cell cell;

    for (;;) {
        const SheetXmlScanner::Token token = scanner.next();
        if (token == SheetXmlScanner::StartElement) {
            const QByteArrayView name = scanner.localName();
            if (inCell) {
                if (same(name, "v")) {
                    if (!readText(scanner, &valueText))
                        return false;
                } else if (same(name, "f")) {
                    if (options.formulasAsText)
                        type = ValueType::Other; // "str"
                    if (!readText(scanner, options.formulasAsText ? &valueText : nullptr))
                        return false;
                } else if (same(name, "t") && type == ValueType::InlineString) {
                    if (!readText(scanner, &valueText))
                        return false;
                }
            } else if (same(name, "c") && inSheetData) {
                const QByteArrayView r = scanner.rawAttribute("r");
                if (isPlainValue(r)) {
                    referenceOk = CellReference::parse(r, &cell.row, &cell.column);
                } else {
                    reference.resize(0);
                    SheetXmlScanner::appendValue(r, reference);
                    referenceOk = CellReference::parse(reference, &cell.row, &cell.column);
                }
                const QByteArrayView rawType = scanner.rawAttribute("t");
                if (isPlainValue(rawType)) {
                    type = valueType(rawType);
                } else {
                    QString t;
                    SheetXmlScanner::appendValue(rawType, t);
                    type = valueType(t.toUtf8());
                }
                valueText.resize(0);
                inCell = true;
            } else if (same(name, "sheetData")) {
                inSheetData = true;
            }
        } else if (token == SheetXmlScanner::EndElement) {
            const QByteArrayView name = scanner.localName();
            if (inCell && same(name, "c")) {
                inCell = false;
                if (!referenceOk)
                    continue;
                cell.value = cellValue(type, valueText, sharedStrings);
                if (callback && !callback(cell))
                    return true;
            } else if (inSheetData && same(name, "sheetData")) {
                inSheetData = false;
                if (options.stopAfterSheetData)
                    return true;
            }
        } else if (token == SheetXmlScanner::EndDocument) {
            return true;
        } else if (token == SheetXmlScanner::Error) {
            return false;
        }
    }
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
            if (strings.size() >= SharedStrings::MaxCount)
                break; // a table no workbook has: keep memory bounded
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

namespace {

// The package as stored: the file the document was opened from, else the bytes held in memory.
// Read afresh, so unsaved writes are not seen. Null when there is neither or it cannot be read.
std::unique_ptr<QIODevice> openPackage(const DocumentPrivate& d)
{
    std::unique_ptr<QIODevice> device;
    if (!d.fileName.isEmpty()) {
        device = std::make_unique<QFile>(d.fileName);
    } else if (d.packageBytes && !d.packageBytes->isEmpty()) {
        auto buffer = std::make_unique<QBuffer>();
        buffer->setData(*d.packageBytes);
        device = std::move(buffer);
    }
    if (!device || !device->open(QIODevice::ReadOnly))
        return nullptr;
    return device;
}

} // namespace

bool Document::read_sheet_sax(int sheetIndex, const sax_options& options,
                              sax_callback callback) const
{
    if (!d->workbook)
        return false;
    const Worksheet* sheet = d->workbook->sheet(sheetIndex);
    const std::unique_ptr<QIODevice> source = sheet ? openPackage(*d) : nullptr;
    if (!source)
        return false;
    // The shared strings are read on a thread of their own while the sheet part inflates.
    QStringList strings;
    std::thread sharedStrings;
    if (options.resolveSharedStrings) {
        sharedStrings = std::thread([this, &strings] {
            if (const std::unique_ptr<QIODevice> device = openPackage(*d)) {
                ZipReader zip(device.get());
                strings = load_shared_strings_all(zip);
            }
        });
    }
    const ZipReader zip(source.get());
    const QByteArray xml = zip.fileData(sheet->filePath());
    if (sharedStrings.joinable())
        sharedStrings.join();
    if (xml.isEmpty())
        return false;
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
