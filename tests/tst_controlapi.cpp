#include "FakeBackend.h"

#include <QtCore/QMetaMethod>
#include <QtCore/QMetaProperty>
#include <QtTest/QtTest>

class ControlApiTest : public QObject
{
    Q_OBJECT

private slots:
    void metaObjectPublishesFourReadOnlyLists()
    {
        const QMetaObject &metaObject = DDCApi::staticMetaObject;
        QCOMPARE(metaObject.className(), "DDCApi");
        QCOMPARE(metaObject.superClass(), &QObject::staticMetaObject);
        QCOMPARE(metaObject.classInfoCount(), 0);
        QCOMPARE(metaObject.enumeratorCount(), 0);
        QCOMPARE(metaObject.constructorCount(), 0);

        const QList<QByteArray> names{"brightness", "contrast", "rgbDrive", "rgbGain"};
        const QList<QByteArray> types{"QList<DDCValue>", "QList<DDCValue>", "QList<DDCRgbValue>",
                                      "QList<DDCRgbValue>"};
        QCOMPARE(metaObject.propertyCount() - metaObject.propertyOffset(), 4);
        for (int i = 0; i < 4; ++i) {
            const QMetaProperty property = metaObject.property(metaObject.propertyOffset() + i);
            QCOMPARE(property.name(), names.at(i));
            QCOMPARE(property.typeName(), types.at(i));
            QVERIFY(!property.isWritable());
            QVERIFY(!property.isResettable());
            QVERIFY(!property.isConstant());
            QVERIFY(property.isFinal());
            QCOMPARE(property.notifySignal().name(), names.at(i) + "Changed");
        }
    }

    void metaObjectListsSignalsThenInvokables()
    {
        const QMetaObject &metaObject = DDCApi::staticMetaObject;
        const QList<QByteArray> signatures{"brightnessChanged()",
                                           "contrastChanged()",
                                           "rgbDriveChanged()",
                                           "rgbGainChanged()",
                                           "monitorSerialNumber(uint)",
                                           "monitorManufacturer(uint)",
                                           "setBrightness(uint,uint)",
                                           "setContrast(uint,uint)",
                                           "setRgbDrive(uint,DDCRgbValue)",
                                           "setRgbGain(uint,DDCRgbValue)"};
        QCOMPARE(metaObject.methodCount() - metaObject.methodOffset(), signatures.size());
        for (int i = 0; i < signatures.size(); ++i) {
            const QMetaMethod method = metaObject.method(metaObject.methodOffset() + i);
            QCOMPARE(method.methodSignature(), signatures.at(i));
            QCOMPARE(method.access(), QMetaMethod::Public);
            QCOMPARE(method.methodType(), i < 4 ? QMetaMethod::Signal : QMetaMethod::Method);
            QCOMPARE(method.typeName(), i == 4 || i == 5 ? "QString" : "void");
        }
        const QMetaMethod setRgbDrive =
            metaObject.method(metaObject.indexOfMethod("setRgbDrive(uint,DDCRgbValue)"));
        QCOMPARE(setRgbDrive.parameterNames(), (QList<QByteArray>{"index", "value"}));
        QCOMPARE(DDCWinApi::staticMetaObject.className(), "DDCWinApi");
        QCOMPARE(DDCWinApi::staticMetaObject.methodCount(), metaObject.methodCount());
        QCOMPARE(DDCWinApi::staticMetaObject.propertyCount(), metaObject.propertyCount());
    }

    void listsAreEmptyBeforeInitAndCopiesStayPut()
    {
        InstalledFakeDisplays displays;
        displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY1"), QStringLiteral("One"));
        TestBackend backend;
        QVERIFY(backend.brightness().isEmpty());
        QVERIFY(backend.contrast().isEmpty());
        QVERIFY(backend.rgbDrive().isEmpty());
        QVERIFY(backend.rgbGain().isEmpty());

        backend.init();
        const QList<DDCValue> before = backend.brightness();
        backend.setBrightness(0, 80);
        QCOMPARE(before.at(0).value(), 50u);
        QCOMPARE(backend.brightness().at(0).value(), 80u);
    }

