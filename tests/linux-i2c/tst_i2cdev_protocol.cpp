#include "DdcCiChannel.h"
#include "DdcCiRequest.h"
#include "KernelI2cTransport.h"
#include "RecordingClock.h"
#include "SimulatedI2cBuses.h"

#include <QtTest/QtTest>

#include <cerrno>
#include <linux/i2c-dev.h>

using Fault = SimulatedDdcMonitor::Fault;
using Kind = VcpReply::Kind;

namespace {

QByteArray bytes(const std::vector<std::uint8_t> &data)
{
    return QByteArray(reinterpret_cast<const char *>(data.data()), qsizetype(data.size()));
}

// A reply with its checksum (virtual host address 0x50 included) appended.
QByteArray checksummed(const char *hex)
{
    QByteArray reply = QByteArray::fromHex(hex);
    std::uint8_t checksum = 0x50;
    for (const char c : reply)
        checksum ^= std::uint8_t(c);
    return reply + char(checksum);
}

const QString node = QStringLiteral("/dev/i2c-4");

} // namespace

class ProtocolTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_buses.reset(new SimulatedI2cBuses(&m_log));
        m_monitor = &m_buses->attach(node, SimulatedDdcMonitor::typical());
        int error = 0;
        m_channel = DdcCiChannel::open(node.toStdString(), *m_buses, m_clock, &error);
        QVERIFY(m_channel);
        m_log.clear();
    }

    void cleanup()
    {
        m_channel.reset();
        QCOMPARE(m_buses->openDescriptors(), 0);
    }

    // The worked examples of DDC/CI framing, without the 0x6E that the
    // kernel sends as the address byte.
    void requestFraming()
    {
        QCOMPARE(bytes(DdcCiRequest::getVcp(0x10)), QByteArray::fromHex("51820110ac"));
        QCOMPARE(bytes(DdcCiRequest::getVcp(0x12)), QByteArray::fromHex("51820112ae"));
        QCOMPARE(bytes(DdcCiRequest::setVcp(0x10, 50)), QByteArray::fromHex("5184031000329a"));
    }

    void replyParsing_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("code");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("current");

        const QByteArray example = QByteArray::fromHex("6e880200100000640032f2");
        QTest::newRow("worked example") << example << 0x10 << Kind::Value << 100 << 50;
        QTest::newRow("16-bit values")
            << checksummed("6e8802001001ffff0300") << 0x10 << Kind::Value << 0xFFFF << 0x300;
        QTest::newRow("momentary type")
            << checksummed("6e880200100100640032") << 0x10 << Kind::Value << 100 << 50;
        QTest::newRow("length without 0x80 flag")
            << checksummed("6e080200100000640032") << 0x10 << Kind::Value << 100 << 50;
        QTest::newRow("padding after message")
            << example + QByteArray(4, char(0xFF)) << 0x10 << Kind::Value << 100 << 50;
        QTest::newRow("null message")
            << QByteArray::fromHex("6e80beffffffffffffffff") << 0x10 << Kind::NullMessage << 0 << 0;
        QTest::newRow("unsupported code")
            << checksummed("6e880201100000000000") << 0x10 << Kind::Unsupported << 0 << 0;
        QTest::newRow("unsupported, maker style")
            << checksummed("6e88020110ffffff0000") << 0x10 << Kind::Unsupported << 0 << 0;
        QTest::newRow("all value bytes zero")
            << checksummed("6e880200100000000000") << 0x10 << Kind::Unsupported << 0 << 0;

        const auto invalid = [](const char *name, const QByteArray &reply, int code = 0x10) {
            QTest::newRow(name) << reply << code << Kind::Invalid << 0 << 0;
        };
        invalid("bad checksum", QByteArray::fromHex("6e880200100000640032f3"));
        invalid("wrong source byte", checksummed("6f880200100000640032"));
        invalid("echoes another code", example, 0x12);
        invalid("wrong opcode", checksummed("6e880300100000640032"));
        invalid("unknown result code", checksummed("6e880202100000640032"));
        invalid("unknown type", checksummed("6e880200100500640032"));
        invalid("too short for a value", checksummed("6e8702001000006400"));
        invalid("longer than any reply", checksummed("6ea4") + QByteArray(40, 0));
        invalid("length beyond the bytes read", example.left(10));
        invalid("all zero", QByteArray(11, 0));
        invalid("double byte", QByteArray::fromHex("6e6e880200100000640032"));
        invalid("nothing read", QByteArray());
    }

    void replyParsing()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, code);
        QFETCH(Kind, kind);
        QFETCH(int, maximum);
        QFETCH(int, current);
        const VcpReply parsed =
            VcpReply::parse(reinterpret_cast<const std::uint8_t *>(reply.constData()),
                            std::size_t(reply.size()), std::uint8_t(code));
        QCOMPARE(parsed.kind, kind);
        if (kind == Kind::Value) {
            QCOMPARE(int(parsed.maximum), maximum);
            QCOMPARE(int(parsed.current), current);
        }
    }

    // The reply is read 40 ms after the request, and the bus is locked for
    // the whole exchange.
    void getVcpExchange()
    {
        const VcpReply reply = m_channel->getVcp(0x12);
        QCOMPARE(reply.kind, Kind::Value);
        QCOMPARE(reply.maximum, 100);
        QCOMPARE(reply.current, 75);
        QCOMPARE(
            m_log,
            QStringList({"lock 3", "write 3 51 82 01 12 ae", "sleep 40", "read 3 11", "unlock 3"}));
    }

    void setVcpExchange()
    {
        QVERIFY(m_channel->setVcp(0x10, 50));
        QCOMPARE(m_monitor->current(0x10), 50);
        QCOMPARE(m_log,
                 QStringList({"lock 3", "write 3 51 84 03 10 00 32 9a", "sleep 50", "unlock 3"}));
    }

    // Every request waits until its bus has been quiet for 50 ms since its
    // last transfer (the read of a get, the write of a set); time spent on
    // another bus counts.
    void everyRequestWaitsForAQuietBus()
    {
        m_buses->attach(QStringLiteral("/dev/i2c-6"), SimulatedDdcMonitor::typical());
        int error = 0;
        const auto other = DdcCiChannel::open("/dev/i2c-6", *m_buses, m_clock, &error);
        m_channel->getVcp(0x10);
        other->getVcp(0x10);
        m_log.clear();
        m_channel->getVcp(0x12);
        m_channel->getVcp(0x10);
        QVERIFY(m_channel->setVcp(0x10, 30));
        QVERIFY(m_channel->setVcp(0x10, 40));
        QCOMPARE(m_log,
                 QStringList({"lock 3",
                              "sleep 10",
                              "write 3 51 82 01 12 ae",
                              "sleep 40",
                              "read 3 11",
                              "unlock 3",
                              "lock 3",
                              "sleep 50",
                              "write 3 51 82 01 10 ac",
                              "sleep 40",
                              "read 3 11",
                              "unlock 3",
                              "lock 3",
                              "sleep 50",
                              "write 3 51 84 03 10 00 1e b6",
                              "sleep 50",
                              "unlock 3",
                              "lock 3",
                              "write 3 51 84 03 10 00 28 80",
                              "sleep 50",
                              "unlock 3"}));
    }

    // With work to do meanwhile, a read waits for a quiet bus before it takes
    // the lock, in pieces: an exchange made meanwhile takes the lock of its
    // own and starts the wait anew.
    void aQuietBusIsWaitedForWithWorkMeanwhile()
    {
        m_channel->getVcp(0x10);
        m_log.clear();
        int pieces = 0;
        m_channel->getVcp(0x12, [&] {
            if (++pieces == 1)
                QVERIFY(m_channel->setVcp(0x10, 30));
        });
        QCOMPARE(pieces, 1);
        QCOMPARE(m_log,
                 QStringList({"lock 3", "sleep 50", "write 3 51 84 03 10 00 1e b6", "sleep 50",
                              "unlock 3", "sleep 10", "lock 3", "write 3 51 82 01 12 ae",
                              "sleep 40", "read 3 11", "unlock 3"}));
    }

    void misbehavingReplies_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<Kind>("kind");
        QTest::newRow("bad checksum") << Fault::BadChecksum << Kind::Invalid;
        QTest::newRow("wrong length") << Fault::WrongLength << Kind::Invalid;
        QTest::newRow("wrong source") << Fault::WrongSource << Kind::Invalid;
        QTest::newRow("wrong code") << Fault::WrongCode << Kind::Invalid;
        QTest::newRow("null message") << Fault::NullMessage << Kind::NullMessage;
        QTest::newRow("unsupported") << Fault::Unsupported << Kind::Unsupported;
        QTest::newRow("NAK") << Fault::Nak << Kind::Invalid;
    }

    // A bad reply fails only its own exchange: the next one reads the value.
    void misbehavingReplies()
    {
        QFETCH(Fault, fault);
        QFETCH(Kind, kind);
        m_monitor->misbehave({fault});
        QCOMPARE(m_channel->getVcp(0x10).kind, kind);
        QCOMPARE(m_log.last(), QStringLiteral("unlock 3"));
        const VcpReply next = m_channel->getVcp(0x10);
        QCOMPARE(next.kind, Kind::Value);
        QCOMPARE(next.current, 70);
    }

    // An unacknowledged request is not followed by a pointless wait and read.
    void nakSkipsWaitAndRead()
    {
        m_monitor->misbehave({Fault::Nak});
        QCOMPARE(m_channel->getVcp(0x10).kind, Kind::Invalid);
        QCOMPARE(m_log, QStringList({"lock 3", "write 3 51 82 01 10 ac", "unlock 3"}));
        m_monitor->misbehave({Fault::Nak});
        QVERIFY(!m_channel->setVcp(0x10, 20));
        QCOMPARE(m_monitor->current(0x10), 70);
    }

    void setRefusesValuesTheDisplayCannotTake()
    {
        QVERIFY(!m_channel->setVcp(0x10, 0x10000));
        QCOMPARE(m_channel->getVcp(0x10).maximum, 100);
        m_log.clear();
        QVERIFY(!m_channel->setVcp(0x10, 101));
        QVERIFY(m_log.isEmpty());
        QVERIFY(m_channel->setVcp(0x10, 100));
        QCOMPARE(m_monitor->current(0x10), 100);
    }

    // I2C_SLAVE, never I2C_SLAVE_FORCE: an address owned by a kernel driver is
    // left alone.
    void openingSelectsOnlyTheDisplayAddress()
    {
        m_channel.reset();
        m_log.clear();
        int error = 0;
        m_channel = DdcCiChannel::open(node.toStdString(), *m_buses, m_clock, &error);
        QCOMPARE(m_log, QStringList({"open /dev/i2c-4", "ioctl 4 0x703 0x37"}));

        m_buses->attach(QStringLiteral("/dev/i2c-6"), SimulatedDdcMonitor::typical());
        m_buses->refuseAddress(QStringLiteral("/dev/i2c-6"), EBUSY);
        m_log.clear();
        QVERIFY(!DdcCiChannel::open("/dev/i2c-6", *m_buses, m_clock, &error));
        QCOMPARE(error, -EBUSY);
        QCOMPARE(m_log, QStringList({"open /dev/i2c-6", "ioctl 5 0x703 0x37", "close 5"}));

        QVERIFY(!DdcCiChannel::open("/dev/i2c-9", *m_buses, m_clock, &error));
        QCOMPARE(error, -ENOENT);
    }

    // The real transport refuses, without a system call, anything but
    // selecting the display's address.
    void kernelTransportOnlySelectsTheDisplayAddress()
    {
        KernelI2cTransport transport;
        QCOMPARE(transport.ioctl(-1, I2C_SLAVE_FORCE, 0x37), -EPERM);
        QCOMPARE(transport.ioctl(-1, I2C_SLAVE, 0x50), -EPERM);
        QCOMPARE(transport.ioctl(-1, I2C_RDWR, 0), -EPERM);
        QCOMPARE(transport.ioctl(-1, I2C_SLAVE, 0x37), -EBADF);
    }

private:
    QStringList m_log;
    std::unique_ptr<SimulatedI2cBuses> m_buses;
    RecordingClock m_clock{&m_log};
    SimulatedDdcMonitor *m_monitor = nullptr;
    std::unique_ptr<DdcCiChannel> m_channel;
};

QTEST_GUILESS_MAIN(ProtocolTest)
#include "tst_i2cdev_protocol.moc"
