// The save action with the real file dialog, the workbook beside the PDF, and the workbook's
// cells read back with our layer and with openpyxl.

#include "Document.h"
#include "PdfProbe.h"
#include "PrintManager.h"
#include "RaceFixture.h"
#include "ResultWorkbook.h"
#include "SaveAnswers.h"

#include <QDir>
#include <QPrintDialog>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool isPdf(const QString& path)
{
    return fileBytes(path).startsWith("%PDF");
}

// The organiser in C1 and the winner's first name in C11: this save's results.
bool holdsResults(const QString& path)
{
    QXlsx::Document document(path);
    return document.load() && document.read(1, 3).toString() == event_data.at(0) &&
           document.read(11, 3).toString() == race_data.last().at(ColFirstName);
}

} // namespace

class TestPrintSave : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void saveWritesPdfAndWorkbook_data();
    void saveWritesPdfAndWorkbook();
    void saveWritesNothing_data();
    void saveWritesNothing();
    void existingFileNeedsConsent_data();
    void existingFileNeedsConsent();
    void templateIsNeverWritten_data();
    void templateIsNeverWritten();
    void workbookCellsAreText();
    void workbookRowsGrowWithTheirText();
    void defaultPdfFolderAndName();
    void distanceLog();
    void printWithoutConsent_data();
    void printWithoutConsent();

private:
    QString m_template;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QObject> m_watchers;
};

void TestPrintSave::initTestCase()
{
    m_template = ResultWorkbook::templatePath();
    QFile::remove(m_template);
    QVERIFY(QFile::copy(QStringLiteral(RIVANTA_PRINT_TEMPLATE), m_template));
    QVERIFY(QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)));
}

void TestPrintSave::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_watchers = std::make_unique<QObject>();
    watchers = m_watchers.get();
    setUpFinishedRace(4);
}

void TestPrintSave::cleanup()
{
    m_watchers.reset();
}

void TestPrintSave::saveWritesPdfAndWorkbook_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("pdf");
    QTest::addColumn<QString>("workbook"); // "": not written
    QTest::addColumn<QString>("missing");  // what the machine lacks
    QTest::newRow("results.pdf") << "results.pdf"
                                 << "results.pdf"
                                 << "results.xlsx"
                                 << "";
    QTest::newRow("two suffixes") << "2024.final.pdf"
                                  << "2024.final.pdf"
                                  << "2024.final.xlsx"
                                  << "";
    QTest::newRow("upper-case suffix") << "Results.PDF"
                                       << "Results.PDF"
                                       << "Results.xlsx"
                                       << "";
    QTest::newRow("no suffix") << "results"
                               << "results.pdf"
                               << "results.xlsx"
                               << "";
    QTest::newRow("dots, no suffix") << "Race 18.05.2024"
                                     << "Race 18.05.2024.pdf"
                                     << "Race 18.05.2024.xlsx"
                                     << "";
    QTest::newRow("the workbook's suffix") << "results.xlsx"
                                           << "results.pdf"
                                           << "results.xlsx"
                                           << "";
    QTest::newRow("no template") << "results.pdf"
                                 << "results.pdf"
                                 << ""
                                 << "template";
    QTest::newRow("no documents folder") << "results.pdf"
                                         << "results.pdf"
                                         << "results.xlsx"
                                         << "documents";
}

