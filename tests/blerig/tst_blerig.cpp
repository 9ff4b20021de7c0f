#include "BleTestRig.h"

#include <QBluetoothDeviceDiscoveryAgent>
#include <QBluetoothDeviceInfo>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QLowEnergyController>
#include <QLowEnergyService>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

const QBluetoothUuid ftmsUuid(QStringLiteral("00001826-0000-1000-8000-00805f9b34fb"));
const QBluetoothUuid rowerDataUuid(QStringLiteral("00002AD1-0000-1000-8000-00805f9b34fb"));
const QBluetoothUuid resistanceUuid(QStringLiteral("00002AD6-0000-1000-8000-00805f9b34fb"));
const QBluetoothUuid cccdUuid(QStringLiteral("00002902-0000-1000-8000-00805f9b34fb"));

const QString address1 = QStringLiteral("AA:BB:CC:DD:EE:01");
const QString address2 = QStringLiteral("AA:BB:CC:DD:EE:02");

constexpr int waitMs = 5000;

QBluetoothDeviceInfo leDevice(const QString& address, const QString& name)
{
    QBluetoothDeviceInfo info(QBluetoothAddress(address), name, 0);
    info.setCoreConfigurations(QBluetoothDeviceInfo::LowEnergyCoreConfiguration);
    return info;
}

// The deviceDiscovered reports of a spy, by address.
QMap<QString, QBluetoothDeviceInfo> discovered(const QSignalSpy& spy)
{
    QMap<QString, QBluetoothDeviceInfo> devices;
    for (const QList<QVariant>& arguments : spy) {
        const auto info = arguments.at(0).value<QBluetoothDeviceInfo>();
        devices.insert(info.address().toString(), info);
    }
    return devices;
}

// One console link as the program builds it: controller, FTMS service, Rower Data.
struct Link
{
    std::unique_ptr<QLowEnergyController> controller;
    std::unique_ptr<QLowEnergyService> service;
};

} // namespace

class TestBleRig : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void discoveryReportsKnownConsoles();
    void discoveryReportsLateAndHiddenConsoles();
    void discoveryErrors_data();
    void discoveryErrors();
    void discoveryIgnoresFailedStart();
    void scansInARow();
    void removedDeviceReturnsWithTheNextScan();
    void discoveryLosesTheAdapter();

    void connectDiscoversFtmsService();
    void consoleWithoutOptionalParts();
    void notificationsDeliverFrames();
    void chunkingCutsTheStream_data();
    void chunkingCutsTheStream();
    void sendRawNeedsNotifications();
    void resistanceWritesAreRecorded();
    void programDisconnectIsCounted();

    void connectFailuresThenSuccess();
    void connectFails();
    void linkLostBeforeServicesResolved();
    void consoleClosesTheLink();
    void linkDropsAfterDelay();
    void deviceRemovedWhileConnected();
    void startNotifyFails();
    void connectWithoutAnswerStaysPending();

    void propertiesHaveBluezTypes();
    void controlRejectsBadInput();
    void resetForgetsEverything();

    void childrenDieWithTheTestProcess();
    void stopEndsBothChildren();

private:
    // Connects to a console and discovers its FTMS service with values; fails the test when it
    // cannot.
    bool connectAndDiscover(const QString& address, Link* link);
    bool enableNotifications(Link* link);
    // Runs a discovery to its timeout; the addresses found, or "error N" when it failed.
    QStringList scanToEnd(int timeoutMs);

    BleTestRig m_rig;
};

void TestBleRig::initTestCase()
{
    QVERIFY(m_rig.start());
    QVERIFY(m_rig.isRunning());
    QVERIFY(m_rig.busAddress().startsWith(QStringLiteral("unix:path=")));
    QCOMPARE(qgetenv("DBUS_SYSTEM_BUS_ADDRESS"), m_rig.busAddress().toLocal8Bit());
}

void TestBleRig::init()
{
    QVERIFY(m_rig.reset());
}

bool TestBleRig::connectAndDiscover(const QString& address, Link* link)
{
    link->controller.reset(QLowEnergyController::createCentral(leDevice(address, QString())));
    QSignalSpy connected(link->controller.get(), &QLowEnergyController::connected);
    link->controller->connectToDevice();
    if (!connected.wait(waitMs)) {
        qWarning() << "no connection to" << address << link->controller->error();
        return false;
    }
    QSignalSpy discovered(link->controller.get(), &QLowEnergyController::discoveryFinished);
    link->controller->discoverServices();
    if (discovered.isEmpty() && !discovered.wait(waitMs))
        return false;
    link->service.reset(link->controller->createServiceObject(ftmsUuid));
    if (!link->service)
        return false;
    link->service->discoverDetails(QLowEnergyService::FullDiscovery);
    return QTest::qWaitFor(
        [&] { return link->service->state() == QLowEnergyService::RemoteServiceDiscovered; },
        waitMs);
}

