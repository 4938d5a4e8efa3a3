#include "DDCMonitorAccess.h"
#include "DisplaysWithInput.h"
#include "FakeBackend.h"
#include "simulated/SimulatedEdid.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
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
        QTest::newRow("another model of the maker on the same port")
            << "swap second's model" << QStringList{"Twin 1", "Twin 2", "Twin 3"}
            << QList<qsizetype>{0, -1, 2};
        // Windows keeps the display configuration to a locked session: the
        // monitors are known by where they are attached.
        QTest::newRow("the configuration denied") << "deny" << QStringList{"Twin 1", "Twin 2", "Twin 3"}
                                                  << QList<qsizetype>{0, 1, 2};
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
        else if (change == "swap second's model")
            displays.displayMonitor(1).edid = SimulatedEdid{"AAA", 0, "Twin XL", "T-2"}.block();
        displays.setConfigurationDenied(change == "deny");
        QCOMPARE(access.displaysChanged(), change.startsWith("detach") || change == "attach");

        QTEST(access.rediscover(), "previousIndexOf");
        QTEST(namesOf(monitors), "names");
        QCOMPARE(monitors.first().identity.serialNumber, "T-" + monitors.first().displayName.right(1));
        QCOMPARE(access.platformAdvice().size(), change == "deny" ? 1 : 0);
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

    // Windows may hand out 0 as a handle, as any other that no open physical
    // monitor holds: a rediscovery takes new handles before it releases the
    // old ones.
    void aMonitorThatWasOffAnswersThroughANewHandle_data()
    {
        QTest::addColumn<bool>("firstHandleIsZero");
        QTest::newRow("any handle") << false;
        QTest::newRow("handle 0 first") << true;
    }

    // Off and on again between two discoveries, unseen: the old handle no
    // longer reaches the monitor, the one taken afresh does.
    void aMonitorThatWasOffAnswersThroughANewHandle()
    {
        QFETCH(bool, firstHandleIsZero);
        InstalledFakeDisplays displays;
        addTwin(displays, 1);
        if (firstHandleIsZero)
            displays.setHandleZeroOwner(0);
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

    // Windows ends the handles when the display mode changes; Qt tells only of
    // a screen's new geometry, refresh rate or orientation. Either way the
    // monitors are listed anew, and a read or write through an ended handle
    // costs no retries and never makes its monitor silent.
    void aChangeOfDisplayModeTakesFreshHandles_data()
    {
        QTest::addColumn<QString>("sign");
        QTest::newRow("a read through an ended handle") << "read";
        QTest::newRow("a write through an ended handle") << "write";
        QTest::newRow("a screen's new geometry") << "geometry";
        QTest::newRow("a screen's new refresh rate") << "refresh rate";
        QTest::newRow("a screen's new orientation") << "orientation";
    }

    void aChangeOfDisplayModeTakesFreshHandles()
    {
        QFETCH(QString, sign);
        InstalledFakeDisplays displays;
        for (int number = 1; number <= 2; ++number)
            addTwin(displays, number);
        TestBackend backend;
        backend.init();
        QSignalSpy relisted(&backend, &DDCApi::monitorsChanged);
        displays.changeDisplayMode();
        displays.control(1, MonitorControl::Contrast).current = 20;
        displays.clearCalls();

        QScreen *screen = QGuiApplication::primaryScreen();
        if (sign == "read")
            backend.refresh();
        else if (sign == "write")
            backend.setContrast(1, 30);
        else if (sign == "geometry")
            emit screen->geometryChanged(screen->geometry());
        else if (sign == "refresh rate")
            emit screen->refreshRateChanged(screen->refreshRate());
        else
            emit screen->orientationChanged(screen->orientation());
        QCOMPARE(displays.calls().filter(QStringLiteral("Sleep")), QStringList());
        QCOMPARE(backend.answering(), (QList<bool>{true, true}));
        QTRY_COMPARE_WITH_TIMEOUT(relisted.size(), 1, 2000);
        QCOMPARE(relisted.at(0).at(0).value<QList<int>>(), (QList<int>{0, 1}));
        backend.refresh();
        QCOMPARE(backend.contrast().at(1).value(), 20u);
        QCOMPARE(displays.openPhysicalMonitorHandles(), 2);
    }

    // Monitors come and go while the backend runs and notices by itself.
    // Steps: start, refresh, add/detach/attach NAME, lacks NAME (no red
    // drive), silence NAME, swap NAME NEW (another model on NAME's port),
    // rediscover-in-refresh (asked for while a refresh reads), and expect
    // NAMES..., which waits for that list and checks it.
    void monitorsComeAndGo_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("one plugged in past the start-up count")
            << QStringList{"add Aster",
                           "add Lumen",
                           "start",
                           "add Orion",
                           "expect Aster Lumen Orion",
                           "refresh",
                           "expect Aster Lumen Orion"};
        QTest::newRow("started with none, then one plugged in")
            << QStringList{"start", "add Aster", "expect Aster", "refresh", "expect Aster"};
        QTest::newRow("a silent first monitor unplugged")
            << QStringList{"add Aster",     "add Lumen", "lacks Aster",        "start",
                           "silence Aster", "refresh",   "expect Aster Lumen", "detach Aster",
                           "expect Lumen",  "refresh",   "expect Lumen"};
        QTest::newRow("off and on again") << QStringList{
            "add Aster",    "add Lumen",    "lacks Lumen",        "start",   "detach Aster",
            "expect Lumen", "attach Aster", "expect Aster Lumen", "refresh", "expect Aster Lumen"};
        QTest::newRow("every one unplugged, then one docked") << QStringList{
            "add Aster", "add Lumen",    "start",        "detach Aster", "detach Lumen",
            "expect",    "attach Lumen", "expect Lumen", "refresh",      "expect Lumen"};
        QTest::newRow("another model on the same port") << QStringList{
            "add Aster", "add Lumen", "start", "swap Lumen Vega", "expect Aster Vega"};
        QTest::newRow("a rediscovery asked for during a refresh") << QStringList{
            "add Aster",   "add Lumen", "start", "detach Aster", "rediscover-in-refresh",
            "expect Lumen"};
    }

    void monitorsComeAndGo()
    {
        QFETCH(QStringList, steps);
        DisplaysWithInput displays;
        TestBackend backend;
        QHash<QString, int> ids;
        QStringList lacking;
        QStringList silent;
        for (const QString &step : std::as_const(steps)) {
            QStringList words = step.split(QLatin1Char(' '));
            const QString action = words.takeFirst();
            const QString name = words.value(0);
            if (action == "start") {
                backend.init();
            } else if (action == "add") {
                ids.insert(name, addModel(displays, name));
            } else if (action == "swap") {
                displays.detachDisplayMonitor(ids.value(name));
                const int id = addModel(displays, words.at(1));
                displays.displayMonitor(id).devicePath =
                    displays.displayMonitor(ids.value(name)).devicePath;
                ids.insert(words.at(1), id);
            } else if (action == "detach") {
                displays.detachDisplayMonitor(ids.value(name));
            } else if (action == "attach") {
                displays.attachDisplayMonitor(ids.value(name));
            } else if (action == "lacks") {
                displays.control(ids.value(name), MonitorControl::RedDrive).unsupported = true;
                lacking.append(name);
            } else if (action == "silence") {
                displays.setSilent(ids.value(name), true);
                silent.append(name);
            } else if (action == "refresh") {
                // Each monitor's contrast was changed on the monitor itself.
                for (const int id : std::as_const(ids))
                    ++displays.control(id, MonitorControl::Contrast).current;
                backend.refresh();
            } else if (action == "rediscover-in-refresh") {
                displays.input = [&](const QString &) { backend.rediscover(); };
                backend.refresh();
                displays.input = nullptr;
            } else {
                QTRY_COMPARE_WITH_TIMEOUT(namesOf(backend), words, 4000);
                verifyListed(backend, displays, ids, lacking, silent);
                if (QTest::currentTestFailed())
                    return;
            }
        }
    }

