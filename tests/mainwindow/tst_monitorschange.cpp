#include "DDCWinApi.h"
#include "InstalledFakeDisplays.h"
#include "WindowInput.h"
#include "simulated/SimulatedEdid.h"

#include <QtQml/QQmlApplicationEngine>
#include <QtTest/QtTest>

using WindowInput::itemsOf;
using WindowInput::showProgramWindow;

// Main over the program's own backend while monitors come and go, driven with
// the keyboard and the mouse. The monitors' controls have equal ranges, so
// that only who the monitor is tells their controls apart.
class MonitorsChangeTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const QStringList names{"Orion 32U", "Aster 27Q", "Lumen 24F"};
        // Makers' ids that no company is registered under.
        const QList<QByteArray> makers{"ORN", "ASR", "LMN"};
        for (int id = 0; id < names.size(); ++id) {
            m_displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY%1").arg(id + 1),
                                         names.at(id));
            m_displays.control(id, MonitorControl::RedDrive).current = DWORD(20 + 30 * id);
            m_displays.displayMonitor(id).edid = SimulatedEdid{makers.at(id), 0, {}, {}}.block();
        }
        m_window = showProgramWindow(m_engine);
        QVERIFY(m_window);
        m_combo = itemsOf(m_window, "QQuickComboBox").value(0);
        QVERIFY(m_combo);
    }

    void theSelectionStaysWithItsMonitor()
    {
        select(2);
        QCOMPARE(shownMonitor(), QStringLiteral("Lumen 24F"));
        m_displays.detachDisplayMonitor(0);
        QTRY_COMPARE_WITH_TIMEOUT(m_combo->property("count").toInt(), 2, 2000);
        QCOMPARE(shownMonitor(), QStringLiteral("Lumen 24F"));
        m_displays.attachDisplayMonitor(0);
        QTRY_COMPARE_WITH_TIMEOUT(m_combo->property("count").toInt(), 3, 2000);
        QCOMPARE(shownMonitor(), QStringLiteral("Lumen 24F"));
        QCOMPARE(redDrive()->property("value").toInt(), 80);
    }

    // The first monitor goes while its red drive is held; the next one takes
    // its index, and the slider keeps being dragged.
    void aControlHeldWhileItsMonitorGoesWritesNothing()
    {
        select(0);
        QCOMPARE(shownMonitor(), QStringLiteral("Orion 32U"));
        dragRedDriveWhileTheFirstGoes();

        QCOMPARE(m_displays.calls().filter(QStringLiteral("SetMonitor")), QStringList());
        QCOMPARE(shownMonitor(), QStringLiteral("Aster 27Q"));
        QCOMPARE(redDrive()->property("value").toInt(), 50);
        QVERIFY(shownTexts().contains(QStringLiteral("Manufacturer: ASR")));
    }

    // The monitor chosen goes and comes back: it is shown again, unless
    // another one was chosen meanwhile.
    void theChosenMonitorIsShownAgainWhenItReturns_data()
    {
        QTest::addColumn<bool>("anotherChosenMeanwhile");
        QTest::addColumn<QString>("shownAfterwards");
        QTest::newRow("none chosen meanwhile") << false << "Aster 27Q";
        QTest::newRow("another chosen meanwhile") << true << "Lumen 24F";
    }

    void theChosenMonitorIsShownAgainWhenItReturns()
    {
        QFETCH(bool, anotherChosenMeanwhile);
        attachAll();
        select(1);
        m_displays.detachDisplayMonitor(1);
        QTRY_COMPARE_WITH_TIMEOUT(m_combo->property("count").toInt(), 2, 2000);
        QCOMPARE(shownMonitor(), QStringLiteral("Orion 32U"));
        if (anotherChosenMeanwhile)
            select(1);
        m_displays.attachDisplayMonitor(1);
        QTRY_COMPARE_WITH_TIMEOUT(m_combo->property("count").toInt(), 3, 2000);
        QTEST(shownMonitor(), "shownAfterwards");
    }

    // Another monitor goes, and the one shown moves up while its red drive
    // is dragged: the drag goes on to its end, and the slider keeps the
    // keyboard.
    void theMonitorShownMovesToAnotherIndexWhileInUse()
    {
        attachAll();
        select(1);
        const QPointer<QQuickItem> slider = redDrive();
        dragRedDriveWhileTheFirstGoes();
        QCOMPARE(redDrive(), slider.data());
        const int position = int(slider->property("value").toReal());
        const auto [writes, last] = writtenToAster();
        QVERIFY(writes > 0);
        QCOMPARE(last, position);

        QVERIFY(slider->hasActiveFocus());
        m_displays.clearCalls();
        QTest::keyClick(m_window, Qt::Key_Right);
        QCOMPARE(writtenToAster(), (std::pair{1, position + 1}));
    }

