#include "DDCWinApi.h"
#include "InstalledFakeDisplays.h"
#include "WindowInput.h"

#include <QtQml/QQmlApplicationEngine>
#include <QtTest/QtTest>

using Control = MonitorControl;
using WindowInput::itemsOf;
using WindowInput::showProgramWindow;

// Main over the program's own backend and a monitor that refuses writes,
// driven with the mouse.
class RefusedWriteTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY1"),
                                     QStringLiteral("Aster 27Q"));
        for (const Control control : {Control::Brightness, Control::RedGain}) {
            m_displays.control(0, control).current = 70;
            m_displays.control(0, control).refusesWrites = true;
        }
        m_window = showProgramWindow(m_engine);
        QVERIFY(m_window);
    }

    void theControlShowsTheMonitorsValueAgain_data()
    {
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("write");
        QTest::newRow("brightness dial") << QByteArray("QQuickDial") << 0
                                         << QStringLiteral("SetMonitorBrightness(physical 0.0, ");
        QTest::newRow("red gain slider")
            << QByteArray("QQuickSlider") << 3
            << QStringLiteral("SetMonitorRedGreenOrBlueGain(physical 0.0, 0, ");
    }

    void theControlShowsTheMonitorsValueAgain()
    {
        QFETCH(QByteArray, type);
        QFETCH(int, position);
        QFETCH(QString, write);
        QQuickItem *input = itemsOf(m_window, type.constData()).value(position);
        QVERIFY(input);
        QCOMPARE(input->property("value").toInt(), 70);
        m_displays.clearCalls();
        if (type == "QQuickDial") {
            WindowInput::dragDial(m_window, input, 0.6, 0.3);
        } else {
            QTest::mouseClick(
                m_window, Qt::LeftButton, {},
                input->mapToScene({input->width() * 0.3, input->height() / 2}).toPoint());
        }
        QVERIFY(!m_displays.calls().filter(write).isEmpty());
        QCOMPARE(input->property("value").toInt(), 70);
        DDCWinApi::instance()->refresh();
        QCOMPARE(input->property("value").toInt(), 70);
    }

private:
    InstalledFakeDisplays m_displays;
    QQmlApplicationEngine m_engine;
    QQuickWindow *m_window = nullptr;
};

QTEST_MAIN(RefusedWriteTest)
#include "tst_refusedwrite.moc"
