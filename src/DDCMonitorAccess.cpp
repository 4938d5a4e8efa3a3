#include "DDCMonitorAccess.h"

#include "MonitorErrors.h"

#ifndef _WIN32
#include "win32-standin/Win32Platform.h"
#endif

#include <algorithm>
#include <utility>

namespace {

using Control = DDCMonitorAccess::Control;

constexpr int pausePiece = 25;

// The handle no longer reaches its monitor: Windows ended it, as it does when
// the display mode changes, or this session may reach no monitor. Asking
// again through it cannot help; fresh handles tell more.
bool endsHandle(DWORD error)
{
    return error == MonitorError::invalidPhysicalMonitorHandle
        || error == MonitorError::monitorNoLongerExists
        || error == MonitorError::onlyConsoleSession;
}

// Another try of a message lost on the bus may pass; one that the monitor or
// Windows refused would be refused again.
bool isTransient(DWORD error)
{
    return std::find(std::begin(MonitorError::lostOnTheBus), std::end(MonitorError::lostOnTheBus),
                     error)
        != std::end(MonitorError::lostOnTheBus);
}

// The capability bit that stands for each control.
DWORD capabilityOf(Control control)
{
    switch (control) {
    case Control::Brightness:
        return MC_CAPS_BRIGHTNESS;
    case Control::Contrast:
        return MC_CAPS_CONTRAST;
    case Control::RedDrive:
    case Control::GreenDrive:
    case Control::BlueDrive:
        return MC_CAPS_RED_GREEN_BLUE_DRIVE;
    case Control::RedGain:
    case Control::GreenGain:
    case Control::BlueGain:
        return MC_CAPS_RED_GREEN_BLUE_GAIN;
    case Control::ControlCount:
        break;
    }
    Q_UNREACHABLE();
    return 0;
}

BOOL readControl(HANDLE monitor, Control control, DDCMonitorAccess::Reading &reading)
{
    const auto call = [&](auto read, auto... colourType) {
        return read(monitor, colourType..., &reading.minimum, &reading.current, &reading.maximum);
    };
    switch (control) {
    case Control::Brightness:
        return call(GetMonitorBrightness);
    case Control::Contrast:
        return call(GetMonitorContrast);
    case Control::RedDrive:
    case Control::GreenDrive:
    case Control::BlueDrive:
        return call(GetMonitorRedGreenOrBlueDrive, MC_DRIVE_TYPE(control - Control::RedDrive));
    case Control::RedGain:
    case Control::GreenGain:
    case Control::BlueGain:
        return call(GetMonitorRedGreenOrBlueGain, MC_GAIN_TYPE(control - Control::RedGain));
    case Control::ControlCount:
        break;
    }
    Q_UNREACHABLE();
    return FALSE;
}

BOOL writeControl(HANDLE monitor, Control control, DWORD value)
{
    switch (control) {
    case Control::Brightness:
        return SetMonitorBrightness(monitor, value);
    case Control::Contrast:
        return SetMonitorContrast(monitor, value);
    case Control::RedDrive:
    case Control::GreenDrive:
    case Control::BlueDrive:
        return SetMonitorRedGreenOrBlueDrive(monitor, MC_DRIVE_TYPE(control - Control::RedDrive),
                                             value);
    case Control::RedGain:
    case Control::GreenGain:
    case Control::BlueGain:
        return SetMonitorRedGreenOrBlueGain(monitor, MC_GAIN_TYPE(control - Control::RedGain),
                                            value);
    case Control::ControlCount:
        break;
    }
    Q_UNREACHABLE();
    return FALSE;
}

// What a reading that Windows gave says. One of a maximum of 0 is how many
// monitors say they lack the control (DDC/CI lets them answer with four value
// bytes of 0). A garbled reply may still pass as a reading: one whose current
// value lies above its maximum cannot be the monitor's. Published, it would
// show a false value, and a change such as -5 computed from it could set full
// brightness; it fails its attempt, as a lost message does.
DDCReadPolicy::Outcome judge(const DDCMonitorAccess::Reading &reading)
{
    if (reading.maximum == 0)
        return DDCReadPolicy::Outcome::Unsupported;
    return reading.current <= reading.maximum ? DDCReadPolicy::Outcome::Answered
                                              : DDCReadPolicy::Outcome::Failed;
}

void releaseHandles(const QList<MonitorData> &monitors)
{
    for (const MonitorData &monitor : monitors) {
        if (monitor.physicalMonitor)
            DestroyPhysicalMonitor(*monitor.physicalMonitor);
    }
}

// While Windows keeps the display configuration to itself (the session is
// locked), monitors found again keep the names and identities they had,
// known by where they are attached; else each would be taken for a new one.
void keepNames(QList<MonitorData> &found, const QList<MonitorData> &known)
{
    for (MonitorData &monitor : found) {
        const auto same = std::find_if(known.cbegin(), known.cend(), [&](const MonitorData &was) {
            return DDCMonitorAccess::connector(was) == DDCMonitorAccess::connector(monitor);
        });
        if (same == known.cend())
            continue;
        monitor.displayName = same->displayName;
        monitor.devicePath = same->devicePath;
        monitor.identity = same->identity;
    }
}

// For each monitor found, the index of the same monitor among those known, or
// -1; each known monitor is matched at most once, the first time.
QList<qsizetype> matchKnown(const QList<MonitorData> &known, const QList<MonitorData> &found)
{
    QStringList knownKeys;
    for (const MonitorData &monitor : known)
        knownKeys.append(DDCMonitorAccess::identityKey(monitor));
    QList<qsizetype> previousIndexOf;
    for (const MonitorData &monitor : found) {
        const qsizetype previous = knownKeys.indexOf(DDCMonitorAccess::identityKey(monitor));
        if (previous >= 0)
            knownKeys[previous].clear();
        previousIndexOf.append(previous);
    }
    return previousIndexOf;
}

// Windows does not tell; the display systems that stand in for it may.
bool isKnownSilent(HANDLE physicalMonitor)
{
#ifdef _WIN32
    Q_UNUSED(physicalMonitor);
    return false;
#else
    return Win32Platform::current().isKnownSilent(physicalMonitor);
#endif
}

// While it lives, a display system that waits for its monitor in pieces (the
// Linux layer, for a quiet bus) runs `work` meanwhile. Windows waits in one.
class WorkWhileWaiting
{
public:
    explicit WorkWhileWaiting(const std::function<void()> &work)
    {
#ifdef _WIN32
        Q_UNUSED(work);
#else
        m_before = Win32Platform::current().setWhileWaiting(work);
#endif
    }
    ~WorkWhileWaiting()
    {
#ifndef _WIN32
        Win32Platform::current().setWhileWaiting(m_before);
#endif
    }
    Q_DISABLE_COPY(WorkWhileWaiting)

private:
    std::function<void()> m_before;
};

} // namespace

