#include "FakeBackend.h"
#include "RecordingApi.h"
#include "WindowInput.h"
#include "simulated/SimulatedEdid.h"

#include <QtQml/QQmlApplicationEngine>
#include <QtQuick/QQuickItem>
#include <QtQuick/QQuickWindow>
#include <QtTest/QtTest>

namespace {

using WindowInput::itemsOf;

// The monitors hold equal values and differ only in their ranges and captions,
// which a control would miss in a value that is equal by value alone.
DDCValue level(const QString &name, uint monitor, uint value)
{
    return DDCValue(QStringLiteral("%1 %2").arg(name).arg(monitor), 0, monitor ? 255 : 100, value);
}

DDCRgbValue colour(const QString &name, uint monitor, uint value)
{
    return DDCRgbValue(QStringLiteral("%1 %2").arg(name).arg(monitor),
                       level(QStringLiteral("Red"), monitor, value),
                       level(QStringLiteral("Green"), monitor, value),
                       level(QStringLiteral("Blue"), monitor, value));
}

QString captionOf(QQuickItem *control)
{
    return control->childItems().first()->property("text").toString();
}

// What a dial or slider control shows: its caption, and its input's range and
// value.
DDCValue shownValue(QQuickItem *control)
{
    const QQuickItem *input = control->childItems().at(1);
    return DDCValue(captionOf(control), uint(input->property("from").toReal()),
                    uint(input->property("to").toReal()), uint(input->property("value").toReal()));
}

// The controls and labels that lie wholly or partly outside the window.
QStringList outside(QQuickWindow *window)
{
    QStringList found;
    for (const char *type : {"QQuickComboBox", "QQuickDial", "QQuickSlider", "QQuickLabel"}) {
        for (QQuickItem *item : itemsOf(window, type)) {
            if (item->isVisible()
                && !QRectF(QPointF(), window->size())
                        .contains(item->mapRectToScene(item->boundingRect())))
                found << type + item->property("text").toString();
        }
    }
    return found;
}

template <typename Value>
QList<Value> secondTwice(const QList<Value> &list)
{
    return {list.at(1), list.at(1)};
}

} // namespace

// Main, loaded from the program's resources, over a control API that records
// what the window asks of it.
class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!noMonitors()) {
            const int aster = m_displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY1"),
                                                           QStringLiteral("Aster 27Q"));
            m_displays.displayMonitor(aster).edid =
                SimulatedEdid{"AAA", 0, "Aster 27Q", "A-27"}.block();
            const int lumen = m_displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY2"),
                                                           QStringLiteral("Lumen 24F"));
            m_displays.displayMonitor(lumen).edid =
                SimulatedEdid{"LMN", 24, "Lumen 24F", {}}.block();
            m_displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY3"),
                                         QStringLiteral("Orion 32U"));
        }
        DDCWinApi::instance()->init();
        publishMonitors();
        qmlRegisterSingletonInstance<DDCApi>("DDC", 1, 0, "DDCApi", &m_api);
#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
        m_engine.addImportPath(QStringLiteral("qrc:/qt/qml"));
