#include <QtCore/QProcess>
#include <QtTest/QtTest>

// The built varnoctl, run as a script runs it, without a display: over the
// simulated monitors, and where there is no monitor.
class VarnoctlTest : public QObject
{
    Q_OBJECT

private slots:
    void aScriptReadsTheOutputAndTheExitCode_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("errors");
        const QString demo = QStringLiteral(VARNOCTL);
        const QString none = QStringLiteral(VARNOCTL_NO_MONITOR);
        const QString noMonitor = QStringLiteral("varnoctl: no monitor was found.\n");
        QTest::newRow("list") << demo << QStringList{"list"} << 0
                              << "0\tAster 27Q\t\\\\.\\DISPLAY1\tASR\tA27Q-2304915\n"
                                 "1\tLumen 24F\t\\\\.\\DISPLAY2\tLMN\t24011987\n"
                              << QString();
        QTest::newRow("set") << demo << QStringList{"set", "lumen", "brightness", "-5"} << 0
                             << "1\tbrightness\t35\t0\t100\n"
                             << QString();
        QTest::newRow("usage error")
            << demo << QStringList{"set", "lumen", "brightness", "dim"} << 2 << QString()
            << "varnoctl: \"dim\" is not a value: give a number such as 30, or a change such as "
               "+10 or -5\nSee varnoctl --help.\n";
        QTest::newRow("version") << demo << QStringList{"--version"} << 0
                                 << QStringLiteral("varnoctl " VARNO_VERSION "\n") << QString();
        QTest::newRow("no monitor: list")
            << none << QStringList{"list"} << 0 << QString() << QString();
        QTest::newRow("no monitor: get")
            << none << QStringList{"get"} << 1 << QString() << noMonitor;
        QTest::newRow("no monitor: set all")
            << none << QStringList{"set", "all", "brightness", "30"} << 1 << QString() << noMonitor;
        QTest::newRow("no monitor: set one")
            << none << QStringList{"set", "0", "brightness", "30"} << 1 << QString() << noMonitor;
    }

    void aScriptReadsTheOutputAndTheExitCode()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QFETCH(QString, errors);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(display));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), exitCode);
        QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()), output);
        QCOMPARE(QString::fromUtf8(process.readAllStandardError()), errors);
    }
};

QTEST_GUILESS_MAIN(VarnoctlTest)
#include "tst_varnoctl.moc"