    // Qt lists its screens in an order of its own; later Qt names a Windows
    // screen after its monitor, whose device path then carries no serial.
    void identityQueriesAnswerForTheScreenThatShowsTheMonitor()
    {
        InstalledFakeDisplays displays;
        displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY1"), QStringLiteral("Aster 27Q"));
        displays
            .displayMonitor(displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY2"),
                                                       QStringLiteral("Lumen 24F")))
            .devicePath = QStringLiteral("\\\\?\\DISPLAY#LUM0024#1");
        TestBackend backend;
        backend.screens = {{"Lumen 24F", "Lumen", "Lumen 24F", "L-24"},
                           {"\\\\.\\DISPLAY1", "Aster", "", "A-27"}};
        backend.init();
        QCOMPARE(backend.monitorManufacturer(0), QStringLiteral("Aster"));
        QCOMPARE(backend.monitorSerialNumber(0), QStringLiteral("A-27"));
        QCOMPARE(backend.monitorManufacturer(1), QStringLiteral("Lumen"));
        QCOMPARE(backend.monitorSerialNumber(1), QStringLiteral("L-24"));
        // No selection and positions past the monitors answer with nothing.
        QCOMPARE(backend.monitorManufacturer(2), QString());
        QCOMPARE(backend.monitorSerialNumber(4294967295u), QString());
    }

    // Monitors are "device/friendly name/serial", screens "name/model/serial";
    // each monitor's screen is its position in the screens, -1 for none.
    void screenShowingEachMonitor_data()
    {
        QTest::addColumn<QStringList>("monitors");
        QTest::addColumn<QStringList>("screens");
        QTest::addColumn<QList<int>>("screenOf");
        QTest::newRow("Qt's own order")
            << QStringList{"\\\\.\\DISPLAY1/A/", "\\\\.\\DISPLAY2/B/"}
            << QStringList{"\\\\.\\DISPLAY2/B/", "\\\\.\\DISPLAY1/A/"} << QList<int>{1, 0};
        QTest::newRow("later Qt on Windows")
            << QStringList{"\\\\.\\DISPLAY1/A/", "\\\\.\\DISPLAY2/B/"} << QStringList{"B//", "A//"}
            << QList<int>{1, 0};
        QTest::newRow("laptop panel first")
            << QStringList{"card0-DP-1/A/1"} << QStringList{"eDP-1/Panel/", "DP-1/A/1"}
            << QList<int>{1};
        QTest::newRow("no screen shows it")
            << QStringList{"card0-DP-1/A/1"} << QStringList{"screen/B/2"} << QList<int>{-1};
        QTest::newRow("Wayland") << QStringList{"card0-DP-1/A/", "card0-HDMI-A-1/B/"}
                                 << QStringList{"HDMI-A-1//", "DP-1//"} << QList<int>{1, 0};
        QTest::newRow("X11 modesetting") << QStringList{"card0-HDMI-A-1//"}
                                         << QStringList{"DP-1//", "HDMI-1//"} << QList<int>{1};
        // The driver's HDMI-A-1 is the kernel's HDMI-A-2; Qt 6.4 ends short EDID texts in a dash.
        QTest::newRow("X11 driver's own names")
            << QStringList{"card0-HDMI-A-1/A/", "card0-HDMI-A-2/B/"}
            << QStringList{"HDMI-A-0/A-/", "HDMI-A-1/B-/"} << QList<int>{0, 1};
        QTest::newRow("one model, two serials")
            << QStringList{"card0-DP-1/A/1", "card0-DP-2/A/2"}
            << QStringList{"DP-1/A/2-", "DP-0/A/1-"} << QList<int>{1, 0};
        // Of two monitors alike, only one answers over DDC/CI.
        QTest::newRow("one model, no serials")
            << QStringList{"card0-DP-1/A/"} << QStringList{"DisplayPort-0/A/", "DisplayPort-1/A/"}
            << QList<int>{-1};
        QTest::newRow("one name, two cards") << QStringList{"card0-DP-1//", "card1-DP-1//"}
                                             << QStringList{"DP-1//"} << QList<int>{-1, -1};
    }

    void screenShowingEachMonitor()
    {
        QFETCH(QStringList, monitors);
        QFETCH(QStringList, screens);
        QList<MonitorIdentity> monitorIdentities;
        for (const QString &monitor : std::as_const(monitors))
            monitorIdentities.append(
                {monitor.section('/', 0, 0), monitor.section('/', 1, 1), monitor.section('/', 2)});
        QList<ScreenIdentity> screenIdentities;
        for (const QString &screen : std::as_const(screens))
            screenIdentities.append(
                {screen.section('/', 0, 0), {}, screen.section('/', 1, 1), screen.section('/', 2)});
        QTEST(matchScreens(monitorIdentities, screenIdentities), "screenOf");
    }
};

QTEST_MAIN(ControlApiTest)
#include "tst_controlapi.moc"