void TestPrintSave::saveWritesPdfAndWorkbook()
{
    QFETCH(QString, chosen);
    QFETCH(QString, pdf);
    QFETCH(QString, workbook);
    QFETCH(QString, missing);
    const QString path = m_dir->filePath(pdf);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString away = m_template + QStringLiteral(".away");
    QVERIFY(missing != "template" || QFile::rename(m_template, away));
    QVERIFY(missing != "documents" || QDir(documents).removeRecursively());
    QStringList seen;
    answerSaveDialog(m_dir->filePath(chosen), &seen);
    QString message;
    answerMessage(QMessageBox::Ok, &message);
    const QString saved = PrintManager().saveRaceResults();
    QVERIFY(missing != "template" || QFile::rename(away, m_template));
    QVERIFY(QDir().mkpath(documents));
    QCOMPARE(saved, path);
    // The dialog starts in a folder that exists and proposes no name.
    QCOMPARE(seen, (QStringList{"Save Race Results",
                                missing == "documents" ? QDir::homePath() : documents, "",
                                "PDF Files (*.pdf)"}));
    QVERIFY(isPdf(path));
    QVERIFY(workbook.isEmpty() || holdsResults(m_dir->filePath(workbook)));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), workbook.isEmpty() ? 1 : 2);
    // A good save is silent; a workbook not written is named, with the reason.
    const QString told = QStringLiteral("The PDF report was saved, the results workbook was not."
                                        "\n\n\"%1\" could not be written: its template \"%2\" is "
                                        "missing or cannot be read.")
                             .arg(QDir::toNativeSeparators(m_dir->filePath("results.xlsx")),
                                  QDir::toNativeSeparators(m_template));
    QCOMPARE(message, workbook.isEmpty() ? told : QString());
}

void TestPrintSave::saveWritesNothing_data()
{
    QTest::addColumn<QString>("chosen"); // "" cancels the dialog
    QTest::addColumn<int>("racers");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<QString>("why"); // told to the organiser
    QTest::newRow("cancelled") << "" << 4 << ""
                               << "";
    QTest::newRow("no results") << "results.pdf" << 0
                                << "PrintManager: No race result data for PDF."
                                << "there are no race results to save";
    QTest::newRow("uncreatable folder")
        << "blocker/sub/results.pdf" << 4 << "PrintManager: Cannot create PDF painter for %1"
        << "Not a directory";
}

void TestPrintSave::saveWritesNothing()
{
    QFETCH(QString, chosen);
    QFETCH(int, racers);
    QFETCH(QString, warning);
    QFETCH(QString, why);
    global_playernum = racers;
    QFile blocker(m_dir->filePath(QStringLiteral("blocker"))); // a file where a folder would go
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    const QString path = m_dir->filePath(chosen);
    if (chosen.isEmpty())
        whenShown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    else
        answerSaveDialog(path);
    if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg,
                             qPrintable(warning.contains(u'%') ? warning.arg(path) : warning));
    QString message;
    answerMessage(QMessageBox::Ok, &message);
    QCOMPARE(PrintManager().saveRaceResults(), QString());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"blocker"});
    QCOMPARE(message, why.isEmpty() ? QString()
                                    : QStringLiteral("The race results were not saved.\n\n\"%1\" "
                                                     "could not be written: %2.")
                                          .arg(QDir::toNativeSeparators(path), why));
}

void TestPrintSave::existingFileNeedsConsent_data()
{
    // A file the save dialog did not ask about: the workbook beside the PDF, or the PDF whose
    // name was typed without ".pdf".
    QTest::addColumn<QString>("existing");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("replace");
    QTest::addColumn<QString>("pdf");
    QTest::addColumn<QString>("workbook");
    QTest::newRow("workbook kept") << "Regatta.xlsx"
                                   << "Regatta.pdf" << false << "Regatta.pdf"
                                   << "Regatta (1).xlsx";
    QTest::newRow("workbook replaced") << "Regatta.xlsx"
                                       << "Regatta.pdf" << true << "Regatta.pdf"
                                       << "Regatta.xlsx";
    QTest::newRow("PDF kept") << "Regatta.pdf"
                              << "Regatta" << false << "Regatta (1).pdf"
                              << "Regatta (1).xlsx";
    QTest::newRow("PDF replaced") << "Regatta.pdf"
                                  << "Regatta" << true << "Regatta.pdf"
                                  << "Regatta.xlsx";
}

void TestPrintSave::existingFileNeedsConsent()
{
    QFETCH(QString, existing);
    QFETCH(QString, typed);
    QFETCH(bool, replace);
    QFETCH(QString, pdf);
    QFETCH(QString, workbook);
    const QByteArray own = "the organiser's own file";
    QFile file(m_dir->filePath(existing));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(own) == own.size());
    file.close();

    QString question;
    answerSaveDialog(m_dir->filePath(typed));
    answerMessage(replace ? QMessageBox::Yes : QMessageBox::No, &question);
    QCOMPARE(PrintManager().saveRaceResults(), m_dir->filePath(pdf));
    QVERIFY2(question.startsWith(QStringLiteral("\"%1\" already exists").arg(existing)),
             qPrintable(question));
    QVERIFY(isPdf(m_dir->filePath(pdf)));
    QVERIFY(holdsResults(m_dir->filePath(workbook)));
    QCOMPARE(fileBytes(m_dir->filePath(existing)) == own, !replace);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), replace ? 2 : 3);
}

