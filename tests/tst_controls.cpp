#include "FakeBackend.h"

#include <QtTest/QtTest>

using Control = MonitorControl;

namespace {

QString retries(const QString &read, int failures)
{
    QStringList calls;
    for (int i = 0; i < failures; ++i)
        calls << read << QStringLiteral("Sleep(100)");
    return calls.join(QLatin1Char('\n'));
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
        m_displays.reset(new InstalledFakeDisplays);
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
            (QStringList{"GetMonitorBrightness(physical 0.0)", "GetMonitorContrast(physical 0.0)",
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

    void aReadIsTriedFiveTimesWithPauses()
    {
        displays().control(0, Control::Brightness).failingReads = 2;
        displays().control(0, Control::Contrast).neverAnswers = true;
        backend().init();

        const QString calls = displays().calls().join(QLatin1Char('\n'));
        const QString brightness = QStringLiteral("GetMonitorBrightness(physical 0.0)");
        const QString contrast = QStringLiteral("GetMonitorContrast(physical 0.0)");
        QVERIFY(calls.contains(retries(brightness, 2) + '\n' + brightness + '\n'
                               + QStringLiteral("GetMonitorBrightness(physical 1.0)")));
        QVERIFY(calls.contains(retries(contrast, 5) + '\n'
                               + QStringLiteral("GetMonitorContrast(physical 1.0)")));
        QCOMPARE(displays().calls().count(brightness), 3);
        QCOMPARE(displays().calls().count(contrast), 5);
        QCOMPARE(displays().calls().count(QStringLiteral("Sleep(100)")), 7);

        QCOMPARE(backend().brightness().at(0).value(), 50u);
        const DDCValue silent = backend().contrast().at(0);
        QCOMPARE(silent.name(), QStringLiteral("Contrast"));
        QCOMPARE(silent.maximum(), 0u);
        QCOMPARE(silent.value(), 0u);
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
    void theBackendRefreshesOnItsOwn()
    {
        backend().init();
        ChangeSpies spies(backend());
        displays().control(1, Control::Contrast).current = 64;
        displays().control(0, Control::BlueGain).current = 12;
        QTRY_COMPARE_WITH_TIMEOUT(spies.counts(), (QList<qsizetype>{0, 1, 0, 1}), 20000);
        QCOMPARE(backend().contrast().at(1).value(), 64u);
        QCOMPARE(backend().rgbGain().at(0).blue().value(), 12u);
    }

    void refreshKeepsWhatWasPublishedWhenAMonitorStopsAnswering()
    {
        backend().init();
        ChangeSpies spies(backend());
        displays().control(0, Control::Brightness).neverAnswers = true;
        displays().control(0, Control::GreenDrive).neverAnswers = true;
        displays().control(0, Control::BlueDrive).current = 33;
        backend().refresh();

        QCOMPARE(backend().brightness().at(0).value(), 50u);
        const DDCRgbValue drive = backend().rgbDrive().at(0);
        QCOMPARE(drive.green().name(), QStringLiteral("Green"));
        QCOMPARE(drive.green().value(), 50u);
        QCOMPARE(drive.green().maximum(), 100u);
        QCOMPARE(drive.blue().value(), 33u);
        QCOMPARE(spies.counts(), (QList<qsizetype>{0, 0, 1, 0}));

        displays().control(0, Control::Brightness).neverAnswers = false;
        displays().control(0, Control::Brightness).current = 20;
        backend().refresh();
        QCOMPARE(backend().brightness().at(0).value(), 20u);
        QCOMPARE(spies.brightness.size(), 1);
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

    void aRefusedWriteChangesNothing()
    {
        displays().control(0, Control::Brightness).refusesWrites = true;
        displays().control(0, Control::RedGain).refusesWrites = true;
        backend().init();
        ChangeSpies spies(backend());
        backend().setBrightness(0, 80);
        backend().setRgbGain(0, rgb(10, 50, 30));

        QCOMPARE(backend().brightness().at(0).value(), 50u);
        const DDCRgbValue gain = backend().rgbGain().at(0);
        QCOMPARE(gain.red().value(), 50u);
        QCOMPARE(gain.blue().value(), 30u);
        QCOMPARE(spies.counts(), (QList<qsizetype>{0, 0, 0, 1}));
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

        // A written channel is taken over whole; the triple's own name is not.
        const DDCRgbValue drive = backend().rgbDrive().at(0);
        QCOMPARE(drive.name(), QStringLiteral("RGB Drive"));
        QCOMPARE(drive.red().name(), QStringLiteral("R"));
        QCOMPARE(drive.red().maximum(), 200u);
        QCOMPARE(drive.green().name(), QStringLiteral("Green"));
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
    FakeDisplaySystem &displays()
    {
        return *m_displays;
    }
    TestBackend &backend()
    {
        return *m_backend;
    }

    std::unique_ptr<InstalledFakeDisplays> m_displays;
    std::unique_ptr<TestBackend> m_backend;
};

QTEST_GUILESS_MAIN(ControlsTest)
#include "tst_controls.moc"
