#include "AppSetup.h"
#include "MacResizeObserver.h"
#include "SharedData.h"

#include <QApplication>
#include <QIcon>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(RivantaRacePlugin)

static SharedData* sharedDataInstance()
{
    static SharedData instance;
    return &instance;
}

int main(int argc, char* argv[])
{
    auto* app = new QApplication(argc, argv);
    QQuickStyle::setStyle(QStringLiteral("Fusion"));
    auto* engine = new QQmlApplicationEngine;
    SharedData* sharedData = sharedDataInstance();
    engine->addImportPath(QStringLiteral("qml"));
    AppSetup::registerTypes(sharedData);

    // QQmlApplicationEngine signals
    QObject::connect(
        engine, &QQmlApplicationEngine::objectCreationFailed, app,
        [](const QUrl&) { QCoreApplication::exit(-1); }, Qt::QueuedConnection);

    auto* resizeObserver = new MacResizeObserver;
    resizeObserver->start();
    engine->rootContext()->setContextProperty(QStringLiteral("resizeObserver"), resizeObserver);

    engine->load(QUrl(QStringLiteral("qrc:/RivantaRace/App.qml")));
    if (engine->rootObjects().isEmpty()) {
        delete resizeObserver;
        delete engine;
        delete app;
        return -1;
    }

    if (auto* window = qobject_cast<QQuickWindow*>(engine->rootObjects().constFirst())) {
        window->setIcon(QIcon(QStringLiteral("app_icon.ico")));
        window->setFlags(Qt::Window | Qt::FramelessWindowHint);
        QObject::connect(window, SIGNAL(contentReady()), window, SLOT(showFullScreen()));
    }

    const int result = app->exec();
    delete resizeObserver;
    delete engine;
    delete app;
    return result;
}
