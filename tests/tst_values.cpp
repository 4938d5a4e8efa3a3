#include "DDCRgbValue.h"
#include "DDCValue.h"

#include <QtCore/QMetaProperty>
#include <QtTest/QtTest>

namespace {

void verifyProperties(const QMetaObject &metaObject, const QList<QByteArray> &names,
                      const QList<QByteArray> &types)
{
    QCOMPARE(metaObject.propertyOffset(), 0);
    QCOMPARE(metaObject.propertyCount(), names.size());
    for (int i = 0; i < names.size(); ++i) {
        const QMetaProperty property = metaObject.property(i);
        QCOMPARE(property.name(), names.at(i));
        QCOMPARE(property.typeName(), types.at(i));
        QVERIFY(property.isReadable());
        QVERIFY(property.isWritable());
        QVERIFY(property.isFinal());
        QVERIFY(!property.hasNotifySignal());
        QVERIFY(!property.isConstant());
        QVERIFY(!property.isResettable());
    }
    QCOMPARE(metaObject.methodCount(), 0);
    QCOMPARE(metaObject.enumeratorCount(), 0);
    QCOMPARE(metaObject.constructorCount(), 0);
    QVERIFY(!metaObject.superClass());
}

QByteArray qmlElement(const QMetaObject &metaObject)
{
    const int index = metaObject.indexOfClassInfo("QML.Element");
    return index < 0 ? QByteArray() : QByteArray(metaObject.classInfo(index).value());
}

} // namespace

class ValuesTest : public QObject
{
    Q_OBJECT

private slots:
    void defaultsAreZeroWithNullNames()
    {
        const DDCValue value;
        QCOMPARE(value.minimum(), 0u);
        QCOMPARE(value.maximum(), 0u);
        QCOMPARE(value.value(), 0u);
        QVERIFY(value.name().isNull());

        const DDCRgbValue rgb;
        QVERIFY(rgb.name().isNull());
        for (const DDCValue &channel : {rgb.red(), rgb.green(), rgb.blue()}) {
            QCOMPARE(channel.maximum(), 0u);
            QCOMPARE(channel.value(), 0u);
            QVERIFY(channel.name().isNull());
        }
    }

    void equalityComparesValuesOnly()
    {
        const DDCValue a(QStringLiteral("A"), 0, 100, 50);
        const DDCValue b(QStringLiteral("B"), 10, 20, 50);
        const DDCValue c(QStringLiteral("A"), 0, 100, 51);
        QVERIFY(a == b);
        QVERIFY(!(a != b));
        QVERIFY(a != c);
        QVERIFY(!(a == c));

        QVERIFY(a == 50u && 50u == a);
        QVERIFY(a != 51u && 51u != a);
        QVERIFY(!(a == 51u) && !(51u == a));
    }

    void settersStoreAnyNumberWithoutClamping()
    {
        DDCValue value(QStringLiteral("Brightness"), 0, 100, 10);
        value.setValue(500);
        value.setMinimum(300);
        value.setMaximum(200);
        value.setName(QStringLiteral("Contrast"));
        QCOMPARE(value.value(), 500u);
        QCOMPARE(value.minimum(), 300u);
        QCOMPARE(value.maximum(), 200u);
        QCOMPARE(value.name(), QStringLiteral("Contrast"));
    }

    void rgbEqualityComparesTheThreeChannelValues()
    {
        const DDCRgbValue a(QStringLiteral("RGB Drive"), DDCValue(QStringLiteral("Red"), 0, 100, 1),
                            DDCValue(QStringLiteral("Green"), 0, 100, 2),
                            DDCValue(QStringLiteral("Blue"), 0, 100, 3));
        const DDCRgbValue b(QStringLiteral("RGB Gain"), DDCValue({}, 5, 6, 1),
                            DDCValue({}, 7, 8, 2), DDCValue({}, 9, 10, 3));
        QVERIFY(a == b);
        QVERIFY(!(a != b));

        DDCRgbValue blueDiffers = b;
        blueDiffers.setBlue(DDCValue({}, 0, 100, 4));
        QVERIFY(a != blueDiffers);
        QVERIFY(!(a == blueDiffers));
    }

