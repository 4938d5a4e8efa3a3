#include "FakeBackend.h"
#include "RecordingApi.h"

#include <QtQml/QQmlApplicationEngine>
#include <QtQuick/QQuickItem>
#include <QtQuick/QQuickWindow>
#include <QtTest/QtTest>

#include <algorithm>
#include <cmath>

namespace {

DDCValue level(const QString &name, uint value)
{
    return DDCValue(name, 0, 100, value);
}

DDCRgbValue colour(const QString &name, uint value)
{
    return DDCRgbValue(name, level(QStringLiteral("Red"), value),
                       level(QStringLiteral("Green"), value), level(QStringLiteral("Blue"), value));
}

// The items of one QML component or Qt Quick type, left to right.
QList<QQuickItem *> itemsOf(QObject *root, const char *type)
{
    QList<QQuickItem *> items;
    for (QQuickItem *item : root->findChildren<QQuickItem *>()) {
        if (item->inherits(type) || QByteArray(item->metaObject()->className()).startsWith(type))
            items.append(item);
    }
    std::sort(items.begin(), items.end(), [](QQuickItem *left, QQuickItem *right) {
        return left->mapToScene({}).x() < right->mapToScene({}).x();
    });
    return items;
}

template <typename Value>
Value valueOf(QObject *item, const char *property)
{
    return item->property(property).template value<Value>();
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
        m_displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY1"),
                                     QStringLiteral("Aster 27Q"));
        m_displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY2"),
                                     QStringLiteral("Lumen 24F"));
        DDCWinApi::instance()->init();
        m_api.publish(
            {level(QStringLiteral("Brightness"), 10), level(QStringLiteral("Brightness"), 20)},
            {level(QStringLiteral("Contrast"), 30), level(QStringLiteral("Contrast"), 40)},
            {colour(QStringLiteral("RGB Drive"), 50), colour(QStringLiteral("RGB Drive"), 60)},
            {colour(QStringLiteral("RGB Gain"), 70), colour(QStringLiteral("RGB Gain"), 80)});
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
        m_dials = itemsOf(m_window, "DialControl");
        m_groups = itemsOf(m_window, "RGBControls");
        QVERIFY(m_combo);
        QCOMPARE(m_dials.size(), 2);
        QCOMPARE(m_groups.size(), 2);
    }

    void init()
    {
        m_combo->setProperty("currentIndex", 0);
        m_api.calls.clear();
    }

    void opensAtItsSizeWithItsTitle()
    {
        QCOMPARE(m_window->width(), 640);
        QCOMPARE(m_window->height(), 480);
        QCOMPARE(m_window->title(), QStringLiteral("ZOD ID IDA"));
    }

    void startsOnTheFirstMonitor()
    {
        QCOMPARE(m_combo->property("currentIndex").toInt(), 0);
        QCOMPARE(m_combo->property("displayText").toString(), QStringLiteral("Aster 27Q"));
        QCOMPARE(valueOf<DDCValue>(m_dials.at(0), "ddcValue").value(), 10u);
        QCOMPARE(valueOf<DDCValue>(m_dials.at(1), "ddcValue").value(), 30u);
        QCOMPARE(valueOf<DDCRgbValue>(m_groups.at(0), "rgbValue").green().value(), 50u);
        QCOMPARE(valueOf<DDCRgbValue>(m_groups.at(1), "rgbValue").blue().value(), 70u);
    }

    void choosingAnotherMonitorRebindsEverythingAndWritesNothing()
    {
        m_combo->setProperty("currentIndex", 1);
        QCOMPARE(m_combo->property("displayText").toString(), QStringLiteral("Lumen 24F"));
        QCOMPARE(valueOf<DDCValue>(m_dials.at(0), "ddcValue").value(), 20u);
        QCOMPARE(valueOf<DDCValue>(m_dials.at(1), "ddcValue").value(), 40u);
        QCOMPARE(valueOf<DDCRgbValue>(m_groups.at(0), "rgbValue").red().value(), 60u);
        QCOMPARE(valueOf<DDCRgbValue>(m_groups.at(1), "rgbValue").name(),
                 QStringLiteral("RGB Gain"));
        QVERIFY(m_api.calls.isEmpty());
    }

    void draggingTheBrightnessDialWritesToTheSelectedMonitor()
    {
        m_combo->setProperty("currentIndex", 1);
        QQuickItem *dial = itemsOf(m_dials.at(0), "QQuickDial").value(0);
        QVERIFY(dial);
        // Drag along the dial's circle from its handle at 20 % to the top (50 %).
        const QPointF centre = dial->mapToScene({dial->width() / 2, dial->height() / 2});
        const qreal radius = dial->width() / 3;
        const auto pointAt = [&](qreal position) {
            const qreal angle = 4 * M_PI / 3 - position * 5 * M_PI / 3;
            return (centre + QPointF(radius * std::cos(angle), -radius * std::sin(angle)))
                .toPoint();
        };
        QTest::mousePress(m_window, Qt::LeftButton, {}, pointAt(0.2));
        for (qreal position = 0.25; position <= 0.5; position += 0.05)
            QTest::mouseMove(m_window, pointAt(position));
        QTest::mouseRelease(m_window, Qt::LeftButton, {}, pointAt(0.5));

        QVERIFY(!m_api.calls.isEmpty());
        for (const QString &call : std::as_const(m_api.calls))
            QVERIFY2(call.startsWith(QStringLiteral("setBrightness(1, ")), qPrintable(call));
        const int reached = int(dial->property("value").toReal());
        QVERIFY(reached > 40 && reached < 60);
        QCOMPARE(m_api.calls.last(), QStringLiteral("setBrightness(1, %1)").arg(reached));
    }

    void aGroupsReportGoesToItsColourControl()
    {
        m_combo->setProperty("currentIndex", 1);
        QMetaObject::invokeMethod(m_groups.at(1), "setValue",
                                  Q_ARG(DDCRgbValue, colour(QStringLiteral("RGB Gain"), 5)));
        QMetaObject::invokeMethod(m_dials.at(1), "setValue", Q_ARG(int, 7));
        QCOMPARE(
            m_api.calls,
            (QStringList{"setRgbGain(1, RGB Gain: Red 0..100 5, Green 0..100 5, Blue 0..100 5)",
                         "setContrast(1, 7)"}));
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

        m_api.publish(
            {level(QStringLiteral("Brightness"), 11), level(QStringLiteral("Brightness"), 99)},
            m_api.contrast(), m_api.rgbDrive(), m_api.rgbGain());
        QCOMPARE(valueOf<DDCValue>(m_dials.at(0), "ddcValue").value(), 11u);
        m_combo->setProperty("currentIndex", 1);
        QCOMPARE(valueOf<DDCValue>(m_dials.at(0), "ddcValue").value(), 99u);
        QCOMPARE(identity.size(), 0);
        QVERIFY(m_api.calls.isEmpty());
    }

    void theIdentityLinesDescribeTheSelectedMonitor()
    {
        m_api.monitors = {{"card0-DP-1", "Aster 27Q", ""}, {"card0-DP-2", "Lumen 24F", ""}};
        m_api.screens = {{"DP-2", "Lumen", "", "L-24"}, {"DP-1", "Aster", "", "A-27"}};
        const QStringList shown[] = {{"Manufacturer: Aster", "Serial number: A-27"},
                                     {"Manufacturer: Lumen", "Serial number: L-24"}};
        for (const int index : {1, 0}) {
            m_combo->setProperty("currentIndex", index);
            QStringList lines;
            for (QQuickItem *label : itemsOf(m_window, "QQuickLabel"))
                lines << label->property("text").toString();
            for (const QString &line : shown[index])
                QVERIFY2(lines.contains(line), qPrintable(lines.join(QLatin1Char('|'))));
        }
    }

private:
    InstalledFakeDisplays m_displays;
    RecordingApi m_api;
    QQmlApplicationEngine m_engine;
    QQuickWindow *m_window = nullptr;
    QQuickItem *m_combo = nullptr;
    QList<QQuickItem *> m_dials;
    QList<QQuickItem *> m_groups;
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