bool TestBleRig::enableNotifications(Link* link)
{
    const QLowEnergyCharacteristic rowerData = link->service->characteristic(rowerDataUuid);
    const QLowEnergyDescriptor cccd = rowerData.descriptor(cccdUuid);
    if (!cccd.isValid())
        return false;
    QSignalSpy written(link->service.get(), &QLowEnergyService::descriptorWritten);
    link->service->writeDescriptor(cccd, QByteArray::fromHex("0100"));
    return written.wait(waitMs);
}

// Discovery ---------------------------------------------------------------------------------

void TestBleRig::discoveryReportsKnownConsoles()
{
    QCOMPARE(m_rig.addConsole({{"address", "aa:bb:cc:dd:ee:01"}, {"name", "KAYAK 1"}}),
             QStringLiteral("/org/bluez/hci0/dev_AA_BB_CC_DD_EE_01"));
    QVERIFY(!m_rig.addConsole({{"address", address2}, {"name", "Plain"}, {"advertiseFtms", false}})
                 .isEmpty());

    QBluetoothDeviceDiscoveryAgent agent;
    agent.setLowEnergyDiscoveryTimeout(3000);
    QSignalSpy found(&agent, &QBluetoothDeviceDiscoveryAgent::deviceDiscovered);
    QSignalSpy canceled(&agent, &QBluetoothDeviceDiscoveryAgent::canceled);
    agent.start(QBluetoothDeviceDiscoveryAgent::LowEnergyMethod);
    QTRY_COMPARE_WITH_TIMEOUT(discovered(found).size(), 2, waitMs);
    QCOMPARE(agent.error(), QBluetoothDeviceDiscoveryAgent::NoError);

    const auto devices = discovered(found);
    const QBluetoothDeviceInfo kayak = devices.value(address1);
    QCOMPARE(kayak.name(), QStringLiteral("KAYAK 1"));
    QCOMPARE(kayak.coreConfigurations(), QBluetoothDeviceInfo::LowEnergyCoreConfiguration);
    QVERIFY(kayak.serviceUuids().contains(ftmsUuid));
    QVERIFY(kayak.serviceIds().contains(ftmsUuid));
    QCOMPARE(kayak.serviceData(ftmsUuid), QByteArray::fromHex("011000"));
    QCOMPARE(kayak.rssi(), qint16(-60));

    const QBluetoothDeviceInfo plain = devices.value(address2);
    QCOMPARE(plain.name(), QStringLiteral("Plain"));
    QVERIFY(plain.serviceUuids().isEmpty());
    QVERIFY(plain.serviceIds().isEmpty());

    agent.stop();
    QTRY_COMPARE_WITH_TIMEOUT(canceled.size(), 1, waitMs);
}

void TestBleRig::discoveryReportsLateAndHiddenConsoles()
{
    QVERIFY(!m_rig.addConsole({{"address", address1}, {"name", "Late"}, {"discoverDelayMs", 300}})
                 .isEmpty());
    QVERIFY(!m_rig.addConsole({{"address", address2}, {"name", "Hidden"}, {"visible", false}})
                 .isEmpty());

    QBluetoothDeviceDiscoveryAgent agent;
    agent.setLowEnergyDiscoveryTimeout(20000);
    QSignalSpy found(&agent, &QBluetoothDeviceDiscoveryAgent::deviceDiscovered);
    agent.start(QBluetoothDeviceDiscoveryAgent::LowEnergyMethod);
    QTRY_VERIFY_WITH_TIMEOUT(discovered(found).contains(address1), waitMs);
    QVERIFY(!discovered(found).contains(address2));

    QVERIFY(m_rig.setVisible(address2, true));
    QTRY_VERIFY_WITH_TIMEOUT(discovered(found).contains(address2), waitMs);
    QCOMPARE(discovered(found).value(address2).name(), QStringLiteral("Hidden"));
    agent.stop();
}

void TestBleRig::discoveryErrors_data()
{
    QTest::addColumn<QVariantMap>("adapter");
    QTest::addColumn<QBluetoothDeviceDiscoveryAgent::Error>("error");

    QTest::newRow("no adapter") << QVariantMap{{"present", false}}
                                << QBluetoothDeviceDiscoveryAgent::InputOutputError;
    QTest::newRow("powered off") << QVariantMap{{"powered", false}}
                                 << QBluetoothDeviceDiscoveryAgent::PoweredOffError;
    QTest::newRow("filter fails") << QVariantMap{{"filterFails", true}}
                                  << QBluetoothDeviceDiscoveryAgent::UnsupportedDiscoveryMethod;
}

