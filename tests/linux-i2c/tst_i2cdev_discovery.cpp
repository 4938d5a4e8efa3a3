#include "DisplayDiscovery.h"
#include "DrmConnectorScanner.h"
#include "EdidBlock.h"
#include "FakeSysfs.h"
#include "RecordingClock.h"
#include "SimulatedI2cBuses.h"

#include <QtTest/QtTest>

#include <cerrno>

using Fault = SimulatedDdcMonitor::Fault;

namespace {

QStringList names(const std::vector<DiscoveredDisplay> &displays)
{
    QStringList result;
    for (const DiscoveredDisplay &display : displays)
        result << display.connector.name + QLatin1Char('=') + display.monitorName;
    return result;
}

QString node(int bus)
{
    return QStringLiteral("/dev/i2c-%1").arg(bus);
}

} // namespace

class DiscoveryTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_sysfs.reset(new FakeSysfs);
        m_sysfs->loadI2cDev();
        m_log.clear();
        m_buses.reset(new SimulatedI2cBuses(&m_log));
    }

    void connectorToBus_data()
    {
        QTest::addColumn<QString>("connector");
        QTest::addColumn<QList<int>>("buses");
        QTest::addColumn<int>("bus");
        QTest::newRow("DP: its AUX child") << "card0-DP-1" << QList<int>{7} << 7;
        QTest::newRow("HDMI: ddc link") << "card0-HDMI-A-2" << QList<int>{3} << 3;
        QTest::newRow("DVI: ddc link") << "card1-DVI-D-1" << QList<int>{12} << 12;
        QTest::newRow("DP without child (MST)") << "card0-DP-3" << QList<int>{-1} << -1;
        QTest::newRow("HDMI without ddc link") << "card0-HDMI-A-1" << QList<int>{-1} << -1;
        // A guess could send DDC/CI into a bus that is not the display's.
        QTest::newRow("DP with two children") << "card0-DP-2" << QList<int>{7, 8} << -1;
    }

    void connectorToBus()
    {
        QFETCH(QString, connector);
        QFETCH(QList<int>, buses);
        QFETCH(int, bus);
        m_sysfs->addConnector(connector, "connected", EdidBlock::withName("X"), buses.first());
        for (const int other : buses.mid(1))
            m_sysfs->addBus(
                QStringLiteral("/devices/pci0000:00/0000:00:02.0/drm/card0/") + connector, other);
        const QList<DrmConnector> found = DrmConnectorScanner(m_sysfs->root()).connectedDisplays();
        QCOMPARE(found.size(), 1);
        QCOMPARE(found[0].name, connector);
        QCOMPARE(found[0].bus, bus);
        QCOMPARE(found[0].edid, EdidBlock::withName("X"));
    }

    // A DP connector's "ddc" link leads to a base bus shared with others; only
    // its own AUX bus is the display's.
    void dpIgnoresItsDdcLink()
    {
        m_sysfs->addConnector(QStringLiteral("card0-DP-1"), "connected", {}, 7);
        const QString link = m_sysfs->root()
            + QStringLiteral("/devices/pci0000:00/0000:00:02.0/drm/card0/card0-DP-1/ddc");
        const QString base =
            m_sysfs->root() + QStringLiteral("/devices/pci0000:00/0000:00:02.0/i2c-2");
        QDir().mkpath(base + QStringLiteral("/i2c-dev/i2c-2"));
        QVERIFY(QFile::link(base, link));
        QCOMPARE(DrmConnectorScanner(m_sysfs->root()).connectedDisplays().at(0).bus, 7);
    }

    void onlyConnectedExternalDisplaysInStableOrder()
    {
        for (const char *name : {"card1-DP-1", "card0-HDMI-A-1", "card0-DP-10", "card0-DP-2"})
            m_sysfs->addConnector(QString::fromLatin1(name), "connected", {}, 1);
        m_sysfs->addConnector(QStringLiteral("card0-eDP-1"), "connected", {}, 2);
        m_sysfs->addConnector(QStringLiteral("card0-LVDS-1"), "connected", {}, 3);
        m_sysfs->addConnector(QStringLiteral("card0-DP-3"), "disconnected", {}, 4);
        m_sysfs->addConnector(QStringLiteral("card0-DP-4"), "unknown", {}, 5);
        QDir().mkpath(m_sysfs->root() + QStringLiteral("/class/drm/card0"));
        QDir().mkpath(m_sysfs->root() + QStringLiteral("/class/drm/renderD128"));

        QStringList found;
        for (const DrmConnector &connector :
             DrmConnectorScanner(m_sysfs->root()).connectedDisplays())
            found << connector.name;
        QCOMPARE(found, QStringList({"card0-DP-2", "card0-DP-10", "card0-HDMI-A-1", "card1-DP-1"}));
    }

    void listsDisplaysThatAnswer()
    {
        addDisplay("card0-DP-1", 5, EdidBlock::withName("Aster 27Q"));
        addDisplay("card0-HDMI-A-1", 6, EdidBlock::withoutName());
        SimulatedDdcMonitor busy = SimulatedDdcMonitor::typical();
        busy.misbehave({Fault::NullMessage, Fault::NullMessage});
        addDisplay("card0-DP-2", 8, EdidBlock::withChecksum(QByteArray(128, 1)), busy);
        SimulatedDdcMonitor noBrightness = SimulatedDdcMonitor::typical();
        noBrightness.misbehave({Fault::Unsupported});
        addDisplay("card0-DP-3", 9, EdidBlock::withName("Lumen"), noBrightness);

        const std::vector<DiscoveredDisplay> displays = discover();
        QCOMPARE(names(displays),
                 QStringList({"card0-DP-1=Aster 27Q", "card0-DP-2=", "card0-DP-3=Lumen",
                              "card0-HDMI-A-1="}));
        QCOMPARE(m_buses->openDescriptors(), 4);
    }

    // A display waking up gets longer and longer to answer.
    void probePausesGrow()
    {
        SimulatedDdcMonitor waking = SimulatedDdcMonitor::typical();
        waking.misbehave({Fault::Nak, Fault::NullMessage});
        addDisplay("card0-DP-1", 5, {}, waking);
        QCOMPARE(names(discover()), QStringList({"card0-DP-1="}));
        QCOMPARE(m_log.filter(QStringLiteral("sleep")),
                 QStringList({"sleep 100", "sleep 40", "sleep 200", "sleep 40"}));
    }

    // One line for each display that is left out or does not answer, naming
    // it and saying why, with the system's error text; a second output on a
    // bus already tried leads to no second entry. Displays that do not answer
    // are listed all the same.
    void saysWhyEachDisplayIsLeftOut()
    {
        addDisplay("card0-DP-1", 5, {});
        m_sysfs->addConnector(QStringLiteral("card0-DVI-D-1"), "connected", {}, 5);
        m_sysfs->addConnector(QStringLiteral("card0-HDMI-A-1"), "connected",
                              EdidBlock::withName("Lumen"), -1);
        SimulatedDdcMonitor silent = SimulatedDdcMonitor::typical();
        silent.stopAnswering();
        addDisplay("card0-DP-2", 6, EdidBlock::withName("Aster 27Q"), silent);
        SimulatedDdcMonitor onlyNull = SimulatedDdcMonitor::typical();
        onlyNull.misbehave({Fault::NullMessage, Fault::NullMessage, Fault::NullMessage});
        addDisplay("card0-DP-3", 7, {}, onlyNull);
        addDisplay("card0-DP-4", 8, {});
        m_buses->refuseAddress(node(8), EBUSY);
        m_sysfs->addConnector(QStringLiteral("card0-DP-5"), "connected", {}, 9); // no node
        addDisplay("card0-DP-6", 10, {});
        m_buses->refuseOpen(node(10), EIO);

        DisplayDiscovery discovery(m_sysfs->root(), QStringLiteral("/dev"), *m_buses, m_clock);
        const std::vector<DiscoveredDisplay> displays = discovery.discover();
        QCOMPARE(names(displays),
                 QStringList({"card0-DP-1=", "card0-DP-2=Aster 27Q", "card0-DP-3="}));
        QCOMPARE(m_buses->openDescriptors(), 3);
        const QString silence = QStringLiteral(
            "did not answer over DDC/CI (it may be off in the monitor's menu, or the monitor was "
            "asleep); it is listed and used as soon as it answers.");
        QCOMPARE(discovery.advice(),
                 QStringList({"Aster 27Q (card0-DP-2) " + silence, "card0-DP-3 " + silence,
                              "card0-DP-4 is not listed: a kernel driver owns the DDC/CI address "
                              "on /dev/i2c-8 ("
                                  + qt_error_string(EBUSY) + ").",
                              "card0-DP-5 is not listed: /dev/i2c-9 cannot be used ("
                                  + qt_error_string(ENOENT) + ").",
                              "card0-DP-6 is not listed: /dev/i2c-10 cannot be used ("
                                  + qt_error_string(EIO) + ").",
                              "card0-DVI-D-1 is not listed: it shares its DDC bus with card0-DP-1.",
                              "Lumen (card0-HDMI-A-1) is not listed: its output has no DDC bus (a "
                              "DisplayPort MST monitor, or a driver that shows none)."}));
    }

    void warnsOnceWhenModuleIsMissing()
    {
        FakeSysfs withoutModule;
        withoutModule.addConnector(QStringLiteral("card0-DP-1"), "connected", {}, 5);
        withoutModule.addConnector(QStringLiteral("card0-HDMI-A-1"), "connected", {}, -1);
        m_buses->attach(node(5), SimulatedDdcMonitor::typical());
        DisplayDiscovery discovery(withoutModule.root(), QStringLiteral("/dev"), *m_buses, m_clock);
        QVERIFY(discovery.discover().empty());
        QVERIFY(discovery.advice()
                    .join(QLatin1Char('\n'))
                    .contains(QRegularExpression(
                        QStringLiteral("i2c-dev is not loaded.*modprobe i2c-dev"))));
        QVERIFY(m_log.isEmpty());
    }

    void warnsOnceWhenAccessIsDenied()
    {
        addDisplay("card0-DP-1", 5, {});
        addDisplay("card0-DP-2", 6, {});
        addDisplay("card0-DP-3", 7, {});
        m_buses->refuseOpen(node(5), EACCES);
        m_buses->refuseOpen(node(7), EACCES);
        DisplayDiscovery discovery(m_sysfs->root(), QStringLiteral("/dev"), *m_buses, m_clock);
        QCOMPARE(names(discovery.discover()), QStringList({"card0-DP-2="}));
        const QStringList advice = discovery.advice();
        QCOMPARE(advice.size(), 3);
        QVERIFY(advice[0].contains(QRegularExpression(QStringLiteral("DP-1 .*open /dev/i2c-5 "))));
        QVERIFY(advice[1].contains(QRegularExpression(QStringLiteral("DP-3 .*open /dev/i2c-7 "))));
        QVERIFY(advice[2].contains(QStringLiteral("60-varno-i2c.rules")));
    }

    // Without an external display there is nothing to reach: no advice.
    void noAdviceWithoutDisplays()
    {
        FakeSysfs withoutModule;
        withoutModule.addConnector(QStringLiteral("card0-eDP-1"), "connected", {}, 5);
        DisplayDiscovery discovery(withoutModule.root(), QStringLiteral("/dev"), *m_buses, m_clock);
        QVERIFY(discovery.discover().empty());
        QVERIFY(discovery.advice().isEmpty());
    }

    // The window says why nothing can be controlled. Each output has a bus of
    // its own, unless it has none.
    void saysWhyItFoundNoDisplay_data()
    {
        QTest::addColumn<bool>("moduleLoaded");
        QTest::addColumn<QStringList>("outputs");
        QTest::addColumn<NoMonitorReason>("reason");
        QTest::newRow("a built-in panel alone")
            << true << QStringList{"eDP"} << NoMonitorReason::NoExternalOutput;
        QTest::newRow("i2c-dev not loaded")
            << false << QStringList{"DP"} << NoMonitorReason::ModuleMissing;
        QTest::newRow("every bus denied")
            << true << QStringList{"denied", "no bus"} << NoMonitorReason::NoPermission;
        QTest::newRow("a bus denied, a silent display listed")
            << true << QStringList{"denied", "silent"} << NoMonitorReason::Unexplained;
    }

    void saysWhyItFoundNoDisplay()
    {
        QFETCH(bool, moduleLoaded);
        QFETCH(QStringList, outputs);
        QFETCH(NoMonitorReason, reason);
        if (!moduleLoaded)
            m_sysfs.reset(new FakeSysfs);
        SimulatedDdcMonitor silent = SimulatedDdcMonitor::typical();
        silent.stopAnswering();
        for (int bus = 5; bus < 5 + outputs.size(); ++bus) {
            const QString output = outputs.at(bus - 5);
            m_sysfs->addConnector(
                QStringLiteral("card0-%1-%2").arg(output == "eDP" ? "eDP" : "DP").arg(bus),
                "connected", {}, output == "no bus" ? -1 : bus);
            m_buses->attach(node(bus),
                            output == "silent" ? silent : SimulatedDdcMonitor::typical());
            if (output == "denied")
                m_buses->refuseOpen(node(bus), EACCES);
        }
        DisplayDiscovery discovery(m_sysfs->root(), QStringLiteral("/dev"), *m_buses, m_clock);
        discovery.discover();
        QCOMPARE(discovery.noMonitorReason(), reason);
    }

    // The udev rule's helper: outputs' buses, connected or not (a monitor can
    // be plugged in later), but no laptop panel's, nor any other bus.
    void udevHelperGrantsOnlyOutputBuses()
    {
        m_sysfs->addConnector(QStringLiteral("card0-DP-1"), "connected", {}, 7);
        m_sysfs->addConnector(QStringLiteral("card0-HDMI-A-1"), "disconnected", {}, 3);
        m_sysfs->addConnector(QStringLiteral("card0-eDP-1"), "connected", {}, 1);
        m_sysfs->addBus(QStringLiteral("/devices/pci0000:00/0000:00:02.0"), 4);
        m_sysfs->addBus(QStringLiteral("/devices/pci0000:00/0000:00:1f.4"), 0);
        QStringList granted;
        for (const QString &node : QDir(m_sysfs->root() + QStringLiteral("/class/i2c-dev"))
                                       .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
            if (runUdevRuleProgram(node) == 0)
                granted << node;
        }
        QCOMPARE(granted, QStringList({"i2c-3", "i2c-7"}));
    }

    void everyConnectorTypeOfTheKernel_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("reachable");
        for (const char *type : {"Unknown", "VGA", "DVI-I", "DVI-D", "DVI-A", "Composite", "SVIDEO",
                                 "Component", "DIN", "DP", "HDMI-A", "HDMI-B", "TV", "USB"})
            QTest::newRow(type) << QString::fromLatin1(type) << true;
        for (const char *type : {"LVDS", "eDP", "Virtual", "DSI", "DPI", "Writeback", "SPI"})
            QTest::newRow(type) << QString::fromLatin1(type) << false;
    }

    // Built-in panels and outputs without a monitor are kept out alike by the
    // scanner and by the udev rule's helper.
    void everyConnectorTypeOfTheKernel()
    {
        QFETCH(QString, type);
        QFETCH(bool, reachable);
        m_sysfs->addConnector(QStringLiteral("card0-%1-1").arg(type), "connected", {}, 7);
        QCOMPARE(DrmConnectorScanner(m_sysfs->root()).connectedDisplays().size(),
                 reachable ? 1 : 0);
        const int helper =
            QProcess::execute(QStringLiteral(VARNO_DDC_BUS_HELPER), {"i2c-7", m_sysfs->root()});
        QCOMPARE(helper == 0, reachable);
    }

