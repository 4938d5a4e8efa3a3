#pragma once

#include "I2cTransport.h"
#include "SimulatedDdcMonitor.h"

#include <QtCore/QMap>
#include <QtCore/QStringList>

// Bus nodes with simulated monitors behind them, answering the layer's system
// calls. Every call is written to the log, in order, so tests can check the
// whole bus traffic.
class SimulatedI2cBuses : public I2cTransport
{
public:
    explicit SimulatedI2cBuses(QStringList *log);

    // A monitor at 0x37 on the node; nodes without one do not exist.
    SimulatedDdcMonitor &attach(const QString &node, SimulatedDdcMonitor monitor);
    // open() of the node fails with this errno.
    void refuseOpen(const QString &node, int error);
    // I2C_SLAVE on the node fails with this errno (EBUSY: a kernel driver).
    void refuseAddress(const QString &node, int error);
    int openDescriptors() const;

    int open(const std::string &path) override;
    int close(int fd) override;
    int ioctl(int fd, unsigned long request, unsigned long argument) override;
    int lock(int fd) override;
    int unlock(int fd) override;
    long write(int fd, const std::uint8_t *data, std::size_t size) override;
    long read(int fd, std::uint8_t *data, std::size_t size) override;

private:
    struct Descriptor
    {
        QString node;
        bool addressed = false;
        bool locked = false;
    };
    void record(const QString &entry);
    SimulatedDdcMonitor *addressedMonitor(int fd);
    int setLocked(int fd, bool locked);

    QStringList *m_log;
    QMap<QString, SimulatedDdcMonitor> m_monitors;
    QMap<QString, int> m_openErrors;
    QMap<QString, int> m_addressErrors;
    QMap<int, Descriptor> m_descriptors;
    int m_nextDescriptor = 3;
};
