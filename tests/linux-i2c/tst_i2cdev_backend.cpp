#include "EdidBlock.h"
#include "FakeBackend.h"
#include "FakeSysfs.h"
#include "I2cDevDisplaySystem.h"
#include "RecordingClock.h"
#include "SimulatedI2cBuses.h"
#include "VarnoctlRun.h"

#include <QtTest/QtTest>

#include <cerrno>

namespace {

// Minimum, maximum and current value, as the backend publishes them.
QList<uint> levels(const DDCValue &value)
{
    return {value.minimum(), value.maximum(), value.value()};
}

QList<uint> colours(const DDCRgbValue &value)
{
    return levels(value.red()) + levels(value.green()) + levels(value.blue());
}

DDCRgbValue rgb(const DDCRgbValue &stored, uint red, uint green, uint blue)
{
    DDCRgbValue value = stored;
    value.setRed(DDCValue(stored.red().name(), 0, 255, red));
    value.setGreen(DDCValue(stored.green().name(), 0, 255, green));
    value.setBlue(DDCValue(stored.blue().name(), 0, 255, blue));
    return value;
}

const QByteArray asterEdid = EdidBlock::withName("Aster 27Q");
const QString dpNode = QStringLiteral("/dev/i2c-5");
const QString hdmiNode = QStringLiteral("/dev/i2c-3");

BOOL CALLBACK collectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM monitors)
{
    reinterpret_cast<QList<HMONITOR> *>(monitors)->append(monitor);
    return TRUE;
}

