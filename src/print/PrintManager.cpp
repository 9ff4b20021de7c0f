#include "PrintManager.h"

#include "RaceResultTable.h"
#include "RaceTables.h"
#include "ReportRenderer.h"
#include "ResultWorkbook.h"
#include "WholeFile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
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

// The template is read by every save, so no save may write over it.
bool isTemplate(const QString& path)
{
    // Two missing files count as the same, so a file not yet written is compared by its place.
    const QFileInfo file(path);
    const QFileInfo templateFile(ResultWorkbook::templatePath());
    return file.exists() ? file == templateFile
                         : file.absoluteFilePath() == templateFile.absoluteFilePath();
}

// The PDF's name as typed, with ".pdf" added when it lacks it, so that it opens with a
// double-click; a workbook's suffix typed by mistake is taken for the PDF's.
QString withPdfSuffix(const QString& chosen)
{
    const QFileInfo info(chosen);
    if (info.suffix().compare(QStringLiteral("pdf"), Qt::CaseInsensitive) == 0)
        return chosen;
    if (info.suffix().compare(QStringLiteral("xlsx"), Qt::CaseInsensitive) == 0)
        return info.path() + u'/' + info.completeBaseName() + QStringLiteral(".pdf");
    return chosen + QStringLiteral(".pdf");
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
const QString kPdfNotMade = QStringLiteral("the PDF could not be made");

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
    if (!hasResultsForPdf())
        return {};
    QString out = path.trimmed();
    if (out.isEmpty()) {
        const QString folder = documentsFolder() + QStringLiteral("/RivantaRace");
        QDir().mkpath(folder);
        out = folder + QStringLiteral("/race_results_") +
              QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss")) +
              QStringLiteral(".pdf");
    }
    QString why;
    return writePdf(out, &why) ? out : QString();
}

bool PrintManager::hasResultsForPdf() const
{
    if (!buildRaceResultRows().isEmpty())
        return true;
    qWarning("PrintManager: No race result data for PDF.");
    return false;
}

bool PrintManager::writePdf(const QString& path, QString* why)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    WholeFile file(path);
    if (!file.open()) {
        qWarning("PrintManager: Cannot create PDF painter for %s", path.toUtf8().constData());
        *why = file.errorString();
        return false;
    }
    // The report is made in memory and written in one piece: a PDF printer writing to a file
    // of its own reports success for a file cut short by a full disk.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    QPdfWriter writer(&pdf);
    ReportRenderer::setUpPdfWriter(writer);
    QPainter painter;
    if (!painter.begin(&writer)) {
        qWarning("PrintManager: Cannot create PDF painter for %s", path.toUtf8().constData());
        *why = kPdfNotMade;
        return false;
    }
    setRenderHints(painter);
    renderReport(painter, writer);
    if (!painter.end()) {
        *why = kPdfNotMade;
        return false;
    }
    if (!file.commit(pdf.data())) {
        *why = file.errorString();
        return false;
    }
    return true;
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
    // The dialog asked about replacing the name as typed, not the one with ".pdf" added.
    QString pdf = withPdfSuffix(chosen);
    if (pdf != chosen && QFileInfo::exists(pdf))
        pdf = confirmReplace(pdf, QStringLiteral("report"));
    const QFileInfo info(pdf);
    const QString workbook =
        info.absolutePath() + u'/' + info.completeBaseName() + QStringLiteral(".xlsx");

    // A name comes back only when the results are on disk, so no caller can take a failed
    // save for a saved one.
    QString why = kNoResults;
    if (!hasResultsForPdf() || !writePdf(pdf, &why)) {
        tellNotWritten(QStringLiteral("The race results were not saved."), pdf, why);
        return {};
    }
    const QString target = confirmWorkbookPath(workbook);
    why = writeExcel(target);
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
    renderReport(painter, printer);
}

// The same report on the printer and on the PDF writer of a saved file.
void PrintManager::renderReport(QPainter& painter, QPagedPaintDevice& device)
{
    const QList<QStringList> rows = buildRaceResultRows();
    if (!rows.isEmpty())
        ReportRenderer(rows, event_data, loadLogo()).render(painter, device);
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
    QString why;
    switch (ResultWorkbook::write(templateFile, buildRaceResultRows(), event_data, path, &why)) {
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
    return why.isEmpty() ? QStringLiteral("it could not be made from its template") : why;
}

QString PrintManager::confirmReplace(const QString& path, const QString& what) const
{
    // What is there may be the organiser's own: it is replaced only when they say so, otherwise
    // the results go under a free name beside it.
    const QString kept = ResultWorkbook::freeName(path);
    QMessageBox question(QMessageBox::Question, kSaveCaption,
                         QStringLiteral("\"%1\" already exists.\nReplace it with the race results "
                                        "%2?\n\nChoose No to keep it and save the results as "
                                        "\"%3\".")
                             .arg(QFileInfo(path).fileName(), what, QFileInfo(kept).fileName()),
                         QMessageBox::Yes | QMessageBox::No);
    question.setDefaultButton(QMessageBox::No);
    return question.exec() == QMessageBox::Yes ? path : kept;
}

QString PrintManager::confirmWorkbookPath(const QString& workbook) const
{
    // The dialog only asked about the PDF. A workbook of the same name is often the organiser's
    // own entry list, so replacing it is asked. The template is never replaced.
    if (!QFileInfo::exists(workbook) || !QFileInfo::exists(ResultWorkbook::templatePath()))
        return workbook;
    if (isTemplate(workbook))
        return ResultWorkbook::freeName(workbook);
    return confirmReplace(workbook, QStringLiteral("workbook"));
}
