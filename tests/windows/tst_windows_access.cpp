#include "DDCMonitorAccess.h"

#include <QtCore/QSaveFile>
#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

#include <algorithm>

// The monitor access as Windows runs it: under Wine, on two display monitors
// (Display1 and Display2), against the simulated dxva2.dll beside this
// program, which starts a simulation of its own for each test.
namespace {

using Control = DDCMonitorAccess::Control;
using Outcome = DDCReadPolicy::Outcome;
using Write = DDCMonitorAccess::Write;

class SimulatedMonitors
{
public:
    // Starts a simulation from the given settings lines, and logs its calls.
    bool start(const QString &settings)
    {
        const QString file = m_directory.filePath(QStringLiteral("settings"));
        QFile written(file);
        if (!written.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        written.write((settings + QStringLiteral("\nlog = ") + logFile() + '\n').toLocal8Bit());
        written.close();
        QFile::remove(logFile());
        return simulatorFunction<BOOL(WINAPI *)(const char *)>("SimulateMonitors")(
            QFile::encodeName(QDir::toNativeSeparators(file)).constData());
    }

    QStringList calls() const
    {
        QFile log(logFile());
        log.open(QIODevice::ReadOnly | QIODevice::Text);
        return QString::fromLocal8Bit(log.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    int openHandles() const
    {
        return int(simulatorFunction<DWORD(WINAPI *)()>("OpenPhysicalMonitors")());
    }

    void changeDisplayMode() const
    {
        simulatorFunction<void(WINAPI *)()>("ChangeDisplayMode")();
    }

private:
    template <typename Function>
    static Function simulatorFunction(const char *name)
    {
        const auto function = reinterpret_cast<Function>(
            reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"dxva2.dll"), name)));
        if (!function)
            qFatal("The dxva2.dll beside the program is not the simulated one");
        return function;
    }

    QString logFile() const
    {
        return QDir::toNativeSeparators(m_directory.filePath(QStringLiteral("calls.log")));
    }

    QTemporaryDir m_directory;
};

// The simulated monitors discovered, with a pass of reads begun. Bound as
// `auto &&[monitors, access] = Discovered();`, it lasts as long as the test.
struct Discovered
{
    explicit Discovered(std::function<void()> handleEnded = {})
        : access(monitors, {}, std::move(handleEnded))
    {
        access.discover();
        access.beginPass();
    }

    QList<MonitorData> monitors;
    DDCMonitorAccess access;
};

// Has run-under-wine.sh change the X server's outputs (xrandr's arguments),
// and waits until Windows lists that many monitors, each with who it is.
// Wine notices in a process of its own, and rewrites the monitors' registry
// keys for each X event of a change: a monitor may be listed for a moment
// without its EDID, so the list has to hold for a while.
bool changeOutputs(const QByteArray &arguments, qsizetype count)
{
    QSaveFile request(qEnvironmentVariable("VARNO_XRANDR_REQUEST"));
    if (!request.open(QIODevice::WriteOnly) || request.write(arguments) < 0 || !request.commit())
        return false;
    int steady = 0;
    return QTest::qWaitFor(
        [&] {
            QList<MonitorData> monitors;
            DDCMonitorAccess(monitors).discover();
            const bool listed = monitors.size() == count
                && std::all_of(monitors.cbegin(), monitors.cend(), [](const MonitorData &monitor) {
                                    return !monitor.identity.key.isEmpty();
                                });
            steady = listed ? steady + 1 : 0;
            return steady == 20;
        },
        10000);
}

} // namespace

class WindowsAccessTest : public QObject
{
    Q_OBJECT

private slots:
    // Whatever a test did, every physical monitor it was handed is released
    // once its access has gone.
    void cleanup()
    {
        QCOMPARE(m_simulated.openHandles(), 0);
    }

