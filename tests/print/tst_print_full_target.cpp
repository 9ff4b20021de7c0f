// Saving the results onto a target that fills up, as a nearly full USB stick does: a small file
// system of the test's own (a tmpfs in a private mount namespace, which needs no root where user
// namespaces are allowed), filled to leave a given room.

#include "PdfProbe.h"
#include "PrintManager.h"
#include "RaceFixture.h"
#include "ResultWorkbook.h"
#include "SaveAnswers.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
           file.write(bytes) == bytes.size();
}

// Must run before the first thread starts: a process of several threads cannot unshare.
bool enterOwnMountNamespace()
{
    const QByteArray uid = QByteArray::number(uint(getuid()));
    const QByteArray gid = QByteArray::number(uint(getgid()));
    if (unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0) {
        writeFile(QStringLiteral("/proc/self/setgroups"), "deny");
        if (!writeFile(QStringLiteral("/proc/self/uid_map"), "0 " + uid + " 1") ||
            !writeFile(QStringLiteral("/proc/self/gid_map"), "0 " + gid + " 1"))
            return false;
    } else if (unshare(CLONE_NEWNS) != 0) {
        return false;
    }
    // Mounts made here stay in this process.
    return mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

bool ownMounts = false;

struct Space
{
    qint64 free = -1;
    qint64 block = 1;
};

Space space(const QString& folder)
{
    struct statvfs info = {};
    if (statvfs(QFile::encodeName(folder).constData(), &info) != 0)
        return {};
    return {qint64(info.f_bavail) * qint64(info.f_frsize), qint64(info.f_frsize)};
}

} // namespace

class TestPrintFullTarget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void fillingTarget_data();
    void fillingTarget();

private:
    QString m_template;
    qint64 m_pdfSize = 0;
    qint64 m_workbookSize = 0;
    std::unique_ptr<QTemporaryDir> m_mountPoint;
    std::unique_ptr<QObject> m_watchers;
};

void TestPrintFullTarget::initTestCase()
{
    if (!ownMounts)
        QSKIP("No file system of the test's own can be mounted here.");
    m_template = ResultWorkbook::templatePath();
    QFile::remove(m_template);
    QVERIFY(QFile::copy(QStringLiteral(RIVANTA_PRINT_TEMPLATE), m_template));
    QVERIFY(QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)));

    // The sizes of this race's files where there is room.
    setUpFinishedRace(4);
    QTemporaryDir roomy;
    PrintManager manager;
    const QString pdf = roomy.filePath(QStringLiteral("results.pdf"));
    QCOMPARE(manager.saveRaceResultsPdf(pdf), pdf);
    QCOMPARE(manager.writeExcel(roomy.filePath(QStringLiteral("results.xlsx"))), QString());
    m_pdfSize = QFileInfo(pdf).size();
    m_workbookSize = QFileInfo(roomy.filePath(QStringLiteral("results.xlsx"))).size();
    QVERIFY(m_workbookSize > 0 && m_pdfSize > m_workbookSize);
}

void TestPrintFullTarget::init()
{
    m_watchers = std::make_unique<QObject>();
    watchers = m_watchers.get();
    setUpFinishedRace(4);
    m_mountPoint = std::make_unique<QTemporaryDir>();
    QVERIFY(mount("rivanta-stick", QFile::encodeName(m_mountPoint->path()).constData(), "tmpfs",
                  MS_NOSUID | MS_NODEV, "size=1m,mode=0755") == 0);
}

void TestPrintFullTarget::cleanup()
{
    m_watchers.reset();
    if (m_mountPoint)
        umount2(QFile::encodeName(m_mountPoint->path()).constData(), MNT_DETACH);
    m_mountPoint.reset();
}

void TestPrintFullTarget::fillingTarget_data()
{
    QTest::addColumn<QString>("room");    // "", "pdf" or "half": room left for that
    QTest::addColumn<bool>("earlier");    // last race's race1.pdf and race1.xlsx are there
    QTest::addColumn<bool>("pdfWritten"); // the new PDF is in place, whole
    QTest::addColumn<QString>("named");   // the file the message names

    QTest::newRow("full") << "" << false << false << "race1.pdf";
    QTest::newRow("room for the PDF only") << "pdf" << false << true << "race1.xlsx";
    QTest::newRow("room for half the PDF") << "half" << false << false << "race1.pdf";
    QTest::newRow("full, over an earlier pair") << "" << true << false << "race1.pdf";
    QTest::newRow("room for the PDF, over an earlier pair")
        << "pdf" << true << true << "race1.xlsx";
}

void TestPrintFullTarget::fillingTarget()
{
    QFETCH(QString, room);
    QFETCH(bool, earlier);
    QFETCH(bool, pdfWritten);
    QFETCH(QString, named);
    const QDir stick(m_mountPoint->path());
    const QString pdf = stick.filePath(QStringLiteral("race1.pdf"));
    const QString workbook = stick.filePath(QStringLiteral("race1.xlsx"));
    const QByteArray earlierPdf = "%PDF-1.4 last race's report\n%%EOF\n";
    const QByteArray earlierWorkbook = "PK last race's results workbook";
    if (earlier)
        QVERIFY(writeFile(pdf, earlierPdf) && writeFile(workbook, earlierWorkbook));
    // Room in whole blocks, as the file system hands it out.
    const Space before = space(stick.path());
    const qint64 wanted = room == "pdf" ? m_pdfSize : room == "half" ? m_pdfSize / 2 : 0;
    const qint64 left = (wanted + before.block - 1) / before.block * before.block;
    QVERIFY(
        writeFile(stick.filePath(QStringLiteral("ballast")), QByteArray(before.free - left, '\0')));
    QCOMPARE(space(stick.path()).free, left);
    // Not even the earlier PDF's block, once freed, makes room for the workbook.
    QVERIFY(m_workbookSize > before.block);

    // "Yes" to replacing each earlier file, then "OK" to what went wrong.
    QStringList told;
    answerSaveDialog(pdf);
    QList<QMessageBox::StandardButton> answers = {QMessageBox::Ok};
    if (earlier)
        answers.prepend(QMessageBox::Yes);
    if (earlier && pdfWritten)
        answers.prepend(QMessageBox::Yes);
    answerMessages(answers, &told);
    const QString saved = PrintManager().saveRaceResults();

    const QString headline =
        pdfWritten ? QStringLiteral("The PDF report was saved, the results workbook was not.")
                   : QStringLiteral("The race results were not saved.");
    QCOMPARE(told.value(answers.size() - 1),
             QStringLiteral("%1\n\n\"%2\" could not be written: %3.")
                 .arg(headline, QDir::toNativeSeparators(stick.filePath(named)),
                      QString::fromLocal8Bit(std::strerror(ENOSPC))));
    QCOMPARE(saved, pdfWritten ? pdf : QString());

    // Nothing half written is left, and what was there before is as it was.
    QStringList expected = {QStringLiteral("ballast")};
    if (earlier || pdfWritten)
        expected << QStringLiteral("race1.pdf");
    if (earlier)
        expected << QStringLiteral("race1.xlsx");
    QCOMPARE(stick.entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
    if (pdfWritten)
        QCOMPARE(PdfProbe::pages(pdf), 1); // a PDF cut short has no page to count
    else if (earlier)
        QCOMPARE(fileBytes(pdf), earlierPdf);
    if (earlier)
        QCOMPARE(fileBytes(workbook), earlierWorkbook);
}

int main(int argc, char** argv)
{
    ownMounts = enterOwnMountNamespace();
    QApplication app(argc, argv);
    TestPrintFullTarget test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_print_full_target.moc"