void TestPrintSave::templateIsNeverWritten_data()
{
    QTest::addColumn<QString>("chosen"); // in the program's folder, beside the template
    QTest::addColumn<QString>("pdf");
    QTest::addColumn<QString>("workbook");
    QTest::newRow("PDF named after it") << "printTemplate.pdf"
                                        << "printTemplate.pdf"
                                        << "printTemplate (1).xlsx";
    QTest::newRow("its own name") << "printTemplate.xlsx"
                                  << "printTemplate.pdf"
                                  << "printTemplate (1).xlsx";
}

void TestPrintSave::templateIsNeverWritten()
{
    QFETCH(QString, chosen);
    QFETCH(QString, pdf);
    QFETCH(QString, workbook);
    const QDir program(QCoreApplication::applicationDirPath());
    const QByteArray original = fileBytes(m_template);
    answerSaveDialog(program.filePath(chosen));
    answerMessage(QMessageBox::Yes); // to replacing a file of that name, had anyone asked
    const QString saved = PrintManager().saveRaceResults();
    const bool kept = fileBytes(m_template) == original;
    if (!kept)
        QVERIFY(QFile::remove(m_template) &&
                QFile::copy(QStringLiteral(RIVANTA_PRINT_TEMPLATE), m_template));
    const bool written = isPdf(program.filePath(pdf)) && holdsResults(program.filePath(workbook));
    for (const QString& name : {pdf, workbook})
        QFile::remove(program.filePath(name));
    QVERIFY(kept);
    QVERIFY(written);
    QCOMPARE(saved, program.filePath(pdf));
}

void TestPrintSave::workbookCellsAreText()
{
    // A name that looks like a formula or a link stays text, as do rank, distance and time.
    // Long names wrap, and the rows of the event and the results carry heights that programs
    // which do not fit rows to their text (LibreOffice) keep (read_workbook.py).
    race_data.last()[ColFirstName] = QStringLiteral("=1+1");
    race_data.last()[ColClub] = QStringLiteral("http://example.org/club");
    race_data.first()[ColClub] = QStringLiteral("Koninklijke Roei- en Zeilvereniging De Maas");
    event_data[eventName] = QStringLiteral("Lakeside Spring Regatta and Masters Championship");
    const int n = race_data.size();
    const QString out = m_dir->filePath(QStringLiteral("cells.xlsx"));
    PrintManager manager;
    manager.writeExcel(out);
    const QList<QStringList> rows = manager.buildRaceResultRows();

    QMap<QString, QString> expected = {{"C1", event_data.at(0)}, {"C3", event_data.at(1)},
                                       {"C4", event_data.at(2)}, {"G4", event_data.at(3)},
                                       {"A7", event_data.at(4)}, {"C7", event_data.at(5)},
                                       {"E7", event_data.at(6)}};
    for (int r = 0; r <= n; ++r)
        for (int c = 0; c < 11; ++c)
            expected.insert(QChar(u'A' + c) + QString::number(10 + r), rows.at(r).at(c));

    QXlsx::Document document(out);
    QVERIFY(document.load());
    // Kept for tests/xlsx/check_with_libreoffice.sh, which opens it in LibreOffice.
    const QString keep = qEnvironmentVariable("RIVANTA_XLSX_KEEP");
    QVERIFY(keep.isEmpty() || QFile::copy(out, keep + QStringLiteral("/results.xlsx")));
    const QString report =
        PdfProbe::run(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral(RIVANTA_READ_WORKBOOK), m_template, out, QString::number(n)});
    QVERIFY(!report.isEmpty());
    int cells = 0;
    for (const QString& line : report.split(u'\n', Qt::SkipEmptyParts)) {
        QVERIFY2(!line.startsWith(QStringLiteral("problem")), qPrintable(line));
        // The same cell through openpyxl (type and value) and through our own layer.
        const QString ref = line.section(u' ', 0, 0);
        QCOMPARE(line.section(u' ', 1, 1), QStringLiteral("s"));
        QCOMPARE(line.section(u' ', 2), expected.value(ref));
        const QVariant ours = document.read(ref.mid(1).toInt(), ref.at(0).unicode() - 'A' + 1);
        QCOMPARE(ours.typeId(), int(QMetaType::QString));
        QCOMPARE(ours.toString(), expected.value(ref));
        ++cells;
    }
    QCOMPARE(cells, expected.size());
}

