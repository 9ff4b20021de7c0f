#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Starts the real program, as an operator would, and checks that it comes up and stays up.
class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void startsWithoutIconFileAndKeepsRunning()
    {
        QTemporaryDir workDir; // no app_icon.ico here: the default icon is used
        QVERIFY(workDir.isValid());
        QProcess app;
        app.setWorkingDirectory(workDir.path());
        app.setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        app.setProcessEnvironment(env);
        app.start(RIVANTA_APP, {});
        QVERIFY(app.waitForStarted());
        // It must still be running once the home page is up.
        QVERIFY(!app.waitForFinished(3000));
        const QString output = QString::fromLocal8Bit(app.readAll());
        QVERIFY2(!output.contains("Failed to"), qPrintable(output));
        QVERIFY2(!output.contains("Error"), qPrintable(output));
        app.kill();
        app.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