bool DDCMonitorAccess::Reading::answered() const
{
    return outcome == DDCReadPolicy::Outcome::Answered;
}

DDCMonitorAccess::DDCMonitorAccess(QList<MonitorData> &monitors, std::function<void()> afterAttempt,
                                   std::function<void()> handleEnded)
    : m_monitors(monitors),
      m_afterAttempt(std::move(afterAttempt)),
      m_handleEnded(std::move(handleEnded)),
      m_readPolicy([this](int milliseconds) { pause(milliseconds); })
{ }

DDCMonitorAccess::~DDCMonitorAccess()
{
    releaseHandles(m_monitors);
}

// With work to do meanwhile (the window's events), a pause between two
// attempts is spent in pieces, so that a monitor that does not answer keeps
// the window waiting no longer than one attempt.
void DDCMonitorAccess::pause(int milliseconds)
{
    if (!m_afterAttempt) {
        Sleep(DWORD(milliseconds));
        return;
    }
    for (int left = milliseconds; left > 0; left -= pausePiece) {
        Sleep(DWORD(std::min(left, pausePiece)));
        m_afterAttempt();
    }
}

// A monitor that the platform already found silent spends no retries on its
// first reads.
QList<MonitorData> DDCMonitorAccess::enumerate()
{
    QList<MonitorData> found;
    m_discovery.run(found);
    for (MonitorData &monitor : found) {
        if (monitor.physicalMonitor && isKnownSilent(*monitor.physicalMonitor))
            monitor.state.standing = DDCReadPolicy::Standing::Silent;
    }
    return found;
}

void DDCMonitorAccess::discover()
{
    m_monitors.append(enumerate());
}

QList<qsizetype> DDCMonitorAccess::rediscover()
{
    QList<MonitorData> found = enumerate();
    if (m_discovery.configurationDenied())
        keepNames(found, m_monitors);
    const QList<qsizetype> previousIndexOf = matchKnown(m_monitors, found);
    for (qsizetype index = 0; index < found.size(); ++index) {
        if (const qsizetype previous = previousIndexOf.at(index); previous >= 0)
            found[index].state = m_monitors.at(previous).state;
    }
    releaseHandles(m_monitors);
    m_monitors = found;
    return previousIndexOf;
}

// Without a device path, where the display is and the friendly name are all
// there is; a device path names the device (on Linux, the connector), and the
// EDID tells apart another monitor plugged into the same port, even one of the
// same maker with a placeholder serial number.
QString DDCMonitorAccess::identityKey(const MonitorData &monitor)
{
    const QString where =
        monitor.devicePath.isEmpty() ? connector(monitor) : monitor.devicePath.toLower();
    const QString who = monitor.identity.key.isEmpty() ? monitor.displayName : monitor.identity.key;
    return where + QLatin1Char('\n') + who;
}