void TestBleRig::discoveryErrors()
{
    QFETCH(QVariantMap, adapter);
    QFETCH(QBluetoothDeviceDiscoveryAgent::Error, error);
    QVERIFY(!m_rig.addConsole({{"address", address1}, {"name", "KAYAK 1"}}).isEmpty());
    QVERIFY(m_rig.setAdapter(adapter));

    QBluetoothDeviceDiscoveryAgent agent;
    agent.setLowEnergyDiscoveryTimeout(3000);
    QSignalSpy failed(&agent, &QBluetoothDeviceDiscoveryAgent::errorOccurred);
    agent.start(QBluetoothDeviceDiscoveryAgent::LowEnergyMethod);
    QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, waitMs);
    QCOMPARE(failed.at(0).at(0).value<QBluetoothDeviceDiscoveryAgent::Error>(), error);
}

QStringList TestBleRig::scanToEnd(int timeoutMs)
{
    QBluetoothDeviceDiscoveryAgent agent;
    agent.setLowEnergyDiscoveryTimeout(timeoutMs);
    QSignalSpy found(&agent, &QBluetoothDeviceDiscoveryAgent::deviceDiscovered);
    QSignalSpy finished(&agent, &QBluetoothDeviceDiscoveryAgent::finished);
    agent.start(QBluetoothDeviceDiscoveryAgent::LowEnergyMethod);
    if (!finished.wait(timeoutMs + waitMs) ||
        agent.error() != QBluetoothDeviceDiscoveryAgent::NoError)
        return {QStringLiteral("error %1").arg(agent.error())};
    return discovered(found).keys();
}

void TestBleRig::discoveryIgnoresFailedStart()
{
    // Qt does not wait for StartDiscovery's answer: the scan runs to its end on what the adapter
    // already knows.
    QVERIFY(!m_rig.addConsole({{"address", address1}}).isEmpty());
    QVERIFY(!m_rig.addConsole({{"address", address2}, {"discoverDelayMs", 100}}).isEmpty());
    QVERIFY(m_rig.setAdapter({{"startFails", true}}));
    QCOMPARE(scanToEnd(1000), QStringList{address1});
}

void TestBleRig::scansInARow()
{
    QVERIFY(!m_rig.addConsole({{"address", address1}, {"discoverDelayMs", 100}}).isEmpty());
    for (int scan = 0; scan < 3; ++scan)
        QCOMPARE(scanToEnd(500), QStringList{address1});
}

void TestBleRig::removedDeviceReturnsWithTheNextScan()
{
    const QString device = m_rig.addConsole({{"address", address1}});
    Link link;
    QVERIFY(connectAndDiscover(address1, &link));
    QSignalSpy disconnected(link.controller.get(), &QLowEnergyController::disconnected);
    QDBusMessage remove = QDBusMessage::createMethodCall("org.bluez", "/org/bluez/hci0",
                                                         "org.bluez.Adapter1", "RemoveDevice");
    remove << QVariant::fromValue(QDBusObjectPath(device));
    QCOMPARE(QDBusConnection::systemBus().call(remove).type(), QDBusMessage::ReplyMessage);
    QVERIFY(disconnected.wait(waitMs));
    QCOMPARE(QDBusConnection::systemBus().call(remove).errorName(),
             QStringLiteral("org.bluez.Error.DoesNotExist"));
    QCOMPARE(scanToEnd(500), QStringList{address1});
}

void TestBleRig::discoveryLosesTheAdapter()
{
    QVERIFY(m_rig.setAdapter({{"failDuringScan", true}}));
    QBluetoothDeviceDiscoveryAgent agent;
    agent.setLowEnergyDiscoveryTimeout(20000);
    QSignalSpy failed(&agent, &QBluetoothDeviceDiscoveryAgent::errorOccurred);
    agent.start(QBluetoothDeviceDiscoveryAgent::LowEnergyMethod);
    QVERIFY(agent.isActive());
    QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, waitMs);
    QCOMPARE(agent.error(), QBluetoothDeviceDiscoveryAgent::InputOutputError);
}

// Connection, GATT and notifications ---------------------------------------------------------

