#include "DDCWinApi.h"

#include <QtCore/QDebug>
#include <QtCore/QUrl>
#include <QtGui/QGuiApplication>
#include <QtGui/QIcon>
#include <QtQml/QQmlApplicationEngine>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    // Docks and task bars take the program's name and icon from its desktop
    // file; the window shows the icon itself where they do not.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.varno.Varno"));
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/org.varno.Varno.svg")));
    QQmlApplicationEngine engine;
    QObject::connect(
        &engine, &QQmlApplicationEngine::objectCreationFailed, &app,
        [] { QCoreApplication::exit(-1); }, Qt::QueuedConnection);

    // What keeps monitors from being reached is printed as it is found; the
    // program starts all the same, with the monitors it could reach.
    DDCWinApi::instance()->init();
    qmlRegisterSingletonInstance<DDCApi>("DDC", 1, 0, "DDCApi", DDCWinApi::instance());

#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
    // Modules compiled into the program live under qrc:/qt/qml, which Qt
    // searches by default only from 6.5 on.
    engine.addImportPath(QStringLiteral("qrc:/qt/qml"));
#endif
    qDebug() << engine.importPathList();

#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    engine.loadFromModule("Varno", "Main");
#else
    engine.load(QUrl(QStringLiteral("qrc:/qt/qml/Varno/Main.qml")));
#endif

    return app.exec();
}
