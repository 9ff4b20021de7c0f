#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QStringList>

class QPagedPaintDevice;
class QPainter;
class QPrinter;

// The results output: race results as PDF pages, on a printer and as an xlsx workbook.
class PrintManager : public QObject
{
    Q_OBJECT

public:
    explicit PrintManager(QObject* parent = nullptr);
    ~PrintManager() override;

    // Shows the print dialog and prints the report; false when cancelled or nothing to print.
    Q_INVOKABLE bool printRaceResults();
    // Writes the report as a PDF; an empty path means the default folder and name. Returns the
    // file written, or "" when nothing was written.
    Q_INVOKABLE QString saveRaceResultsPdf(const QString& path = QString());
    Q_INVOKABLE void writeDistLog(double dist);
    // Asks for a PDF name (".pdf" is added when it lacks it), writes the PDF and the xlsx
    // workbook beside it; returns the PDF written, or "" when cancelled or when no PDF could be
    // written. Each file is put in place only once complete; one that could not be is named to
    // the organiser in a message, and the file of that name is left as it was.
    Q_INVOKABLE QString saveRaceResults();

    QList<QStringList> buildRaceResultRows() const;
    void renderStyledRaceResults(QPainter& painter, QPrinter& printer);
    QImage loadLogo() const;
    // Writes the workbook; "" when it was saved, else why it was not, in the organiser's words.
    QString writeExcel(const QString& path);

private:
    bool hasResultsForPdf() const;
    bool writePdf(const QString& path, QString* why);
    void renderReport(QPainter& painter, QPagedPaintDevice& device);
    QString confirmReplace(const QString& path, const QString& what) const;
    QString confirmWorkbookPath(const QString& workbook) const;
};
