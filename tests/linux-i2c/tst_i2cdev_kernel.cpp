#define FUSE_USE_VERSION 35

#include "EdidBlock.h"
#include "FakeBackend.h"
#include "FakeSysfs.h"
#include "I2cDevDisplaySystem.h"
#include "KernelI2cTransport.h"
#include "RecordingClock.h"
#include "SimulatedDdcMonitor.h"
#include "VarnoctlRun.h"

#include <QtTest/QtTest>

#include <fcntl.h>
#include <fuse3/fuse.h>
#include <linux/i2c-dev.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace {

// The i2c-dev node of a bus with a simulated monitor at 0x37, as a file that
// libfuse serves from a thread of the test. The kernel hands it the reads,
// the writes and the I2C_SLAVE ioctl (its argument as a value), and keeps
// flock locks itself. A fault applies to the next transfer only.
struct FuseI2cNode
{
    SimulatedDdcMonitor monitor = SimulatedDdcMonitor::typical();
    QList<std::uintptr_t> selected; // each address an ioctl selected
    int ioctlError = 0;
    int writeError = 0;
    int readError = 0;
    int readSize = 0; // cuts a read short
};

FuseI2cNode &node()
{
    return *static_cast<FuseI2cNode *>(fuse_get_context()->private_data);
}

int getNodeAttributes(const char *path, struct stat *status, fuse_file_info *)
{
    *status = {};
    status->st_mode = std::strcmp(path, "/") == 0 ? S_IFDIR | 0700 : S_IFREG | 0600;
    return std::strcmp(path, "/") == 0 || std::strcmp(path, "/i2c-5") == 0 ? 0 : -ENOENT;
}

int openNode(const char *, fuse_file_info *file)
{
    file->direct_io = 1; // every transfer reaches the node, at its own size
    return 0;
}

int ioctlNode(const char *, unsigned int request, void *argument, fuse_file_info *, unsigned int,
              void *)
{
    if (request != I2C_SLAVE)
        return -ENOTTY;
    if (node().ioctlError)
        return -node().ioctlError;
    node().selected.append(reinterpret_cast<std::uintptr_t>(argument));
    return 0;
}

int writeNode(const char *, const char *data, size_t size, off_t, fuse_file_info *)
{
    if (const int error = std::exchange(node().writeError, 0))
        return -error;
    return int(node().monitor.receive(reinterpret_cast<const std::uint8_t *>(data), size));
}

int readNode(const char *, char *data, size_t size, off_t, fuse_file_info *)
{
    if (const int error = std::exchange(node().readError, 0))
        return -error;
    const long sent = node().monitor.transmit(reinterpret_cast<std::uint8_t *>(data), size);
    const int cut = std::exchange(node().readSize, 0);
    return cut ? cut : int(sent);
}

// Mounted while it exists; unmounting ends the thread that serves the node.
class FuseMount
{
public:
    FuseMount(const QByteArray &directory, FuseI2cNode *node) : m_directory(directory)
    {
        fuse_operations operations = {};
        operations.getattr = getNodeAttributes;
        operations.open = openNode;
        operations.ioctl = ioctlNode;
        operations.write = writeNode;
        operations.read = readNode;
        // A helper process unmounts the node should the test die; as it would
        // complain after a clean unmount, it gets no standard error.
        char name[] = "tst_i2cdev_kernel";
        char autoUnmount[] = "-oauto_unmount";
        char *arguments[] = {name, autoUnmount};
        fuse_args args = FUSE_ARGS_INIT(2, arguments);
        m_fuse = fuse_new(&args, &operations, sizeof operations, node);
        const int standardError = dup(STDERR_FILENO);
        const int null = ::open("/dev/null", O_WRONLY);
        dup2(null, STDERR_FILENO);
        const bool mounted = m_fuse && fuse_mount(m_fuse, m_directory.constData()) == 0;
        dup2(standardError, STDERR_FILENO);
        ::close(null);
        ::close(standardError);
        if (mounted)
            m_loop = std::thread(fuse_loop, m_fuse);
    }

    ~FuseMount()
    {
        if (m_loop.joinable()) {
            umount2(m_directory.constData(), MNT_DETACH);
            m_loop.join();
            fuse_unmount(m_fuse);
        }
        if (m_fuse)
            fuse_destroy(m_fuse);
    }

    bool isMounted() const
    {
        return m_loop.joinable();
    }

private:
    QByteArray m_directory;
    fuse *m_fuse = nullptr;
    std::thread m_loop;
};

} // namespace