QString DDCMonitorAccess::connector(const MonitorData &monitor)
{
    return monitor.physicalMonitorNumber == 0
        ? monitor.gdiDeviceName
        : QStringLiteral("%1#%2").arg(monitor.gdiDeviceName).arg(monitor.physicalMonitorNumber);
}

#ifndef _WIN32
bool DDCMonitorAccess::displaysChanged() const
{
    return Win32Platform::current().displaysChanged();
}
#endif

void DDCMonitorAccess::beginPass(uint index)
{
    DDCReadPolicy::beginPass(m_monitors[index].state.standing);
}

void DDCMonitorAccess::beginPass()
{
    for (uint index = 0; index < uint(m_monitors.size()); ++index)
        beginPass(index);
}

// The error is asked for at once: what runs after the attempt may make calls
// of its own, such as a write to this very monitor, so its record is not held
// across the attempts. Only an answer's values are handed on.
DDCMonitorAccess::Reading DDCMonitorAccess::read(uint index, Control control)
{
    using Outcome = DDCReadPolicy::Outcome;
    const std::optional<HANDLE> monitor = m_monitors.at(index).physicalMonitor;
    Reading reading;
    // Nothing to ask: the display does not answer, and costs no attempts.
    if (!monitor)
        return reading;
    const uint bit = 1u << control;
    const DDCReadPolicy::Standing before = m_monitors.at(index).state.standing;
    const bool askingCapabilities = !m_monitors.at(index).state.capabilitiesAsked
        && before == DDCReadPolicy::Standing::Answering && !m_monitors.at(index).handleEnded;
    if (askingCapabilities)
        askCapabilities(index);
    if (m_monitors.at(index).handleEnded)
        return {Outcome::Lost};
    if (m_monitors.at(index).state.withoutCapability & bit)
        return {Outcome::Unsupported};
    const quint64 writesBefore = m_monitors.at(index).state.writes[control];
    DDCReadPolicy::Standing standing = before;
    const auto attempt = [&] {
        Outcome outcome = Outcome::Answered;
        if (!readControl(*monitor, control, reading)) {
            const DWORD error = GetLastError();
            outcome = endsHandle(error)                  ? Outcome::Lost
                : error == MonitorError::vcpNotSupported ? Outcome::Unsupported
                                                         : Outcome::Failed;
        } else {
            outcome = judge(reading);
        }
        if (m_afterAttempt)
            m_afterAttempt();
        return outcome;
    };
    const Outcome outcome = [&] {
        const WorkWhileWaiting meanwhile(m_afterAttempt);
        return m_readPolicy.read(standing, m_monitors.at(index).state.unsupportedControls & bit,
                                 attempt);
    }();
    if (outcome == Outcome::Lost) {
        endHandle(index);
        return {outcome};
    }
    MonitorState &state = m_monitors[index].state;
    takeStanding(state, standing, control);
    // One that answers but cannot give its capabilities is asked no more.
    if (askingCapabilities && outcome != Outcome::Failed)
        state.capabilitiesAsked = true;
    // A failed read tells nothing about the control.
    if (outcome == Outcome::Unsupported)
        state.unsupportedControls |= bit;
    else if (outcome == Outcome::Answered)
        state.unsupportedControls &= ~bit;
    // The monitor's next read would often be of a control it lacks as well
    // (drive and gain come in three channels): one that it answered before
    // decides at once, where there is one.
    if (outcome == Outcome::Failed && before != DDCReadPolicy::Standing::Doubtful
        && settlingControl(index, true)) {
        settle(index);
        return {outcome};
    }
    if (outcome != Outcome::Answered)
        return {outcome};
    reading.outcome = outcome;
    if (state.writes[control] == writesBefore)
        state.readings[control] = reading;
    return reading;
}

// Windows reads a monitor's capabilities over DDC/CI; a control whose bit they
// leave out is never read. A monitor that does not answer cannot give them:
// they are asked again once it answers.
void DDCMonitorAccess::askCapabilities(uint index)
{
    DWORD capabilities = 0;
    DWORD colourTemperatures = 0;
    const bool given = GetMonitorCapabilities(*m_monitors.at(index).physicalMonitor, &capabilities,
                                              &colourTemperatures);
    const bool ended = !given && endsHandle(GetLastError());
    if (m_afterAttempt)
        m_afterAttempt();
    if (ended)
        endHandle(index);
    if (!given)
        return;
    MonitorState &state = m_monitors[index].state;
    state.capabilitiesAsked = true;
    for (int control = 0; control < ControlCount; ++control) {
        if (!(capabilities & capabilityOf(Control(control))))
            state.withoutCapability |= 1u << control;
    }
    state.unsupportedControls |= state.withoutCapability;
}

