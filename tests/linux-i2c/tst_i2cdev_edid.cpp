#include "Edid.h"
#include "EdidBlock.h"

#include <QtTest/QtTest>

namespace {

std::optional<Edid> parse(const QByteArray &block)
{
    return Edid::parse(reinterpret_cast<const std::uint8_t *>(block.constData()),
                       std::size_t(block.size()));
}

} // namespace

class EdidTest : public QObject
{
    Q_OBJECT

private slots:
    void monitorName_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<QString>("name");
        QTest::newRow("terminated, padded") << EdidBlock::withName("Aster 27Q") << "Aster 27Q";
        QTest::newRow("13 bytes, no terminator")
            << EdidBlock::withName("ABCDEFGHIJKLM") << "ABCDEFGHIJKLM";
        QTest::newRow("spaces around") << EdidBlock::withName("  Lumen 24   ") << "Lumen 24";
        QTest::newRow("control and high bytes")
            << EdidBlock::withName("A\tB\x01\x7f\xe9Z") << "A-B---Z";
        QTest::newRow("no name descriptor") << EdidBlock::withoutName() << "";
        QTest::newRow("with an extension block")
            << EdidBlock::withName("Aster 27Q") + QByteArray(128, 0x11) << "Aster 27Q";

        QByteArray nulTerminated = EdidBlock::withName("Orion Pro");
        nulTerminated[54 + 18 + 5 + 5] = 0;
        QTest::newRow("NUL terminated") << EdidBlock::withChecksum(nulTerminated) << "Orion";

        // A name tag inside a detailed timing is timing data, not a name.
        QByteArray timingFirst = EdidBlock::withoutName();
        timingFirst[54 + 3] = char(0xFC);
        QTest::newRow("tag byte in a timing") << EdidBlock::withChecksum(timingFirst) << "";
    }

    void monitorName()
    {
        QFETCH(QByteArray, block);
        QFETCH(QString, name);
        const std::optional<Edid> edid = parse(block);
        QVERIFY(edid);
        QCOMPARE(QString::fromStdString(edid->monitorName()), name);
    }

    // Qt shows the text descriptor, else the binary number.
    void serialNumber_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<QString>("serialNumber");
        QByteArray untold = EdidBlock::withName("Aster 27Q");
        untold[90 + 3] = char(0xFE);
        QTest::newRow("text") << EdidBlock::withName("Aster 27Q") << "SN12345";
        QTest::newRow("binary") << EdidBlock::withChecksum(untold) << "16843009";
        untold.replace(12, 4, QByteArray(4, 0));
        QTest::newRow("none") << EdidBlock::withChecksum(untold) << "";
    }

    void serialNumber()
    {
        QFETCH(QByteArray, block);
        QFETCH(QString, serialNumber);
        QCOMPARE(QString::fromStdString(parse(block)->serialNumber()), serialNumber);
    }

    void unusableBlocks_data()
    {
        QTest::addColumn<QByteArray>("block");
        const QByteArray good = EdidBlock::withName("Aster 27Q");
        QByteArray badChecksum = good;
        badChecksum[127] = char(badChecksum[127] + 1);
        QByteArray badHeader = good;
        badHeader[7] = char(0xFF);
        QTest::newRow("bad checksum") << badChecksum;
        QTest::newRow("bad header") << EdidBlock::withChecksum(badHeader);
        QTest::newRow("truncated") << good.left(127);
        QTest::newRow("empty file") << QByteArray();
    }

    void unusableBlocks()
    {
        QFETCH(QByteArray, block);
        QVERIFY(!parse(block));
    }
};

QTEST_GUILESS_MAIN(EdidTest)
#include "tst_i2cdev_edid.moc"