    // A display duplicated on several monitors has a physical monitor for
    // each; Windows does not tell which is at which target, so each is named
    // by its own description, and driven on its own. Windows may hand out 0
    // as a handle; it is driven and released like any.
    void everyPhysicalMonitorOfADuplicatedDisplayIsListed()
    {
        QVERIFY(m_simulated.start(
            QStringLiteral("display1 = 0 7\nmonitor7.description = Projector\ndisplay2 = 3")));
        auto &&[monitors, access] = Discovered();

        QCOMPARE(monitors.size(), 3);
        QCOMPARE(monitors.at(0).displayName, QStringLiteral("Generic PnP Monitor"));
        QCOMPARE(DDCMonitorAccess::connector(monitors.at(0)), QStringLiteral("\\\\.\\DISPLAY1#1"));
        QCOMPARE(monitors.at(1).displayName, QStringLiteral("Projector"));
        QCOMPARE(DDCMonitorAccess::connector(monitors.at(1)), QStringLiteral("\\\\.\\DISPLAY1#2"));
        QCOMPARE(monitors.at(2).displayName, QStringLiteral("Display2"));
        QCOMPARE(DDCMonitorAccess::connector(monitors.at(2)), QStringLiteral("\\\\.\\DISPLAY2"));
        QCOMPARE(m_simulated.openHandles(), 3);
        QCOMPARE(access.write(1, Control::Brightness, 20), Write::Taken);
        QCOMPARE(access.read(0, Control::Brightness).current, DWORD(70));
        QCOMPARE(access.read(1, Control::Brightness).current, DWORD(20));
        QCOMPARE(access.read(2, Control::Brightness).current, DWORD(40));
        QCOMPARE(m_simulated.calls().filter(QStringLiteral("MonitorBrightness")),
                 (QStringList{"SetMonitorBrightness(monitor7, brightness, 20) -> done",
                              "GetMonitorBrightness(monitor0, brightness) -> 70 of 0..100",
                              "GetMonitorBrightness(monitor7, brightness) -> 20 of 0..100",
                              "GetMonitorBrightness(monitor3, brightness) -> 40 of 0..100"}));
    }

    // Windows lets only the console session reach monitors over DDC/CI.
    void aRemoteSessionListsNoMonitorAndSaysWhy()
    {
        QVERIFY(m_simulated.start(QStringLiteral("session = remote")));
        auto &&[monitors, access] = Discovered();

        QCOMPARE(monitors.size(), 0);
        QCOMPARE(access.noMonitorReason(), NoMonitorReason::RemoteSession);
        QCOMPARE(access.platformAdvice(),
                 QStringList{"The monitors are not listed: Windows lets only the session at the "
                             "computer itself reach them over DDC/CI, and Varno runs in a "
                             "remote one."});
    }

    void everyControlIsWrittenAndReadBack_data()
    {
        QTest::addColumn<int>("control");
        QTest::addColumn<QString>("function");
        QTest::addColumn<QString>("name");
        QTest::newRow("brightness") << int(Control::Brightness) << "Brightness"
                                    << "brightness";
        QTest::newRow("contrast") << int(Control::Contrast) << "Contrast"
                                  << "contrast";
        const QString drive = QStringLiteral("RedGreenOrBlueDrive");
        const QString gain = QStringLiteral("RedGreenOrBlueGain");
        QTest::newRow("red drive") << int(Control::RedDrive) << drive << "red-drive";
        QTest::newRow("green drive") << int(Control::GreenDrive) << drive << "green-drive";
        QTest::newRow("blue drive") << int(Control::BlueDrive) << drive << "blue-drive";
        QTest::newRow("red gain") << int(Control::RedGain) << gain << "red-gain";
        QTest::newRow("green gain") << int(Control::GreenGain) << gain << "green-gain";
        QTest::newRow("blue gain") << int(Control::BlueGain) << gain << "blue-gain";
    }

    void everyControlIsWrittenAndReadBack()
    {
        QFETCH(int, control);
        QFETCH(QString, function);
        QFETCH(QString, name);
        QVERIFY(m_simulated.start(QString()));
        auto &&[monitors, access] = Discovered();

        QCOMPARE(access.write(1, Control(control), 33), Write::Taken);
        const DDCMonitorAccess::Reading reading = access.read(1, Control(control));
        QVERIFY(reading.answered());
        QCOMPARE(reading.minimum, DWORD(0));
        QCOMPARE(reading.current, DWORD(33));
        QCOMPARE(reading.maximum, DWORD(100));
        QCOMPARE(
            m_simulated.calls().filter(QStringLiteral("(monitor2")),
            (QStringList{
                QStringLiteral("SetMonitor%1(monitor2, %2, 33) -> done").arg(function, name),
                QStringLiteral("GetMonitorCapabilities(monitor2) -> 0x36"),
                QStringLiteral("GetMonitor%1(monitor2, %2) -> 33 of 0..100").arg(function, name)}));
    }

