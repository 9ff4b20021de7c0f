#pragma once

#include <QBluetoothDeviceDiscoveryAgent>
#include <QBluetoothDeviceInfo>
#include <QObject>

// The console link's searches outside the main scan, one at a time: once more for a single
// slot's console (the Retry of a failed slot), or for the nearby consoles that the address
// finder lists into the empty slots.
class ConsoleLookup : public QObject
{
    Q_OBJECT

public:
    explicit ConsoleLookup(QObject* parent = nullptr);
    ~ConsoleLookup() override;

    bool isSearching() const;
    // Marks the slot connecting and searches for the console it is configured for; a device
    // taken becomes a record of the console list, announced by consoleTaken. The slot fails when
    // the search ends without one.
    void searchSlot(int index);
    // Writes the names of nearby consoles into the empty slots; ends in ScanFinished.
    void findConsoles();
    // Ends a running search at once; a finder's caller still sees ScanFinished.
    void stop();

signals:
    void consoleTaken(int id);

private:
    QBluetoothDeviceDiscoveryAgent* takeAgent(int timeoutMs);
    void releaseAgent();

    // lookupAgent, searching for one slot's console
    void onRetryDeviceDiscovered(int index, const QBluetoothDeviceInfo& device);
    void onRetryScanFinished(int index);

    // lookupAgent, listing nearby consoles
    void onFinderDeviceDiscovered(const QBluetoothDeviceInfo& device);
    void onFinderScanFinished();

    QBluetoothDeviceDiscoveryAgent* lookupAgent = nullptr;
    // lookupAgent runs the address finder rather than a single-slot search.
    bool finderRunning = false;
};