// The layer over the kernel's own system calls, end to end from discovery to
// the backend, against a FUSE file that stands for a bus node.
class KernelTransportTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        if (!QFile::exists(QStringLiteral("/dev/fuse")) || geteuid() != 0)
            QSKIP("Needs /dev/fuse and root, to mount a FUSE file standing for a bus node.");
        m_mount.reset(new FuseMount(QFile::encodeName(m_devices.path()), &m_node));
        QVERIFY(m_mount->isMounted());
        m_sysfs.loadI2cDev();
        m_sysfs.addConnector(QStringLiteral("card0-DP-1"), "connected",
                             EdidBlock::withName("Aster 27Q"), 5);
    }

    void cleanup()
    {
        stop();
        m_mount.reset();
        m_node = {};
    }

    void getAndSet()
    {
        start();
        QCOMPARE(m_backend->brightness().at(0).value(), 70u);
        m_backend->setBrightness(0, 30);
        QCOMPARE(m_node.monitor.current(0x10), 30);
        QCOMPARE(m_node.selected, QList<std::uintptr_t>({0x37}));
    }

    void failedTransferIsTriedAgain_data()
    {
        QTest::addColumn<int>("writeError");
        QTest::addColumn<int>("readError");
        QTest::addColumn<int>("readSize");
        QTest::newRow("NAK (EREMOTEIO)") << EREMOTEIO << 0 << 0;
        QTest::newRow("unplugged (ENXIO)") << 0 << ENXIO << 0;
        QTest::newRow("short read") << 0 << 0 << 5;
    }

    void failedTransferIsTriedAgain()
    {
        m_node.monitor.setFeature(0x10, 100, 40);
        QFETCH(int, writeError);
        QFETCH(int, readError);
        QFETCH(int, readSize);
        start();
        m_node.writeError = writeError;
        m_node.readError = readError;
        m_node.readSize = readSize;
        m_log.clear();
        m_backend->refresh();
        QCOMPARE(RecordingClock::retryPauses(m_log), 1);
        QCOMPARE(m_backend->brightness().at(0).value(), 40u);
    }

    void lockHeldElsewhere_data()
    {
        QTest::addColumn<int>("operation");
        QTest::newRow("exclusive") << LOCK_EX;
        QTest::newRow("shared") << LOCK_SH;
    }

    // The set gives up after a few short pauses, and is sent once the lock
    // is free.
    void lockHeldElsewhere()
    {
        QFETCH(int, operation);
        start();
        const int holder = ::open(qPrintable(m_devices.filePath(QStringLiteral("i2c-5"))), O_RDWR);
        QVERIFY(::flock(holder, operation) == 0);
        // Let go of it in time, so that a set waiting for it fails the test
        // instead of hanging it.
        std::thread release([holder] {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            ::close(holder);
        });
        m_log.clear();
        m_backend->setBrightness(0, 30);
        release.join();
        QCOMPARE(m_log, QStringList(4, QStringLiteral("sleep 10")));
        QCOMPARE(m_node.monitor.current(0x10), 70);
        m_backend->setBrightness(0, 30);
        QCOMPARE(m_node.monitor.current(0x10), 30);
    }

    void anImpossibleReadingIsNoAnswer_data()
    {
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("pauses");
        QTest::newRow("current above the maximum") << 100 << 200 << 5;
        QTest::newRow("maximum 0") << 0 << 5 << 0;
    }

    // One above its maximum is tried again as a lost reply is; one of a
    // maximum of 0 says the control is unsupported. Neither is published, and
    // no change is computed from it.
    void anImpossibleReadingIsNoAnswer()
    {
        QFETCH(int, maximum);
        QFETCH(int, current);
        start();
        m_node.monitor.setFeature(0x10, std::uint16_t(maximum), std::uint16_t(current));
        m_log.clear();
        m_backend->refresh();
        QTEST(RecordingClock::retryPauses(m_log), "pauses");
        QCOMPARE(m_backend->brightness().at(0).value(), 70u);

        stop();
        startPlatform();
        QCOMPARE(runVarnoctl({"set", "0", "brightness", "-5"}).exitCode, 1);
        QCOMPARE(m_node.monitor.current(0x10), current);
    }

    // A display left out is named, with the reason the system gave.
    void aBusThatCannotBeUsedIsNamedWithTheSystemsReason()
    {
        m_node.ioctlError = EIO;
        startPlatform();
        QCOMPARE(m_platform->advice(),
                 QStringList{"Aster 27Q (card0-DP-1) is not listed: "
                             + m_devices.filePath(QStringLiteral("i2c-5")) + " cannot be used ("
                             + qt_error_string(EIO) + ")."});
    }

    // Another program holds the bus all through discovery: the monitor is
    // busy, not silent, and is used once the bus is free.
    void aBusHeldAtStartUpIsBusy()
    {
        const QString node = m_devices.filePath(QStringLiteral("i2c-5"));
        const int holder = ::open(qPrintable(node), O_RDWR);
        QVERIFY(::flock(holder, LOCK_EX) == 0);
        startPlatform();
        ::close(holder);
        QCOMPARE(m_platform->advice(),
                 QStringList{"Aster 27Q (card0-DP-1) was busy: another program held its bus " + node
                             + "; it is listed and used as soon as it answers."});
        m_backend.reset(new TestBackend);
        m_backend->init();
        QCOMPARE(m_backend->brightness().at(0).value(), 70u);
    }

private:
    void startPlatform()
    {
        m_platform.reset(
            new I2cDevDisplaySystem({m_sysfs.root(), m_devices.path(), m_transport, m_clock}));
        Win32Platform::install(m_platform.get());
    }

    void start()
    {
        startPlatform();
        m_backend.reset(new TestBackend);
        m_backend->init();
        QCOMPARE(m_backend->monitorCount(), 1u);
    }

    void stop()
    {
        m_backend.reset();
        Win32Platform::install(nullptr);
        m_platform.reset();
    }

    QTemporaryDir m_devices;
    FakeSysfs m_sysfs;
    FuseI2cNode m_node;
    std::unique_ptr<FuseMount> m_mount;
    QStringList m_log;
    RecordingClock m_clock{&m_log};
    KernelI2cTransport m_transport;
    std::unique_ptr<I2cDevDisplaySystem> m_platform;
    std::unique_ptr<TestBackend> m_backend;
};

QTEST_MAIN(KernelTransportTest)
#include "tst_i2cdev_kernel.moc"