void TestBleRig::connectDiscoversFtmsService()
{
    QVERIFY(!m_rig.addConsole({{"address", address1}, {"name", "KAYAK 1"}}).isEmpty());
    Link link;
    QVERIFY(connectAndDiscover(address1, &link));
    QVERIFY(link.controller->services().contains(ftmsUuid));

    const QLowEnergyCharacteristic rowerData = link.service->characteristic(rowerDataUuid);
    QVERIFY(rowerData.isValid());
    QVERIFY(rowerData.properties() & QLowEnergyCharacteristic::Notify);
    QVERIFY(rowerData.descriptor(cccdUuid).isValid());
    QCOMPARE(rowerData.value().size(), 20);

    const QLowEnergyCharacteristic resistance = link.service->characteristic(resistanceUuid);
    QVERIFY(resistance.isValid());
    QVERIFY(resistance.properties() & QLowEnergyCharacteristic::Write);
    QVERIFY(resistance.properties() & QLowEnergyCharacteristic::WriteNoResponse);

    const QVariantMap stats = m_rig.stats(address1);
    QCOMPARE(stats.value("connects").toUInt(), 1u);
    QCOMPARE(stats.value("connected").toBool(), true);
    QCOMPARE(stats.value("notifying").toBool(), false);
}

void TestBleRig::consoleWithoutOptionalParts()
{
    QVERIFY(
        !m_rig
             .addConsole(
                 {{"address", address1}, {"notify", false}, {"cccd", false}, {"resistance", false}})
             .isEmpty());
    Link link;
    QVERIFY(connectAndDiscover(address1, &link));
    const QLowEnergyCharacteristic rowerData = link.service->characteristic(rowerDataUuid);
    QVERIFY(rowerData.isValid());
    QVERIFY(!(rowerData.properties() & QLowEnergyCharacteristic::Notify));
    QVERIFY(!rowerData.descriptor(cccdUuid).isValid());
    QVERIFY(!link.service->characteristic(resistanceUuid).isValid());

    // Without the service, the connection stands but offers nothing.
    QVERIFY(!m_rig.addConsole({{"address", address2}, {"ftmsService", false}}).isEmpty());
    Link bare;
    bare.controller.reset(QLowEnergyController::createCentral(leDevice(address2, QString())));
    QSignalSpy connected(bare.controller.get(), &QLowEnergyController::connected);
    bare.controller->connectToDevice();
    QVERIFY(connected.wait(waitMs));
    QSignalSpy discoveryFinished(bare.controller.get(), &QLowEnergyController::discoveryFinished);
    bare.controller->discoverServices();
    QTRY_COMPARE_WITH_TIMEOUT(discoveryFinished.size(), 1, waitMs);
    QVERIFY(bare.controller->services().isEmpty());
    QVERIFY(!bare.controller->createServiceObject(ftmsUuid));
}

void TestBleRig::notificationsDeliverFrames()
{
    QVERIFY(!m_rig
                 .addConsole({{"address", address1},
                              {"startDistance", 500},
                              {"speed", 5.0},
                              {"strokeRate", 31},
                              {"strokeCount", 7},
                              {"intervalMs", 50}})
                 .isEmpty());
    Link link;
    QVERIFY(connectAndDiscover(address1, &link));
    QSignalSpy changed(link.service.get(), &QLowEnergyService::characteristicChanged);
    QVERIFY(enableNotifications(&link));
    QCOMPARE(m_rig.writes(address1), QStringList{"2902 start-notify"});
    QTRY_VERIFY_WITH_TIMEOUT(changed.size() >= 3, waitMs);

    const QByteArray first = changed.at(0).at(1).toByteArray();
    QCOMPARE(first.size(), 20);
    QCOMPARE(changed.at(0).at(0).value<QLowEnergyCharacteristic>().uuid(), rowerDataUuid);
    QCOMPARE(quint8(first.at(2)), quint8(62)); // stroke rate x 2
    QCOMPARE(quint8(first.at(3)) | quint8(first.at(4)) << 8, 7);
    QCOMPARE(quint8(first.at(5)) | quint8(first.at(6)) << 8 | quint8(first.at(7)) << 16, 500);
    // The distance counts down, 5 m/s over 50 ms per frame: 499.75 shows as 500 until 499.0.
    QTRY_VERIFY_WITH_TIMEOUT(changed.size() >= 5, waitMs);
    const QByteArray second = changed.at(1).at(1).toByteArray();
    QCOMPARE(quint8(second.at(5)) | quint8(second.at(6)) << 8, 500);
    const QByteArray fifth = changed.at(4).at(1).toByteArray();
    QCOMPARE(quint8(fifth.at(5)) | quint8(fifth.at(6)) << 8, 499);

    // Paused streaming sends nothing more; resumed, frames flow again.
    QVERIFY(m_rig.setStreaming(address1, false));
    const int sent = int(m_rig.stats(address1).value("notificationsSent").toUInt());
    QTRY_COMPARE_WITH_TIMEOUT(changed.size(), sent, waitMs);
    QVERIFY(m_rig.setStreaming(address1, true));
    QTRY_VERIFY_WITH_TIMEOUT(changed.size() > sent, waitMs);

    const QVariantMap stats = m_rig.stats(address1);
    QCOMPARE(stats.value("notifying").toBool(), true);
    QCOMPARE(stats.value("bytesSent").toUInt(), 20 * stats.value("framesSent").toUInt());

    // Notifications off: StopNotify, and the stream stops.
    QSignalSpy written(link.service.get(), &QLowEnergyService::descriptorWritten);
    link.service->writeDescriptor(link.service->characteristic(rowerDataUuid).descriptor(cccdUuid),
                                  QByteArray::fromHex("0000"));
    QVERIFY(written.wait(waitMs));
    QCOMPARE(m_rig.writes(address1), (QStringList{"2902 start-notify", "2902 stop-notify"}));
    QCOMPARE(m_rig.stats(address1).value("notifying").toBool(), false);
}

