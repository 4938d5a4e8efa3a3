#include <QtCore/QDeadlineTimer>
#include <QtCore/QProcess>
#include <QtCore/QThread>
#include <QtTest/QtTest>

#include <algorithm>
#include <cstdlib>

// The real program, started and closed as a user would, under an X server.
class ProgramTest : public QObject
{
    Q_OBJECT

private slots:
    void closingTheWindowEndsTheProgramWithZero_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("simulated monitors") << QStringLiteral(DEMO_PROGRAM);
        QTest::newRow("no monitor") << QStringLiteral(NO_MONITOR_PROGRAM);
    }

    void closingTheWindowEndsTheProgramWithZero()
    {
        QFETCH(QString, program);
        QProcess process;
        process.start(program, {});
        QVERIFY(process.waitForStarted());
        QCOMPARE(windowTool({"wait", title(), "20000"}), 0);
        QProcess icon; // for task bars
        icon.start(QStringLiteral("xprop"), {"-name", title(), "_NET_WM_ICON"});
        QVERIFY(icon.waitForFinished() && icon.readAll().contains("_NET_WM_ICON(CARDINAL) = "));
        QCOMPARE(windowTool({"close", title()}), 0);
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);

        // One line with the import paths, and no warning of any kind.
        const QStringList lines = QString::fromLocal8Bit(process.readAllStandardError())
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QStringList importPaths = lines.filter(QStringLiteral("qrc:/qt/qml"));
        QCOMPARE(importPaths.size(), 1);
        QVERIFY2(importPaths.first().startsWith(QStringLiteral("QList(")),
                 qPrintable(importPaths.first()));
        const QStringList others = QStringList(lines).filter(
            QRegularExpression(QStringLiteral("^(?!QList\\(|QML debugging is enabled)")));
        QVERIFY2(others.isEmpty(), qPrintable(others.join(QLatin1Char('\n'))));
    }

    // A style that does not exist makes the root component fail to load.
    void aRootComponentThatFailsEndsTheProgramWithMinusOne()
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QUICK_CONTROLS_STYLE"),
                           QStringLiteral("TypeThatDoesNotExist"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(DEMO_PROGRAM), {});
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 255);
        QVERIFY(process.readAllStandardError().contains("TypeThatDoesNotExist"));
    }

    // The identity lines come from each monitor's own EDID, not from Qt's
    // screens: Xvfb's one screen, given an EDID that names the first monitor
    // with a maker and serial number of its own, changes nothing in them.
    void theIdentityLinesIgnoreTheScreensEdid()
    {
        const QByteArray plain = settledDemoWindow();
        QCOMPARE(windowTool({"edid", "Aster 27Q", "VRN-0042"}), 0);
        const QByteArray described = settledDemoWindow();
        QCOMPARE(windowTool({"edid"}), 0);
        QVERIFY(!plain.isEmpty() && !described.isEmpty());
        // Text comes out a shade or two different from run to run.
        QCOMPARE(described.size(), plain.size());
        QVERIFY(std::equal(plain.begin(), plain.end(), described.begin(),
                           [](char a, char b) { return std::abs(uchar(a) - uchar(b)) < 8; }));
    }

private:
    // The demo's window as 8-bit RGB, once it has drawn itself (its corner is
    // white) and stays the same; empty when it never does.
    static QByteArray settledDemoWindow()
    {
        QProcess program;
        program.start(QStringLiteral(DEMO_PROGRAM), {});
        const bool opened = windowTool({"wait", title(), "20000"}) == 0;
        QByteArray pixels;
        QByteArray before;
        QDeadlineTimer deadline(20000);
        while (opened && !deadline.hasExpired()
               && (!pixels.startsWith("\xff\xff\xff") || pixels != before)) {
            before = pixels;
            QThread::msleep(200);
            QProcess capture;
            capture.start(QStringLiteral("import"), {"-window", title(), "-depth", "8", "rgb:-"});
            capture.waitForFinished(20000);
            pixels = capture.readAllStandardOutput();
        }
        windowTool({"close", title()});
        program.waitForFinished(20000);
        return opened && !deadline.hasExpired() ? pixels : QByteArray();
    }

    static QString title()
    {
        return QStringLiteral("ZOD ID IDA");
    }

    static int windowTool(const QStringList &arguments)
    {
        return QProcess::execute(QStringLiteral(WINDOW_TOOL), arguments);
    }
};

QTEST_GUILESS_MAIN(ProgramTest)
#include "tst_program.moc"