void TestPrintSave::workbookRowsGrowWithTheirText()
{
    // Place p's club has p words, each about as wide as the club's column: the more lines a
    // club wraps to, the taller its row. A one-line row keeps the template's height.
    setUpFinishedRace(10);
    for (int p = 1; p <= 10; ++p)
        race_data[race_data.size() - p][ColClub] =
            QStringList(p, QStringLiteral("Kanovereniging-Noordoever")).join(u' ');
    event_data[eventName] = QStringLiteral("Lakeside Spring Regatta and Masters Championship");
    const QString out = m_dir->filePath(QStringLiteral("heights.xlsx"));
    QCOMPARE(PrintManager().writeExcel(out), QString());

    // Kept for tests/xlsx/check_with_libreoffice.sh, which opens it in LibreOffice.
    const QString keep = qEnvironmentVariable("RIVANTA_XLSX_KEEP");
    QVERIFY(keep.isEmpty() || QFile::copy(out, keep + QStringLiteral("/heights.xlsx")));
    const QXlsx::Document written(out);
    const QXlsx::Document original(m_template);
    QVERIFY(written.load() && original.load());
    QList<double> heights;
    for (int row = 11; row <= 20; ++row)
        heights.append(written.rowHeight(row));
    QCOMPARE(heights.first(), original.rowHeight(11));
    for (int p = 2; p <= 10; ++p)
        QVERIFY2(heights.at(p - 1) >= heights.at(p - 2), qPrintable(QString::number(p)));
    QVERIFY(heights.at(2) > heights.at(1) && heights.last() > 2 * heights.at(2));
    QVERIFY(written.rowHeight(7) > original.rowHeight(7));
    // The title row and the organiser's rows hold one line each, as the template has them.
    for (int row : {1, 3, 4, 10})
        QCOMPARE(written.rowHeight(row), original.rowHeight(row));
}

void TestPrintSave::defaultPdfFolderAndName()
{
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + "/RivantaRace";
    QDir(folder).removeRecursively();
    const QString written = PrintManager().saveRaceResultsPdf(QStringLiteral("  "));
    QVERIFY2(
        QRegularExpression(QRegularExpression::anchoredPattern(QRegularExpression::escape(folder) +
                                                               "/race_results_\\d{8}_\\d{6}\\.pdf"))
            .match(written)
            .hasMatch(),
        qPrintable(written));
    QVERIFY(isPdf(written));
}

void TestPrintSave::distanceLog()
{
    const QString log =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/dist_log.txt";
    QFile::remove(log);
    PrintManager manager;
    manager.writeDistLog(123.456789);
    manager.writeDistLog(500);
    QCOMPARE(fileBytes(log), QByteArray("dist=123.457\ndist=500\n"));
}

void TestPrintSave::printWithoutConsent_data()
{
    QTest::addColumn<int>("racers");
    QTest::newRow("dialog cancelled") << 4;
    QTest::newRow("no results") << 0;
}

void TestPrintSave::printWithoutConsent()
{
    QFETCH(int, racers);
    global_playernum = racers;
    bool asked = false;
    if (racers > 0)
        whenShown<QPrintDialog>([&asked](QPrintDialog* dialog) {
            asked = true;
            dialog->reject();
        });
    else
        QTest::ignoreMessage(QtWarningMsg, "PrintManager: No race result data to print.");
    QVERIFY(!PrintManager().printRaceResults());
    QCOMPARE(asked, racers > 0);
}

QTEST_MAIN(TestPrintSave)
#include "tst_print_save.moc"
