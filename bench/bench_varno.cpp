// Varno's start-up, memory and responsiveness, printed as one table of
// minimum, median and maximum over several runs. The backend is measured in
// this process over simulated monitors that answer like real ones (40 ms a
// read, 50 ms a write); start-up, memory and idle CPU are measured on the
// program itself, started as a user would start it, next to a bare Qt Quick
// Controls window with the same controls. On Linux the backend is also
// measured over the i2c-dev layer, with two monitors that answer at once, so
// that the time is the layer's own waits. Nothing here passes or fails.
//
//   bench_varno [--runs N]     (under an X server; scripts/bench.sh runs it)

#include "BenchDisplays.h"
#include "FakeBackend.h"

#ifdef VARNO_BENCH_I2CDEV
#include "EdidBlock.h"
#include "FakeSysfs.h"
#include "I2cDevDisplaySystem.h"
#include "SimulatedI2cBuses.h"
#include "SystemClock.h"
#endif

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <optional>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

const QString varno = QStringLiteral(VARNO_PROGRAM);
const QString bareWindow = QStringLiteral(BARE_WINDOW);
constexpr auto idleTime = 30s;
constexpr auto dragInterval = 100ms;
// Monitor 0 is the one that goes wrong; the user works on monitor 1.
constexpr int troubled = 0;
constexpr uint usersMonitor = 1;

double milliseconds(qint64 nanoseconds)
{
    return double(nanoseconds) / 1e6;
}

// One row per figure, in the order first added; each run adds one value.
class Table
{
public:
    void add(const QString &figure, double value, const QString &target = {})
    {
        auto row = std::find_if(m_rows.begin(), m_rows.end(),
                                [&](const Row &candidate) { return candidate.figure == figure; });
        if (row == m_rows.end())
            row = m_rows.insert(m_rows.end(), {figure, target, {}});
        row->values.append(value);
    }

    void print(int runs) const
    {
        std::printf("%d runs; simulated monitors: 40 ms a read, 50 ms a write\n\n", runs);
        std::printf("| Figure | min | median | max | target |\n|---|---:|---:|---:|---|\n");
        for (const Row &row : m_rows) {
            QList<double> values = row.values;
            std::sort(values.begin(), values.end());
            const qsizetype middle = values.size() / 2;
            const double median = values.size() % 2
                ? values.at(middle)
                : (values.at(middle - 1) + values.at(middle)) / 2;
            std::printf("| %s | %s | %s | %s | %s |\n", qPrintable(row.figure),
                        qPrintable(format(values.first())), qPrintable(format(median)),
                        qPrintable(format(values.last())), qPrintable(row.target));
        }
    }

private:
    struct Row
    {
        QString figure;
        QString target;
        QList<double> values;
    };

    static QString format(double value)
    {
        return QString::number(value, 'f', value < 10 ? 2 : 0);
    }

    QList<Row> m_rows;
};

// The backend over freshly made simulated monitors, started.
struct Backend
{
    explicit Backend(const std::function<void(BenchDisplays &)> &trouble = {})
    {
        if (trouble)
            trouble(displays);
        Win32Platform::install(&displays);
        QElapsedTimer clock;
        clock.start();
        backend->init();
        initMilliseconds = milliseconds(clock.nsecsElapsed());
    }
    ~Backend()
    {
        backend.reset();
        Win32Platform::install(nullptr);
    }

    BenchDisplays displays{SimulatedDisplaySystem::monitorLike()};
    std::optional<TestBackend> backend{std::in_place};
    double initMilliseconds = 0;
};

struct Pass
{
    double milliseconds;
    double longestStall;
};

// The time `work` takes, with the longest time the GUI thread went without
// processing events meanwhile: a 1 ms timer notes every time it gets through.
Pass measure(const std::function<void()> &work)
{
    QElapsedTimer clock;
    qint64 lastTick = 0;
    qint64 longest = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.nsecsElapsed() - lastTick);
        lastTick = clock.nsecsElapsed();
    });
    ticker.start(1);
    clock.start();
    work();
    const qint64 elapsed = clock.nsecsElapsed();
    longest = std::max(longest, elapsed - lastTick);
    return {milliseconds(elapsed), milliseconds(longest)};
}

Pass measurePass(DDCWinApi &backend)
{
    return measure([&backend] { backend.refresh(); });
}