QList<HMONITOR> enumerateMonitors()
{
    QList<HMONITOR> monitors;
    EnumDisplayMonitors(nullptr, nullptr, collectMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

HANDLE takePhysicalMonitor(HMONITOR monitor)
{
    PHYSICAL_MONITOR physical = {};
    return GetPhysicalMonitorsFromHMONITOR(monitor, 1, &physical) ? physical.hPhysicalMonitor
                                                                  : nullptr;
}

const QStringList getVcpRequests = {
    "51 82 01 10 ac", "51 82 01 12 ae", "51 82 01 16 aa", "51 82 01 18 a4",
    "51 82 01 1a a6", "51 82 01 6c d0", "51 82 01 6e d2", "51 82 01 70 cc",
};

} // namespace

// The whole backend on the Linux layer: fake sysfs, simulated monitors,
// recorded bus traffic.
class I2cDevBackendTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_log.clear();
        m_sysfs.reset(new FakeSysfs);
        m_sysfs->loadI2cDev();
        m_buses.reset(new SimulatedI2cBuses(&m_log));

        m_sysfs->addConnector(QStringLiteral("card0-DP-1"), "connected",
                              EdidBlock::withExtension(asterEdid, 0), 5);
        m_dp = &m_buses->attach(dpNode, SimulatedDdcMonitor::typical());
        SimulatedDdcMonitor second = SimulatedDdcMonitor::typical();
        second.setFeature(0x10, 80, 30);
        second.setFeature(0x6E, 127, 64);
        m_sysfs->addConnector(QStringLiteral("card0-HDMI-A-1"), "connected",
                              EdidBlock::withoutName(), 3);
        m_hdmi = &m_buses->attach(hdmiNode, second);

        // Buses that are not a connected external display's own: a laptop
        // panel's and a bus no connector names (as a memory module's SPD bus).
        m_sysfs->addConnector(QStringLiteral("card0-eDP-1"), "connected",
                              EdidBlock::withName("Panel"), 1);
        m_buses->attach(QStringLiteral("/dev/i2c-1"), SimulatedDdcMonitor::typical());
        m_buses->attach(QStringLiteral("/dev/i2c-0"), SimulatedDdcMonitor::typical());
        m_sysfsBefore = m_sysfs->snapshot();
    }

    void cleanup()
    {
        m_backend.reset();
        Win32Platform::install(nullptr);
        m_platform.reset();
    }

    void listsMonitorsUnderTheirNames()
    {
        start();
        QCOMPARE(m_backend->monitorCount(), 2u);
        QCOMPARE(m_backend->monitorName(0), QStringLiteral("Aster 27Q"));
        QCOMPARE(m_backend->monitorName(1), QStringLiteral("card0-HDMI-A-1"));
    }

    // Through the Windows calls, each monitor is who its connector's EDID says.
    void identityComesFromTheConnectorsEdid()
    {
        start();
        QCOMPARE(m_backend->monitorManufacturer(0), QStringLiteral("VRN"));
        QCOMPARE(m_backend->monitorSerialNumber(0), QStringLiteral("SN12345"));
        QCOMPARE(m_backend->monitorSerialNumber(1), QStringLiteral("16843009"));
        QCOMPARE(m_platform->openDeviceHandles(), 0);
    }

    void readsEveryControlFromItsCode()
    {
        start();
        QCOMPARE(levels(m_backend->brightness().at(0)), QList<uint>({0, 100, 70}));
        QCOMPARE(levels(m_backend->contrast().at(0)), QList<uint>({0, 100, 75}));
        QCOMPARE(colours(m_backend->rgbDrive().at(0)),
                 QList<uint>({0, 255, 100, 0, 255, 101, 0, 255, 102}));
        QCOMPARE(colours(m_backend->rgbGain().at(0)),
                 QList<uint>({0, 255, 200, 0, 255, 201, 0, 255, 202}));
        QCOMPARE(levels(m_backend->brightness().at(1)), QList<uint>({0, 80, 30}));
        QCOMPARE(levels(m_backend->rgbDrive().at(1).green()), QList<uint>({0, 127, 64}));
    }

    void writesOnlyWhatTheUserAsked()
    {
        start();
        m_log.clear();
        m_backend->setBrightness(0, 42);
        m_backend->setRgbGain(1, rgb(m_backend->rgbGain().at(1), 200, 190, 202));
        m_backend->setRgbDrive(0, rgb(m_backend->rgbDrive().at(0), 100, 101, 0));
        QCOMPARE(
            writes(),
            QStringList({"51 84 03 10 00 2a 82", "51 84 03 18 00 be 1e", "51 84 03 70 00 00 c8"}));
        QCOMPARE(m_dp->current(0x10), 42);
        QCOMPARE(m_hdmi->current(0x18), 190);
        QCOMPARE(m_dp->current(0x70), 0);
        QCOMPARE(m_backend->brightness().at(0).value(), 42u);
    }

    // Its first read fails, the backend's retries pause on the injected clock,
    // its other reads are skipped, and the other monitor is still read.
    void monitorThatStopsAnswering()
    {
        start();
        m_dp->stopAnswering();
        m_hdmi->setFeature(0x12, 100, 33);
        m_log.clear();
        m_backend->refresh();
        QCOMPARE(RecordingClock::retryPauses(m_log), 5);
        QCOMPARE(m_backend->contrast().at(1).value(), 33u);
        QCOMPARE(m_backend->brightness().at(0).value(), 70u);
        m_backend->setBrightness(0, 10);
        QCOMPARE(m_backend->brightness().at(0).value(), 70u);
    }

    void displayChangedBehindItsOutput_data()
    {
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<QByteArray>("edid");
        QByteArray otherSerial = asterEdid;
        ++otherSerial[12];
        QTest::newRow("another monitor") << QByteArray("connected") << EdidBlock::withName("Lumen");
        QTest::newRow("same model, another serial number")
            << QByteArray("connected")
            << EdidBlock::withExtension(EdidBlock::withChecksum(otherSerial), 0);
        QTest::newRow("unplugged")
            << QByteArray("disconnected") << EdidBlock::withExtension(asterEdid, 0);
    }

    // While its output shows another display or none, an entry's reads fail
    // as a silent monitor's do and its writes are refused, without a message
    // on the bus; once its display is back, it is driven again.
    void displayChangedBehindItsOutput()
    {
        QFETCH(QByteArray, status);
        QFETCH(QByteArray, edid);
        start();
        const qsizetype requests = m_dp->requests().size();
        m_sysfs->addConnector(QStringLiteral("card0-DP-1"), status, edid, 5);
        m_log.clear();
        m_backend->setBrightness(0, 10);
        m_backend->refresh();
        QCOMPARE(m_dp->requests().size(), requests);
        QCOMPARE(RecordingClock::retryPauses(m_log), 5);
        m_sysfs->addConnector(QStringLiteral("card0-DP-1"), "connected",
                              EdidBlock::withExtension(asterEdid, 0), 5);
        m_backend->setBrightness(0, 10);
        QCOMPARE(m_dp->current(0x10), 10);
    }

    // As many monitors do when an option of their own menu changes (adaptive
    // sync, HDR): the entry goes on reading and writing.
    void aRewrittenExtensionBlockLeavesTheSameMonitor()
    {
        start();
        m_sysfs->addConnector(QStringLiteral("card0-DP-1"), "connected",
                              EdidBlock::withExtension(asterEdid, 0x40), 5);
        m_backend->setBrightness(0, 10);
        QCOMPARE(m_dp->current(0x10), 10);
    }

    // Listed under its name, asked once a pass without retry pauses while it
    // does not answer, and read in full once it does.
    void aMonitorSilentAtStartIsUsedOnceItAnswers()
    {
        m_dp->stopAnswering();
        startPlatform();
        m_log.clear();
        m_backend.reset(new TestBackend);
        m_backend->init();
        QCOMPARE(m_backend->monitorCount(), 2u);
        QCOMPARE(m_backend->monitorName(0), QStringLiteral("Aster 27Q"));
        QCOMPARE(RecordingClock::retryPauses(m_log), 0);
        m_dp->resumeAnswering();
        m_backend->refresh();
        QCOMPARE(levels(m_backend->brightness().at(0)), QList<uint>({0, 100, 70}));
    }

    // A script's "set 0" or "set DP-1" reaches the monitor that does not
    // answer and fails, never the next one; once it answers, it is set.
    void aSilentMonitorKeepsItsPlaceForVarnoctl()
    {
        m_dp->stopAnswering();
        QCOMPARE(varnoctl({"list"}).out,
                 QStringLiteral("0\tAster 27Q\tcard0-DP-1\tVRN\tSN12345\n"
                                "1\tcard0-HDMI-A-1\tcard0-HDMI-A-1\tVRN\t16843009\n"));
        for (const char *monitor : {"0", "DP-1", "card0-DP-1"})
            QCOMPARE(varnoctl({"set", monitor, "brightness", "10"}).exitCode, 1);
        QCOMPARE(m_hdmi->current(0x10), 30);
        m_dp->resumeAnswering();
        QCOMPARE(varnoctl({"set", "dp-1", "brightness", "10"}).exitCode, 0);
        QCOMPARE(m_dp->current(0x10), 10);
    }

    // A reply that calls the code unsupported ends its read without another
    // message; a Null Message (not ready) is asked again.
    void anUnsupportedCodeIsAskedOnce()
    {
        start();
        m_dp->misbehave(
            {SimulatedDdcMonitor::Fault::Unsupported, SimulatedDdcMonitor::Fault::NullMessage});
        m_log.clear();
        const qsizetype earlier = m_dp->requests().size();
        m_backend->refresh();
        const QList<QByteArray> requests = m_dp->requests().mid(earlier);
        QCOMPARE(requests.count(QByteArray::fromHex(getVcpRequests.at(0).toLatin1())), 1);
        QCOMPARE(requests.count(QByteArray::fromHex(getVcpRequests.at(1).toLatin1())), 2);
        QCOMPARE(RecordingClock::retryPauses(m_log), 1);
    }

    // Start-up, a refresh, writes and shutdown: only the displays' own buses
    // are opened, only 0x37 is addressed (before any transfer), only reads of
    // Varno's controls and the requested writes go out, each exchange under
    // the lock, with no wait longer than the standard's, and sysfs stays as
    // it was.
    void busTrafficIsSafe()
    {
        start();
        m_backend->refresh();
        m_backend->setContrast(1, 60);
        m_backend->setRgbDrive(0, rgb(m_backend->rgbDrive().at(0), 90, 101, 102));
        m_backend.reset();

        QSet<QString> opened;
        QSet<QString> addressed;
        QSet<QString> locked;
        QStringList setRequests;
        for (const QString &entry : std::as_const(m_log)) {
            const QStringList words = entry.split(QLatin1Char(' '));
            const QString &call = words.at(0);
            if (call == QLatin1String("open"))
                opened << words.at(1);
            else if (call == QLatin1String("ioctl"))
                QCOMPARE(words.mid(2), QStringList({"0x703", "0x37"}));
            if (call == QLatin1String("ioctl"))
                addressed << words.at(1);
            else if (call == QLatin1String("lock"))
                locked << words.at(1);
            else if (call == QLatin1String("unlock"))
                locked.remove(words.at(1));
            else if (call == QLatin1String("sleep"))
                QVERIFY2(words.at(1).toInt() <= 50, qPrintable(entry));
            if (call == QLatin1String("write") || call == QLatin1String("read"))
                QVERIFY2(addressed.contains(words.at(1)) && locked.contains(words.at(1)),
                         qPrintable(entry));
            if (call != QLatin1String("write"))
                continue;
            const QString request = words.mid(2).join(QLatin1Char(' '));
            if (!getVcpRequests.contains(request))
                setRequests << request;
        }
        QCOMPARE(opened, QSet<QString>({dpNode, hdmiNode}));
        QCOMPARE(setRequests, QStringList({"51 84 03 12 00 3c 96", "51 84 03 6c 00 5a 8e"}));
        QCOMPARE(m_buses->openDescriptors(), 0);
        QCOMPARE(m_sysfs->snapshot(), m_sysfsBefore);
    }

    void displaysChangedFollowsConnectorStatus_data()
    {
        QTest::addColumn<QString>("connector");
        QTest::addColumn<QByteArray>("status");
        QTest::newRow("unplugged")
            << QStringLiteral("card0-HDMI-A-1") << QByteArray("disconnected");
        QTest::newRow("plugged in") << QStringLiteral("card0-DP-2") << QByteArray("connected");
        QTest::newRow("an empty output") << QStringLiteral("card0-DP-2") << QByteArray("unknown");
    }

    // Seen without bus traffic, and settled by the next enumeration.
    void displaysChangedFollowsConnectorStatus()
    {
        QFETCH(QString, connector);
        QFETCH(QByteArray, status);
        start();
        QVERIFY(!m_platform->displaysChanged());
        m_sysfs->addConnector(connector, status, EdidBlock::withName("Lumen"), 6);
        m_log.clear();
        QVERIFY(m_platform->displaysChanged());
        QCOMPARE(m_log, QStringList());
        m_backend->rediscover();
        QVERIFY(!m_platform->displaysChanged());
    }

    // A monitor unplugged goes with its channel; one plugged into another
    // output is found and read; the one that stays is not asked again.
    void followsMonitorsThatComeAndGo()
    {
        start();
        const qsizetype dpRequests = m_dp->requests().size();
        m_sysfs->addConnector(QStringLiteral("card0-HDMI-A-1"), "disconnected", {}, 3);
        m_backend->rediscover();
        QCOMPARE(m_backend->monitorCount(), 1u);
        QCOMPARE(m_buses->openDescriptors(), 1);

        SimulatedDdcMonitor lumen = SimulatedDdcMonitor::typical();
        lumen.setFeature(0x10, 100, 55);
        m_sysfs->addConnector(QStringLiteral("card0-DP-2"), "connected",
                              EdidBlock::withName("Lumen"), 6);
        SimulatedDdcMonitor &plugged = m_buses->attach(QStringLiteral("/dev/i2c-6"), lumen);
        m_backend->rediscover();
        QCOMPARE(m_backend->monitorCount(), 2u);
        QCOMPARE(m_backend->monitorName(1), QStringLiteral("Lumen"));
        QCOMPARE(m_backend->brightness().at(1).value(), 55u);
        QCOMPARE(m_dp->requests().size(), dpRequests);
        m_backend->setBrightness(1, 20);
        QCOMPARE(plugged.current(0x10), 20);
        QCOMPARE(m_dp->current(0x10), 70);
    }

    // Another monitor on an output that stays connected (a KVM switch, a
    // laptop resumed at another desk) is noticed without a message on any
    // bus, and read and driven as the new monitor it is.
    void aMonitorReplacedOnAConnectedOutputIsNoticed()
    {
        start();
        SimulatedDdcMonitor lumen = SimulatedDdcMonitor::typical();
        lumen.setFeature(0x10, 90, 55);
        SimulatedDdcMonitor &replaced = m_buses->attach(dpNode, lumen);
        m_sysfs->addConnector(QStringLiteral("card0-DP-1"), "connected",
                              EdidBlock::withName("Lumen"), 5);
        QVERIFY(m_platform->displaysChanged());
        QTRY_COMPARE_WITH_TIMEOUT(m_backend->monitorName(0), QStringLiteral("Lumen"), 3000);
        QCOMPARE(levels(m_backend->brightness().at(0)), QList<uint>({0, 90, 55}));
        m_backend->setBrightness(0, 20);
        QCOMPARE(replaced.current(0x10), 20);
        QCOMPARE(m_hdmi->current(0x10), 30);
    }

    // Why no monitor is listed is asked anew at each discovery, and each new
    // piece of advice is given once.
    void theReasonWhyNoneIsListedFollowsTheOutputs_data()
    {
        QTest::addColumn<bool>("moduleLoaded");
        QTest::addColumn<int>("openError");
        QTest::addColumn<DDCApi::NoMonitorReason>("reason");
        QTest::newRow("i2c-dev missing") << false << 0 << DDCApi::NoMonitorReason::ModuleMissing;
        QTest::newRow("no permission on the bus")
            << true << EACCES << DDCApi::NoMonitorReason::NoPermission;
    }

    void theReasonWhyNoneIsListedFollowsTheOutputs()
    {
        QFETCH(bool, moduleLoaded);
        QFETCH(int, openError);
        m_sysfs.reset(new FakeSysfs);
        if (moduleLoaded)
            m_sysfs->loadI2cDev();
        start();
        QCOMPARE(m_backend->noMonitorReason(), DDCApi::NoMonitorReason::NoExternalOutput);
        QSignalSpy reasonChanged(m_backend.get(), &DDCApi::noMonitorReasonChanged);
        if (openError)
            m_buses->refuseOpen(dpNode, openError);
        m_sysfs->addConnector(QStringLiteral("card0-DP-1"), "connected", asterEdid, 5);
        QTRY_COMPARE_WITH_TIMEOUT(reasonChanged.size(), 1, 3000);
        QTEST(m_backend->noMonitorReason(), "reason");
        const QStringList advice = m_backend->platformAdvice();
        QVERIFY(!advice.isEmpty());
        m_backend->rediscover();
        QCOMPARE(m_backend->platformAdvice(), advice);
    }

    // Connected later, an output on the bus of a display already driven is
    // left out all the same, and said so once however often it is seen.
    void anOutputSharingTheBusOfAKeptDisplayIsLeftOut()
    {
        start();
        m_sysfs->addConnector(QStringLiteral("card0-DVI-I-1"), "connected",
                              EdidBlock::withName("Lumen"), 3);
        m_backend->rediscover();
        m_backend->rediscover();
        QCOMPARE(m_backend->monitorCount(), 2u);
        QCOMPARE(m_buses->openDescriptors(), 2);
        QCOMPARE(m_platform->advice(),
                 QStringList({"Lumen (card0-DVI-I-1) is not listed: it shares its DDC bus with "
                              "card0-HDMI-A-1."}));
    }

    void aStaleHandleFails_data()
    {
        QTest::addColumn<bool>("destroyed");
        QTest::addColumn<bool>("unplugged");
        QTest::addColumn<bool>("replugged");
        QTest::newRow("destroyed") << true << false << false;
        QTest::newRow("its monitor unplugged") << false << true << false;
        QTest::newRow("its monitor back") << false << true << true;
    }

    // With handles that were positions, DP-1's old handle would reach the
    // HDMI monitor once DP-1 is gone. A monitor back is driven through a
    // fresh handle.
    void aStaleHandleFails()
    {
        QFETCH(bool, destroyed);
        QFETCH(bool, unplugged);
        QFETCH(bool, replugged);
        startPlatform();
        const HMONITOR monitor = enumerateMonitors().at(0);
        const HANDLE stale = takePhysicalMonitor(monitor);
        if (destroyed)
            QVERIFY(DestroyPhysicalMonitor(stale));
        if (unplugged) {
            m_sysfs->addConnector(QStringLiteral("card0-DP-1"), "disconnected", {}, 5);
            enumerateMonitors();
        }
        if (replugged)
            m_sysfs->addConnector(QStringLiteral("card0-DP-1"), "connected",
                                  EdidBlock::withExtension(asterEdid, 0), 5);
        const QList<HMONITOR> monitors = enumerateMonitors();
        QVERIFY(!SetMonitorBrightness(stale, 10));
        QCOMPARE(DestroyPhysicalMonitor(stale), BOOL(!destroyed));
        MONITORINFOEXW info = {};
        info.cbSize = sizeof(info);
        QVERIFY(!unplugged || !GetMonitorInfoW(monitor, &info));
        QCOMPARE(m_hdmi->current(0x10), 30);
        QCOMPARE(m_dp->current(0x10), 70);
        const HANDLE fresh = takePhysicalMonitor(monitors.at(0));
        QVERIFY(fresh != stale);
        QVERIFY(SetMonitorBrightness(fresh, 10));
        QCOMPARE((unplugged && !replugged ? m_hdmi : m_dp)->current(0x10), 10);
    }