    // An unsupported control has answered: not asked again, and the monitor
    // is not taken for silent.
    void anUnsupportedControlIsAskedOnce()
    {
        QVERIFY(m_simulated.start(QStringLiteral("monitor1.unsupported = contrast")));
        auto &&[monitors, access] = Discovered();

        QCOMPARE(access.read(0, Control::Contrast).outcome, Outcome::Unsupported);
        QVERIFY(access.read(0, Control::Brightness).answered());
        QCOMPARE(m_simulated.calls().filter(QStringLiteral("GetMonitorContrast")).size(), 1);
    }

    // A silent monitor costs its attempts once a pass, and one more read tells
    // that the monitor, not its brightness, is at fault; one that misses some
    // reads is read in the end. Neither is asked for its capabilities again.
    void aSilentMonitorCostsOneReadAPass()
    {
        QVERIFY(
            m_simulated.start(QStringLiteral("monitor1.silent = yes\nmonitor2.misses-reads = 2")));
        auto &&[monitors, access] = Discovered();

        QCOMPARE(access.read(0, Control::Brightness).outcome, Outcome::Failed);
        QCOMPARE(access.read(0, Control::Contrast).outcome, Outcome::Failed);
        QVERIFY(access.read(1, Control::Brightness).answered());
        QCOMPARE(m_simulated.calls().filter(QStringLiteral("(monitor1")).size(), 7);
        QCOMPARE(m_simulated.calls().filter(QStringLiteral("(monitor2")).size(), 4);
        access.beginPass();
        QCOMPARE(access.read(0, Control::Brightness).outcome, Outcome::Failed);
        QCOMPARE(m_simulated.calls().filter(QStringLiteral("(monitor1")).size(), 8);
    }