private:
    // A model of its own maker with a placeholder serial number, as many
    // monitors have: only its name tells it from another model of the maker.
    static int addModel(FakeDisplaySystem &displays, const QString &name)
    {
        const int id = displays.addDisplayMonitor(
            QStringLiteral("\\\\.\\DISPLAY%1").arg(displays.monitorCount() + 1), name);
        displays.displayMonitor(id).edid =
            SimulatedEdid{"VRN", 0x01010101, name.toLatin1(), {}}.block();
        const auto number = DWORD(QStringList{"Aster", "Lumen", "Orion", "Vega"}.indexOf(name) + 1);
        displays.control(id, MonitorControl::Contrast) = {0, 40 + number, 80 + number};
        return id;
    }

    // Every published list holds one entry per listed monitor, each the
    // monitor's own; a write reaches the monitor at its index, and no other.
    static void verifyListed(DDCWinApi &backend, FakeDisplaySystem &displays,
                             const QHash<QString, int> &ids, const QStringList &lacking,
                             const QStringList &silent)
    {
        const auto count = qsizetype(backend.monitorCount());
        QCOMPARE(backend.brightness().size(), count);
        QCOMPARE(backend.contrast().size(), count);
        QCOMPARE(backend.rgbDrive().size(), count);
        QCOMPARE(backend.rgbGain().size(), count);
        QCOMPARE(backend.answering().size(), count);
        QCOMPARE(backend.unsupportedControls().size(), count);
        const auto contrasts = [&] {
            QHash<int, DWORD> values;
            for (const int id : ids)
                values.insert(id, displays.control(id, MonitorControl::Contrast).current);
            return values;
        };
        for (uint index = 0; index < uint(count); ++index) {
            const QString name = backend.monitorName(index);
            const int id = ids.value(name);
            QCOMPARE(backend.answering().at(index), !silent.contains(name));
            QCOMPARE(backend.unsupportedControls().at(index),
                     lacking.contains(name) ? 1u << DDCMonitorAccess::RedDrive : 0u);
            if (silent.contains(name))
                continue;
            const DDCValue contrast = backend.contrast().at(index);
            const FakeDisplaySystem::ControlState state =
                displays.control(id, MonitorControl::Contrast);
            QCOMPARE(contrast.value(), state.current);
            QCOMPARE(contrast.maximum(), state.maximum);

            QHash<int, DWORD> expected = contrasts();
            expected.insert(id, 20 + index);
            backend.setContrast(index, 20 + index);
            QCOMPARE(contrasts(), expected);
        }
    }
};

QTEST_MAIN(RediscoveryTest)
#include "tst_rediscovery.moc"
