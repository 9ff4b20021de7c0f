#include "PrintManager.h"

#include "RaceResultTable.h"
#include "RaceTables.h"
#include "ReportRenderer.h"
#include "ResultWorkbook.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <QTextStream>

namespace {

const QString kSaveCaption = QStringLiteral("Save Race Results");

QString documentsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

void setRenderHints(QPainter& painter)
{
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::TextAntialiasing);
}

} // namespace

PrintManager::PrintManager(QObject* parent) : QObject(parent) {}

PrintManager::~PrintManager() = default;

bool PrintManager::printRaceResults()
{
    if (buildRaceResultRows().isEmpty()) {
        qWarning("PrintManager: No race result data to print.");
        return false;
    }
    QPrinter printer(QPrinter::ScreenResolution);
    ReportRenderer::setUpPrinter(printer);
    QPrintDialog dialog(&printer);
    if (dialog.exec() != QDialog::Accepted)
        return false;

    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    setRenderHints(painter);
    renderStyledRaceResults(painter, printer);
    painter.end();
    return true;
}

QString PrintManager::saveRaceResultsPdf(const QString& path)
{
    if (buildRaceResultRows().isEmpty()) {
        qWarning("PrintManager: No race result data for PDF.");
        return {};
    }
    QString out = path.trimmed();
    if (out.isEmpty()) {
        const QString folder = documentsFolder() + QStringLiteral("/RivantaRace");
        QDir().mkpath(folder);
        out = folder + QStringLiteral("/race_results_") +
              QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss")) +
              QStringLiteral(".pdf");
    }
    QDir().mkpath(QFileInfo(out).absolutePath());

    QPrinter printer(QPrinter::ScreenResolution);
    ReportRenderer::setUpPrinter(printer);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(out);
    QPainter painter;
    if (!painter.begin(&printer)) {
        qWarning("PrintManager: Cannot create PDF painter for %s", out.toUtf8().constData());
        return {};
    }
    setRenderHints(painter);
    renderStyledRaceResults(painter, printer);
    // The file is complete only when the printer has finished it.
    return painter.end() ? out : QString();
}

void PrintManager::writeDistLog(double dist)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    QFile file(folder + QStringLiteral("/dist_log.txt"));
    if (!file.open(QIODevice::Append | QIODevice::Text))
        return;
    QTextStream stream(&file);
    stream << "dist=" << dist << '\n';
}

QString PrintManager::saveRaceResults()
{
    const QString chosen = QFileDialog::getSaveFileName(nullptr, kSaveCaption, documentsFolder(),
                                                        QStringLiteral("PDF Files (*.pdf)"));
    if (chosen.isEmpty())
        return {};
    const QFileInfo info(chosen);
    const QString workbook =
        info.absolutePath() + u'/' + info.completeBaseName() + QStringLiteral(".xlsx");

    // The race page shows nothing itself; a name comes back only when the results are on disk,
    // so no caller can take a failed save for a saved one.
    if (saveRaceResultsPdf(chosen).isEmpty())
        return {};
    writeExcel(confirmWorkbookPath(workbook, chosen));
    return chosen;
}

QList<QStringList> PrintManager::buildRaceResultRows() const
{
    return RaceResultTable::build(race_data, global_playernum);
}

void PrintManager::renderStyledRaceResults(QPainter& painter, QPrinter& printer)
{
    const QList<QStringList> rows = buildRaceResultRows();
    if (rows.isEmpty())
        return;
    ReportRenderer(rows, event_data, loadLogo()).render(painter, printer);
}

QImage PrintManager::loadLogo() const
{
    const QString appDir = QCoreApplication::applicationDirPath();
    const QStringList candidates = {QStringLiteral(":/images/logo.png"),
                                    QStringLiteral(":/RivantaRace/images/logo.png"),
                                    QStringLiteral(":/qt/qml/RivantaRace/images/logo.png"),
                                    appDir + QStringLiteral("/images/logo.png"),
                                    documentsFolder() + QStringLiteral("/RivantaRace") +
                                        QStringLiteral("/logo.png"),
                                    QStringLiteral(":/images/icon.png"),
                                    QStringLiteral(":/RivantaRace/images/icon.png"),
                                    appDir + QStringLiteral("/images/icon.png")};
    for (const QString& path : candidates) {
        QImage image;
        if (image.load(path))
            return image;
    }
    return {};
}

void PrintManager::writeExcel(const QString& path)
{
    ResultWorkbook::write(ResultWorkbook::templatePath(), buildRaceResultRows(), event_data, path);
}

QString PrintManager::confirmWorkbookPath(const QString& workbook, const QString& pdf) const
{
    // The dialog only asked about the PDF. A workbook of the same name is often the organiser's
    // own entry list: it is replaced only when the organiser says so, otherwise the results go
    // under a free name beside it.
    if (!QFileInfo::exists(workbook) || !QFileInfo::exists(ResultWorkbook::templatePath()))
        return workbook;
    const QString kept = ResultWorkbook::freeName(workbook);
    if (QFileInfo(workbook) == QFileInfo(pdf))
        return kept;
    QMessageBox question(QMessageBox::Question, kSaveCaption,
                         QStringLiteral("\"%1\" already exists.\nReplace it with the race results "
                                        "workbook?\n\nChoose No to keep it and save the results "
                                        "as \"%2\".")
                             .arg(QFileInfo(workbook).fileName(), QFileInfo(kept).fileName()),
                         QMessageBox::Yes | QMessageBox::No);
    question.setDefaultButton(QMessageBox::No);
    return question.exec() == QMessageBox::Yes ? workbook : kept;
}