private:
    void startPlatform()
    {
        m_platform.reset(
            new I2cDevDisplaySystem({m_sysfs->root(), QStringLiteral("/dev"), *m_buses, m_clock}));
        Win32Platform::install(m_platform.get());
    }

    void start()
    {
        startPlatform();
        m_backend.reset(new TestBackend);
        m_backend->init();
    }

    // As a process of its own, which discovers the monitors anew.
    VarnoctlRun varnoctl(const QStringList &arguments)
    {
        startPlatform();
        return runVarnoctl(arguments);
    }

    QStringList writes() const
    {
        QStringList result;
        for (const QString &entry : m_log.filter(QRegularExpression(QStringLiteral("^write "))))
            result << entry.section(QLatin1Char(' '), 2);
        return result;
    }

    QStringList m_log;
    std::unique_ptr<FakeSysfs> m_sysfs;
    QMap<QString, QByteArray> m_sysfsBefore;
    std::unique_ptr<SimulatedI2cBuses> m_buses;
    RecordingClock m_clock{&m_log};
    SimulatedDdcMonitor *m_dp = nullptr;
    SimulatedDdcMonitor *m_hdmi = nullptr;
    std::unique_ptr<I2cDevDisplaySystem> m_platform;
    std::unique_ptr<TestBackend> m_backend;
};

QTEST_MAIN(I2cDevBackendTest)
#include "tst_i2cdev_backend.moc"
