// rivanta-ble-sim: simulated BlueZ with rowing consoles, served on the D-Bus system bus that
// DBUS_SYSTEM_BUS_ADDRESS names (normally a private bus started by the test rig).

#include "BluezSimulator.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

// The version Qt Bluetooth reads from the org.bluez owner's executable to choose its D-Bus
// GATT backend (it needs 5.42 or later).
constexpr const char* bluezVersion = "5.66";

} // namespace

int main(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-v") == 0) {
            std::printf("%s\n", bluezVersion);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("Usage: %s [--version]\n"
                        "Serves a simulated BlueZ (org.bluez) and its control interface\n"
                        "(com.rivanta.BleSim) on the system bus named by "
                        "DBUS_SYSTEM_BUS_ADDRESS.\n",
                        argv[0]);
            return 0;
        }
    }

    QCoreApplication app(argc, argv);
    registerDbusTypes();

    QDBusConnection bus = QDBusConnection::systemBus();
    BluezSimulator simulator(bus);
    QString error;
    if (!simulator.start(&error)) {
        std::fprintf(stderr, "rivanta-ble-sim: %s\n", qPrintable(error));
        return 1;
    }

    // The bus is private to one test run: when it goes, so does the simulator.
    QTimer busWatch;
    QObject::connect(&busWatch, &QTimer::timeout, &app, [&bus] {
        if (!bus.isConnected())
            QCoreApplication::exit(0);
    });
    busWatch.start(500);

    return app.exec();
}
