#include "FakeBackend.h"
#include "simulated/SimulatedEdid.h"

#include <QtTest/QtTest>

namespace {

// The lists of the backend hold one entry per monitor, in the same order.
void verifyAligned(DDCWinApi &backend)
{
    const auto count = qsizetype(backend.monitorCount());
    QCOMPARE(backend.brightness().size(), count);
    QCOMPARE(backend.contrast().size(), count);
    QCOMPARE(backend.rgbDrive().size(), count);
    QCOMPARE(backend.rgbGain().size(), count);
}

} // namespace

class DiscoveryTest : public QObject
{
    Q_OBJECT

private slots:
    void oneMonitorIsFoundThroughTheWindowsCallSequence_data()
    {
        QTest::addColumn<bool>("predatingVirtualModes");
        QTest::addColumn<QStringList>("configurationQueries");
        QTest::newRow("Windows 10")
            << false
            << QStringList{"GetDisplayConfigBufferSizes(0x12)", "QueryDisplayConfig(0x12, 1, 2)"};
        QTest::newRow("Windows 8")
            << true
            << QStringList{"GetDisplayConfigBufferSizes(0x12)", "GetDisplayConfigBufferSizes(0x2)",
                           "QueryDisplayConfig(0x2, 1, 2)"};
    }

    void oneMonitorIsFoundThroughTheWindowsCallSequence()
    {
        QFETCH(bool, predatingVirtualModes);
        QFETCH(QStringList, configurationQueries);
        InstalledFakeDisplays displays;
        displays.setPredatingVirtualModes(predatingVirtualModes);
        displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY1"), QStringLiteral("Aster 27Q"));
        TestBackend backend;
        backend.init();

        QCOMPARE(namesOf(backend), QStringList{QStringLiteral("Aster 27Q")});
        const QStringList expected = QStringList{"EnumDisplayMonitors"} + configurationQueries
            + QStringList{
                "DisplayConfigGetDeviceInfo(1, 84, 0)",
                "GetMonitorInfoW(display 0, 104)",
                "GetNumberOfPhysicalMonitorsFromHMONITOR(display 0)",
                "GetPhysicalMonitorsFromHMONITOR(display 0, 1)",
                "DisplayConfigGetDeviceInfo(2, 420, 1000)",
            };
        QCOMPARE(displays.calls().mid(0, expected.size()), expected);
        verifyAligned(backend);
    }