    void channelSetterTakesTheWholeChannelOnlyWhenTheValueDiffers()
    {
        DDCRgbValue rgb(QStringLiteral("RGB Gain"), DDCValue(QStringLiteral("Red"), 0, 100, 50), {},
                        {});
        rgb.setRed(DDCValue(QStringLiteral("Other"), 5, 10, 50));
        QCOMPARE(rgb.red().name(), QStringLiteral("Red"));
        QCOMPARE(rgb.red().maximum(), 100u);

        rgb.setRed(DDCValue(QStringLiteral("Other"), 5, 10, 7));
        QCOMPARE(rgb.red().name(), QStringLiteral("Other"));
        QCOMPARE(rgb.red().minimum(), 5u);
        QCOMPARE(rgb.red().maximum(), 10u);
        QCOMPARE(rgb.red().value(), 7u);
    }

    void copiesAreIndependent()
    {
        const DDCRgbValue original(QStringLiteral("RGB Drive"), DDCValue({}, 0, 100, 1),
                                   DDCValue({}, 0, 100, 2), DDCValue({}, 0, 100, 3));
        DDCRgbValue copy = original;
        DDCValue green = copy.green();
        green.setValue(60);
        copy.setGreen(green);
        QCOMPARE(copy.green().value(), 60u);
        QCOMPARE(original.green().value(), 2u);

        DDCRgbValue assigned;
        assigned = original;
        QCOMPARE(assigned.name(), original.name());
        QCOMPARE(assigned.blue().value(), 3u);
        DDCRgbValue moved = std::move(assigned);
        QCOMPARE(moved.red().value(), 1u);
    }

    void metaObjectsDeclareTheQmlValueTypes()
    {
        verifyProperties(DDCValue::staticMetaObject, {"minimum", "maximum", "value", "name"},
                         {"uint", "uint", "uint", "QString"});
        verifyProperties(DDCRgbValue::staticMetaObject, {"name", "red", "green", "blue"},
                         {"QString", "DDCValue", "DDCValue", "DDCValue"});
        QCOMPARE(qmlElement(DDCValue::staticMetaObject), QByteArray("ddcValue"));
        QCOMPARE(qmlElement(DDCRgbValue::staticMetaObject), QByteArray("ddcRgbValue"));
    }

    void metaTypesAreKnownByNameAndCompareByValue()
    {
        const QMetaType value = QMetaType::fromType<DDCValue>();
        const QMetaType rgb = QMetaType::fromType<DDCRgbValue>();
        const QMetaType values = QMetaType::fromType<QList<DDCValue>>();
        const QMetaType rgbs = QMetaType::fromType<QList<DDCRgbValue>>();
        QCOMPARE(value.name(), "DDCValue");
        QCOMPARE(rgb.name(), "DDCRgbValue");
        QCOMPARE(values.name(), "QList<DDCValue>");
        QCOMPARE(rgbs.name(), "QList<DDCRgbValue>");
        // Known by name once used through the meta-type system.
        QVERIFY(rgbs.id() > 0);
        QCOMPARE(QMetaType::fromName("QList<DDCRgbValue>"), rgbs);

        for (const QMetaType &type : {value, rgb, values, rgbs}) {
            QVERIFY(type.isEqualityComparable());
            QVERIFY(!type.isOrdered());
            QVERIFY(!type.hasRegisteredDebugStreamOperator());
            QVERIFY(!type.hasRegisteredDataStreamOperators());
        }
        const QMetaType iterable = QMetaType::fromType<QIterable<QMetaSequence>>();
        QVERIFY(QMetaType::canConvert(values, iterable));
        QVERIFY(QMetaType::canView(rgbs, iterable));

        const QList<DDCValue> left{DDCValue(QStringLiteral("A"), 0, 1, 5)};
        const QList<DDCValue> right{DDCValue(QStringLiteral("B"), 2, 3, 5)};
        QVERIFY(values.equals(&left, &right));
    }
};

QTEST_APPLESS_MAIN(ValuesTest)
#include "tst_values.moc"
