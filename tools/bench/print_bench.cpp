// Times the save of a ten-athlete race: the PDF report and the workbook beside it, as the save
// action writes them once the organiser has named the file. Built by tests/print, run by
// print_bench.sh; report-pages.sh uses the PDF it leaves behind.
//   print_bench <output folder> <repeats>
// Prints: median and worst milliseconds per save, then the last PDF written.

#include "PrintManager.h"
#include "RaceFixture.h"
#include "ResultWorkbook.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <output folder> <repeats>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const int repeats = qMax(1, atoi(argv[2]));
    QDir().mkpath(folder);
    QFile::remove(ResultWorkbook::templatePath());
    if (!QFile::copy(QStringLiteral(RIVANTA_PRINT_TEMPLATE), ResultWorkbook::templatePath())) {
        std::fprintf(stderr, "no result template\n");
        return 1;
    }

    setUpFinishedRace(10);
    PrintManager manager;
    QList<double> times;
    QString pdf;
    for (int i = 0; i < repeats; ++i) {
        pdf = folder + QStringLiteral("/results-%1.pdf").arg(i % 2);
        QElapsedTimer timer;
        timer.start();
        if (manager.saveRaceResultsPdf(pdf).isEmpty())
            return 1;
        manager.writeExcel(folder + QStringLiteral("/results-%1.xlsx").arg(i % 2));
        times.append(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::printf("%.1f %.1f %s\n", times.at(times.size() / 2), times.last(), qPrintable(pdf));
    return 0;
}