// A user drags the brightness dial of monitor 1 all through a refresh pass:
// every 100 ms a move arrives, as input arrives from the window system while
// the GUI thread is busy. Returns the longest time from a move to the end of
// the write that carries it.
double worstDragDelay(Backend &setup)
{
    QObject receiver;
    QElapsedTimer clock;
    clock.start();
    QList<double> delays;
    std::atomic_int moves{0};
    std::atomic_bool passing{true};
    std::thread user([&] {
        for (uint value = 10; passing; value = 100 - value) {
            const qint64 movedAt = clock.nsecsElapsed();
            QMetaObject::invokeMethod(
                &receiver,
                [&, movedAt, value] {
                    setup.backend->setBrightness(usersMonitor, value);
                    delays.append(milliseconds(clock.nsecsElapsed() - movedAt));
                },
                Qt::QueuedConnection);
            ++moves;
            std::this_thread::sleep_for(dragInterval);
        }
    });
    setup.backend->refresh();
    passing = false;
    user.join();
    while (delays.size() < moves)
        QCoreApplication::processEvents();
    return *std::max_element(delays.begin(), delays.end());
}

void measureBackend(Table &table)
{
    const auto silence = [](BenchDisplays &displays) { displays.setSilent(troubled, true); };
    const auto dropRgbDrive = [](BenchDisplays &displays) { displays.dropRgbDrive(troubled); };

    double healthyPass = 0;
    {
        Backend setup;
        table.add(QStringLiteral("healthy: start-up reads (ms)"), setup.initMilliseconds);
        const Pass pass = measurePass(*setup.backend);
        healthyPass = pass.milliseconds;
        table.add(QStringLiteral("healthy: refresh pass (ms)"), pass.milliseconds);
        table.add(QStringLiteral("healthy: longest stall (ms)"), pass.longestStall,
                  QStringLiteral("≤ 50"));
        table.add(QStringLiteral("healthy: dial drag to its write, worst (ms)"),
                  worstDragDelay(setup));
    }
    // What the silent monitor adds to a pass: the pass less the other
    // monitor's half of a healthy one.
    const auto cost = [&](const Pass &pass) { return pass.milliseconds - healthyPass / 2; };
    {
        Backend setup;
        silence(setup.displays);
        const Pass first = measurePass(*setup.backend);
        table.add(QStringLiteral("stops answering: first silent pass (ms)"), first.milliseconds);
        table.add(QStringLiteral("stops answering: its cost in the first pass (ms)"), cost(first),
                  QStringLiteral("≤ 800"));
        table.add(QStringLiteral("stops answering: first pass, longest stall (ms)"),
                  first.longestStall, QStringLiteral("≤ 750"));
        const Pass later = measurePass(*setup.backend);
        table.add(QStringLiteral("stops answering: later pass (ms)"), later.milliseconds);
        table.add(QStringLiteral("stops answering: its cost in a later pass (ms)"), cost(later),
                  QStringLiteral("≤ 150"));
        table.add(QStringLiteral("stops answering: later pass, longest stall (ms)"),
                  later.longestStall);
    }
    {
        Backend setup;
        silence(setup.displays);
        table.add(QStringLiteral("stops answering: dial drag to its write, worst (ms)"),
                  worstDragDelay(setup));
    }
    {
        Backend setup(silence);
        table.add(QStringLiteral("never answers: start-up reads (ms)"), setup.initMilliseconds);
        const Pass pass = measurePass(*setup.backend);
        table.add(QStringLiteral("never answers: refresh pass (ms)"), pass.milliseconds);
        table.add(QStringLiteral("never answers: longest stall (ms)"), pass.longestStall);
        table.add(QStringLiteral("never answers: dial drag to its write, worst (ms)"),
                  worstDragDelay(setup));
    }
    {
        // A monitor plugged in that does not answer: the backend reads it
        // while the window goes on.
        Backend setup;
        setup.displays.attachMonitor();
        setup.displays.setSilent(setup.displays.monitorCount() - 1, true);
        const Pass rediscovery = measure([&] { setup.backend->rediscover(); });
        table.add(QStringLiteral("silent monitor plugged in: rediscovery (ms)"),
                  rediscovery.milliseconds);
        table.add(QStringLiteral("silent monitor plugged in: longest stall (ms)"),
                  rediscovery.longestStall, QStringLiteral("≤ 100"));
    }
    {
        Backend setup(dropRgbDrive);
        const Pass pass = measurePass(*setup.backend);
        table.add(QStringLiteral("no RGB drive: refresh pass (ms)"), pass.milliseconds);
        table.add(QStringLiteral("no RGB drive: retry pauses, start-up and a pass (ms)"),
                  double(setup.displays.paused().count()), QStringLiteral("0"));
    }
}