void TestBleRig::chunkingCutsTheStream_data()
{
    QTest::addColumn<QString>("chunking");
    QTest::addColumn<QList<int>>("sizes");
    QTest::newRow("one frame") << "20" << QList<int>{20, 20, 20, 20};
    QTest::newRow("12 then 8") << "12+8" << QList<int>{12, 8, 12, 8};
    QTest::newRow("25 bytes") << "25" << QList<int>{25, 25, 25, 25};
    QTest::newRow("two frames") << "40" << QList<int>{40, 40};
}

void TestBleRig::chunkingCutsTheStream()
{
    QFETCH(QString, chunking);
    QFETCH(QList<int>, sizes);
    QVERIFY(!m_rig.addConsole({{"address", address1}, {"chunking", chunking}, {"intervalMs", 20}})
                 .isEmpty());
    Link link;
    QVERIFY(connectAndDiscover(address1, &link));
    QSignalSpy changed(link.service.get(), &QLowEnergyService::characteristicChanged);
    QVERIFY(enableNotifications(&link));
    QTRY_VERIFY_WITH_TIMEOUT(changed.size() >= sizes.size(), waitMs);

    QByteArray stream;
    for (int i = 0; i < sizes.size(); ++i) {
        const QByteArray bytes = changed.at(i).at(1).toByteArray();
        QCOMPARE(bytes.size(), sizes.at(i));
        stream += bytes;
    }
    // Cut anywhere, the bytes are still whole frames back to back.
    QCOMPARE(quint8(stream.at(0)), quint8(0x2C));
    QCOMPARE(quint8(stream.at(20)), quint8(0x2C));
    QCOMPARE(quint8(stream.at(39)), quint8(19));
}

void TestBleRig::sendRawNeedsNotifications()
{
    QVERIFY(!m_rig.addConsole({{"address", address1}}).isEmpty());
    QVERIFY(!m_rig.sendRaw(address1, "abc")); // not connected
    Link link;
    QVERIFY(connectAndDiscover(address1, &link));
    QVERIFY(!m_rig.sendRaw(address1, "abc")); // connected, notifications off
    QVERIFY(m_rig.setStreaming(address1, false));
    QSignalSpy changed(link.service.get(), &QLowEnergyService::characteristicChanged);
    QVERIFY(enableNotifications(&link));
    QVERIFY(m_rig.sendRaw(address1, QByteArray::fromHex("0102030405")));
    QTRY_COMPARE_WITH_TIMEOUT(changed.size(), 1, waitMs);
    QCOMPARE(changed.at(0).at(1).toByteArray(), QByteArray::fromHex("0102030405"));
    QCOMPARE(m_rig.stats(address1).value("bytesSent").toUInt(), 5u);
    QVERIFY(!m_rig.sendRaw(QStringLiteral("AA:BB:CC:DD:EE:99"), "x"));
}

void TestBleRig::resistanceWritesAreRecorded()
{
    QVERIFY(!m_rig.addConsole({{"address", address1}}).isEmpty());
    Link link;
    QVERIFY(connectAndDiscover(address1, &link));
    const QLowEnergyCharacteristic resistance = link.service->characteristic(resistanceUuid);
    link.service->writeCharacteristic(resistance, QByteArray(1, 5),
                                      QLowEnergyService::WriteWithoutResponse);
    QSignalSpy written(link.service.get(), &QLowEnergyService::characteristicWritten);
    link.service->writeCharacteristic(resistance, QByteArray::fromHex("1aff"));
    QVERIFY(written.wait(waitMs));
    QCOMPARE(m_rig.writes(address1), (QStringList{"2ad6 command 05", "2ad6 request 1aff"}));
}

