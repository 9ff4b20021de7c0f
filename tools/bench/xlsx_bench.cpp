// Times the streaming sheet reader against a bare inflate + QXmlStreamReader pass over the same
// sheet part. Built and run by xlsx_bench.sh.
//   xlsx_bench sax|bare|load <file.xlsx> <repeats>
// Prints: best milliseconds, cells seen, peak memory of the timed part in MiB.
#include "Document.h"
#include "SheetStreamReader.h"
#include "Workbook.h"
#include "Worksheet.h"
#include "ZipReader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QXmlStreamReader>
#include <cstdio>

namespace {

qint64 statusKiB(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

// Resets the peak resident size so that only what follows is measured.
void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 4)
        return 2;
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QString path = QString::fromLocal8Bit(argv[2]);
    const int repeats = atoi(argv[3]);

    std::unique_ptr<QXlsx::Document> doc;
    if (mode == QLatin1String("sax")) {
        doc = std::make_unique<QXlsx::Document>(path);
        if (!doc->load())
            return 1;
    }
    qint64 best = -1;
    qint64 cells = 0;
    qint64 peak = 0;
    for (int i = 0; i < repeats; ++i) {
        resetPeak();
        const qint64 base = statusKiB("VmRSS:");
        QElapsedTimer timer;
        timer.start();
        cells = 0;
        if (mode == QLatin1String("sax")) {
            QXlsx::sax_options options;
            doc->read_sheet_sax(0, options, [&cells](const QXlsx::sax_cell& c) {
                cells += c.value.isValid();
                return true;
            });
        } else if (mode == QLatin1String("bare")) {
            QXlsx::ZipReader zip(path);
            const QByteArray xml = zip.fileData(QStringLiteral("xl/worksheets/sheet1.xml"));
            QXmlStreamReader reader(xml);
            while (!reader.atEnd()) {
                if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"c")
                    ++cells;
            }
        } else if (mode == QLatin1String("inflate")) {
            QXlsx::ZipReader zip(path);
            cells = zip.fileData(QStringLiteral("xl/worksheets/sheet1.xml")).size();
        } else if (mode == QLatin1String("load")) {
            QXlsx::Document loaded(path);
            cells = loaded.load() ? 1 : 0;
        }
        const qint64 ms = timer.elapsed();
        best = best < 0 ? ms : qMin(best, ms);
        peak = qMax(peak, statusKiB("VmHWM:") - base);
    }
    std::printf("%lld %lld %.1f\n", best, cells, peak / 1024.0);
    return 0;
}
