// libFuzzer target: the readers of a worksheet's XML (the streaming reader with its own scanner,
// checked against the same reading on QXmlStreamReader, and the cell table of a loaded sheet)
// the splicing of written cells back into the XML (shared formulas written out included) and
// the moving of formula text.
#include "CellReference.h"
#include "FormulaText.h"
#include "SheetStreamReader.h"
#include "Worksheet.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QXmlStreamReader>
#include <cstdlib>

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
    // Both readings must agree on well-formed input: same result, same cells.
    QList<QXlsx::sax_cell> fast;
    QList<QXlsx::sax_cell> reference;
    const auto collect = [flags](QList<QXlsx::sax_cell>* into) {
        return [into, flags](const QXlsx::sax_cell& cell) {
            if (cell.row < 1 || cell.column < 1)
                __builtin_trap();
            into->append(cell);
            return into->size() < 1000 || !(flags & 16);
        };
    };
    const QList<QString>* shared = (flags & 8) ? &strings : nullptr;
    const bool fastOk = QXlsx::read_sheet_xml_sax(xml, options, shared, collect(&fast));
    const bool referenceOk =
        QXlsx::internal::readSheetXmlWithQt(xml, options, shared, collect(&reference));
    if (std::getenv("FUZZ_DEBUG"))
        qInfo("scanner %d (%d cells), QXmlStreamReader %d (%d cells)", fastOk, int(fast.size()),
              referenceOk, int(reference.size()));
    // The scanner must never take what QXmlStreamReader calls malformed. The other way round
    // happens: QXmlStreamReader lets some faults pass (control characters in names, for one);
    // FUZZ_STRICT_XML=1 stops on those too, for looking at them one by one.
    if (fastOk && !referenceOk)
        __builtin_trap();
    if (fastOk != referenceOk && std::getenv("FUZZ_STRICT_XML"))
        __builtin_trap();
    if (fastOk && referenceOk) {
        if (fast.size() != reference.size())
            __builtin_trap();
        for (qsizetype i = 0; i < fast.size(); ++i) {
            if (fast[i].row != reference[i].row || fast[i].column != reference[i].column ||
                fast[i].value.typeId() != reference[i].value.typeId() ||
                fast[i].value.toString() != reference[i].value.toString())
                __builtin_trap();
        }
    }

    // Any text, taken as a formula, moves without running off its ends.
    const QString formula = QString::fromUtf8(xml.left(512));
    QXlsx::FormulaText::shifted(formula, int(flags & 7) - 3, int((flags >> 3) & 7) - 3);
    QXlsx::FormulaText::shifted(formula, QXlsx::CellReference::MaxRow,
                                -QXlsx::CellReference::MaxColumn);

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
            if (again.read(2, 5).toInt() != 42 || !sheet.isSavedXml(saved))
                __builtin_trap();
        }
    }
    return 0;
}