void TestBleRig::programDisconnectIsCounted()
{
    QVERIFY(!m_rig.addConsole({{"address", address1}}).isEmpty());
    Link link;
    QVERIFY(connectAndDiscover(address1, &link));
    QVERIFY(enableNotifications(&link));
    QSignalSpy disconnected(link.controller.get(), &QLowEnergyController::disconnected);
    link.controller->disconnectFromDevice();
    QTRY_COMPARE_WITH_TIMEOUT(disconnected.size(), 1, waitMs);
    const QVariantMap stats = m_rig.stats(address1);
    QCOMPARE(stats.value("disconnects").toUInt(), 1u);
    QCOMPARE(stats.value("connected").toBool(), false);
    QCOMPARE(stats.value("notifying").toBool(), false);

    // The same console connects again and streams again.
    Link again;
    QVERIFY(connectAndDiscover(address1, &again));
    QSignalSpy changed(again.service.get(), &QLowEnergyService::characteristicChanged);
    QVERIFY(enableNotifications(&again));
    QVERIFY(changed.wait(waitMs));
    QCOMPARE(m_rig.stats(address1).value("connects").toUInt(), 2u);
}

// Faults -------------------------------------------------------------------------------------

void TestBleRig::connectFailuresThenSuccess()
{
    QVERIFY(!m_rig.addConsole({{"address", address1}, {"connectFailures", 2}}).isEmpty());
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::unique_ptr<QLowEnergyController> controller(
            QLowEnergyController::createCentral(leDevice(address1, QString())));
        QSignalSpy failed(controller.get(), &QLowEnergyController::errorOccurred);
        controller->connectToDevice();
        QVERIFY(failed.wait(waitMs));
        QCOMPARE(controller->error(), QLowEnergyController::UnknownError);
    }
    Link link;
    QVERIFY(connectAndDiscover(address1, &link));
    QCOMPARE(m_rig.stats(address1).value("connects").toUInt(), 3u);
}

void TestBleRig::connectFails()
{
    QVERIFY(!m_rig.addConsole({{"address", address1}, {"connectMode", "fail"}}).isEmpty());
    std::unique_ptr<QLowEnergyController> controller(
        QLowEnergyController::createCentral(leDevice(address1, QString())));
    QSignalSpy failed(controller.get(), &QLowEnergyController::errorOccurred);
    QSignalSpy disconnected(controller.get(), &QLowEnergyController::disconnected);
    controller->connectToDevice();
    QVERIFY(failed.wait(waitMs));
    QCOMPARE(controller->error(), QLowEnergyController::UnknownError);
    QCOMPARE(controller->state(), QLowEnergyController::UnconnectedState);
    QCOMPARE(disconnected.size(), 0);
}

void TestBleRig::linkLostBeforeServicesResolved()
{
    QVERIFY(!m_rig.addConsole({{"address", address1}, {"connectMode", "drop-before-resolve"}})
                 .isEmpty());
    std::unique_ptr<QLowEnergyController> controller(
        QLowEnergyController::createCentral(leDevice(address1, QString())));
    QSignalSpy failed(controller.get(), &QLowEnergyController::errorOccurred);
    QSignalSpy connected(controller.get(), &QLowEnergyController::connected);
    controller->connectToDevice();
    QVERIFY(failed.wait(waitMs));
    QCOMPARE(controller->error(), QLowEnergyController::ConnectionError);
    QCOMPARE(connected.size(), 0);
}

void TestBleRig::consoleClosesTheLink()
{
    QVERIFY(!m_rig.addConsole({{"address", address1}}).isEmpty());
    QVERIFY(!m_rig.dropLink(address1)); // nothing to drop yet
    Link link;
    QVERIFY(connectAndDiscover(address1, &link));
    QVERIFY(enableNotifications(&link));
    QSignalSpy disconnected(link.controller.get(), &QLowEnergyController::disconnected);
    QSignalSpy failed(link.controller.get(), &QLowEnergyController::errorOccurred);
    QVERIFY(m_rig.dropLink(address1));
    QVERIFY(disconnected.wait(waitMs));
    QCOMPARE(link.controller->error(), QLowEnergyController::NoError);
    QCOMPARE(failed.size(), 0);
    QCOMPARE(m_rig.stats(address1).value("disconnects").toUInt(), 0u);
}

void TestBleRig::linkDropsAfterDelay()
{
    QVERIFY(!m_rig.addConsole({{"address", address1}, {"dropAfterMs", 200}, {"intervalMs", 20}})
                 .isEmpty());
    Link link;
    QVERIFY(connectAndDiscover(address1, &link));
    QSignalSpy changed(link.service.get(), &QLowEnergyService::characteristicChanged);
    QSignalSpy disconnected(link.controller.get(), &QLowEnergyController::disconnected);
    QVERIFY(enableNotifications(&link));
    QTRY_COMPARE_WITH_TIMEOUT(disconnected.size(), 1, waitMs);
    QVERIFY(!changed.isEmpty());
    QCOMPARE(link.controller->error(), QLowEnergyController::NoError);
}

