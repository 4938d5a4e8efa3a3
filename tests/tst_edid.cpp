#include "Edid.h"
#include "MonitorIdentity.h"
#include "simulated/SimulatedEdid.h"

#include <QtTest/QtTest>

namespace {

std::optional<Edid> parse(const QByteArray &block)
{
    return Edid::parse(reinterpret_cast<const std::uint8_t *>(block.constData()),
                       std::size_t(block.size()));
}

QByteArray named(const QByteArray &monitorName)
{
    return SimulatedEdid{"VRN", 0, monitorName, "SN12345"}.block();
}

// A block changed at `offset`, with its checksum set again.
QByteArray changed(QByteArray block, int offset, const QByteArray &bytes)
{
    block.replace(offset, bytes.size(), bytes);
    SimulatedEdid::setChecksum(block);
    return block;
}

constexpr int firstTextOffset = 72 + 5;

} // namespace

class EdidTest : public QObject
{
    Q_OBJECT

private slots:
    void monitorName_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<QString>("name");
        QTest::newRow("terminated, padded") << named("Aster 27Q") << "Aster 27Q";
        QTest::newRow("13 bytes, no terminator") << named("ABCDEFGHIJKLM") << "ABCDEFGHIJKLM";
        QTest::newRow("spaces around") << named("  Lumen 24   ") << "Lumen 24";
        QTest::newRow("control and high bytes") << named("A\tB\x01\x7f\xe9Z") << "A-B---Z";
        QTest::newRow("unprintable padding") << named("Aster 27Q\r\t") << "Aster 27Q";
        QTest::newRow("no name descriptor") << SimulatedEdid().block() << "";
        QTest::newRow("with an extension block")
            << named("Aster 27Q") + QByteArray(128, 0x11) << "Aster 27Q";
        QTest::newRow("NUL terminated")
            << changed(named("Orion Pro"), firstTextOffset + 5, QByteArray(1, 0)) << "Orion";
        // A name tag inside a detailed timing is timing data, not a name.
        QTest::newRow("tag byte in a timing")
            << changed(SimulatedEdid().block(), 54 + 3, "\xfc") << "";
    }

    void monitorName()
    {
        QFETCH(QByteArray, block);
        QFETCH(QString, name);
        const std::optional<Edid> edid = parse(block);
        QVERIFY(edid);
        QCOMPARE(QString::fromStdString(edid->monitorName()), name);
    }

    void identity_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<QString>("manufacturer");
        QTest::addColumn<QString>("serialNumber");
        QTest::newRow("first listed maker, serial text before binary")
            << SimulatedEdid{"AAA", 7, {}, "SN12345"}.block() << "Avolites Ltd"
            << "SN12345";
        QTest::newRow("last listed maker")
            << SimulatedEdid{"ZZZ", 7, {}, {}}.block() << "Boca Research Inc"
            << "7";
        QTest::newRow("name beyond ASCII")
            << SimulatedEdid{"EBS", 0, {}, {}}.block()
            << QStringLiteral("EBS Euchner Büro- und Schulsysteme GmbH") << "";
        QTest::newRow("listed in small letters")
            << SimulatedEdid{"INU", 0, {}, {}}.block() << "Inovatec S.p.A."
            << "";
        QTest::newRow("a letter left 0")
            << SimulatedEdid{"VQ@", 0, {}, {}}.block() << "Vision Quest"
            << "";
        QTest::newRow("unlisted maker, serial only in binary")
            << SimulatedEdid{"VRN", 16843009, {}, {}}.block() << "VRN"
            << "16843009";
        QTest::newRow("a letter out of range")
            << changed(SimulatedEdid().block(), 8, "\x7f\xff") << ""
            << "";
        QTest::newRow("serial text padded, ended by a line feed")
            << SimulatedEdid{"VRN", 7, {}, " A-27 \t"}.block() << "VRN"
            << "A-27";
        QByteArray broken = SimulatedEdid{"AAA", 7, {}, "SN12345"}.block();
        broken[127] = char(broken[127] + 1);
        QTest::newRow("checksum wrong") << broken << ""
                                        << "";
        QTest::newRow("none") << QByteArray() << ""
                              << "";
    }

    void identity()
    {
        QFETCH(QByteArray, block);
        const MonitorIdentity identity = MonitorIdentity::fromEdid(block);
        QTEST(identity.manufacturer, "manufacturer");
        QTEST(identity.serialNumber, "serialNumber");
    }

    void unusableBlocks_data()
    {
        QTest::addColumn<QByteArray>("block");
        const QByteArray good = named("Aster 27Q");
        QByteArray badChecksum = good;
        badChecksum[127] = char(badChecksum[127] + 1);
        QTest::newRow("bad checksum") << badChecksum;
        QTest::newRow("bad header") << changed(good, 7, "\xff");
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
#include "tst_edid.moc"
