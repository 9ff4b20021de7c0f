#pragma once

#include "BleSimFixture.h"

#include <QObject>
#include <QTemporaryDir>

// What the set-up screen tests reach beyond the screens: simulated consoles, the settings
// store, the race tables, workbooks to import and the answer to the next file dialog.
class SetupRig : public QObject
{
    Q_OBJECT

public:
    Q_INVOKABLE bool start(); // once per process
    // No console, link, stored address, athlete or race row; the adapter on.
    Q_INVOKABLE bool reset();
    Q_INVOKABLE bool addConsole(const QVariantMap& spec)
    {
        return !sim.rig.addConsole(spec).isEmpty();
    }
    Q_INVOKABLE bool setAdapter(const QVariantMap& props) { return sim.rig.setAdapter(props); }
    Q_INVOKABLE bool connected(const QString& address) { return sim.connected(address); }
    Q_INVOKABLE bool notifying(const QString& address) { return sim.notifying(address); }
    Q_INVOKABLE int connects(const QString& address) { return int(sim.stat(address, "connects")); }
    // The console closes its link; switched off (not visible), it also stays away.
    Q_INVOKABLE bool dropLink(const QString& address) { return sim.rig.dropLink(address); }
    Q_INVOKABLE bool setVisible(const QString& address, bool visible)
    {
        return sim.rig.setVisible(address, visible);
    }
    // The console is gone from the adapter; added again, it may behave otherwise.
    Q_INVOKABLE bool removeConsole(const QString& address)
    {
        return sim.rig.removeConsole(address);
    }
    Q_INVOKABLE bool refuseNotify(const QString& address, int count)
    {
        return sim.rig.refuseNotify(address, uint(count));
    }
    Q_INVOKABLE int consoleCount() const { return consoles.size(); }
    Q_INVOKABLE bool holdsConsoles() const { return all_devices_connected; }

    // The console addresses of the settings store, as stored.
    Q_INVOKABLE void storeAddresses(const QStringList& texts);
    Q_INVOKABLE QStringList storedAddresses() const;

    Q_INVOKABLE int consoleDistance(const QString& address) const;
    // What the address finder writes: a slot's address in the table only.
    Q_INVOKABLE void setTableAddress(int slot, const QString& text)
    {
        global_data[slot + 1][ColMac] = text;
    }

    // A workbook with these athletes (lists of lane and seven texts) from row 11; its path.
    Q_INVOKABLE QString writeSheet(const QVariantList& athletes);
    // A file in the older .xls format (its compound-file header); its path.
    Q_INVOKABLE QString writeOldWorkbook();
    // The next file dialog gets path typed in and accepted, or is cancelled for an empty path.
    Q_INVOKABLE void answerFileDialog(const QString& path);
    Q_INVOKABLE bool fileDialogAnswered() const { return m_dialogAnswered; }
    // The next message box is noted ("title|text") and closed with OK.
    Q_INVOKABLE void answerMessageBox();
    Q_INVOKABLE QString messageShown() const { return m_message; }

private:
    void answerOpenDialog();

    BleSimFixture sim;
    bool m_started = false;
    QTemporaryDir m_dir;
    QString m_dialogPath;
    bool m_dialogAnswered = false;
    QString m_message;
    int m_sheets = 0;
};