void TestBleRig::deviceRemovedWhileConnected()
{
    QVERIFY(!m_rig.addConsole({{"address", address1}}).isEmpty());
    Link link;
    QVERIFY(connectAndDiscover(address1, &link));
    QVERIFY(enableNotifications(&link));
    QVERIFY(m_rig.writes(address1).contains("2902 start-notify"));
    QSignalSpy disconnected(link.controller.get(), &QLowEnergyController::disconnected);
    QVERIFY(m_rig.removeConsole(address1));
    QVERIFY(disconnected.wait(waitMs));
    QCOMPARE(link.controller->error(), QLowEnergyController::UnknownRemoteDeviceError);

    // What the program did stays readable after the console is gone.
    QCOMPARE(m_rig.writes(address1), QStringList{"2902 start-notify"});
    QCOMPARE(m_rig.stats(address1).value("connected").toBool(), false);
    QVERIFY(!m_rig.removeConsole(address1));
}

void TestBleRig::startNotifyFails()
{
    QVERIFY(!m_rig.addConsole({{"address", address1}, {"startNotifyFails", true}}).isEmpty());
    Link link;
    QVERIFY(connectAndDiscover(address1, &link));
    QSignalSpy failed(link.service.get(), &QLowEnergyService::errorOccurred);
    link.service->writeDescriptor(link.service->characteristic(rowerDataUuid).descriptor(cccdUuid),
                                  QByteArray::fromHex("0100"));
    QVERIFY(failed.wait(waitMs));
    QCOMPARE(link.service->error(), QLowEnergyService::DescriptorWriteError);
    QCOMPARE(m_rig.stats(address1).value("notifying").toBool(), false);
}

void TestBleRig::connectWithoutAnswerStaysPending()
{
    QVERIFY(!m_rig.addConsole({{"address", address1}, {"connectMode", "no-answer"}}).isEmpty());
    std::unique_ptr<QLowEnergyController> controller(
        QLowEnergyController::createCentral(leDevice(address1, QString())));
    controller->connectToDevice();
    QTRY_COMPARE_WITH_TIMEOUT(m_rig.stats(address1).value("connects").toUInt(), 1u, waitMs);
    QCOMPARE(controller->state(), QLowEnergyController::ConnectingState);
    // Giving up is the program's choice: it disconnects, and the console lets it.
    controller->disconnectFromDevice();
    QTRY_COMPARE_WITH_TIMEOUT(controller->state(), QLowEnergyController::UnconnectedState, waitMs);
    QCOMPARE(m_rig.stats(address1).value("disconnects").toUInt(), 1u);
}

// Control interface --------------------------------------------------------------------------

// The D-Bus signature of a property as the simulator sends it.
static QString propertySignature(const QString& path, const QString& interface, const QString& name)
{
    QDBusMessage get =
        QDBusMessage::createMethodCall("org.bluez", path, "org.freedesktop.DBus.Properties", "Get");
    get << interface << name;
    const QDBusMessage reply = QDBusConnection::systemBus().call(get);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return reply.errorName();
    const QVariant value = reply.arguments().value(0).value<QDBusVariant>().variant();
    if (value.canConvert<QDBusArgument>())
        return value.value<QDBusArgument>().currentSignature();
    return QString::fromLatin1(QDBusMetaType::typeToSignature(value.metaType()));
}

void TestBleRig::propertiesHaveBluezTypes()
{
    const QString device = m_rig.addConsole({{"address", address1}, {"name", "KAYAK 1"}});
    const QString adapter = QStringLiteral("/org/bluez/hci0");
    const QString deviceInterface = QStringLiteral("org.bluez.Device1");
    QCOMPARE(propertySignature(adapter, "org.bluez.Adapter1", "Address"), "s");
    QCOMPARE(propertySignature(adapter, "org.bluez.Adapter1", "Powered"), "b");
    QCOMPARE(propertySignature(device, deviceInterface, "RSSI"), "n");
    QCOMPARE(propertySignature(device, deviceInterface, "UUIDs"), "as");
    QCOMPARE(propertySignature(device, deviceInterface, "Adapter"), "o");
    QCOMPARE(propertySignature(device, deviceInterface, "ServiceData"), "a{sv}");
    QCOMPARE(propertySignature(device, deviceInterface, "ManufacturerData"), "a{qv}");
    QCOMPARE(propertySignature(device, deviceInterface, "Class"),
             "org.freedesktop.DBus.Error.UnknownProperty");

    Link link;
    QVERIFY(connectAndDiscover(address1, &link));
    const QString rowerData = device + QStringLiteral("/service000a/char000b");
    const QString characteristic = QStringLiteral("org.bluez.GattCharacteristic1");
    QCOMPARE(propertySignature(device + "/service000a", "org.bluez.GattService1", "Primary"), "b");
    QCOMPARE(propertySignature(rowerData, characteristic, "Value"), "ay");
    QCOMPARE(propertySignature(rowerData, characteristic, "Flags"), "as");
    QCOMPARE(propertySignature(rowerData + "/desc000d", "org.bluez.GattDescriptor1", "UUID"), "s");

    QDBusMessage list = QDBusMessage::createMethodCall(
        "org.bluez", "/", "org.freedesktop.DBus.ObjectManager", "GetManagedObjects");
    QCOMPARE(QDBusConnection::systemBus().call(list).signature(), "a{oa{sa{sv}}}");
}

