// libFuzzer target: opening a package as a workbook (zip, relationships, workbook, shared
// strings, styles, the current sheet's cells read on demand) and the streaming reader's package
// access.
#include "DocumentPrivate.h"
#include "SheetStreamReader.h"
#include "Worksheet.h"
#include "ZipReader.h"

#include <QBuffer>
#include <QByteArray>
#include <QtGlobal>

// Damaged archives make QuaZip seek past the end of the buffer, and Qt warns each time: the
// warnings only slow the run down.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QXlsx::DocumentPrivate document;
    if (document.loadPackage(bytes)) {
        QXlsx::Workbook* book = document.workbook.get();
        book->worksheetNames();
        if (QXlsx::Worksheet* sheet = book->loadedSheet(book->activeSheetIndex())) {
            for (int row = 1; row <= 3; ++row)
                for (int column = 1; column <= 3; ++column)
                    sheet->read(row, column).toString();
        }
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QXlsx::ZipReader zip(&buffer);
    QXlsx::load_shared_strings_all(zip);
    const QByteArray sheetXml = zip.fileData(QStringLiteral("xl/worksheets/sheet1.xml"));
    QXlsx::read_sheet_xml_sax(sheetXml, QXlsx::sax_options(), nullptr,
                              [](const QXlsx::sax_cell&) { return true; });
    return 0;
}