    // Most monitors lack per-channel drive. Whether the capabilities leave it
    // out, the setting is disabled, or every reading is 0 of 0, the control
    // is unsupported and the monitor answers.
    void aControlTheMonitorLacksLeavesItsOthersInUse_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<int>("calls");
        QTest::newRow("left out of its capabilities")
            << "monitor1.capabilities = brightness contrast gain" << Outcome::Unsupported << 0;
        QTest::newRow("a disabled setting")
            << "monitor1.disabled = red-drive" << Outcome::Failed << 5;
        QTest::newRow("a range of 0") << "monitor1.maximum = 0" << Outcome::Unsupported << 1;
    }

    void aControlTheMonitorLacksLeavesItsOthersInUse()
    {
        QFETCH(QString, settings);
        QFETCH(int, calls);
        QVERIFY(m_simulated.start(settings));
        auto &&[monitors, access] = Discovered();

        QTEST(access.read(0, Control::RedDrive).outcome, "outcome");
        access.read(0, Control::Contrast);
        QVERIFY(access.isAnswering(0));
        QVERIFY(monitors.at(0).state.unsupportedControls & 1u << Control::RedDrive);
        QCOMPARE(m_simulated.calls().filter(QStringLiteral("Drive(monitor1")).size(), calls);
    }

    // Windows ends every handle when the display mode changes. Reads and
    // writes through one fail at once, without retries and without making the
    // monitor silent; a rediscovery, through the real calls, takes fresh
    // ones, with the ranges of the new mode.
    void aChangeOfDisplayModeEndsEveryHandle()
    {
        QVERIFY(m_simulated.start(QStringLiteral("monitor2.new-mode-maximum = 50")));
        int ended = 0;
        auto &&[monitors, access] = Discovered([&] { ++ended; });
        QCOMPARE(access.read(1, Control::Brightness).maximum, DWORD(100));

        m_simulated.changeDisplayMode();
        QCOMPARE(access.read(1, Control::Contrast).outcome, Outcome::Lost);
        QCOMPARE(access.read(1, Control::Brightness).outcome, Outcome::Lost);
        QCOMPARE(access.write(0, Control::Brightness, 10), Write::Lost);
        QCOMPARE(ended, 2);
        QVERIFY(access.isAnswering(1));
        QCOMPARE(m_simulated.calls().filter(QStringLiteral("0xC026258D")).size(), 2);

        QCOMPARE(access.rediscover(), (QList<qsizetype>{0, 1}));
        const DDCMonitorAccess::Reading reading = access.read(1, Control::Brightness);
        QVERIFY(reading.answered());
        QCOMPARE(reading.maximum, DWORD(50));
        QCOMPARE(monitors.at(1).state.readings[Control::Brightness].maximum, DWORD(50));
        QCOMPARE(m_simulated.openHandles(), 2);
    }

    // A monitor that went is no longer listed, and one that came back is
    // listed as new, with who it is, and reached through a handle of its own:
    // every rediscovery lists the monitors as Windows lists them then.
    void aMonitorThatCameBackIsListedAgain()
    {
        if (qEnvironmentVariableIsEmpty("VARNO_XRANDR_REQUEST"))
            QSKIP("Only run-under-wine.sh --edid lets a monitor go and come back");
        QVERIFY(m_simulated.start(QString()));
        auto &&[monitors, access] = Discovered();
        QCOMPARE(monitors.size(), 1);

        QVERIFY(changeOutputs("--output screen --off --fb 1920x1080", 0));
        QCOMPARE(access.rediscover(), QList<qsizetype>{});
        QCOMPARE(m_simulated.openHandles(), 0);
        QVERIFY(changeOutputs("--output screen --auto", 1));
        QCOMPARE(access.rediscover(), QList<qsizetype>{-1});
        QCOMPARE(monitors.at(0).identity.serialNumber, QStringLiteral("AST-0001"));
        access.beginPass();
        QVERIFY(access.read(0, Control::Brightness).answered());
        QCOMPARE(m_simulated.openHandles(), 1);
    }

    // A write whose message the bus lost is made once more; one that the
    // monitor refused (a disabled setting) or lacks, never.
    void aWriteIsMadeAgainOnlyWhenItWasLost_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<Write>("written");
        QTest::addColumn<int>("writes");
        QTest::addColumn<DWORD>("brightness");
        QTest::newRow("lost once") << "monitor1.drops-writes = 1" << Write::Taken << 2 << DWORD(10);
        QTest::newRow("lost twice")
            << "monitor1.drops-writes = 2" << Write::Unanswered << 2 << DWORD(0);
        QTest::newRow("refused") << "monitor1.refuses-writes = yes" << Write::Refused << 1
                                 << DWORD(0);
        QTest::newRow("unsupported")
            << "monitor1.unsupported = brightness" << Write::Refused << 1 << DWORD(0);
    }

    void aWriteIsMadeAgainOnlyWhenItWasLost()
    {
        QFETCH(QString, settings);
        QFETCH(int, writes);
        QVERIFY(m_simulated.start(settings));
        auto &&[monitors, access] = Discovered();

        QTEST(access.write(0, Control::Brightness, 10), "written");
        QCOMPARE(m_simulated.calls().filter(QStringLiteral("SetMonitorBrightness")).size(), writes);
        QTEST(monitors.at(0).state.readings[Control::Brightness].current, "brightness");
    }

    // Read through the null handle, which is also the first monitor's, it
    // would show that monitor's values.
    void aDisplayWithoutPhysicalMonitorIsListedAndNotAsked()
    {
        QVERIFY(m_simulated.start(QStringLiteral("display1 = 0\ndisplay2 =")));
        auto &&[monitors, access] = Discovered();

        QCOMPARE(monitors.size(), 2);
        QCOMPARE(monitors.at(1).displayName, QStringLiteral("Display2"));
        QCOMPARE(access.read(1, Control::Brightness).outcome, Outcome::Failed);
        QCOMPARE(access.write(1, Control::Brightness, 10), Write::Refused);
        const QStringList monitorCalls =
            m_simulated.calls().filter(QRegularExpression(QStringLiteral("^(Get|Set)Monitor")));
        QVERIFY2(monitorCalls.isEmpty(), qPrintable(monitorCalls.join('\n')));
    }

private:
    SimulatedMonitors m_simulated;
};

QTEST_GUILESS_MAIN(WindowsAccessTest)
#include "tst_windows_access.moc"