void TestBleRig::controlRejectsBadInput()
{
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("AddConsole failed"));
    QVERIFY(m_rig.addConsole({{"name", "no address"}}).isEmpty());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("AddConsole failed.*unknown key"));
    QVERIFY(m_rig.addConsole({{"address", address1}, {"speeed", 3.0}}).isEmpty());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("AddConsole failed.*chunking"));
    QVERIFY(m_rig.addConsole({{"address", address1}, {"chunking", "7"}}).isEmpty());
    QVERIFY(!m_rig.addConsole({{"address", address1}}).isEmpty());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("AddConsole failed.*already"));
    QVERIFY(m_rig.addConsole({{"address", address1.toLower()}}).isEmpty());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("SetAdapter failed"));
    QVERIFY(!m_rig.setAdapter({{"poweredd", false}}));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("SetVisible failed"));
    QVERIFY(!m_rig.setVisible(address2, true));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Stats failed"));
    QVERIFY(m_rig.stats(address2).isEmpty());
}

void TestBleRig::resetForgetsEverything()
{
    QVERIFY(!m_rig.addConsole({{"address", address1}, {"name", "KAYAK 1"}}).isEmpty());
    Link link;
    QVERIFY(connectAndDiscover(address1, &link));
    QVERIFY(m_rig.setAdapter({{"powered", false}, {"startFails", true}}));
    QCOMPARE(m_rig.stats(address1).value("connected").toBool(), false);
    QVERIFY(m_rig.reset());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Stats failed"));
    QVERIFY(m_rig.stats(address1).isEmpty());

    // The adapter is back to its defaults: a scan runs and finds only the new console.
    QVERIFY(!m_rig.addConsole({{"address", address2}, {"name", "KAYAK 2"}}).isEmpty());
    QCOMPARE(scanToEnd(500), QStringList{address2});
}

// The rig's children ------------------------------------------------------------------------

// A zombie has ended already: only its entry waits for a parent to collect it.
static bool processExists(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    return close > 0 && text.mid(close + 2, 1) != "Z";
}

void TestBleRig::childrenDieWithTheTestProcess()
{
    QProcess helper;
    helper.setProcessChannelMode(QProcess::SeparateChannels);
    helper.start(QStringLiteral(BLERIG_CRASH_HELPER), {});
    QVERIFY(helper.waitForFinished(20000));
    QCOMPARE(helper.exitStatus(), QProcess::CrashExit);
    QList<QByteArray> words = helper.readAllStandardOutput().trimmed().split(' ');
    QCOMPARE(words.size(), 3);
    // A crashed rig cannot tidy up its folder; this one is known.
    const QString socket = QString::fromLocal8Bit(words.takeLast());
    QVERIFY(QFileInfo(socket).fileName() == QLatin1String("bus"));
    QDir(QFileInfo(socket).path()).removeRecursively();
    for (const QByteArray& text : std::as_const(words)) {
        const qint64 pid = text.toLongLong();
        QVERIFY(pid > 0);
        QTRY_VERIFY_WITH_TIMEOUT(!processExists(pid), waitMs);
    }
}

void TestBleRig::stopEndsBothChildren()
{
    const qint64 busPid = m_rig.busPid();
    const qint64 simulatorPid = m_rig.simulatorPid();
    QVERIFY(busPid > 0 && simulatorPid > 0);
    QVERIFY(processExists(busPid));
    QVERIFY(processExists(simulatorPid));
    m_rig.stop();
    QVERIFY(!m_rig.isRunning());
    QVERIFY(!processExists(busPid));
    QVERIFY(!processExists(simulatorPid));
    QCOMPARE(m_rig.busPid(), 0);
}

QTEST_GUILESS_MAIN(TestBleRig)

#include "tst_blerig.moc"
