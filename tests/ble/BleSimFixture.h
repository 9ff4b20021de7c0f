#pragma once

#include "BleLogCapture.h"
#include "BleTestRig.h"
#include "BluetoothManager.h"
#include "KayakConsole.h"
#include "LogWriter.h"
#include "RaceTables.h"
#include "SharedData.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

// What every simulator-driven test of the console link shares: the rig (a private bus with the
// simulated BlueZ), the captured log, and a clean slate between cases.
class BleSimFixture
{
public:
    BleTestRig rig;
    BleLogCapture log;

    // Once per process, before any Qt Bluetooth use.
    bool start()
    {
        log.install();
        SharedData::buildTables();
        // Counts of log lines are per run.
        QFile::remove(packetLogPath());
        return rig.start();
    }

    // Between cases: no record, no count, no link, no console, tables as at start-up.
    bool reset()
    {
        {
            BluetoothManager sweeper;
            sweeper.disconnectAllDevices();
        }
        settle(100);
        retryCounts.clear();
        for (int slot = 0; slot < SlotCount; ++slot) {
            global_data[slot + 1][ColMac].clear();
            global_data[slot + 1][ColActive] = SlotNotConfigured;
        }
        all_devices_connected = false;
        race_consoles_held = false;
        scan_console_state = ScanNoAction;
        global_playernum = 0;
        const bool ok = rig.reset();
        settle(50);
        log.clear();
        return ok;
    }

    // Lets queued events (deleteLater, D-Bus replies) run.
    static void settle(int ms) { QTest::qWait(ms); }

    static QString state(int slot) { return global_data[slot + 1][ColActive]; }
    static void configure(int slot, const QString& text) { global_data[slot + 1][ColMac] = text; }

    static QVariantMap console(const QString& address, const QString& name,
                               const QVariantMap& more = {})
    {
        QVariantMap spec = more;
        spec.insert(QStringLiteral("address"), address);
        spec.insert(QStringLiteral("name"), name);
        return spec;
    }

    static int indexOfSlot(int slot)
    {
        for (int j = 0; j < consoles.size(); ++j) {
            if (consoles[j].slot == slot)
                return j;
        }
        return -1;
    }

    bool connected(const QString& address)
    {
        return rig.stats(address).value("connected").toBool();
    }
    bool notifying(const QString& address)
    {
        return rig.stats(address).value("notifying").toBool();
    }
    uint stat(const QString& address, const char* key)
    {
        return rig.stats(address).value(QLatin1String(key)).toUInt();
    }

    static QString packetLogPath()
    {
        return LogWriter::logFolder() + QStringLiteral("/packet.log");
    }

    // The packet log lines written so far for the console of this name.
    static QStringList packetLines(const QString& name)
    {
        QFile file(packetLogPath());
        QStringList found;
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return found;
        const QString marker = QStringLiteral(" | ") + name + QStringLiteral(" | Distance: ");
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine());
            if (line.contains(marker))
                found.append(line);
        }
        return found;
    }
};

// Waits up to ms for a condition, letting events run.
#define BLE_TRY(cond, ms) QTRY_VERIFY_WITH_TIMEOUT(cond, ms)
