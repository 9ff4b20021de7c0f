// libFuzzer target: the two readers of a worksheet's XML, the streaming reader and the cell table
// of a loaded sheet, and the splicing of written cells back into the XML.
#include "CellReference.h"
#include "SheetStreamReader.h"
#include "Worksheet.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QXmlStreamReader>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t flags = data[0];
    const QByteArray xml(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    QXlsx::sax_options options;
    options.resolveSharedStrings = flags & 1;
    options.formulasAsText = flags & 2;
    options.stopAfterSheetData = flags & 4;
    const QList<QString> strings = {QStringLiteral("zero"), QStringLiteral("one"),
                                    QStringLiteral("two")};
    int calls = 0;
    QXlsx::read_sheet_xml_sax(xml, options, (flags & 8) ? &strings : nullptr,
                              [&calls, flags](const QXlsx::sax_cell& cell) {
                                  Q_ASSERT(cell.row >= 1 && cell.column >= 1);
                                  return ++calls < 1000 || !(flags & 16);
                              });

    QXlsx::Worksheet sheet(QStringLiteral("xl/worksheets/sheet1.xml"), QStringLiteral("S"), false);
    if (sheet.load(xml, nullptr, nullptr, flags & 32)) {
        sheet.read(1, 1);
        sheet.write(1 + (flags & 3), 1 + ((flags >> 2) & 3), QStringLiteral("a<b&\"c\"\x01"));
        sheet.write(2, 5, 42);
        sheet.write(20, 3, QVariant());
        sheet.write(7, 1, true);
        const QByteArray saved = sheet.saveXml();
        if (!saved.isEmpty()) {
            // What we write must read back as well-formed XML with the written text in place.
            QXlsx::Worksheet again(sheet.filePath(), sheet.name(), false);
            if (!again.load(saved, nullptr, nullptr, false))
                __builtin_trap();
            if (again.read(2, 5).toInt() != 42)
                __builtin_trap();
        }
    }
    return 0;
}
