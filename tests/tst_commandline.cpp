#include "InstalledFakeDisplays.h"
#include "VarnoctlRun.h"
#include "simulated/SimulatedEdid.h"

#include <QtTest/QtTest>

class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_displays.reset(new InstalledFakeDisplays);
        m_displays->addDisplayMonitor(QStringLiteral("card0-DP-1"), QStringLiteral("Aster 27Q"));
        m_displays->addDisplayMonitor(QStringLiteral("card0-DP-2"), QStringLiteral("Lumen 24F"));
        m_displays->addDisplayMonitor(QStringLiteral("card1-HDMI-A-1"),
                                      QStringLiteral("Lumen 27F"));
        m_displays->control(0, MonitorControl::Brightness) = {10, 50, 100};
    }

    void cleanup()
    {
        m_displays.reset();
    }

    // No monitor is asked anything before the command line is understood.
    void argumentsDecideTheExitCode_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("help") << QStringList{"--help"} << 0;
        QTest::newRow("version") << QStringList{"--version"} << 0;
        QTest::newRow("list") << QStringList{"list"} << 0;
        QTest::newRow("no command") << QStringList{} << 2;
        QTest::newRow("unknown command") << QStringList{"dim"} << 2;
        QTest::newRow("unknown option") << QStringList{"list", "--loud"} << 2;
        QTest::newRow("argument to list") << QStringList{"list", "0"} << 2;
        QTest::newRow("unknown control") << QStringList{"get", "0", "hue"} << 2;
        QTest::newRow("no value") << QStringList{"set", "0", "brightness"} << 2;
        QTest::newRow("not a number") << QStringList{"set", "0", "brightness", "1.5"} << 2;
        QTest::newRow("JSON for set") << QStringList{"set", "0", "contrast", "5", "--json"} << 2;
        QTest::newRow("ambiguous name") << QStringList{"set", "lumen", "contrast", "5"} << 2;
        QTest::newRow("no such name") << QStringList{"get", "orion"} << 2;
        QTest::newRow("no such index") << QStringList{"get", "3"} << 2;
    }

    void argumentsDecideTheExitCode()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        const VarnoctlRun result = runVarnoctl(arguments);
        QCOMPARE(result.exitCode, exitCode);
        QCOMPARE(monitorTraffic(), QStringList());
        QCOMPARE(result.out.isEmpty(), exitCode != 0);
        QCOMPARE(result.err.isEmpty(), exitCode == 0);
    }

    // Beside the three monitors, a nameless one on card0-DP-10, listed by its
    // connector. What names a monitor whole (its connector, its serial
    // number) comes before any part of a name; a connector is matched whole
    // only, also where it stands for a name.
    void aWordSelectsTheMonitorItNames_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("firstUnplugged");
        QTest::addColumn<QString>("selected"); // the monitor read, none for a usage error
        QTest::newRow("part of a name") << "27f" << false << "physical 2.0";
        QTest::newRow("a connector") << "card0-DP-1" << false << "physical 0.0";
        QTest::newRow("a connector without its card") << "dp-1" << false << "physical 0.0";
        QTest::newRow("a connector whose monitor is unplugged") << "DP-1" << true << "";
        QTest::newRow("a nameless monitor's connector") << "DP-10" << false << "physical 3.0";
        QTest::newRow("a serial number") << "lmn-24" << false << "physical 1.0";
        QTest::newRow("a serial number, part of another's name")
            << "27q" << false << "physical 2.0";
        // An unset variable in a script must not select a monitor.
        QTest::newRow("nothing") << "" << true << "";
    }

    void aWordSelectsTheMonitorItNames()
    {
        QFETCH(QString, word);
        QFETCH(bool, firstUnplugged);
        QFETCH(QString, selected);
        m_displays->displayMonitor(1).edid = SimulatedEdid{"LMN", 0, "Lumen 24F", "LMN-24"}.block();
        m_displays->displayMonitor(2).edid = SimulatedEdid{"LMN", 0, "Lumen 27F", "27Q"}.block();
        m_displays->addDisplayMonitor(QStringLiteral("card0-DP-10"), QString());
        if (firstUnplugged)
            m_displays->detachDisplayMonitor(0);
        const VarnoctlRun result = runVarnoctl({"get", word, "contrast"});
        QCOMPARE(result.exitCode, selected.isEmpty() ? 2 : 0);
        QCOMPARE(monitorTraffic(),
                 selected.isEmpty() ? QStringList()
                                    : QStringList{"GetMonitorContrast(" + selected + ")"});
    }

    void setReadsAndWritesOnlyTheNamedControl_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("traffic");
        QTest::addColumn<int>("exitCode");
        const QString read = QStringLiteral("GetMonitorBrightness(physical 0.0)");
        QTest::newRow("absolute")
            << QStringList{"set", "aster", "green-gain", "70"}
            << QStringList{"GetMonitorRedGreenOrBlueGain(physical 0.0, 1)",
                           "SetMonitorRedGreenOrBlueGain(physical 0.0, 1, 70)"}
            << 0;
        QTest::newRow("up, to the maximum")
            << QStringList{"set", "0", "brightness", "+60"}
            << QStringList{read, "SetMonitorBrightness(physical 0.0, 100)"} << 0;
        QTest::newRow("down, to the minimum")
            << QStringList{"set", "0", "brightness", "-45"}
            << QStringList{read, "SetMonitorBrightness(physical 0.0, 10)"} << 0;
        QTest::newRow("down past zero, to the minimum")
            << QStringList{"set", "0", "brightness", "-60"}
            << QStringList{read, "SetMonitorBrightness(physical 0.0, 10)"} << 0;
        QTest::newRow("the minimum")
            << QStringList{"set", "0", "brightness", "10"}
            << QStringList{read, "SetMonitorBrightness(physical 0.0, 10)"} << 0;
        QTest::newRow("the maximum")
            << QStringList{"set", "0", "brightness", "100"}
            << QStringList{read, "SetMonitorBrightness(physical 0.0, 100)"} << 0;
        QTest::newRow("below the range")
            << QStringList{"set", "0", "brightness", "9"} << QStringList{read} << 1;
        QTest::newRow("above the range")
            << QStringList{"set", "0", "brightness", "101"} << QStringList{read} << 1;
        // A reading of 0 of 0 is no value to change.
        QTest::newRow("up from 0 of 0") << QStringList{"set", "1", "contrast", "+10"}
                                        << QStringList{"GetMonitorContrast(physical 1.0)"} << 1;
    }

    void setReadsAndWritesOnlyTheNamedControl()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, traffic);
        QFETCH(int, exitCode);
        m_displays->control(1, MonitorControl::Contrast) = {0, 0, 0};
        QCOMPARE(runVarnoctl(arguments).exitCode, exitCode);
        QCOMPARE(monitorTraffic(), traffic);
    }

    // It costs its attempts once, and one more read tells that the monitor,
    // not its brightness, is at fault; its other controls are not asked.
    void aMonitorThatDoesNotAnswerFailsTheCommand()
    {
        m_displays->setSilent(1, true);
        const VarnoctlRun result = runVarnoctl({"get", "24f"});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(monitorTraffic().join(' '),
                 QStringList(5, "GetMonitorBrightness(physical 1.0) Sleep(100)").join(' ')
                     + " GetMonitorContrast(physical 1.0)");
        QVERIFY(result.out.isEmpty());
        QCOMPARE(result.err, QStringLiteral("varnoctl: monitor 1 (Lumen 24F) does not answer\n"));
    }

    void allSetsEveryMonitorThatTakesTheValue()
    {
        m_displays->control(1, MonitorControl::Contrast).refusesWrites = true;
        const VarnoctlRun result = runVarnoctl({"set", "all", "contrast", "30"});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(monitorTraffic().filter("Set"),
                 (QStringList{"SetMonitorContrast(physical 0.0, 30)",
                              "SetMonitorContrast(physical 1.0, 30)",
                              "SetMonitorContrast(physical 2.0, 30)"}));
        QCOMPARE(result.out, QStringLiteral("0\tcontrast\t30\t0\t100\n2\tcontrast\t30\t0\t100\n"));
        QVERIFY2(result.err.contains("monitor 1 (Lumen 24F)"), qPrintable(result.err));
    }

    // Without a control named, one the monitor does not support is left out.
    void jsonHoldsWhatTheMonitorsGave()
    {
        m_displays->displayMonitor(0).edid = SimulatedEdid{"VRN", 0, "Aster 27Q", "AST-1"}.block();
        const VarnoctlRun list = runVarnoctl({"list", "--json"});
        QCOMPARE(QJsonDocument::fromJson(list.out.toUtf8()), QJsonDocument::fromJson(R"([
            {"index": 0, "name": "Aster 27Q", "connector": "card0-DP-1", "manufacturer": "VRN",
             "serialNumber": "AST-1"},
            {"index": 1, "name": "Lumen 24F", "connector": "card0-DP-2", "manufacturer": "",
             "serialNumber": ""},
            {"index": 2, "name": "Lumen 27F", "connector": "card1-HDMI-A-1", "manufacturer": "",
             "serialNumber": ""}])"));

        m_displays->control(0, MonitorControl::RedDrive).unsupported = true;
        const VarnoctlRun get = runVarnoctl({"get", "--json", "aster"});
        QCOMPARE(get.exitCode, 0);
        const QJsonArray monitors = QJsonDocument::fromJson(get.out.toUtf8()).array();
        QCOMPARE(monitors.size(), 1);
        const QJsonObject controls = monitors.at(0)["controls"].toObject();
        QCOMPARE(controls.keys(),
                 (QStringList{"blue-drive", "blue-gain", "brightness", "contrast", "green-drive",
                              "green-gain", "red-gain"}));
        QCOMPARE(controls["brightness"].toObject(),
                 (QJsonObject{{"value", 50}, {"minimum", 10}, {"maximum", 100}}));
    }

    void getReadsEveryMonitorItNames_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("monitorsRead");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("error");
        // How the monitor lacks its red drive: it says so, or it answers
        // nothing, which one more read of another control tells from silence.
        QTest::addColumn<bool>("answersNothing");
        const QString lacking =
            QStringLiteral("varnoctl: monitor 0 (Aster 27Q) does not support red-drive\n");
        QTest::newRow("every monitor")
            << QStringList{"get"} << QStringList{"physical 0.0", "physical 1.0", "physical 2.0"}
            << 0 << QString() << false;
        QTest::newRow("every monitor, one answering nothing for a control")
            << QStringList{"get"} << QStringList{"physical 0.0", "physical 1.0", "physical 2.0"}
            << 0 << QString() << true;
        QTest::newRow("an unsupported control")
            << QStringList{"get", "aster", "red-drive"} << QStringList{"physical 0.0"} << 1
            << lacking << false;
        QTest::newRow("a control answering nothing")
            << QStringList{"get", "aster", "red-drive"} << QStringList{"physical 0.0"} << 1
            << lacking << true;
    }

    void getReadsEveryMonitorItNames()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, monitorsRead);
        QFETCH(int, exitCode);
        QFETCH(QString, error);
        QFETCH(bool, answersNothing);
        (answersNothing ? m_displays->control(0, MonitorControl::RedDrive).neverAnswers
                        : m_displays->control(0, MonitorControl::RedDrive).unsupported) = true;
        const VarnoctlRun result = runVarnoctl(arguments);
        QCOMPARE(result.exitCode, exitCode);
        QCOMPARE(result.err, error);
        QStringList read;
        static const QRegularExpression handle(QStringLiteral("physical \\d+\\.\\d+"));
        for (const QString &call : monitorTraffic().filter(QStringLiteral("Get"))) {
            const QString monitor = handle.match(call).captured();
            if (!read.contains(monitor))
                read.append(monitor);
        }
        QCOMPARE(read, monitorsRead);
    }

private:
    // The DDC/CI reads and writes and the pauses between them, in order.
    QStringList monitorTraffic() const
    {
        static const QRegularExpression traffic(
            QStringLiteral("^((Get|Set)Monitor(Brightness|Contrast|RedGreenOrBlue)|Sleep)"));
        return m_displays->calls().filter(traffic);
    }

    std::unique_ptr<InstalledFakeDisplays> m_displays;
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