#endif
        m_engine.load(QUrl(QStringLiteral("qrc:/qt/qml/Varno/Main.qml")));
        QCOMPARE(m_engine.rootObjects().size(), 1);
        m_window = qobject_cast<QQuickWindow *>(m_engine.rootObjects().first());
        QVERIFY(m_window);
        m_window->requestActivate();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        m_combo = itemsOf(m_window, "QQuickComboBox").value(0);
        QVERIFY(m_combo);
    }

    void init()
    {
        publishMonitors();
        m_combo->setProperty("currentIndex", 0);
        m_api.calls.clear();
    }

    // 640 wide, as long as the style lets the content fit, and as high as the
    // content.
    void showsAllOfItsContent()
    {
        QCOMPARE(m_window->title(), QStringLiteral("ZOD ID IDA"));
        const QQuickItem *page = m_window->contentItem()->childItems().first();
        QCOMPARE(m_window->minimumSize(),
                 QSizeF(page->implicitWidth() + 40, page->implicitHeight() + 40).toSize());
        QCOMPARE(m_window->size(),
                 QSize(std::max(640, m_window->minimumWidth()), m_window->minimumHeight()));
        // Margins of 20, and a drop-down to the right margin.
        QCOMPARE(page->position(), QPointF(20, 20));
        QCOMPARE(m_combo->mapRectToScene(m_combo->boundingRect()).right(),
                 m_window->width() - 20.0);
        QCOMPARE(outside(m_window), QStringList());
    }

    // Run once for each style: narrow, the colour groups go below the dials.
    void fitsAScreenEightHundredPixelsWide()
    {
        const QRect screen = m_window->screen()->availableGeometry();
        QCOMPARE(screen.size(), QSize(800, 600));
        QVERIFY(screen.contains(m_window->geometry()));
        QCOMPARE(outside(m_window), QStringList());

        // Wide enough for one row: groups 50 further apart than the dials, and
        // the captions of all four on one line.
        resizeWindow(1200);
        const QList<QQuickItem *> controls =
            itemsOf(m_window, "DialControl") + itemsOf(m_window, "RGBControls");
        const auto gapBefore = [&](int i) {
            const QRectF left = controls[i - 1]->mapRectToScene(controls[i - 1]->boundingRect());
            return controls[i]->mapToScene({}).x() - left.right();
        };
        QTRY_COMPARE(gapBefore(2), gapBefore(1) + 50);
        QCOMPARE(gapBefore(3), gapBefore(1) + 50);
        for (QQuickItem *control : controls) {
            QCOMPARE(control->childItems().first()->mapToScene({}).y(),
                     controls.first()->childItems().first()->mapToScene({}).y());
        }

        resizeWindow(m_window->minimumWidth());
        QTRY_COMPARE(outside(m_window), QStringList());
        resizeWindow(640);
    }

    void startsOnTheFirstMonitor()
    {
        QCOMPARE(m_combo->property("displayText").toString(), QStringLiteral("Aster 27Q"));
        QCOMPARE(shownControls(), controlsOf(0));
    }

    void anotherMonitorShowsItsOwnControlsAfterAMove()
    {
        const uint driveGreen = clickSlider(1, 0.75);
        QCOMPARE(m_api.calls.last(),
                 QStringLiteral("setRgbDrive(0, RGB Drive 0: Red 0 0..100 50, Green 0 0..100 %1, "
                                "Blue 0 0..100 50)")
                     .arg(driveGreen));
        m_api.calls.clear();

        m_combo->setProperty("currentIndex", 1);
        QCOMPARE(m_combo->property("displayText").toString(), QStringLiteral("Lumen 24F"));
        QCOMPARE(shownControls(), controlsOf(1));
        QVERIFY(m_api.calls.isEmpty());

        const uint driveRed = clickSlider(0, 0.25);
        QCOMPARE(m_api.calls.last(),
                 QStringLiteral("setRgbDrive(1, RGB Drive 1: Red 1 0..255 %1, Green 1 0..255 50, "
                                "Blue 1 0..255 50)")
                     .arg(driveRed));
        const uint gainBlue = clickSlider(5, 0.25);
        QCOMPARE(m_api.calls.last(),
                 QStringLiteral("setRgbGain(1, RGB Gain 1: Red 1 0..255 70, Green 1 0..255 70, "
                                "Blue 1 0..255 %1)")
                     .arg(gainBlue));
    }

    // An arrow moves one unit, Page Up or Down a tenth of the range, a wheel
    // notch one unit; each writes once.
    void aKeyOrANotchWritesOneStepOnce_data()
    {
        QTest::addColumn<int>("monitor");
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("key"); // 0: a wheel notch
        QTest::addColumn<QString>("written");
        QTest::newRow("right on a dial")
            << 0 << QByteArray("QQuickDial") << 0 << int(Qt::Key_Right) << "setBrightness(0, 11)";
        QTest::newRow("page down on a dial")
            << 0 << QByteArray("QQuickDial") << 1 << int(Qt::Key_PageDown) << "setContrast(0, 20)";
        QTest::newRow("page up on a slider of 0..255")
            << 1 << QByteArray("QQuickSlider") << 5 << int(Qt::Key_PageUp)
            << "setRgbGain(1, RGB Gain 1: Red 1 0..255 70, Green 1 0..255 70, Blue 1 0..255 96)";
        QTest::newRow("a notch up on a slider")
            << 1 << QByteArray("QQuickSlider") << 0 << 0
            << "setRgbDrive(1, RGB Drive 1: Red 1 0..255 51, Green 1 0..255 50, Blue 1 0..255 50)";
        QTest::newRow("a notch up on a dial")
            << 1 << QByteArray("QQuickDial") << 0 << 0 << "setBrightness(1, 11)";
    }

    void aKeyOrANotchWritesOneStepOnce()
    {
        QFETCH(int, monitor);
        QFETCH(QByteArray, type);
        QFETCH(int, input);
        QFETCH(int, key);
        QFETCH(QString, written);
        m_combo->setProperty("currentIndex", monitor);
        QQuickItem *control = itemsOf(m_window, type.constData()).at(input);
        const QPointF centre = control->mapToScene(control->boundingRect().center());
        if (key) {
            control->forceActiveFocus();
            QTest::keyClick(m_window, Qt::Key(key));
        } else {
            QWheelEvent notch(centre, m_window->mapToGlobal(centre), {}, {0, 120}, Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QGuiApplication::sendEvent(m_window, &notch);
        }
        QCOMPARE(m_api.calls, QStringList{written});
    }

    // A move within one unit writes nothing: dragged in steps of a quarter
    // unit, a control writes each whole value it passes once.
    void aDragWritesEachWholeValueOnce_data()
    {
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<QString>("written");
        QTest::newRow("slider") << QByteArray("QQuickSlider") << "Red 0 0..100 (\\d+)";
        QTest::newRow("dial") << QByteArray("QQuickDial") << "setBrightness\\(0, (\\d+)";
    }

    void aDragWritesEachWholeValueOnce()
    {
        QFETCH(QByteArray, type);
        QFETCH(QString, written);
        QQuickItem *input = itemsOf(m_window, type.constData()).at(0);
        const QPointF centre = input->boundingRect().center();
        // Where a fraction of its travel lies on a slider, or on a dial's circle.
        const auto at = [&](qreal travel) {
            const qreal angle = 4 * M_PI / 3 - travel * 5 * M_PI / 3;
            const QPointF point = type == "QQuickDial"
                ? centre + QPointF(std::cos(angle), -std::sin(angle)) * input->width() / 3
                : QPointF(input->width() * travel, centre.y());
            return input->mapToScene(point).toPoint();
        };
        QTest::mousePress(m_window, Qt::LeftButton, {}, at(0.25));
        for (qreal travel = 0.25; travel <= 0.75; travel += 0.0025)
            QTest::mouseMove(m_window, at(travel));
        QTest::mouseRelease(m_window, Qt::LeftButton, {}, at(0.75));

        const QRegularExpression value(written);
        QList<int> values;
        for (const QString &call : std::as_const(m_api.calls))
            values << value.match(call).captured(1).toInt();
        QVERIFY(values.size() > 10);
        for (int i = 1; i < values.size(); ++i)
            QVERIFY2(values[i] != values[i - 1], qPrintable(m_api.calls.join(QLatin1Char('\n'))));
    }

    void draggingADialWritesItsControlOfTheSelectedMonitor_data()
    {
        QTest::addColumn<int>("dial");
        QTest::addColumn<QString>("setter");
        QTest::newRow("brightness") << 0 << QStringLiteral("setBrightness");
        QTest::newRow("contrast") << 1 << QStringLiteral("setContrast");
    }

    void draggingADialWritesItsControlOfTheSelectedMonitor()
    {
        QFETCH(int, dial);
        QFETCH(QString, setter);
        m_combo->setProperty("currentIndex", 1);
        QQuickItem *input = itemsOf(m_window, "QQuickDial").value(dial);
        QVERIFY(input);
        // From 20 % of its travel to the top (50 %).
        WindowInput::dragDial(m_window, input, 0.2, 0.5);

        QVERIFY(!m_api.calls.isEmpty());
        const QString call = setter + QStringLiteral("(1, ");
        for (const QString &made : std::as_const(m_api.calls))
            QVERIFY2(made.startsWith(call), qPrintable(made));
        const int reached = int(input->property("value").toReal());
        QVERIFY(reached > 0.4 * 255 && reached < 0.6 * 255);
        QCOMPARE(m_api.calls.last(), call + QString::number(reached) + QLatin1Char(')'));
    }

    void aPublishedChangeShowsWithoutTouchingTheIdentityLines()
    {
        QQuickItem *manufacturer = nullptr;
        for (QQuickItem *label : itemsOf(m_window, "QQuickLabel")) {
            if (label->property("text").toString().startsWith(QStringLiteral("Manufacturer: ")))
                manufacturer = label;
        }
        QVERIFY(manufacturer);
        QSignalSpy identity(manufacturer, SIGNAL(textChanged(QString)));

        m_api.publish({level(QStringLiteral("Brightness"), 0, 11),
                       level(QStringLiteral("Brightness"), 1, 99)},
                      m_api.contrast(), m_api.rgbDrive(), m_api.rgbGain());
        QCOMPARE(itemsOf(m_window, "QQuickDial").at(0)->property("value").toInt(), 11);
        QCOMPARE(identity.size(), 0);
        m_combo->setProperty("currentIndex", 1);
        QCOMPARE(itemsOf(m_window, "QQuickDial").at(0)->property("value").toInt(), 99);
        QVERIFY(m_api.calls.isEmpty());
    }

    // A monitor that first answers after start-up brings its ranges and captions,
    // maybe with the values shown until then.
    void aNewRangeOrCaptionWithAnEqualValueShows()
    {
        m_api.publish(secondTwice(m_api.brightness()), secondTwice(m_api.contrast()),
                      secondTwice(m_api.rgbDrive()), secondTwice(m_api.rgbGain()));
        QCOMPARE(shownControls(), controlsOf(0));
    }

    // A listed monitor that does not answer, or a control that the monitor
    // lacks: disabled with its caption, until the monitor answers and has it.
    void aControlThatCannotBeUsedIsDisabled_data()
    {
        QTest::addColumn<QList<bool>>("answering");
        QTest::addColumn<uint>("unsupported");
        QTest::addColumn<int>("enabled");
        QTest::newRow("a silent monitor") << QList<bool>{true, false} << 0u << 0;
        QTest::newRow("no contrast nor green gain")
            << QList<bool>{true, true}
            << (1u << int(DDCApi::Control::Contrast) | 1u << int(DDCApi::Control::GreenGain)) << 6;
    }

    void aControlThatCannotBeUsedIsDisabled()
    {
        QFETCH(QList<bool>, answering);
        QFETCH(uint, unsupported);
        QFETCH(int, enabled);
        m_api.publishStanding(answering, {unsupported, unsupported});
        m_combo->setProperty("currentIndex", 1);
        QCOMPARE(shownText().contains(QStringLiteral("does not answer over DDC/CI")),
                 !answering[1]);
        QCOMPARE(enabledInputs(), enabled);
        QCOMPARE(captionOf(itemsOf(m_window, "DialControl").at(1)), QStringLiteral("Contrast 1"));
        clickDial(1);
        QVERIFY(m_api.calls.isEmpty());

        m_api.publishStanding({true, true}, {0, 0});
        QCOMPARE(enabledInputs(), 8);
        clickDial(1);
        QVERIFY(!m_api.calls.isEmpty());
    }

    // A dial pointed at shows its value, also once clicked away from its
    // handle, until it is disabled.
    void aDisabledDialShowsNoValueTip()
    {
        m_combo->setProperty("currentIndex", 1);
        clickDial(1);
        QTRY_COMPARE(shownToolTips(), 1);
        m_api.publishStanding({true, true}, {0, 1u << int(DDCApi::Control::Contrast)});
        QTRY_COMPARE(shownToolTips(), 0);
        m_api.publishStanding({true, true}, {0, 0});
    }

    // Run on its own, in a process without monitors.
    void withoutAMonitorTheWindowSaysWhy_data()
    {
        QTest::addColumn<DDCApi::NoMonitorReason>("reason");
        QTest::addColumn<QString>("explained");
        QTest::newRow("module missing")
            << DDCApi::NoMonitorReason::ModuleMissing << "sudo modprobe i2c-dev";
        QTest::newRow("no permission")
            << DDCApi::NoMonitorReason::NoPermission << "Install Varno's package or its udev rule";
        QTest::newRow("no monitor answered")
            << DDCApi::NoMonitorReason::NoAnswer << "Turn DDC/CI on in the monitor's own menu";
        QTest::newRow("no external output")
            << DDCApi::NoMonitorReason::NoExternalOutput << "No external monitor is connected";
        QTest::newRow("remote session")
            << DDCApi::NoMonitorReason::RemoteSession << "not a remote one";
    }

    void withoutAMonitorTheWindowSaysWhy()
    {
        QFETCH(DDCApi::NoMonitorReason, reason);
        QFETCH(QString, explained);
        if (!noMonitors())
            QSKIP("needs a system without monitors");
        m_api.setNoMonitorReason(reason);
        QCOMPARE(m_combo->property("displayText").toString(),
                 QStringLiteral("No DDC/CI monitor found"));
        QVERIFY2(shownText().contains(explained), qPrintable(shownText()));
        QCOMPARE(enabledInputs(), 0);

        QStringList captions;
        for (QQuickItem *control : itemsOf(m_window, "DialControl")
                 + itemsOf(m_window, "RGBControls") + itemsOf(m_window, "SliderControl"))
            captions << captionOf(control);
        QCOMPARE(captions,
                 (QStringList{"Brightness", "Contrast", "RGB Drive", "RGB Gain", "Red", "Green",
                              "Blue", "Red", "Green", "Blue"}));
    }

    // The third monitor gave no EDID.
    void theIdentityLinesDescribeTheSelectedMonitor_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("second") << 1 << QStringList{"Manufacturer: LMN", "Serial number: 24"};
        QTest::newRow("first") << 0
                               << QStringList{"Manufacturer: Avolites Ltd", "Serial number: A-27"};
        QTest::newRow("third") << 2 << QStringList{"Manufacturer: ", "Serial number: "};
    }

    void theIdentityLinesDescribeTheSelectedMonitor()
    {
        QFETCH(int, index);
        m_combo->setProperty("currentIndex", index);
        QStringList shown;
        for (QQuickItem *label : itemsOf(m_window, "QQuickLabel")) {
            const QString text = label->property("text").toString();
            if (text.startsWith(QStringLiteral("Manufacturer: "))
                || text.startsWith(QStringLiteral("Serial number: ")))
                shown << text;
        }
        QTEST(shown, "lines");
    }

    // Last: the window is closed.
    void theQuitShortcutClosesTheWindow()
    {
        QTest::keySequence(m_window, QKeySequence::Quit);
        QVERIFY(!m_window->isVisible());
    }