#ifdef VARNO_BENCH_I2CDEV
// The backend over the Linux layer, with two monitors on buses of their own
// that answer at once: the time is the waits of the layer, from discovery on.
void measureI2cDev(Table &table)
{
    FakeSysfs sysfs;
    sysfs.loadI2cDev();
    QStringList busLog;
    SimulatedI2cBuses buses(&busLog);
    for (const int bus : {5, 6}) {
        sysfs.addConnector(QStringLiteral("card0-DP-%1").arg(bus), "connected",
                           EdidBlock::withName("Bench"), bus);
        buses.attach(QStringLiteral("/dev/i2c-%1").arg(bus), SimulatedDdcMonitor::typical());
    }
    SystemClock systemClock;
    QElapsedTimer clock;
    clock.start();
    I2cDevDisplaySystem platform({sysfs.root(), QStringLiteral("/dev"), buses, systemClock});
    Win32Platform::install(&platform);
    {
        TestBackend backend;
        backend.init();
        table.add(QStringLiteral("i2c-dev: discovery and start-up reads (ms)"),
                  milliseconds(clock.nsecsElapsed()));
        const Pass pass = measurePass(backend);
        table.add(QStringLiteral("i2c-dev: refresh pass (ms)"), pass.milliseconds);
        table.add(QStringLiteral("i2c-dev: longest stall (ms)"), pass.longestStall,
                  QStringLiteral("≤ 60"));
    }
    Win32Platform::install(nullptr);
}
#endif

struct Start
{
    double milliseconds;
    double residentMiB;
};

// Starts `program` and waits for its first frame.
Start startToFirstFrame(QProcess &process, const QString &program, const QString &monitors,
                        bool stay = false)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VARNO_BENCH_MONITORS"), monitors);
    if (stay)
        environment.insert(QStringLiteral("VARNO_BENCH_STAY"), QStringLiteral("1"));
    process.setProcessEnvironment(environment);
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(program, {});
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(30000)) {
            std::fprintf(stderr, "%s showed no frame; is an X server running?\n",
                         qPrintable(program));
            std::exit(1);
        }
    }
    const double elapsed = milliseconds(clock.nsecsElapsed());
    const QList<QByteArray> words = process.readLine().trimmed().split(' ');
    return {elapsed, words.value(1).toDouble() / 1024};
}

Start runToFirstFrame(const QString &program, const QString &monitors)
{
    QProcess process;
    const Start start = startToFirstFrame(process, program, monitors);
    process.waitForFinished(30000);
    return start;
}

// CPU time of a process so far, from the kernel's account of it.
double cpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    // Fields after the command name in parentheses: state is the first, user
    // and system time the 12th and 13th.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / sysconf(_SC_CLK_TCK);
}

void measurePrograms(Table &table)
{
    const Start bare = runToFirstFrame(bareWindow, {});
    const Start instant = runToFirstFrame(varno, QStringLiteral("instant"));
    const Start silent = runToFirstFrame(varno, QStringLiteral("never-answering"));
    table.add(QStringLiteral("start-up to first frame, bare window (ms)"), bare.milliseconds);
    table.add(QStringLiteral("start-up to first frame, Varno, monitors answer at once (ms)"),
              instant.milliseconds);
    table.add(QStringLiteral("start-up to first frame, Varno / bare window"),
              instant.milliseconds / bare.milliseconds, QStringLiteral("≤ 1.2"));
    table.add(QStringLiteral("resident memory, bare window (MiB)"), bare.residentMiB);
    table.add(QStringLiteral("resident memory, Varno (MiB)"), instant.residentMiB);
    table.add(QStringLiteral("resident memory, Varno / bare window"),
              instant.residentMiB / bare.residentMiB, QStringLiteral("≤ 1.1"));
    table.add(QStringLiteral("start-up to first frame, Varno, a monitor never answers (ms)"),
              silent.milliseconds, QStringLiteral("≤ 1500"));

    QProcess idle;
    startToFirstFrame(idle, varno, QStringLiteral("monitor-like"), true);
    std::this_thread::sleep_for(2s);
    const double before = cpuSeconds(idle.processId());
    std::this_thread::sleep_for(idleTime);
    const double used = cpuSeconds(idle.processId()) - before;
    idle.kill();
    idle.waitForFinished();
    table.add(QStringLiteral("CPU while idle for 30 s, Varno (% of one core)"),
              100 * used / std::chrono::duration<double>(idleTime).count());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const qsizetype runsOption = arguments.indexOf(QStringLiteral("--runs"));
    const int runs = runsOption > 0 ? std::max(1, arguments.value(runsOption + 1).toInt()) : 5;

    // Both programs start once before they are timed, so that neither pays
    // for loading the libraries from disk.
    runToFirstFrame(bareWindow, {});
    runToFirstFrame(varno, QStringLiteral("instant"));
    Table table;
    for (int run = 1; run <= runs; ++run) {
        std::fprintf(stderr, "run %d of %d\n", run, runs);
        measurePrograms(table);
        measureBackend(table);
#ifdef VARNO_BENCH_I2CDEV
        measureI2cDev(table);
#endif
    }
    table.print(runs);
    return 0;
}
