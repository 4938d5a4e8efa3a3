#include "DDCMonitorModel.h"
#include "FakeBackend.h"

#include <QtTest/QtTest>

namespace {

// Makes indexes that the model's own index() would refuse.
class ProbedModel : public DDCMonitorModel
{
public:
    using DDCMonitorModel::createIndex;
};

} // namespace

// The model reads the program's one backend, so each process sets up one
// display system: two monitors, or none when VARNO_TEST_NO_MONITORS is set.
class MonitorModelTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!noMonitors()) {
            m_displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY1"),
                                         QStringLiteral("Aster 27Q"));
            m_displays.addDisplayMonitor(QString(), QString());
        }
        DDCWinApi::instance()->init();
    }

    void rowsAreTheBackendsMonitorsInOrder()
    {
        if (noMonitors())
            QSKIP("needs monitors");
        ProbedModel model;
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.data(model.index(0)), QVariant(QStringLiteral("Aster 27Q")));
        // A monitor without any name still has its row.
        const QVariant unnamed = model.data(model.index(1));
        QVERIFY(unnamed.isValid());
        QCOMPARE(unnamed.toString(), QString());

        QVERIFY(!model.data(model.createIndex(2, 0)).isValid());
        QVERIFY(!model.data(model.createIndex(-1, 0)).isValid());
        QVERIFY(!model.data(model.createIndex(0, 1)).isValid());
        for (int role : {1, 2, 3, 4, 5, int(Qt::UserRole), int(Qt::UserRole) + 7})
            QVERIFY(!model.data(model.index(0), role).isValid());
        QCOMPARE(model.rowCount(model.index(0)), 0);
    }

    void emptyWithoutMonitors()
    {
        if (!noMonitors())
            QSKIP("needs a system without monitors");
        ProbedModel model;
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(!model.data(model.createIndex(0, 0)).isValid());
    }

    void displayRoleIsNamedModelData()
    {
        const QHash<int, QByteArray> names = DDCMonitorModel().roleNames();
        QCOMPARE(names.value(Qt::DisplayRole), QByteArray("modelData"));
        QVERIFY(!names.values().contains("display"));
        QCOMPARE(names.value(Qt::DecorationRole), QByteArray("decoration"));
        QCOMPARE(names.value(Qt::EditRole), QByteArray("edit"));
        QCOMPARE(names.value(Qt::ToolTipRole), QByteArray("toolTip"));
        QCOMPARE(names.value(Qt::StatusTipRole), QByteArray("statusTip"));
        QCOMPARE(names.value(Qt::WhatsThisRole), QByteArray("whatsThis"));
    }

    void isAQmlElementWhoseMembersTellWhereRowsWereAndWhoTheyAre()
    {
        const QMetaObject &metaObject = DDCMonitorModel::staticMetaObject;
        QCOMPARE(metaObject.className(), "DDCMonitorModel");
        QCOMPARE(metaObject.superClass(), &QAbstractListModel::staticMetaObject);
        QCOMPARE(metaObject.methodCount(), metaObject.methodOffset() + 2);
        QCOMPARE(metaObject.method(metaObject.methodOffset()).methodSignature(),
                 "monitorsRelisted(QList<int>)");
        QCOMPARE(metaObject.method(metaObject.methodOffset() + 1).methodSignature(),
                 "monitorKey(int)");
        QCOMPARE(metaObject.propertyCount(), metaObject.propertyOffset());
        const int element = metaObject.indexOfClassInfo("QML.Element");
        QVERIFY(element >= 0);
        QCOMPARE(metaObject.classInfo(element).value(), "auto");
    }

    // Last: it changes the monitors that the other tests count on.
    void announcesTheMonitorsListedAnew()
    {
        ProbedModel model;
        QSignalSpy aboutToReset(&model, &QAbstractItemModel::modelAboutToBeReset);
        QSignalSpy relisted(&model, &DDCMonitorModel::monitorsRelisted);
        connect(&model, &QAbstractItemModel::modelAboutToBeReset, this,
                [&] { QCOMPARE(model.rowCount(), noMonitors() ? 0 : 2); });
        m_displays.addDisplayMonitor(QStringLiteral("\\\\.\\DISPLAY3"), QStringLiteral("Orion"));
        DDCWinApi::instance()->rediscover();

        QCOMPARE(aboutToReset.size(), 1);
        QCOMPARE(relisted.size(), 1);
        const QList<int> previousRowOf = noMonitors() ? QList<int>{-1} : QList<int>{0, 1, -1};
        QCOMPARE(relisted.first().first().value<QList<int>>(), previousRowOf);
        QCOMPARE(model.data(model.index(model.rowCount() - 1)), QVariant(QStringLiteral("Orion")));
    }

private:
    static bool noMonitors()
    {
        return qEnvironmentVariableIsSet("VARNO_TEST_NO_MONITORS");
    }

    InstalledFakeDisplays m_displays;
};

QTEST_GUILESS_MAIN(MonitorModelTest)
#include "tst_monitormodel.moc"
