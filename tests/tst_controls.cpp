#include "DisplaysWithInput.h"
#include "FakeBackend.h"

#include <QtTest/QtTest>

using Control = MonitorControl;

namespace {

// The reads of the first monitor and every pause, in order and abbreviated:
// K (its capabilities), B, C, D<colour type>, G<colour type>, S for a pause of
// 100 ms, which the backend spends in pieces.
QString readsOfFirstMonitor(const QStringList &calls)
{
    static const QRegularExpression read(QStringLiteral(
        "^GetMonitor(Capabilities|B|C|RedGreenOrBlue(D|G))\\w*\\(physical 0\\.0(?:, (\\d))?\\)$"));
    static const QRegularExpression sleep(QStringLiteral("^Sleep\\((\\d+)\\)$"));
    QStringList reads;
    int paused = 0;
    const auto endPause = [&] {
        if (paused)
            reads << (paused == 100 ? QStringLiteral("S") : QStringLiteral("S%1").arg(paused));
        paused = 0;
    };
    for (const QString &call : calls) {
        const QRegularExpressionMatch match = read.match(call);
        if (const QRegularExpressionMatch piece = sleep.match(call); piece.hasMatch()) {
            paused += piece.captured(1).toInt();
        } else if (match.hasMatch()) {
            endPause();
            reads << (match.captured(1) == QLatin1String("Capabilities")
                          ? QStringLiteral("K")
                          : (match.hasCaptured(2) ? match.captured(2) : match.captured(1)))
                    + match.captured(3);
        }
    }
    endPause();
    return reads.join(QLatin1Char(' '));
}

// Every change signal of the backend, counted.
struct ChangeSpies
{
    explicit ChangeSpies(DDCApi &api)
        : brightness(&api, &DDCApi::brightnessChanged),
          contrast(&api, &DDCApi::contrastChanged),
          rgbDrive(&api, &DDCApi::rgbDriveChanged),
          rgbGain(&api, &DDCApi::rgbGainChanged)
    { }
    QList<qsizetype> counts() const
    {
        return {brightness.size(), contrast.size(), rgbDrive.size(), rgbGain.size()};
    }

    QSignalSpy brightness;
    QSignalSpy contrast;
    QSignalSpy rgbDrive;
    QSignalSpy rgbGain;
};

DDCRgbValue rgb(uint red, uint green, uint blue)
{
    return DDCRgbValue(QStringLiteral("ignored"), DDCValue(QStringLiteral("R"), 1, 200, red),
                       DDCValue(QStringLiteral("G"), 1, 200, green),
                       DDCValue(QStringLiteral("B"), 1, 200, blue));
}

} // namespace

class ControlsTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_displays.reset(new DisplaysWithInput);
        m_displays->addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY1"), QStringLiteral("One"));
        m_displays->addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY2"), QStringLiteral("Two"));
        m_backend.reset(new TestBackend);
    }

    void cleanup()
    {
        m_backend.reset();
        m_displays.reset();
    }

    void startupReadsEveryControlInOrderWithNames()
    {
        displays().control(0, Control::Brightness) = {10, 42, 90};
        displays().control(0, Control::GreenGain) = {0, 0, 255};
        backend().init();

        QCOMPARE(
            displays().calls().filter(QStringLiteral("physical 0.0")),
            (QStringList{"GetMonitorCapabilities(physical 0.0)",
                         "GetMonitorBrightness(physical 0.0)", "GetMonitorContrast(physical 0.0)",
                         "GetMonitorRedGreenOrBlueDrive(physical 0.0, 0)",
                         "GetMonitorRedGreenOrBlueDrive(physical 0.0, 2)",
                         "GetMonitorRedGreenOrBlueDrive(physical 0.0, 1)",
                         "GetMonitorRedGreenOrBlueGain(physical 0.0, 0)",
                         "GetMonitorRedGreenOrBlueGain(physical 0.0, 2)",
                         "GetMonitorRedGreenOrBlueGain(physical 0.0, 1)"}));
        const DDCValue brightness = backend().brightness().at(0);
        QCOMPARE(brightness.name(), QStringLiteral("Brightness"));
        QCOMPARE(brightness.minimum(), 10u);
        QCOMPARE(brightness.value(), 42u);
        QCOMPARE(brightness.maximum(), 90u);
        QCOMPARE(backend().contrast().at(1).name(), QStringLiteral("Contrast"));

        const DDCRgbValue gain = backend().rgbGain().at(0);
        QCOMPARE(gain.name(), QStringLiteral("RGB Gain"));
        QCOMPARE(gain.red().name(), QStringLiteral("Red"));
        QCOMPARE(gain.blue().name(), QStringLiteral("Blue"));
        // A colour at 0 is a reading like any other.
        QCOMPARE(gain.green().name(), QStringLiteral("Green"));
        QCOMPARE(gain.green().value(), 0u);
        QCOMPARE(gain.green().maximum(), 255u);
        QCOMPARE(backend().rgbDrive().at(1).name(), QStringLiteral("RGB Drive"));
    }

    // The read after the one that failed tells that the monitor, not the
    // brightness, is at fault.
    void aMonitorThatDoesNotAnswerIsAskedOnceAPass()
    {
        displays().setSilent(0, true);
        backend().init();
        QCOMPARE(readsOfFirstMonitor(displays().calls()),
                 QStringLiteral("K B S B S B S B S B S C"));
        QCOMPARE(displays().calls().filter(QStringLiteral("physical 1.0")).size(), 9);
        QCOMPARE(backend().brightness().at(0).maximum(), 0u);
        const DDCValue silent = backend().contrast().at(0);
        QCOMPARE(silent.name(), QStringLiteral("Contrast"));
        QCOMPARE(silent.maximum(), 0u);
        QCOMPARE(silent.value(), 0u);
        QCOMPARE(backend().rgbGain().at(0).name(), QStringLiteral("RGB Gain"));

        displays().clearCalls();
        displays().control(0, Control::Brightness).neverAnswers = true;
        backend().refresh();
        backend().refresh();
        QCOMPARE(readsOfFirstMonitor(displays().calls()), QStringLiteral("B B"));

        displays().clearCalls();
        displays().setSilent(0, false);
        displays().control(0, Control::Contrast).failingReads = 2;
        backend().refresh();
        QCOMPARE(readsOfFirstMonitor(displays().calls()),
                 QStringLiteral("B K C S C S C D0 D2 D1 G0 G2 G1"));
    }

    // An earlier "unsupported" must not be taken for the reason of a later failure.
    void anUnsupportedControlIsNotRetried()
    {
        displays().control(0, Control::Brightness).unsupported = true;
        displays().control(0, Control::Contrast).failingReads = 2;
        displays().control(0, Control::RedDrive).unsupported = true;
        backend().init();
        QCOMPARE(readsOfFirstMonitor(displays().calls()),
                 QStringLiteral("K B C S C S C D0 D2 D1 G0 G2 G1"));
    }

    // Asked once, before the monitor's first read while it answers; a control
    // whose bit is left out is never read.
    void capabilitiesAreAskedOnceAndLeaveOutWhatTheyLack_data()
    {
        QTest::addColumn<std::optional<DWORD>>("capabilities");
        QTest::addColumn<bool>("silentAtStartUp");
        QTest::addColumn<QString>("startUp");
        QTest::addColumn<QString>("refresh");
        QTest::addColumn<uint>("unsupported");
        QTest::newRow("without drive") << std::optional<DWORD>(MC_CAPS_BRIGHTNESS | MC_CAPS_CONTRAST
                                                               | MC_CAPS_RED_GREEN_BLUE_GAIN)
                                       << false << "K B C G0 G2 G1"
                                       << "B C G0 G2 G1" << (1u << 2 | 1u << 3 | 1u << 4);
        QTest::newRow("not given by a monitor that answers")
            << std::optional<DWORD>() << false << "K B C D0 D2 D1 G0 G2 G1"
            << "B C D0 D2 D1 G0 G2 G1" << 0u;
        QTest::newRow("not given while it was silent")
            << FakeDisplaySystem::PhysicalMonitor().capabilities << true
            << "K B S B S B S B S B S C"
            << "B K C D0 D2 D1 G0 G2 G1" << 0u;
    }

    void capabilitiesAreAskedOnceAndLeaveOutWhatTheyLack()
    {
        QFETCH(std::optional<DWORD>, capabilities);
        QFETCH(bool, silentAtStartUp);
        displays().displayMonitor(0).physicalMonitors[0].capabilities = capabilities;
        displays().setSilent(0, silentAtStartUp);
        backend().init();
        QTEST(readsOfFirstMonitor(displays().calls()), "startUp");
        displays().setSilent(0, false);
        displays().clearCalls();
        backend().refresh();
        QTEST(readsOfFirstMonitor(displays().calls()), "refresh");
        QTEST(backend().unsupportedControls().at(0), "unsupported");
        backend().refresh();
        QCOMPARE(displays().calls().filter(QStringLiteral("Capabilities")).size(),
                 silentAtStartUp ? 1 : 0);
    }

    void colourChannelsThatDoNotAnswerStayDefault()
    {
        displays().control(0, Control::BlueDrive).neverAnswers = true;
        for (const Control colour : {Control::RedGain, Control::GreenGain, Control::BlueGain})
            displays().control(1, colour).neverAnswers = true;
        backend().init();

        const DDCRgbValue drive = backend().rgbDrive().at(0);
        QCOMPARE(drive.red().name(), QStringLiteral("Red"));
        QVERIFY(drive.blue().name().isNull());
        QCOMPARE(drive.blue().maximum(), 0u);
        const DDCRgbValue gain = backend().rgbGain().at(1);
        QCOMPARE(gain.name(), QStringLiteral("RGB Gain"));
        for (const DDCValue &channel : {gain.red(), gain.green(), gain.blue()})
            QVERIFY(channel.name().isNull() && channel.maximum() == 0);
    }

    // The window disables the controls of a monitor that does not answer, and
    // those it lacks.
    void publishesWhichMonitorsAnswerAndWhichControlsTheyLack()
    {
        displays().control(0, Control::GreenDrive).unsupported = true;
        displays().setSilent(1, true);
        backend().init();
        QCOMPARE(backend().answering(), (QList<bool>{true, false}));
        QCOMPARE(backend().unsupportedControls(), (QList<uint>{1u << 3, 0}));

        QSignalSpy answering(&backend(), &DDCApi::answeringChanged);
        displays().setSilent(1, false);
        displays().setSilent(0, true);
        backend().refresh();
        QCOMPARE(backend().answering(), (QList<bool>{false, true}));
        QCOMPARE(backend().unsupportedControls(), (QList<uint>{1u << 3, 0}));
        QCOMPARE(answering.size(), 2);
    }

    // Many monitors answer nothing at all for a control they lack, or a
    // reading of 0 of 0: neither silences the monitor. The control is asked
    // once a pass, without pauses, and comes back when it answers.
    void aControlThatFailsWhileTheOthersAnswerIsUnsupported_data()
    {
        // The controls, one bit each.
        QTest::addColumn<uint>("controls");
        QTest::addColumn<bool>("rangeOfZero");
        QTest::addColumn<QString>("startUp");
        // A control that answered before decides at once; at first, the next.
        QTest::newRow("red drive fails") << (1u << int(Control::RedDrive)) << false
                                         << "K B C D0 S D0 S D0 S D0 S D0 S B D2 D1 G0 G2 G1";
        QTest::newRow("every drive channel fails")
            << (1u << int(Control::RedDrive) | 1u << int(Control::GreenDrive)
                | 1u << int(Control::BlueDrive))
            << false
            << "K B C D0 S D0 S D0 S D0 S D0 S B D2 S D2 S D2 S D2 S D2 S B "
               "D1 S D1 S D1 S D1 S D1 S B G0 G2 G1";
        QTest::newRow("brightness fails") << (1u << int(Control::Brightness)) << false
                                          << "K B S B S B S B S B S C D0 D2 D1 G0 G2 G1";
        QTest::newRow("contrast of 0..0")
            << (1u << int(Control::Contrast)) << true << "K B C D0 D2 D1 G0 G2 G1";
    }

    void aControlThatFailsWhileTheOthersAnswerIsUnsupported()
    {
        QFETCH(uint, controls);
        QFETCH(bool, rangeOfZero);
        const auto each = [&](const std::function<void(Control)> &change) {
            for (std::size_t control = 0; control < monitorControlCount; ++control) {
                if (controls & 1u << control)
                    change(Control(control));
            }
        };
        each([&](Control control) {
            if (rangeOfZero)
                displays().control(0, control) = {0, 0, 0};
            else
                displays().control(0, control).neverAnswers = true;
        });
        backend().init();
        QTEST(readsOfFirstMonitor(displays().calls()), "startUp");
        QCOMPARE(backend().answering(), (QList<bool>{true, true}));
        QCOMPARE(backend().unsupportedControls(), (QList<uint>{controls, 0}));
        QCOMPARE(backend().brightness().at(0).maximum(), controls & 1u ? 0u : 100u);

        displays().clearCalls();
        backend().refresh();
        QCOMPARE(readsOfFirstMonitor(displays().calls()), QStringLiteral("B C D0 D2 D1 G0 G2 G1"));
        each([&](Control control) { displays().control(0, control) = {0, 20, 100}; });
        backend().refresh();
        QCOMPARE(backend().unsupportedControls(), (QList<uint>{0, 0}));
    }

    void refreshPublishesWhatChangedOncePerMonitor()
    {
        backend().init();
        ChangeSpies spies(backend());
        displays().control(0, Control::Brightness).current = 71;
        displays().control(1, Control::Brightness).current = 72;
        displays().control(1, Control::GreenGain).current = 12;
        backend().refresh();

        QCOMPARE(spies.counts(), (QList<qsizetype>{2, 0, 0, 1}));
        QCOMPARE(backend().brightness().at(0).value(), 71u);
        QCOMPARE(backend().brightness().at(1).value(), 72u);
        QCOMPARE(backend().rgbGain().at(1).green().value(), 12u);

        backend().refresh();
        QCOMPARE(spies.counts(), (QList<qsizetype>{2, 0, 0, 1}));
    }

    // Changes made with the monitor's own buttons show up without any call.
    // A pass over two real monitors takes over a second: the bus rests for
    // five between passes. A timer fires late, or at most 5 % early.
    void theBackendRefreshesOnItsOwn()
    {
        backend().init();
        QElapsedTimer sinceStartUp;
        sinceStartUp.start();
        ChangeSpies spies(backend());
        displays().control(1, Control::Contrast).current = 64;
        displays().control(0, Control::BlueGain).current = 12;
        QTRY_COMPARE_WITH_TIMEOUT(spies.counts(), (QList<qsizetype>{0, 1, 0, 1}), 20000);
        QCOMPARE_GE(sinceStartUp.elapsed(), 4750);
        QCOMPARE(backend().contrast().at(1).value(), 64u);
        QCOMPARE(backend().rgbGain().at(0).blue().value(), 12u);
    }

    void refreshKeepsWhatWasPublishedWhenAControlGivesNoReading()
    {
        backend().init();
        ChangeSpies spies(backend());
        displays().control(1, Control::Brightness).neverAnswers = true;
        displays().control(0, Control::GreenDrive).unsupported = true;
        displays().control(0, Control::BlueDrive).current = 33;
        backend().refresh();

        QCOMPARE(backend().brightness().at(1).value(), 50u);
        const DDCRgbValue drive = backend().rgbDrive().at(0);
        QCOMPARE(drive.green().name(), QStringLiteral("Green"));
        QCOMPARE(drive.green().value(), 50u);
        QCOMPARE(drive.green().maximum(), 100u);
        QCOMPARE(drive.blue().value(), 33u);
        QCOMPARE(spies.counts(), (QList<qsizetype>{0, 0, 1, 0}));

        displays().control(1, Control::Brightness).neverAnswers = false;
        displays().control(1, Control::Brightness).current = 20;
        backend().refresh();
        QCOMPARE(backend().brightness().at(1).value(), 20u);
        QCOMPARE(spies.brightness.size(), 1);
    }

    void anEntryFirstReadByARefreshTakesTheMonitorsRange()
    {
        displays().setSilent(1, true);
        backend().init();
        ChangeSpies spies(backend());
        displays().setSilent(1, false);
        // Values equal to the defaults the entries hold.
        displays().control(1, Control::Brightness) = {0, 0, 100};
        displays().control(1, Control::GreenGain) = {0, 0, 255};
        backend().refresh();

        QCOMPARE(backend().brightness().at(1).maximum(), 100u);
        QCOMPARE(backend().contrast().at(1).maximum(), 100u);
        const DDCValue green = backend().rgbGain().at(1).green();
        QCOMPARE(green.name(), QStringLiteral("Green"));
        QCOMPARE(green.maximum(), 255u);
        QCOMPARE(spies.counts(), (QList<qsizetype>{1, 1, 1, 1}));
    }

    void refreshProcessesEventsAfterEveryRead()
    {
        backend().init();
        QStringList late;
        int delivered = 0;
        displays().input = [&](const QString &read) {
            ++delivered;
            if (displays().calls().last() != read)
                late << read;
        };
        backend().refresh();
        QCOMPARE(delivered, 16);
        QCOMPARE(late, QStringList());
    }

    void aRefreshDuringARefreshReadsNothing()
    {
        backend().init();
        displays().clearCalls();
        displays().input = [&](const QString &) { backend().refresh(); };
        backend().refresh();
        QCOMPARE(displays().calls().size(), 16);
    }

    // The monitor holds what a setter wrote while a refresh read it; the older
    // reading must not take the control back.
    void aReadingOlderThanAWriteIsNotPublished()
    {
        backend().init();
        displays().control(0, Control::RedDrive).current = 33;
        displays().input = [&](const QString &read) {
            if (read == QLatin1String("GetMonitorBrightness(physical 0.0)"))
                backend().setBrightness(0, 80);
            if (read == QLatin1String("GetMonitorRedGreenOrBlueDrive(physical 0.0, 1)"))
                backend().setRgbDrive(0, rgb(50, 80, 50));
        };
        backend().refresh();

        QCOMPARE(backend().brightness().at(0).value(), 80u);
        const DDCRgbValue drive = backend().rgbDrive().at(0);
        QCOMPARE(drive.green().value(), 80u);
        QCOMPARE(drive.red().value(), 33u);

        // The write held back only the reading it overtook.
        displays().input = nullptr;
        displays().control(0, Control::GreenDrive).current = 12;
        backend().refresh();
        QCOMPARE(backend().rgbDrive().at(0).green().value(), 12u);
    }

    void brightnessAndContrastAreWrittenAsGiven()
    {
        backend().init();
        ChangeSpies spies(backend());
        displays().clearCalls();
        backend().setBrightness(1, 50);
        backend().setContrast(0, 500);

        QCOMPARE(displays().calls(),
                 (QStringList{"SetMonitorBrightness(physical 1.0, 50)",
                              "SetMonitorContrast(physical 0.0, 500)"}));
        QCOMPARE(spies.counts(), (QList<qsizetype>{1, 1, 0, 0}));
        QCOMPARE(backend().contrast().at(0).value(), 500u);
        QCOMPARE(backend().contrast().at(0).maximum(), 100u);
    }

    // A write lost on the bus is made once more, after a pause; a refused
    // one never. What the monitor did not take changes nothing.
    void aWriteIsMadeAgainOnlyWhenItWasLost_data()
    {
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("dropped");
        QTest::addColumn<QString>("calls");
        QTest::addColumn<uint>("brightness");
        const QString write = QStringLiteral("SetMonitorBrightness(physical 0.0, 80)");
        QTest::newRow("taken") << false << 0 << write << 80u;
        QTest::newRow("lost once") << false << 1 << write + " Sleep(100) " + write << 80u;
        QTest::newRow("lost twice") << false << 2 << write + " Sleep(100) " + write << 50u;
        QTest::newRow("refused") << true << 0 << write << 50u;
    }

    void aWriteIsMadeAgainOnlyWhenItWasLost()
    {
        QFETCH(bool, refused);
        QFETCH(int, dropped);
        QFETCH(uint, brightness);
        displays().control(0, Control::Brightness).refusesWrites = refused;
        displays().control(0, Control::Brightness).droppedWrites = dropped;
        displays().control(0, Control::RedGain).refusesWrites = true;
        backend().init();
        ChangeSpies spies(backend());
        displays().clearCalls();
        backend().setBrightness(0, 80);
        QTEST(displays().calls().join(' '), "calls");
        backend().setRgbGain(0, rgb(10, 50, 30));

        QCOMPARE(backend().brightness().at(0).value(), brightness);
        const DDCRgbValue gain = backend().rgbGain().at(0);
        QCOMPARE(gain.red().value(), 50u);
        QCOMPARE(gain.blue().value(), 30u);
        QCOMPARE(spies.counts(), (QList<qsizetype>{brightness == 80, 0, 0, 1}));
    }

    // Its control spans 0..0 until it answers: whatever it sends was never
    // the user's choice. A monitor silent at start-up gave no reading at all.
    void aControlThatNeverGaveAReadingIsNotWritten()
    {
        displays().setSilent(0, true);
        backend().init();
        displays().clearCalls();
        backend().setBrightness(0, 0);
        backend().setRgbDrive(0, rgb(10, 20, 30));
        QCOMPARE(displays().calls().filter(QStringLiteral("Set")), QStringList());

        displays().control(0, Control::Brightness).neverAnswers = false;
        backend().refresh();
        backend().setBrightness(0, 0);
        QCOMPARE(displays().calls().filter(QStringLiteral("Set")),
                 QStringList{"SetMonitorBrightness(physical 0.0, 0)"});
    }

    void colourSettersWriteOnlyChangedChannelsInRgbOrder()
    {
        backend().init();
        ChangeSpies spies(backend());
        displays().clearCalls();
        backend().setRgbDrive(0, rgb(50, 50, 50));
        QVERIFY(displays().calls().isEmpty());

        backend().setRgbDrive(0, rgb(10, 50, 30));
        backend().setRgbGain(1, rgb(50, 60, 70));
        QCOMPARE(displays().calls(),
                 (QStringList{"SetMonitorRedGreenOrBlueDrive(physical 0.0, 0, 10)",
                              "SetMonitorRedGreenOrBlueDrive(physical 0.0, 2, 30)",
                              "SetMonitorRedGreenOrBlueGain(physical 1.0, 1, 60)",
                              "SetMonitorRedGreenOrBlueGain(physical 1.0, 2, 70)"}));
        QCOMPARE(spies.counts(), (QList<qsizetype>{0, 0, 2, 2}));

        // A written channel takes the value only: its name and range are the
        // monitor's, as is the triple's own name.
        const DDCRgbValue drive = backend().rgbDrive().at(0);
        QCOMPARE(drive.name(), QStringLiteral("RGB Drive"));
        QCOMPARE(drive.red().name(), QStringLiteral("Red"));
        QCOMPARE(drive.red().value(), 10u);
        QCOMPARE(drive.red().maximum(), 100u);
    }

    void settersIgnoreAnIndexThatIsNoMonitor()
    {
        backend().init();
        ChangeSpies spies(backend());
        displays().clearCalls();
        const uint noSelection = 4294967295u;
        backend().setBrightness(noSelection, 1);
        backend().setContrast(2, 1);
        backend().setRgbDrive(noSelection, rgb(1, 2, 3));
        backend().setRgbGain(2, rgb(1, 2, 3));
        QVERIFY(displays().calls().isEmpty());
        QCOMPARE(spies.counts(), (QList<qsizetype>{0, 0, 0, 0}));
    }

private:
    DisplaysWithInput &displays()
    {
        return *m_displays;
    }
    TestBackend &backend()
    {
        return *m_backend;
    }

    std::unique_ptr<DisplaysWithInput> m_displays;
    std::unique_ptr<TestBackend> m_backend;
};

QTEST_GUILESS_MAIN(ControlsTest)
#include "tst_controls.moc"
