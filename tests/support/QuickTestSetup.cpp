#include "AppSetup.h"
#include "SharedData.h"

#include <QQmlEngine>
#include <QQuickStyle>
#include <QtQml/qqmlextensionplugin.h>
#include <QtQuickTest/quicktest.h>

Q_IMPORT_QML_PLUGIN(RivantaRacePlugin)

// Registers the native objects as the program does before the screens are loaded.
class QuickTestSetup : public QObject
{
    Q_OBJECT

public slots:
    void applicationAvailable()
    {
        QQuickStyle::setStyle(QStringLiteral("Fusion"));
        static SharedData sharedData;
        AppSetup::registerTypes(&sharedData);
    }

    // Lets test documents import the screen module by name from the resources.
    void qmlEngineAvailable(QQmlEngine* engine) { engine->addImportPath(QStringLiteral("qrc:/")); }
};

QUICK_TEST_MAIN_WITH_SETUP(RIVANTA_QUICK_TEST_NAME, QuickTestSetup)

#include "QuickTestSetup.moc"
