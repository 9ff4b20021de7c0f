#pragma once

#include <QString>
#include <QVariantMap>

// How one simulated rowing console looks and behaves; filled from the a{sv} that
// AddConsole receives. Every key is optional except "address".
struct ConsoleSettings
{
    QString address; // upper case, "AA:BB:CC:DD:EE:FF"
    QString name;    // the Alias; empty for an unnamed console

    // Advertisement and GATT layout
    bool advertiseFtms = true;
    bool ftmsService = true;
    bool notify = true;
    bool cccd = true;
    bool resistance = true;

    // The rowing itself
    quint32 startDistance = 2000;
    double speed = 4.0; // metres per second, counting the distance down
    quint32 strokeRate = 30;
    quint32 strokeCount = 0;
    quint32 intervalMs = 100;
    QString chunking = QStringLiteral("20");
    // false: the athlete sits still, so frames keep coming but the distance stays put
    bool rowing = true;

    // Faults
    quint32 connectFailures = 0;
    // "ok", "fail", "drop-before-resolve", "drop-during-discovery" (the link is lost when the
    // program reads the Rower Data value while it discovers the service), "no-answer"
    QString connectMode = QStringLiteral("ok");
    quint32 dropAfterMs = 0;
    bool startNotifyFails = false;
    // Reading the notification descriptor is refused, the last read of Qt's service discovery:
    // Qt then never finishes the discovery.
    bool cccdReadFails = false;
    bool visible = true;
    quint32 discoverDelayMs = 0;

    // Reads the keys of spec; on a missing address, an unknown key or a value that makes no
    // sense, returns false and says why in error.
    bool parse(const QVariantMap& spec, QString* error);

    static bool isValidAddress(const QString& address);
};