private:
    static bool noMonitors()
    {
        return qEnvironmentVariableIsSet("VARNO_TEST_NO_MONITORS");
    }

    // Clicks a slider, counted left to right and top to bottom, at a fraction of
    // its length, and returns the integer part of where it went.
    uint clickSlider(int slider, qreal fraction)
    {
        QQuickItem *input = itemsOf(m_window, "QQuickSlider").at(slider);
        QTest::mouseClick(
            m_window, Qt::LeftButton, {},
            input->mapToScene({input->width() * fraction, input->height() / 2}).toPoint());
        return uint(input->property("value").toReal());
    }

    void clickDial(int dial)
    {
        QQuickItem *input = itemsOf(m_window, "QQuickDial").at(dial);
        QTest::mouseClick(m_window, Qt::LeftButton, {},
                          input->mapToScene({input->width() / 4, input->height() / 4}).toPoint());
    }

    // The dials' value tips that are shown.
    int shownToolTips() const
    {
        int shown = 0;
        for (QQuickItem *dial : itemsOf(m_window, "QQuickDial")) {
            for (QObject *child : dial->findChildren<QObject *>()) {
                if (child->inherits("QQuickToolTip") && child->property("visible").toBool())
                    ++shown;
            }
        }
        return shown;
    }

    int enabledInputs() const
    {
        const QList<QQuickItem *> inputs =
            itemsOf(m_window, "QQuickDial") + itemsOf(m_window, "QQuickSlider");
        return int(std::count_if(inputs.begin(), inputs.end(),
                                 [](QQuickItem *input) { return input->isEnabled(); }));
    }

    // All the text of the window's labels.
    QString shownText() const
    {
        QStringList texts;
        for (QQuickItem *label : itemsOf(m_window, "QQuickLabel")) {
            if (label->isVisible())
                texts << label->property("text").toString();
        }
        return texts.join(QLatin1Char('\n'));
    }

    void resizeWindow(int width)
    {
        m_window->setWidth(width);
        QTRY_COMPARE(m_window->width(), width);
    }

    void publishMonitors()
    {
        QList<DDCValue> brightness, contrast;
        QList<DDCRgbValue> rgbDrive, rgbGain;
        for (uint monitor = 0; monitor < DDCWinApi::instance()->monitorCount(); ++monitor) {
            brightness << level(QStringLiteral("Brightness"), monitor, 10);
            contrast << level(QStringLiteral("Contrast"), monitor, 30);
            rgbDrive << colour(QStringLiteral("RGB Drive"), monitor, 50);
            rgbGain << colour(QStringLiteral("RGB Gain"), monitor, 70);
        }
        m_api.publish(brightness, contrast, rgbDrive, rgbGain);
        m_api.publishStanding(QList<bool>(brightness.size(), true),
                              QList<uint>(brightness.size(), 0));
    }

    // The caption of every dial, group and slider, with the range and value of
    // each dial and slider, in the order they stand in the window.
    QStringList shownControls() const
    {
        QStringList shown;
        for (QQuickItem *dial : itemsOf(m_window, "DialControl"))
            shown << RecordingApi::describe(shownValue(dial));
        for (QQuickItem *group : itemsOf(m_window, "RGBControls")) {
            const QList<QQuickItem *> sliders = group->childItems().mid(1);
            shown << RecordingApi::describe(DDCRgbValue(captionOf(group), shownValue(sliders.at(0)),
                                                        shownValue(sliders.at(1)),
                                                        shownValue(sliders.at(2))));
        }
        return shown;
    }

    QStringList controlsOf(int monitor) const
    {
        QStringList controls{RecordingApi::describe(m_api.brightness().at(monitor)),
                             RecordingApi::describe(m_api.contrast().at(monitor))};
        for (const DDCRgbValue &group : {m_api.rgbDrive().at(monitor), m_api.rgbGain().at(monitor)})
            controls << RecordingApi::describe(group);
        return controls;
    }

    InstalledFakeDisplays m_displays;
    RecordingApi m_api;
    QQmlApplicationEngine m_engine;
    QQuickWindow *m_window = nullptr;
    QQuickItem *m_combo = nullptr;
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
