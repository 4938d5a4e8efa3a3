#include "FakeBackend.h"

#include <QtCore/QMetaMethod>
#include <QtCore/QMetaProperty>
#include <QtTest/QtTest>

class ControlApiTest : public QObject
{
    Q_OBJECT

private slots:
    // The four control lists first, then what the window needs to tell why a
    // control cannot be used.
    void metaObjectPublishesReadOnlyLists()
    {
        const QMetaObject &metaObject = DDCApi::staticMetaObject;
        QCOMPARE(metaObject.className(), "DDCApi");
        QCOMPARE(metaObject.superClass(), &QObject::staticMetaObject);
        QCOMPARE(metaObject.classInfoCount(), 0);
        QCOMPARE(metaObject.enumeratorCount(), 2);
        QCOMPARE(metaObject.enumerator(0).name(), "Control");
        QCOMPARE(metaObject.enumerator(1).name(), "NoMonitorReason");
        QCOMPARE(metaObject.constructorCount(), 0);

        const QList<QByteArray> names{"brightness",     "contrast",  "rgbDrive",
                                      "rgbGain",        "answering", "unsupportedControls",
                                      "noMonitorReason"};
        const QList<QByteArray> types{
            "QList<DDCValue>", "QList<DDCValue>", "QList<DDCRgbValue>",     "QList<DDCRgbValue>",
            "QList<bool>",     "QList<uint>",     "DDCApi::NoMonitorReason"};
        QCOMPARE(metaObject.propertyCount() - metaObject.propertyOffset(), names.size());
        for (int i = 0; i < names.size(); ++i) {
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
                                           "answeringChanged()",
                                           "unsupportedControlsChanged()",
                                           "noMonitorReasonChanged()",
                                           "monitorsAboutToChange()",
                                           "monitorsChanged(QList<int>)",
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
            QCOMPARE(method.methodType(), i < 9 ? QMetaMethod::Signal : QMetaMethod::Method);
            QCOMPARE(method.typeName(), i == 9 || i == 10 ? "QString" : "void");
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
};

QTEST_MAIN(ControlApiTest)
#include "tst_controlapi.moc"