private:
    // Runs the rule's PROGRAM for the i2c-dev node `kernelName` as udev does:
    // its %k and %n put in, the helper found where the package installs it;
    // the fake sysfs root is added as the helper's last argument.
    int runUdevRuleProgram(const QString &kernelName) const
    {
        QFile rules(QStringLiteral(VARNO_UDEV_RULES));
        if (!rules.open(QIODevice::ReadOnly))
            return -1;
        static const QRegularExpression program(
            QStringLiteral("^SUBSYSTEM==\"i2c-dev\".*PROGRAM=\"([^\"]*)\""),
            QRegularExpression::MultilineOption);
        QString command = program.match(QString::fromUtf8(rules.readAll())).captured(1);
        command.replace(QStringLiteral("%k"), kernelName);
        command.replace(QStringLiteral("%n"), kernelName.section(QLatin1Char('-'), 1));
        QStringList arguments = QProcess::splitCommand(command);
        if (arguments.isEmpty() || arguments.first() != QLatin1String("varno-ddc-bus"))
            return -1;
        arguments.removeFirst();
        return QProcess::execute(QStringLiteral(VARNO_DDC_BUS_HELPER),
                                 arguments << m_sysfs->root());
    }

    void addDisplay(const char *connector, int bus, const QByteArray &edid,
                    const SimulatedDdcMonitor &monitor = SimulatedDdcMonitor::typical())
    {
        m_sysfs->addConnector(QString::fromLatin1(connector), "connected", edid, bus);
        m_buses->attach(node(bus), monitor);
    }

    std::vector<DiscoveredDisplay> discover()
    {
        return DisplayDiscovery(m_sysfs->root(), QStringLiteral("/dev"), *m_buses, m_clock)
            .discover();
    }

    std::unique_ptr<FakeSysfs> m_sysfs;
    QStringList m_log;
    std::unique_ptr<SimulatedI2cBuses> m_buses;
    RecordingClock m_clock{&m_log};
};

QTEST_GUILESS_MAIN(DiscoveryTest)
#include "tst_i2cdev_discovery.moc"
