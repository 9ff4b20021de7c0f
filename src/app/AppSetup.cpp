#include "AppSetup.h"

#include "BluetoothManager.h"
#include "PrintManager.h"
#include "SharedData.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QQmlEngine>

void AppSetup::registerTypes(SharedData* sharedData)
{
    qmlRegisterType<BluetoothManager>("com.rivanta.bluetooth", 1, 0, "BluetoothManager");
    qmlRegisterType<PrintManager>("com.rivanta.print", 1, 0, "PrintManager");
    qmlRegisterSingletonInstance("shareddataApp", 1, 0, "SharedData", sharedData);
    useHelveticaWidths();
}

void AppSetup::useHelveticaWidths()
{
#if !defined(Q_OS_MACOS) && !defined(Q_OS_WIN)
    const QString face = QStringLiteral("Liberation Sans");
    if (QFontDatabase::hasFamily(face)) {
        QFont font = QGuiApplication::font();
        font.setFamily(face);
        QGuiApplication::setFont(font);
    }
#endif
}
