#include "DDCMonitorAccess.h"
#include "FakeBackend.h"
#include "simulated/SimulatedEdid.h"

#include <QtTest/QtTest>

namespace {

// Monitors of one model, told apart by their serial numbers.
int addTwin(FakeDisplaySystem &displays, int number)
{
    const int id = displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY%1").arg(number),
                                              QStringLiteral("Twin %1").arg(number));
    displays.displayMonitor(id).edid =
        SimulatedEdid{"AAA", 0, "Twin", "T-" + QByteArray::number(number)}.block();
    return id;
}

QStringList namesOf(const QList<MonitorData> &monitors)
{
    QStringList names;
    for (const MonitorData &monitor : monitors)
        names.append(monitor.displayName);
    return names;
}

} // namespace

class RediscoveryTest : public QObject
{
    Q_OBJECT

private slots:
    void monitorsAreKnownAgainByWhoTheyAre_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<qsizetype>>("previousIndexOf");
        QTest::newRow("none") << "" << QStringList{"Twin 1", "Twin 2", "Twin 3"}
                              << QList<qsizetype>{0, 1, 2};
        QTest::newRow("first detached")
            << "detach first" << QStringList{"Twin 2", "Twin 3"} << QList<qsizetype>{1, 2};
        QTest::newRow("one attached")
            << "attach" << QStringList{"Twin 1", "Twin 2", "Twin 3", "Twin 4"}
            << QList<qsizetype>{0, 1, 2, -1};
        QTest::newRow("another monitor on the same port")
            << "swap second" << QStringList{"Twin 1", "Twin 2", "Twin 3"}
            << QList<qsizetype>{0, -1, 2};
    }

    void monitorsAreKnownAgainByWhoTheyAre()
    {
        QFETCH(QString, change);
        InstalledFakeDisplays displays;
        for (int number = 1; number <= 3; ++number)
            addTwin(displays, number);
        QList<MonitorData> monitors;
        DDCMonitorAccess access(monitors);
        access.discover();
        QVERIFY(!access.displaysChanged());

        if (change == "detach first")
            displays.detachDisplayMonitor(0);
        else if (change == "attach")
            addTwin(displays, 4);
        else if (change == "swap second")
            displays.displayMonitor(1).edid = SimulatedEdid{"AAA", 0, "Twin", "T-9"}.block();
        QCOMPARE(access.displaysChanged(), change.startsWith("detach") || change == "attach");

        QTEST(access.rediscover(), "previousIndexOf");
        QTEST(namesOf(monitors), "names");
        QVERIFY(!access.displaysChanged());
        QCOMPARE(displays.openPhysicalMonitorHandles(), monitors.size());
    }

    // Every handle is released, the detached monitor's included, and the
    // monitors still there are reached through new ones.
    void aDetachedMonitorsHandleIsReleased()
    {
        InstalledFakeDisplays displays;
        for (int number = 1; number <= 2; ++number)
            addTwin(displays, number);
        QList<MonitorData> monitors;
        {
            DDCMonitorAccess access(monitors);
            access.discover();
            const HANDLE kept = *monitors.at(1).physicalMonitor;
            displays.detachDisplayMonitor(0);
            displays.clearCalls();
            access.rediscover();

            QCOMPARE(displays.calls().filter("DestroyPhysicalMonitor"),
                     (QStringList{"DestroyPhysicalMonitor(physical 0.0)",
                                  "DestroyPhysicalMonitor(physical 1.0)"}));
            QCOMPARE(displays.openPhysicalMonitorHandles(), 1);
            QVERIFY(monitors.at(0).physicalMonitor != kept);
            QVERIFY(access.read(0, DDCMonitorAccess::Brightness).answered());
        }
        QCOMPARE(displays.openPhysicalMonitorHandles(), 0);
    }

    // Off and on again between two discoveries, unseen: the old handle no
    // longer reaches the monitor, the one taken afresh does.
    void aMonitorThatWasOffAnswersThroughANewHandle()
    {
        InstalledFakeDisplays displays;
        addTwin(displays, 1);
        QList<MonitorData> monitors;
        DDCMonitorAccess access(monitors);
        access.discover();
        access.beginPass();
        displays.detachDisplayMonitor(0);
        displays.attachDisplayMonitor(0);
        QVERIFY(!access.read(0, DDCMonitorAccess::Brightness).answered());

        QCOMPARE(access.rediscover(), QList<qsizetype>{0});
        access.beginPass();
        displays.clearCalls();
        QCOMPARE(access.read(0, DDCMonitorAccess::Brightness).current, DWORD(50));
        QCOMPARE(displays.calls(), QStringList{"GetMonitorBrightness(physical 0.0#2)"});
    }

    // The twins' brightness changed on the monitors since they were read; an
    // entry kept is not read again, so it shows the value read before.
    void theBackendKeepsTheEntriesOfMonitorsStillThere()
    {
        InstalledFakeDisplays displays;
        for (int number = 1; number <= 3; ++number) {
            addTwin(displays, number);
            displays.control(number - 1, MonitorControl::Brightness).current = DWORD(number * 10);
        }
        TestBackend backend;
        backend.init();
        for (int monitor = 0; monitor < 3; ++monitor)
            displays.control(monitor, MonitorControl::Brightness).current = 99;
        displays.detachDisplayMonitor(0);
        displays.control(addTwin(displays, 4), MonitorControl::Brightness).current = 40;
        QSignalSpy relisted(&backend, &DDCApi::monitorsChanged);
        QSignalSpy brightnessChanged(&backend, &DDCApi::brightnessChanged);
        backend.rediscover();

        QCOMPARE(relisted.size(), 1);
        QCOMPARE(relisted.first().first().value<QList<int>>(), (QList<int>{1, 2, -1}));
        QCOMPARE(brightnessChanged.size(), 1);
        QStringList names;
        QList<uint> brightness;
        for (uint index = 0; index < backend.monitorCount(); ++index) {
            names.append(backend.monitorName(index));
            brightness.append(backend.brightness().at(index).value());
        }
        QCOMPARE(names, (QStringList{"Twin 2", "Twin 3", "Twin 4"}));
        QCOMPARE(brightness, (QList<uint>{20, 30, 40}));
        QCOMPARE(backend.rgbGain().size(), 3);
        QCOMPARE(backend.monitorSerialNumber(0), QStringLiteral("T-2"));
        displays.clearCalls();
        backend.setBrightness(0, 25);
        QCOMPARE(displays.calls(), QStringList{"SetMonitorBrightness(physical 1.0, 25)"});
    }

    void theBackendFollowsTheDisplaysOnItsOwn()
    {
        InstalledFakeDisplays displays;
        addTwin(displays, 1);
        TestBackend backend;
        backend.init();
        addTwin(displays, 2);
        QTRY_COMPARE_WITH_TIMEOUT(backend.monitorCount(), 2u, 2000);
        displays.detachDisplayMonitor(0);
        QTRY_COMPARE_WITH_TIMEOUT(backend.monitorCount(), 1u, 2000);
        QCOMPARE(backend.monitorName(0), QStringLiteral("Twin 2"));
    }
};

QTEST_GUILESS_MAIN(RediscoveryTest)
#include "tst_rediscovery.moc"
