#include "ConsoleLookup.h"

#include "ConsoleMatcher.h"
#include "KayakConsole.h"
#include "SlotTable.h"

#include <QStringList>

#include <algorithm>

namespace {

constexpr int RetrySearchTimeoutMs = 5000;
constexpr int FinderTimeoutMs = 10000;

const QStringList consoleKeywords = {QStringLiteral("zv"), QStringLiteral("kayak"),
                                     QStringLiteral("rivanta")};

} // namespace

ConsoleLookup::ConsoleLookup(QObject* parent) : QObject(parent) {}

ConsoleLookup::~ConsoleLookup()
{
    // An agent deleted while it searches leaves the adapter searching for the rest of the run
    // (Qt keeps its interest in discovery), so a running search is stopped first.
    releaseAgent();
}

bool ConsoleLookup::isSearching() const
{
    return lookupAgent && lookupAgent->isActive();
}

QBluetoothDeviceDiscoveryAgent* ConsoleLookup::takeAgent(int timeoutMs)
{
    releaseAgent();
    lookupAgent = new QBluetoothDeviceDiscoveryAgent(this);
    lookupAgent->setLowEnergyDiscoveryTimeout(timeoutMs);
    return lookupAgent;
}

void ConsoleLookup::releaseAgent()
{
    finderRunning = false;
    if (!lookupAgent)
        return;
    lookupAgent->disconnect(this);
    if (lookupAgent->isActive())
        lookupAgent->stop();
    lookupAgent->deleteLater();
    lookupAgent = nullptr;
}

void ConsoleLookup::stop()
{
    const bool finder = finderRunning && isSearching();
    releaseAgent();
    if (finder)
        scan_console_state = ScanFinished;
}

// ---------------------------------------------------------------------------------------------
// Single-slot search

void ConsoleLookup::searchSlot(int index)
{
    QBluetoothDeviceDiscoveryAgent* agent = takeAgent(RetrySearchTimeoutMs);
    SlotTable::state(index) = SlotConnecting;
    connect(agent, &QBluetoothDeviceDiscoveryAgent::deviceDiscovered, this,
            [this, index](const QBluetoothDeviceInfo& device) {
                onRetryDeviceDiscovered(index, device);
            });
    connect(agent, &QBluetoothDeviceDiscoveryAgent::finished, this,
            [this, index] { onRetryScanFinished(index); });
    // A search that stops on an error ends like one that found nothing.
    connect(agent, &QBluetoothDeviceDiscoveryAgent::errorOccurred, this,
            [this, index] { onRetryScanFinished(index); });
    agent->start(QBluetoothDeviceDiscoveryAgent::LowEnergyMethod);
}

void ConsoleLookup::onRetryDeviceDiscovered(int index, const QBluetoothDeviceInfo& device)
{
    if (!ConsoleMatcher::offersFtms(device))
        return;
    if (!ConsoleMatcher::matchesConfiguredDevice(SlotTable::configuredText(index),
                                                 device.address().toString(), device.name()))
        return;
    for (const KayakConsole& record : std::as_const(consoles)) {
        if (ConsoleMatcher::isDuplicate(record, device, index))
            return;
    }
    consoles.append(KayakConsole::matched(device, index));
    // The search ends with its find, before finished could fail the slot.
    releaseAgent();
    emit consoleTaken(consoles.constLast().id);
}

void ConsoleLookup::onRetryScanFinished(int index)
{
    releaseAgent();
    bool held = false;
    for (const KayakConsole& console : std::as_const(consoles)) {
        if (console.slot != index)
            continue;
        held = true;
        // The slot's console was connected all along: show it so again.
        if (console.ready && console.controller)
            SlotTable::state(index) = SlotConnected;
    }
    if (!held)
        SlotTable::state(index) = SlotFailed;
}

// ---------------------------------------------------------------------------------------------
// Address finder

void ConsoleLookup::findConsoles()
{
    // The address page waits for state 2 before it lets the operator go on: every way out of
    // here ends in it.
    if (isSearching()) {
        // A running finder reports its own end; a single-slot search does not.
        if (!finderRunning)
            scan_console_state = ScanFinished;
        return;
    }
    QBluetoothDeviceDiscoveryAgent* agent = takeAgent(FinderTimeoutMs);
    finderRunning = true;
    connect(agent, &QBluetoothDeviceDiscoveryAgent::finished, this,
            &ConsoleLookup::onFinderScanFinished);
    connect(agent, &QBluetoothDeviceDiscoveryAgent::deviceDiscovered, this,
            &ConsoleLookup::onFinderDeviceDiscovered);
    connect(agent, &QBluetoothDeviceDiscoveryAgent::errorOccurred, this,
            &ConsoleLookup::onFinderScanFinished);
    agent->start(QBluetoothDeviceDiscoveryAgent::LowEnergyMethod);
}

void ConsoleLookup::onFinderDeviceDiscovered(const QBluetoothDeviceInfo& device)
{
    if (!ConsoleMatcher::offersFtms(device))
        return;
    const QString name = device.name();
    const QString address = device.address().toString().toLower();
    const QString lowerName = name.toLower();
    const bool known =
        std::any_of(consoleKeywords.cbegin(), consoleKeywords.cend(), [&](const QString& keyword) {
            return address.contains(keyword) || lowerName.contains(keyword);
        });
    if (!known)
        return;
    for (int slot = 0; slot < SlotCount; ++slot) {
        if (SlotTable::configuredText(slot) == name)
            return;
    }
    for (int slot = 0; slot < SlotCount; ++slot) {
        if (SlotTable::configuredText(slot).isEmpty()) {
            global_data[slot + 1][ColMac] = name;
            return;
        }
    }
}

void ConsoleLookup::onFinderScanFinished()
{
    // The address page copies the table once it sees the end: whatever the search knows must
    // be in it by then, also a console reported only in the search's last moments.
    if (lookupAgent) {
        const QList<QBluetoothDeviceInfo> found = lookupAgent->discoveredDevices();
        for (const QBluetoothDeviceInfo& device : found)
            onFinderDeviceDiscovered(device);
    }
    releaseAgent();
    scan_console_state = ScanFinished;
}
