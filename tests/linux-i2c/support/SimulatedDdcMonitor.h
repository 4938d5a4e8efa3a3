#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QList>

#include <cstdint>
#include <map>

// A display's DDC/CI function at address 0x37, speaking the protocol byte by
// byte: it checks each request's framing on its own (not with the code under
// test), answers Get VCP, applies Set VCP, and can be told to misbehave.
class SimulatedDdcMonitor
{
public:
    enum class Fault {
        BadChecksum,
        WrongLength, // the length byte claims one data byte more than sent
        NullMessage,
        Unsupported, // result code 01
        WrongCode, // echoes another VCP code
        WrongSource, // first byte 0x6F instead of 0x6E
        Nak, // the next request is not acknowledged
    };

    struct Feature
    {
        std::uint16_t maximum = 100;
        std::uint16_t current = 50;
    };

    // Features Varno reads, with distinct values.
    static SimulatedDdcMonitor typical();

    void setFeature(std::uint8_t code, std::uint16_t maximum, std::uint16_t current);
    std::uint16_t current(std::uint8_t code) const;
    // Faults apply to the next requests, one each, in the order given.
    void misbehave(std::initializer_list<Fault> faults);
    void stopAnswering();
    void resumeAnswering();

    // The bus side: one write transfer, one read transfer; -errno on a NAK.
    long receive(const std::uint8_t *data, std::size_t size);
    long transmit(std::uint8_t *data, std::size_t size);

    QList<QByteArray> requests() const;

private:
    QByteArray replyTo(const QByteArray &request, bool *isSet);
    static QByteArray frame(QByteArray data);

    std::map<std::uint8_t, Feature> m_features;
    QList<Fault> m_faults;
    bool m_silent = false;
    QByteArray m_pendingReply;
    QList<QByteArray> m_requests;
};
