#pragma once

#include "BleSimFixture.h"

#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantList>
#include <QVariantMap>

// What the set-up screen tests reach beyond the screens: the simulated consoles, the settings
// store, the race tables, workbooks to import and the answer to the next file dialog.
// Published to the test documents as the singleton SetupRig of module RivantaSetupTest.
class SetupRig : public QObject
{
    Q_OBJECT

public:
    // Starts the simulator once per process; later calls only say whether it runs.
    Q_INVOKABLE bool start();
    // No console, link, stored address, athlete or race row; the adapter on.
    Q_INVOKABLE bool reset();

    Q_INVOKABLE bool addConsole(const QVariantMap& spec) { return !sim.rig.addConsole(spec).isEmpty(); }
    Q_INVOKABLE bool setVisible(const QString& address, bool visible)
    {
        return sim.rig.setVisible(address, visible);
    }
    Q_INVOKABLE bool setAdapter(const QVariantMap& props) { return sim.rig.setAdapter(props); }
    Q_INVOKABLE bool connected(const QString& address) { return sim.connected(address); }
    Q_INVOKABLE int connects(const QString& address) { return int(sim.stat(address, "connects")); }

    // The settings store's console addresses, keys "0" to "9", as stored (untrimmed).
    Q_INVOKABLE void storeAddresses(const QStringList& texts);
    Q_INVOKABLE QStringList storedAddresses() const;

    // The race rows, each its 13 texts; the live distance of the console with this address.
    Q_INVOKABLE QVariantList raceRows() const;
    Q_INVOKABLE int consoleDistance(const QString& address) const;
    Q_INVOKABLE int consoleCount() const;
    Q_INVOKABLE bool holdsConsoles() const;

    // A workbook with the given athletes in its rows 11 on (each a list of up to 8 texts: lane,
    // first name, surname, club, sex, category, weight, date of birth); its path.
    Q_INVOKABLE QString writeSheet(const QVariantList& athletes);
    // The next file dialog that opens gets path typed in and accepted, or is cancelled when path
    // is empty.
    Q_INVOKABLE void answerFileDialog(const QString& path);
    Q_INVOKABLE bool fileDialogAnswered() const { return m_dialogAnswered; }

private:
    void answerOpenDialog();

    BleSimFixture sim;
    bool m_started = false;
    QTemporaryDir m_dir;
    QString m_dialogPath;
    bool m_dialogAnswered = false;
    int m_dialogPolls = 0;
    int m_sheets = 0;
};
