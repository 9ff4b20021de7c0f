#include "LogWriter.h"
#include "SharedData.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

class TestLogs : public QObject
{
    Q_OBJECT

private:
    SharedData data;
    QString folder;

    QStringList lines(const QString& fileName) const
    {
        QFile file(folder + "/" + fileName);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return {};
        QStringList result = QString::fromUtf8(file.readAll()).split('\n');
        if (!result.isEmpty() && result.last().isEmpty())
            result.removeLast();
        return result;
    }

    // Strips and checks the "yyyy-MM-dd hh:mm:ss" prefix of a line.
    static QString afterTime(const QString& line)
    {
        static const QRegularExpression prefix(
            "^(\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d)( \\| .*)$");
        const QRegularExpressionMatch m = prefix.match(line);
        if (!m.hasMatch())
            return QStringLiteral("<no time prefix: %1>").arg(line);
        const QDateTime written = QDateTime::fromString(m.captured(1), "yyyy-MM-dd hh:mm:ss");
        if (!written.isValid() || qAbs(written.secsTo(QDateTime::currentDateTime())) > 5)
            return QStringLiteral("<time not now: %1>").arg(line);
        return m.captured(2);
    }

private slots:
    void init()
    {
        folder = LogWriter::logFolder();
        QDir(folder).removeRecursively();
        QFile::remove(folder);
    }

    void cleanupTestCase()
    {
        QDir(folder).removeRecursively();
        QFile::remove(folder);
    }

    void folderLiesThreeLevelsAboveExecutable()
    {
        QDir expected(QCoreApplication::applicationDirPath() + "/../../..");
        QCOMPARE(QFileInfo(folder).absoluteFilePath(),
                 QFileInfo(expected.absolutePath() + "/logs").absoluteFilePath());
        QVERIFY(!QFileInfo::exists(folder));
    }

    void raceLineFormat()
    {
        data.writeRaceLog("race_2026-12-07_10-11-12.log", "3", 123.4);
        QVERIFY(QFileInfo(folder).isDir());
        data.writeRaceLog("race_2026-12-07_10-11-12.log", "10", 0);
        const QStringList written = lines("race_2026-12-07_10-11-12.log");
        QCOMPARE(written.size(), 2);
        QCOMPARE(afterTime(written[0]), QString(" | Lane: 3 | Distance: 123.4"));
        QCOMPARE(afterTime(written[1]), QString(" | Lane: 10 | Distance: 0"));
    }

    void numberForms_data()
    {
        QTest::addColumn<double>("distance");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("whole") << 250.0 << "250";
        QTest::newRow("one decimal") << 123.4 << "123.4";
        QTest::newRow("six digits") << 1234.567 << "1234.57";
        QTest::newRow("million") << 1000000.0 << "1e+06";
        QTest::newRow("tiny") << 0.00001 << "1e-05";
        QTest::newRow("race end") << 2500.0 << "2500";
        QTest::newRow("half metre") << 2500.5 << "2500.5";
        QTest::newRow("24-bit max") << 16777215.0 << "1.67772e+07";
        QTest::newRow("negative") << -12.5 << "-12.5";
    }

    void numberForms()
    {
        QFETCH(double, distance);
        QFETCH(QString, text);
        data.writeRaceLog("numbers.log", "1", distance);
        const QStringList written = lines("numbers.log");
        QCOMPARE(written.size(), 1);
        QCOMPARE(afterTime(written[0]), " | Lane: 1 | Distance: " + text);
    }

    void markedPacketLine()
    {
        data.writeDistanceLog("started", 0);
        data.writeDistanceLog("initialized", 1999);
        const QStringList written = lines("packet.log");
        QCOMPARE(written.size(), 2);
        const QString marker = " | " + QString(51, '*') + " ";
        QCOMPARE(marker.size(), 55);
        QCOMPARE(afterTime(written[0]), " | started | Distance: 0" + marker);
        QCOMPARE(afterTime(written[1]), " | initialized | Distance: 1999" + marker);
        QVERIFY(written[0].endsWith("* "));
    }

    void linesAppendAcrossCalls()
    {
        for (int i = 0; i < 50; ++i)
            data.writeRaceLog("append.log", QString::number(i % 10 + 1), i);
        const QStringList written = lines("append.log");
        QCOMPARE(written.size(), 50);
        QCOMPARE(afterTime(written[49]), QString(" | Lane: 10 | Distance: 49"));
    }

    void unwritableFolderLosesLinesSilently()
    {
        // A plain file where the folder should be: neither the folder nor the log can be made.
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        data.writeRaceLog("race.log", "1", 10);
        data.writeDistanceLog("started", 0);
        QVERIFY(QFileInfo(folder).isFile());
        QCOMPARE(QFileInfo(folder).size(), 0);
    }

    void emptyFileNameLosesLine()
    {
        data.writeRaceLog("", "1", 10);
        QVERIFY(QFileInfo(folder).isDir());
        QVERIFY(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLogs)
#include "tst_logs.moc"
