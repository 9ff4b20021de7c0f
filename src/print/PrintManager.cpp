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
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>

namespace {

const QString kSaveCaption = QStringLiteral("Save Race Results");

QString documentsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

// The template is read by every save, so no save may write over it.
bool isTemplate(const QString& path)
{
    // Two missing files count as the same, so a file not yet written is compared by its place.
    const QFileInfo file(path);
    const QFileInfo templateFile(ResultWorkbook::templatePath());
    return file.exists() ? file == templateFile
                         : file.absoluteFilePath() == templateFile.absoluteFilePath();
}

// What the file system says against writing path, or fallback when it has nothing against it.
QString whyNotWritable(const QString& path, const QString& fallback)
{
    QSaveFile probe(path); // never committed, so it leaves nothing behind
    return probe.open(QIODevice::WriteOnly) ? fallback : probe.errorString();
}

// The results are what the organiser takes home: a file that was not written is named, with
// the reason, while they can still save again.
void tellNotWritten(const QString& headline, const QString& path, const QString& why)
{
    QMessageBox::warning(nullptr, kSaveCaption,
                         QStringLiteral("%1\n\n\"%2\" could not be written: %3.")
                             .arg(headline, QDir::toNativeSeparators(path), why));
}

const QString kNoResults = QStringLiteral("there are no race results to save");

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
    // The dialog takes a folder that does not exist as the name of the file to save, so it
    // starts in the home folder when there is no documents folder.
    const QString documents = documentsFolder();
    const QString start = QFileInfo(documents).isDir() ? documents : QDir::homePath();
    const QString chosen = QFileDialog::getSaveFileName(nullptr, kSaveCaption, start,
                                                        QStringLiteral("PDF Files (*.pdf)"));
    if (chosen.isEmpty())
        return {};
    const QString pdf = isTemplate(chosen) ? ResultWorkbook::freeName(chosen) : chosen;
    const QFileInfo info(chosen);
    const QString workbook =
        info.absolutePath() + u'/' + info.completeBaseName() + QStringLiteral(".xlsx");

    // A name comes back only when the results are on disk, so no caller can take a failed
    // save for a saved one.
    if (saveRaceResultsPdf(pdf).isEmpty()) {
        tellNotWritten(QStringLiteral("The race results were not saved."), pdf,
                       whyPdfNotWritten(pdf));
        return {};
    }
    const QString target = confirmWorkbookPath(workbook, pdf);
    const QString why = writeExcel(target);
    if (!why.isEmpty())
        tellNotWritten(QStringLiteral("The PDF report was saved, the results workbook was not."),
                       target, why);
    return pdf;
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

QString PrintManager::writeExcel(const QString& path)
{
    const QString templateFile = ResultWorkbook::templatePath();
    switch (ResultWorkbook::write(templateFile, buildRaceResultRows(), event_data, path)) {
    case ResultWorkbook::Saved:
        return {};
    case ResultWorkbook::NoTemplate:
        return QStringLiteral("its template \"%1\" is missing or cannot be read")
            .arg(QDir::toNativeSeparators(templateFile));
    case ResultWorkbook::NoRows:
        return kNoResults;
    case ResultWorkbook::NotSaved:
        break;
    }
    return whyNotWritable(path, QStringLiteral("it could not be made from its template"));
}

QString PrintManager::whyPdfNotWritten(const QString& pdf) const
{
    if (buildRaceResultRows().isEmpty())
        return kNoResults;
    return whyNotWritable(pdf, QStringLiteral("the PDF could not be made"));
}

QString PrintManager::confirmWorkbookPath(const QString& workbook, const QString& pdf) const
{
    // The dialog only asked about the PDF. A workbook of the same name is often the organiser's
    // own entry list: it is replaced only when the organiser says so, otherwise the results go
    // under a free name beside it. The PDF just written and the template are never replaced.
    if (!QFileInfo::exists(workbook) || !QFileInfo::exists(ResultWorkbook::templatePath()))
        return workbook;
    const QString kept = ResultWorkbook::freeName(workbook);
    if (QFileInfo(workbook) == QFileInfo(pdf) || isTemplate(workbook))
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