    void namesFallBackToTheGdiDeviceName()
    {
        InstalledFakeDisplays displays;
        displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY1"), QString());
        displays
            .faults(displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY2"),
                                               QStringLiteral("Lost")))
            .targetNameFails = true;
        displays
            .displayMonitor(displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY3"),
                                                       QStringLiteral("Pathless")))
            .hasActivePath = false;
        displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY4"), QStringLiteral("Twin"));
        displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY5"), QStringLiteral("Twin"));
        TestBackend backend;
        backend.init();

        QCOMPARE(
            namesOf(backend),
            (QStringList{"\\\\.\\DISPLAY1", "\\\\.\\DISPLAY2", "\\\\.\\DISPLAY3", "Twin", "Twin"}));
        verifyAligned(backend);
    }

    // The display configuration is asked for once; one path that fails costs
    // its own monitor's name only.
    void aFailingSourceNameQueryCostsThatMonitorOnly()
    {
        InstalledFakeDisplays displays;
        displays
            .faults(displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY1"),
                                               QStringLiteral("First")))
            .sourceNameFails = true;
        displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY2"), QStringLiteral("Second"));
        TestBackend backend;
        backend.init();

        QCOMPARE(namesOf(backend), (QStringList{"\\\\.\\DISPLAY1", "Second"}));
        QCOMPARE(displays.calls().filter(QStringLiteral("QueryDisplayConfig")).size(), 1);
    }

    void monitorInfoFailingCostsThatMonitorOnly()
    {
        InstalledFakeDisplays displays;
        displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY1"), QStringLiteral("One"));
        displays
            .faults(displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY2"),
                                               QStringLiteral("Two")))
            .monitorInfoFails = true;
        displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY3"), QStringLiteral("Three"));
        TestBackend backend;
        backend.init();

        QCOMPARE(namesOf(backend), (QStringList{"One", "Three"}));
        verifyAligned(backend);
    }

    void aGrowingConfigurationIsQueriedAgain()
    {
        InstalledFakeDisplays displays;
        displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY1"), QStringLiteral("One"));
        displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY2"), QStringLiteral("Two"));
        displays.growConfigurationOnce();
        TestBackend backend;
        backend.init();

        QCOMPARE(namesOf(backend), (QStringList{"One", "Two"}));
        const QStringList queries = displays.calls().filter(
            QRegularExpression(QStringLiteral("DisplayConfig(BufferSizes)?\\(")));
        QCOMPARE(
            queries.mid(0, 4),
            (QStringList{"GetDisplayConfigBufferSizes(0x12)", "QueryDisplayConfig(0x12, 1, 2)",
                         "GetDisplayConfigBufferSizes(0x12)", "QueryDisplayConfig(0x12, 2, 4)"}));
    }

    // A display duplicated on two monitors (a laptop mirrored to a
    // projector) has a physical monitor for each, but Windows does not tell
    // which is at which target: each is listed, named by its own description,
    // and driven on its own. Windows may hand out the handle 0 like any other.
    void everyPhysicalMonitorOfADuplicatedDisplayIsListed_data()
    {
        QTest::addColumn<bool>("firstHandleIsZero");
        QTest::newRow("handles from 1") << false;
        QTest::newRow("first handle 0") << true;
    }

    void everyPhysicalMonitorOfADuplicatedDisplayIsListed()
    {
        QFETCH(bool, firstHandleIsZero);
        InstalledFakeDisplays displays;
        const int monitor =
            displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY1"), QStringLiteral("Wall"));
        displays.displayMonitor(monitor).physicalMonitors.append(
            FakeDisplaySystem::PhysicalMonitor());
        displays.displayMonitor(monitor).physicalMonitors[1].description = "Projector";
        displays.displayMonitor(monitor).edid = SimulatedEdid{"AAA", 0, "Wall", "W-1"}.block();
        displays.control(monitor, MonitorControl::Brightness, 0).current = 77;
        displays.control(monitor, MonitorControl::Brightness, 1).current = 99;
        displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY2"), QStringLiteral("Side"));
        if (firstHandleIsZero)
            displays.setHandleZeroOwner(monitor);
        {
            TestBackend backend;
            backend.init();

            QCOMPARE(namesOf(backend), (QStringList{"Generic PnP Monitor", "Projector", "Side"}));
            QCOMPARE(backend.brightness().at(0).value(), 77u);
            QCOMPARE(backend.brightness().at(1).value(), 99u);
            QCOMPARE(backend.monitorSerialNumber(1), QString());
            backend.setBrightness(1, 20);
            QCOMPARE(displays.control(monitor, MonitorControl::Brightness, 1).current, DWORD(20));
            QCOMPARE(displays.control(monitor, MonitorControl::Brightness, 0).current, DWORD(77));
            QCOMPARE(displays.openPhysicalMonitorHandles(), 3);
        }
        QCOMPARE(displays.openPhysicalMonitorHandles(), 0);
    }

    // Built-in panels never speak DDC/CI: they are left out, with a line of
    // advice, without a physical monitor taken or a read made. A laptop
    // without an external monitor says so.
    void builtInPanelsAreLeftOut_data()
    {
        QTest::addColumn<DISPLAYCONFIG_VIDEO_OUTPUT_TECHNOLOGY>("technology");
        QTest::addColumn<bool>("builtIn");
        QTest::newRow("internal") << DISPLAYCONFIG_OUTPUT_TECHNOLOGY_INTERNAL << true;
        QTest::newRow("embedded DisplayPort")
            << DISPLAYCONFIG_OUTPUT_TECHNOLOGY_DISPLAYPORT_EMBEDDED << true;
        QTest::newRow("embedded UDI") << DISPLAYCONFIG_OUTPUT_TECHNOLOGY_UDI_EMBEDDED << true;
        QTest::newRow("LVDS") << DISPLAYCONFIG_OUTPUT_TECHNOLOGY_LVDS << true;
        QTest::newRow("HDMI") << DISPLAYCONFIG_OUTPUT_TECHNOLOGY_HDMI << false;
    }

    void builtInPanelsAreLeftOut()
    {
        QFETCH(DISPLAYCONFIG_VIDEO_OUTPUT_TECHNOLOGY, technology);
        QFETCH(bool, builtIn);
        InstalledFakeDisplays displays;
        displays
            .displayMonitor(displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY1"),
                                                       QStringLiteral("Panel")))
            .outputTechnology = technology;
        {
            TestBackend backend;
            backend.init();
            QCOMPARE(namesOf(backend), builtIn ? QStringList() : QStringList{"Panel"});
            QCOMPARE(backend.platformAdvice(),
                     builtIn
                         ? QStringList{"Panel (\\\\.\\DISPLAY1) is not listed: it is a built-in "
                                       "panel, which DDC/CI does not reach; Windows sets "
                                       "its brightness."}
                         : QStringList());
            QCOMPARE(backend.noMonitorReason(),
                     builtIn ? DDCApi::NoMonitorReason::NoExternalOutput
                             : DDCApi::NoMonitorReason::Unexplained);
            QCOMPARE(displays.calls().filter(QStringLiteral("Physical")).isEmpty(), builtIn);
        }

        // Beside an external monitor, the panel is still left out.
        displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY2"), QStringLiteral("Aster"));
        TestBackend backend;
        backend.init();
        QCOMPARE(namesOf(backend),
                 builtIn ? QStringList{"Aster"} : (QStringList{"Panel", "Aster"}));
    }

    void theBackendTellsWhyThePlatformFoundNoMonitor()
    {
        InstalledFakeDisplays displays;
        displays.whyNoMonitor = NoMonitorReason::NoPermission;
        TestBackend backend;
        backend.init();
        QCOMPARE(backend.noMonitorReason(), DDCApi::NoMonitorReason::NoPermission);
    }

    // Neither has a handle to be read or written through: they cost no reads
    // and no pauses.
    void aMonitorWithoutPhysicalMonitorIsListedAndNeverAnswers()
    {
        InstalledFakeDisplays displays;
        displays
            .displayMonitor(displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY1"),
                                                       QStringLiteral("Empty")))
            .physicalMonitors.clear();
        displays
            .faults(displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY2"),
                                               QStringLiteral("Refusing")))
            .physicalMonitorQueryFails = true;
        displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY3"), QStringLiteral("Working"));
        TestBackend backend;
        backend.init();
        backend.refresh();
        backend.setBrightness(0, 10);
        backend.setBrightness(1, 10);

        QCOMPARE(namesOf(backend), (QStringList{"Empty", "Refusing", "Working"}));
        verifyAligned(backend);
        QVERIFY(!displays.calls().contains(
            QStringLiteral("GetPhysicalMonitorsFromHMONITOR(display 0, 0)")));
        const QStringList monitorCalls = displays.calls().filter(
            QRegularExpression(QStringLiteral("^(Get|Set)Monitor(?!Info)|^Sleep")));
        QCOMPARE(monitorCalls.size(), monitorCalls.filter(QStringLiteral("physical 2.0")).size());
        QCOMPARE(backend.brightness().at(2).value(), 50u);
        QCOMPARE(backend.brightness().at(0).name(), QStringLiteral("Brightness"));
        QCOMPARE(backend.brightness().at(0).maximum(), 0u);
        QCOMPARE(backend.brightness().at(0).value(), 0u);
        QCOMPARE(backend.answering(), (QList<bool>{false, false, true}));
    }

    // Each row is the middle one of three monitors alike, whose neighbours
    // differ only in their serial numbers.
    void eachMonitorIsWhoTheEdidOfItsOwnDeviceSays_data()
    {
        QTest::addColumn<QByteArray>("edid");
        QTest::addColumn<bool>("targetNameFails");
        QTest::addColumn<QString>("manufacturer");
        QTest::addColumn<QString>("serialNumber");
        const SimulatedEdid twin{"AAA", 0, "Twin", "T-0002"};
        QTest::newRow("listed maker") << twin.block() << false << "Avolites Ltd"
                                      << "T-0002";
        QTest::newRow("serial only in binary")
            << SimulatedEdid{"VRN", 24, "Twin", {}}.block() << false << "VRN"
            << "24";
        QTest::newRow("no EDID") << QByteArray() << false << ""
                                 << "";
        QByteArray broken = twin.block();
        broken[127] = char(broken[127] ^ 1);
        QTest::newRow("checksum wrong") << broken << false << ""
                                        << "";
        QTest::newRow("no device path") << twin.block() << true << ""
                                        << "";
    }

    void eachMonitorIsWhoTheEdidOfItsOwnDeviceSays()
    {
        QFETCH(QByteArray, edid);
        QFETCH(bool, targetNameFails);
        InstalledFakeDisplays displays;
        for (int monitor = 0; monitor < 3; ++monitor) {
            displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY%1").arg(monitor + 1), "Twin");
            const bool tested = monitor == 1;
            displays.displayMonitor(monitor).edid = tested
                ? edid
                : SimulatedEdid{"AAA", 0, "Twin", "T-000" + QByteArray::number(monitor + 1)}
                      .block();
            displays.faults(monitor).targetNameFails = tested && targetNameFails;
        }
        TestBackend backend;
        backend.init();

        QCOMPARE(backend.monitorSerialNumber(0), QStringLiteral("T-0001"));
        QTEST(backend.monitorManufacturer(1), "manufacturer");
        QTEST(backend.monitorSerialNumber(1), "serialNumber");
        QCOMPARE(backend.monitorSerialNumber(2), QStringLiteral("T-0003"));
        // No selection and positions past the monitors answer with nothing.
        QCOMPARE(backend.monitorManufacturer(3), QString());
        QCOMPARE(backend.monitorSerialNumber(4294967295u), QString());
        QCOMPARE(displays.openDeviceHandles(), 0);
    }

    void noMonitorsAtAll()
    {
        InstalledFakeDisplays displays;
        TestBackend backend;
        backend.init();

        QCOMPARE(backend.monitorCount(), 0u);
        verifyAligned(backend);
        displays.clearCalls();
        backend.refresh();
        backend.setBrightness(0, 10);
        QVERIFY(displays.calls().isEmpty());
    }
};

QTEST_GUILESS_MAIN(DiscoveryTest)
#include "tst_discovery.moc"
