// One timed run of what a caller of the workbook layer does, in a fresh process, so that the
// peak resident size is the whole process's. Built and run by xlsx_bench.sh.
//   xlsx_bench caller|bare <file.xlsx>
//     caller: open the document and stream its first sheet through read_sheet_sax
//     bare:   inflate the sheet part and walk it with QXmlStreamReader, nothing else
// Prints: milliseconds, cells seen, peak resident MiB of the process.
#include "Document.h"
#include "SheetStreamReader.h"
#include "ZipReader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QXmlStreamReader>
#include <cstdio>

namespace {

qint64 peakKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QString path = QString::fromLocal8Bit(argv[2]);

    QElapsedTimer timer;
    timer.start();
    qint64 cells = 0;
    if (mode == QLatin1String("caller")) {
        const QXlsx::Document doc(path);
        if (!doc.load())
            return 1;
        const bool ok =
            doc.read_sheet_sax(0, QXlsx::sax_options(), [&cells](const QXlsx::sax_cell& c) {
                cells += c.value.isValid();
                return true;
            });
        if (!ok)
            return 1;
    } else if (mode == QLatin1String("bare")) {
        const QXlsx::ZipReader zip(path);
        const QByteArray xml = zip.fileData(QStringLiteral("xl/worksheets/sheet1.xml"));
        QXmlStreamReader reader(xml);
        while (!reader.atEnd()) {
            if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"c")
                ++cells;
        }
        if (reader.hasError())
            return 1;
    } else {
        return 2;
    }
    const qint64 ms = timer.elapsed();
    std::printf("%lld %lld %.1f\n", ms, cells, peakKiB() / 1024.0);
    return 0;
}