private:
    // Drags the red drive slider from its middle to the right while the
    // first monitor goes; the calls recorded start with the monitor going.
    void dragRedDriveWhileTheFirstGoes()
    {
        // Where the slider is: it may be made anew under the pointer.
        const QRectF track = redDrive()->mapRectToScene(redDrive()->boundingRect());
        const auto at = [&](qreal fraction) {
            return QPointF(track.left() + track.width() * fraction, track.center().y()).toPoint();
        };
        QTest::mousePress(m_window, Qt::LeftButton, {}, at(0.5));
        QTest::mouseMove(m_window, at(0.55));
        m_displays.clearCalls();
        m_displays.detachDisplayMonitor(0);
        QTRY_COMPARE_WITH_TIMEOUT(m_combo->property("count").toInt(), 2, 2000);
        for (const qreal fraction : {0.6, 0.7, 0.8})
            QTest::mouseMove(m_window, at(fraction));
        QTest::mouseRelease(m_window, Qt::LeftButton, {}, at(0.8));
    }

    // How many writes went to Aster's red drive since the calls were cleared,
    // all of them, and the last value; {-1, -1} when any went elsewhere.
    std::pair<int, int> writtenToAster() const
    {
        static const QRegularExpression toAster(QStringLiteral(
            "^SetMonitorRedGreenOrBlueDrive\\(physical 1\\.0(?:#\\d+)?, 0, (\\d+)\\)$"));
        const QStringList writes = m_displays.calls().filter(QStringLiteral("SetMonitor"));
        int last = -1;
        for (const QString &write : writes) {
            const QRegularExpressionMatch match = toAster.match(write);
            if (!match.hasMatch())
                return {-1, -1};
            last = match.captured(1).toInt();
        }
        return {int(writes.size()), last};
    }

    void attachAll()
    {
        for (int id = 0; id < m_displays.monitorCount(); ++id)
            m_displays.attachDisplayMonitor(id);
        QTRY_COMPARE_WITH_TIMEOUT(m_combo->property("count").toInt(), 3, 2000);
    }

    void select(int index)
    {
        m_combo->forceActiveFocus();
        QTest::keyClick(m_window, Qt::Key_Home);
        for (int step = 0; step < index; ++step)
            QTest::keyClick(m_window, Qt::Key_Down);
        QCOMPARE(m_combo->property("currentIndex").toInt(), index);
    }

    QString shownMonitor() const
    {
        return m_combo->property("displayText").toString();
    }

    QStringList shownTexts() const
    {
        QStringList texts;
        for (QQuickItem *label : itemsOf(m_window, "QQuickLabel"))
            texts.append(label->property("text").toString());
        return texts;
    }

    QQuickItem *redDrive() const
    {
        return itemsOf(m_window, "QQuickSlider").value(0);
    }

    InstalledFakeDisplays m_displays;
    QQmlApplicationEngine m_engine;
    QQuickWindow *m_window = nullptr;
    QQuickItem *m_combo = nullptr;
};

QTEST_MAIN(MonitorsChangeTest)
#include "tst_monitorschange.moc"
