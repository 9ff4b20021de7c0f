// The set-up screen tests run in a widgets application, as the program does, so that the
// athlete import can show its file dialog.
#include "AppSetup.h"
#include "SetupRig.h"
#include "SharedData.h"

#include <QApplication>
#include <QQmlEngine>
#include <QQuickStyle>
#include <QtQml/qqmlextensionplugin.h>
#include <QtQuickTest/quicktest.h>

Q_IMPORT_QML_PLUGIN(RivantaRacePlugin)

class SetupTestSetup : public QObject
{
    Q_OBJECT

public slots:
    void applicationAvailable()
    {
        QQuickStyle::setStyle(QStringLiteral("Fusion"));
        static SharedData sharedData;
        AppSetup::registerTypes(&sharedData);
        static SetupRig rig;
        qmlRegisterSingletonInstance("RivantaSetupTest", 1, 0, "SetupRig", &rig);
    }
    void qmlEngineAvailable(QQmlEngine* engine) { engine->addImportPath(QStringLiteral("qrc:/")); }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    SetupTestSetup setup;
    return quick_test_main_with_setup(argc, argv, SETUP_TEST_NAME, SETUP_TEST_SOURCE, &setup);
}

#include "SetupTestMain.moc"
