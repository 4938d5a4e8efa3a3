#include <QtCore/QProcess>
#include <QtTest/QtTest>

// The built varnoctl over the simulated monitors, run as a script runs it,
// without a display.
class VarnoctlTest : public QObject
{
    Q_OBJECT

private slots:
    void aScriptReadsTheOutputAndTheExitCode_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::newRow("list") << QStringList{"list"} << 0
                              << "0\tAster 27Q\t\\\\.\\DISPLAY1\n1\tLumen 24F\t\\\\.\\DISPLAY2\n";
        QTest::newRow("set") << QStringList{"set", "lumen", "brightness", "-5"} << 0
                             << "1\tbrightness\t35\t0\t100\n";
        QTest::newRow("usage error")
            << QStringList{"set", "lumen", "brightness", "dim"} << 2 << QString();
        QTest::newRow("version") << QStringList{"--version"} << 0
                                 << QStringLiteral("varnoctl " VARNO_VERSION "\n");
    }

    void aScriptReadsTheOutputAndTheExitCode()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(display));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(VARNOCTL), arguments);
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), exitCode);
        QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()), output);
        QCOMPARE(process.readAllStandardError().isEmpty(), exitCode == 0);
    }
};

QTEST_GUILESS_MAIN(VarnoctlTest)
#include "tst_varnoctl.moc"
