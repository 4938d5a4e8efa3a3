#include <QtCore/QJsonDocument>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

// The built varnoctl.exe as a script on Windows runs it: under Wine, on two
// display monitors (Display1 and Display2), each run against the simulated
// dxva2.dll beside it with settings of its own. Levels before any write:
// brightness 70 and 40, contrast 75 and 60, drive 50 and 45, gain 100 and 90.
class WindowsVarnoctlTest : public QObject
{
    Q_OBJECT

private slots:
    void aScriptReadsTheOutputAndTheExitCode_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("errors");
        // What the monitors hold afterwards, where it was written.
        QTest::addColumn<QString>("written");

        // A run with its settings, and what it prints and leaves.
        const auto row = [](const char *name, const QString &settings, const QStringList &arguments,
                            int exitCode, const QString &output, const QString &errors = {},
                            const QString &written = {}) {
            QTest::newRow(name) << settings << arguments << exitCode << output << errors << written;
        };
        row("list", "", {"list"}, 0,
            "0\tDisplay1\t\\\\.\\DISPLAY1\t\t\n1\tDisplay2\t\\\\.\\DISPLAY2\t\t\n");
        row("get one", "", {"get", "\\\\.\\DISPLAY2", "contrast"}, 0, "1\tcontrast\t60\t0\t100\n");
        row("get all of one", "", {"get", "display1"}, 0,
            "0\tbrightness\t70\t0\t100\n0\tcontrast\t75\t0\t100\n0\tred-drive\t50\t0\t100\n"
            "0\tgreen-drive\t50\t0\t100\n0\tblue-drive\t50\t0\t100\n0\tred-gain\t100\t0\t100\n"
            "0\tgreen-gain\t100\t0\t100\n0\tblue-gain\t100\t0\t100\n");
        row("get JSON", "", {"get", "all", "brightness", "--json"}, 0,
            R"([{"connector":"\\\\.\\DISPLAY1","controls":{"brightness":{"maximum":100,)"
            R"("minimum":0,"value":70}},"index":0,"manufacturer":"","name":"Display1",)"
            R"("serialNumber":""},{"connector":"\\\\.\\DISPLAY2","controls":{"brightness":)"
            R"({"maximum":100,"minimum":0,"value":40}},"index":1,"manufacturer":"",)"
            R"("name":"Display2","serialNumber":""}])");
        // Windows may hand out 0 as a handle: written through, and released.
        row("set", "display1 = 0", {"set", "0", "brightness", "30"}, 0,
            "0\tbrightness\t30\t0\t100\n", "", "monitor0.brightness = 30\n");
        row("set less", "", {"set", "1", "red-gain", "-5"}, 0, "1\tred-gain\t85\t0\t100\n", "",
            "monitor2.red-gain = 85\n");
        row("set all", "", {"set", "all", "blue-drive", "20"}, 0,
            "0\tblue-drive\t20\t0\t100\n1\tblue-drive\t20\t0\t100\n", "",
            "monitor1.blue-drive = 20\nmonitor2.blue-drive = 20\n");
        row("out of range", "", {"set", "0", "brightness", "101"}, 1, "",
            "varnoctl: monitor 0 (Display1) takes brightness from 0 to 100; 101 was not "
            "written\n");
        row("set all, one silent", "monitor2.silent = yes", {"set", "all", "brightness", "+10"}, 1,
            "0\tbrightness\t80\t0\t100\n", "varnoctl: monitor 1 (Display2) does not answer\n",
            "monitor1.brightness = 80\n");
        row("unsupported", "monitor1.unsupported = contrast", {"get", "0", "contrast"}, 1, "",
            "varnoctl: monitor 0 (Display1) does not support contrast\n");
        row("a monitor without drive", "monitor1.capabilities = brightness contrast gain",
            {"get", "0"}, 0,
            "0\tbrightness\t70\t0\t100\n0\tcontrast\t75\t0\t100\n0\tred-gain\t100\t0\t100\n"
            "0\tgreen-gain\t100\t0\t100\n0\tblue-gain\t100\t0\t100\n");
        row("a monitor whose drive is disabled",
            "monitor1.disabled = red-drive green-drive blue-drive", {"get", "0"}, 0,
            "0\tbrightness\t70\t0\t100\n0\tcontrast\t75\t0\t100\n0\tred-gain\t100\t0\t100\n"
            "0\tgreen-gain\t100\t0\t100\n0\tblue-gain\t100\t0\t100\n");
        // A reading of 0 of 0 is no value: none is shown, and none is computed
        // from it.
        row("get 0 of 0", "monitor1.maximum = 0", {"get", "0", "brightness"}, 1, "",
            "varnoctl: monitor 0 (Display1) does not support brightness\n");
        row("set from 0 of 0", "monitor1.maximum = 0", {"set", "0", "brightness", "+10"}, 1, "",
            "varnoctl: monitor 0 (Display1) does not support brightness\n");
        // The display mode changes during the run, before its first read
        // (after the capabilities query), or before its write: fresh handles
        // are taken, and the old ones released.
        row("get while the display mode changes", "mode-change-after = 2",
            {"get", "1", "brightness"}, 0, "1\tbrightness\t40\t0\t100\n");
        row("set while the display mode changes", "mode-change-after = 3",
            {"set", "1", "brightness", "55"}, 0, "1\tbrightness\t55\t0\t100\n", "",
            "monitor2.brightness = 55\n");
        // Display1 duplicated on two monitors: each is listed, named by its
        // description, and can be set on its own.
        // Through a pipe, the text is UTF-8.
        const QString duplicated =
            QStringLiteral("display1 = 1 5\nmonitor5.description = Écran de présentation");
        row("list of a duplicated display", duplicated, {"list"}, 0,
            "0\tGeneric PnP Monitor\t\\\\.\\DISPLAY1#1\t\t\n"
            "1\tÉcran de présentation\t\\\\.\\DISPLAY1#2\t\t\n2\tDisplay2\t\\\\.\\DISPLAY2\t\t\n");
        row("set one monitor of a duplicated display", duplicated,
            {"set", "\\\\.\\DISPLAY1#2", "brightness", "30"}, 0, "1\tbrightness\t30\t0\t100\n", "",
            "monitor5.brightness = 30\n");
        row("get in a remote session", "session = remote", {"get"}, 1, "",
            "varnoctl: no monitor was found. The monitors are not listed: Windows lets only "
            "the session at the computer itself reach them over DDC/CI, and Varno runs in a "
            "remote one.\n");
        row("set, the first write lost", "monitor1.drops-writes = 1",
            {"set", "0", "contrast", "45"}, 0, "0\tcontrast\t45\t0\t100\n", "",
            "monitor1.contrast = 45\n");
        row("usage error", "", {"get", "2"}, 2, "",
            "varnoctl: there is no monitor 2; there are 2\n"
            "See varnoctl --help.\n");
    }

    // And no run leaves a physical monitor open.
    void aScriptReadsTheOutputAndTheExitCode()
    {
        QFETCH(QString, settings);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QFETCH(QString, errors);
        QFETCH(QString, written);
        QTemporaryDir directory;
        const auto file = [&](const char *name) {
            return QDir::toNativeSeparators(directory.filePath(QLatin1String(name)));
        };
        QFile settingsFile(file("settings"));
        QVERIFY(settingsFile.open(QIODevice::WriteOnly));
        settingsFile.write(QStringLiteral("%1\nstate = %2\nleaks = %3\n")
                               .arg(settings, file("state"), file("leaks"))
                               .toUtf8());
        settingsFile.close();

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("VARNO_DXVA2SIM"), file("settings"));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/varnoctl.exe"),
                      arguments);
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), exitCode);
        QString printed = textOf(process.readAllStandardOutput());
        if (arguments.contains(QStringLiteral("--json")))
            printed = QJsonDocument::fromJson(printed.toUtf8()).toJson(QJsonDocument::Compact);
        QCOMPARE(printed, output);
        QCOMPARE(textOf(process.readAllStandardError()), errors);
        QCOMPARE(contentsOf(file("state")), written);
        QVERIFY(QFile::exists(file("leaks")));
        QCOMPARE(contentsOf(file("leaks")), QString());
    }

private:
    // A Windows program's text lines end in CR LF.
    static QString textOf(const QByteArray &bytes)
    {
        return QString::fromUtf8(bytes).remove(QLatin1Char('\r'));
    }

    static QString contentsOf(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? textOf(file.readAll()) : QString();
    }
};

QTEST_GUILESS_MAIN(WindowsVarnoctlTest)
#include "tst_windows_varnoctl.moc"