// A read that failed all its attempts makes the monitor doubtful; the read
// that ends the doubt tells whether the control that failed is unsupported
// (the monitor answered) or the monitor silent.
void DDCMonitorAccess::takeStanding(MonitorState &state, DDCReadPolicy::Standing standing,
                                    Control control)
{
    using Standing = DDCReadPolicy::Standing;
    if (standing == Standing::Doubtful) {
        if (state.standing != Standing::Doubtful)
            state.failedControl = control;
    } else {
        if (state.standing == Standing::Doubtful && standing == Standing::Answering
            && state.failedControl && *state.failedControl != control)
            state.unsupportedControls |= 1u << *state.failedControl;
        state.failedControl.reset();
    }
    state.standing = standing;
}

// One read of a control that the monitor has, and that did not just fail,
// ends the doubt.
void DDCMonitorAccess::settle(uint index)
{
    if (m_monitors.at(index).state.standing != DDCReadPolicy::Standing::Doubtful)
        return;
    if (const auto control = settlingControl(index, true))
        read(index, *control);
    else if (const auto other = settlingControl(index, false))
        read(index, *other);
}

// A control the monitor is not known to lack, and that did not just fail;
// with `answered`, one whose last read answered.
std::optional<DDCMonitorAccess::Control> DDCMonitorAccess::settlingControl(uint index,
                                                                           bool answered) const
{
    const MonitorState &state = m_monitors.at(index).state;
    for (int control = 0; control < ControlCount; ++control) {
        if (!(state.unsupportedControls & 1u << control) && state.failedControl != control
            && (!answered || state.readings[control].answered()))
            return Control(control);
    }
    return std::nullopt;
}

// A display without a physical monitor is never asked, so the read policy
// never learns that it does not answer.
bool DDCMonitorAccess::isAnswering(uint index) const
{
    const MonitorData &monitor = m_monitors.at(index);
    return monitor.physicalMonitor && DDCReadPolicy::isAnswering(monitor.state.standing);
}

DDCMonitorAccess::Write DDCMonitorAccess::write(uint index, Control control, uint value)
{
    const std::optional<HANDLE> monitor = m_monitors.at(index).physicalMonitor;
    if (m_monitors.at(index).handleEnded)
        return Write::Lost;
    if (!monitor)
        return Write::Refused;
    Write written = writeOnce(*monitor, control, value);
    if (written == Write::Unanswered) {
        Sleep(DDCReadPolicy::pauseMilliseconds);
        written = writeOnce(*monitor, control, value);
    }
    if (written == Write::Lost)
        endHandle(index);
    if (written != Write::Taken)
        return written;
    MonitorState &state = m_monitors[index].state;
    state.readings[control].current = DWORD(value);
    ++state.writes[control];
    return Write::Taken;
}

DDCMonitorAccess::Write DDCMonitorAccess::writeOnce(HANDLE monitor, Control control, uint value)
{
    if (writeControl(monitor, control, DWORD(value)))
        return Write::Taken;
    const DWORD error = GetLastError();
    return endsHandle(error) ? Write::Lost
        : isTransient(error) ? Write::Unanswered
                             : Write::Refused;
}

// Nothing more is asked through the handle, and the owner of the access is
// told, to take fresh ones.
void DDCMonitorAccess::endHandle(uint index)
{
    m_monitors[index].handleEnded = true;
    if (m_handleEnded)
        m_handleEnded();
}

void DDCMonitorAccess::renewHandles()
{
    QList<MonitorData> found = enumerate();
    const QList<qsizetype> foundIndexOf = matchKnown(found, m_monitors);
    releaseHandles(m_monitors);
    for (qsizetype index = 0; index < m_monitors.size(); ++index) {
        MonitorData &monitor = m_monitors[index];
        const qsizetype position = foundIndexOf.at(index);
        monitor.physicalMonitor = position < 0
            ? std::nullopt
            : std::exchange(found[position].physicalMonitor, std::nullopt);
        monitor.handleEnded = false;
    }
    releaseHandles(found);
}

QStringList DDCMonitorAccess::platformAdvice() const
{
#ifdef _WIN32
    return m_discovery.advice();
#else
    return m_discovery.advice() + Win32Platform::current().advice();
#endif
}

// Windows lists every display monitor but built-in panels, even one whose
// DDC/CI is off.
NoMonitorReason DDCMonitorAccess::noMonitorReason() const
{
    if (m_discovery.outsideConsoleSession())
        return NoMonitorReason::RemoteSession;
    if (m_discovery.leftOutBuiltInPanel())
        return NoMonitorReason::NoExternalOutput;
#ifdef _WIN32
    return NoMonitorReason::NoAnswer;
#else
    return Win32Platform::current().noMonitorReason();
#endif
}
