#include <QtCore/QProcess>
#include <QtTest/QtTest>

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

    void aRootComponentThatFailsEndsTheProgramWithMinusOne()
    {
        QProcess process;
        process.start(QStringLiteral(BROKEN_PROGRAM), {});
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 255);
        QVERIFY(process.readAllStandardError().contains("TypeThatDoesNotExist"));
        QCOMPARE(windowTool({"wait", title(), "0"}), 1);
    }

private:
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
