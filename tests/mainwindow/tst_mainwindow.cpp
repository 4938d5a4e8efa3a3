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
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        m_combo = itemsOf(m_window, "QQuickComboBox").value(0);
        QVERIFY(m_combo);
    }

    void init()
    {
        publishMonitors();
        m_combo->setProperty("currentIndex", 0);
        m_api.calls.clear();
    }

    void showsAllOfItsContent()
    {
        QCOMPARE(m_window->title(), QStringLiteral("ZOD ID IDA"));
        const QQuickItem *page = m_window->contentItem()->childItems().first();
        QCOMPARE(m_window->minimumSize(),
                 QSizeF(page->implicitWidth() + 40, page->implicitHeight() + 40).toSize());
        QCOMPARE(m_window->size(), m_window->minimumSize().expandedTo(QSize(640, 480)));
        // Margins of 20, a drop-down to the right margin, groups 50 further apart
        // than the dials, and all four controls at the top of their row.
        QCOMPARE(page->position(), QPointF(20, 20));
        QCOMPARE(m_combo->mapRectToScene(m_combo->boundingRect()).right(),
                 m_window->width() - 20.0);
        const QList<QQuickItem *> controls =
            itemsOf(m_window, "DialControl") + itemsOf(m_window, "RGBControls");
        const auto gapBefore = [&](int i) {
            return controls[i]->x() - controls[i - 1]->x() - controls[i - 1]->width();
        };
        QCOMPARE(gapBefore(2), gapBefore(1) + 50);
        QCOMPARE(gapBefore(3), gapBefore(1) + 50);
        for (QQuickItem *control : controls)
            QCOMPARE(control->y(), 0.0);
        const QRectF window(QPointF(), m_window->size());
        for (const char *type : {"QQuickComboBox", "QQuickDial", "QQuickSlider", "QQuickLabel"}) {
            for (QQuickItem *item : itemsOf(m_window, type)) {
                QVERIFY2(window.contains(item->mapRectToScene(item->boundingRect())),
                         qPrintable(item->property("text").toString()));
            }
        }
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

    // Run on its own, in a process without monitors.
    void withoutAMonitorNothingCanBeChanged()
    {
        if (!noMonitors())
            QSKIP("needs a system without monitors");
        QCOMPARE(m_combo->property("displayText").toString(),
                 QStringLiteral("No DDC/CI monitor found"));
        for (QQuickItem *control :
             itemsOf(m_window, "QQuickDial") + itemsOf(m_window, "QQuickSlider"))
            QVERIFY(!control->isEnabled());
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
