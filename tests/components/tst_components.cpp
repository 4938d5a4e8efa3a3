#include "RecordingApi.h"

#include <QtQml/QQmlContext>
#include <QtQml/QQmlEngine>
#include <QtQuickTest/quicktest.h>

// Fresh values for the tests. QML cannot create them, and a value written into
// a QML property field by field is lost whenever the write leaves the value
// field as it was, since a ddcValue compares by its value alone.
class Values : public QObject
{
    Q_OBJECT

public:
    Q_INVOKABLE DDCValue level(const QString &name, uint minimum, uint maximum, uint value) const
    {
        return DDCValue(name, minimum, maximum, value);
    }
    Q_INVOKABLE DDCRgbValue triple(const QString &name, const DDCValue &red, const DDCValue &green,
                                   const DDCValue &blue) const
    {
        return DDCRgbValue(name, red, green, blue);
    }
};

// The components import DDC 1.0; they never use it, so any control API will do.
class ComponentsSetup : public QObject
{
    Q_OBJECT

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        engine->rootContext()->setContextProperty(QStringLiteral("values"), &m_values);
        qmlRegisterSingletonInstance<DDCApi>("DDC", 1, 0, "DDCApi", &m_api);
#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
        engine->addImportPath(QStringLiteral("qrc:/qt/qml"));
#endif
    }

private:
    Values m_values;
    RecordingApi m_api;
};

QUICK_TEST_MAIN_WITH_SETUP(components, ComponentsSetup)
#include "tst_components.moc"
