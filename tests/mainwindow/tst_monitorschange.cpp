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

        QCOMPARE(m_displays.calls().filter(QStringLiteral("SetMonitor")), QStringList());
        QCOMPARE(shownMonitor(), QStringLiteral("Aster 27Q"));
        QCOMPARE(redDrive()->property("value").toInt(), 50);
        QVERIFY(shownTexts().contains(QStringLiteral("Manufacturer: ASR")));
    }

private:
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
