#include "DDCWinApi.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QLoggingCategory>
#include <QtCore/QScopedValueRollback>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>

#include <chrono>

namespace {

using Reading = DDCMonitorAccess::Reading;

constexpr std::chrono::milliseconds refreshInterval{5000};
constexpr std::chrono::milliseconds settleTime{500};
#ifndef _WIN32
constexpr std::chrono::milliseconds displayWatchInterval{1000};
#endif

// The bits of unsupportedControls are the access's controls, as QML names them.
static_assert(int(DDCApi::Control::Brightness) == DDCMonitorAccess::Brightness
              && int(DDCApi::Control::Contrast) == DDCMonitorAccess::Contrast
              && int(DDCApi::Control::RedDrive) == DDCMonitorAccess::RedDrive
              && int(DDCApi::Control::GreenDrive) == DDCMonitorAccess::GreenDrive
              && int(DDCApi::Control::BlueDrive) == DDCMonitorAccess::BlueDrive
              && int(DDCApi::Control::RedGain) == DDCMonitorAccess::RedGain
              && int(DDCApi::Control::GreenGain) == DDCMonitorAccess::GreenGain
              && int(DDCApi::Control::BlueGain) == DDCMonitorAccess::BlueGain);

// The colour types in the order the readers query them; the setters write red,
// green, blue.
constexpr int colourReadOrder[] = {0, 2, 1};

QString colourName(int colourType)
{
    switch (colourType) {
    case 0:
        return DDCWinApi::tr("Red");
    case 1:
        return DDCWinApi::tr("Green");
    case 2:
        return DDCWinApi::tr("Blue");
    }
    Q_UNREACHABLE();
    return {};
}

// The channels of a colour control by colour type: red 0, green 1, blue 2.
using Channel = DDCValue (DDCRgbValue::*)() const;
constexpr Channel channelOf[] = {&DDCRgbValue::red, &DDCRgbValue::green, &DDCRgbValue::blue};

// What the window shows of a control: its value, and its range and caption,
// which the values' own equality leaves out.
bool shownAlike(const DDCValue &left, const DDCValue &right)
{
    return left == right && left.minimum() == right.minimum() && left.maximum() == right.maximum()
        && left.name() == right.name();
}

bool shownAlike(const DDCRgbValue &left, const DDCRgbValue &right)
{
    return left.name() == right.name() && shownAlike(left.red(), right.red())
        && shownAlike(left.green(), right.green()) && shownAlike(left.blue(), right.blue());
}

template <typename Value>
bool shownAlike(const Value &left, const Value &right)
{
    return left == right;
}

// Replaces `published` by `fresh` unless both show the same; answers whether
// it did.
template <typename Value>
bool replaceIfChanged(QList<Value> &published, const QList<Value> &fresh)
{
    if (published.size() == fresh.size()
        && std::equal(
            published.cbegin(), published.cend(), fresh.cbegin(),
            [](const Value &left, const Value &right) { return shownAlike(left, right); }))
        return false;
    published = fresh;
    return true;
}

} // namespace

// The lines are warnings of their own, which tests can leave unprinted.
Q_LOGGING_CATEGORY(platformNews, "varno.platform")

// While monitors are read with events processed, the window never waits
// longer than one attempt of a read and its pause. Windows ends the monitors'
// handles when the display mode changes: they are listed anew, as after a
// screen was added or removed.
DDCWinApi::DDCWinApi()
    : m_access(
        m_monitors,
        [this] {
            if (m_reading)
                QCoreApplication::processEvents();
        },
        [this] { rediscoverSoon(); })
{
    m_rediscoveryTimer.setSingleShot(true);
    m_rediscoveryTimer.setInterval(settleTime);
    connect(&m_rediscoveryTimer, &QTimer::timeout, this, &DDCWinApi::rediscover);
}

DDCWinApi *DDCWinApi::instance()
{
    static DDCWinApi backend;
    return &backend;
}

void DDCWinApi::init()
{
    m_access.discover();
    takePlatformNews();
    m_access.beginPass();
    readBrightness();
    readContrast();
    readRgbDrive();
    readRgbGain();
    connect(&m_timer, &QTimer::timeout, this, &DDCWinApi::refresh);
    m_timer.start(refreshInterval);
    watchDisplays();
    m_initialized = true;
}

// Windows tells Qt of displays attached and detached, and Qt adds or removes
// a screen; other display systems are asked.
void DDCWinApi::watchDisplays()
{
    if (qGuiApp) {
        connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen *screen) {
            watchMode(screen);
            rediscoverSoon();
        });
        connect(qGuiApp, &QGuiApplication::screenRemoved, this, &DDCWinApi::rediscoverSoon);
        for (QScreen *screen : QGuiApplication::screens())
            watchMode(screen);
    }
#ifndef _WIN32
    connect(&m_displayWatch, &QTimer::timeout, this, [this] {
        if (m_access.displaysChanged())
            rediscoverSoon();
    });
    m_displayWatch.start(displayWatchInterval);
#endif
}

// Windows ends the physical-monitor handles when the display mode changes (a
// resolution, refresh rate or rotation set, a full-screen game): then the
// monitors are listed anew before their handles fail.
void DDCWinApi::watchMode(QScreen *screen)
{
    connect(screen, &QScreen::geometryChanged, this, &DDCWinApi::rediscoverSoon);
    connect(screen, &QScreen::refreshRateChanged, this, &DDCWinApi::rediscoverSoon);
    connect(screen, &QScreen::orientationChanged, this, &DDCWinApi::rediscoverSoon);
}

void DDCWinApi::rediscoverSoon()
{
    m_rediscoveryTimer.start();
}

// Not within the reads of a refresh or of another rediscovery, which go by
// index: it lists the monitors anew once they are done. The monitors are
// listed while no events are processed; new ones are read after that, with
// events processed, so that one that does not answer does not freeze the
// window.
void DDCWinApi::rediscover()
{
    if (m_reading) {
        rediscoverSoon();
        return;
    }
    const QScopedValueRollback<bool> reading(m_reading, true);
    emit monitorsAboutToChange();
    const QList<qsizetype> previousIndexOf = m_access.rediscover();
    const unsigned changed = rebuildPublished();
    emit monitorsChanged(QList<int>(previousIndexOf.cbegin(), previousIndexOf.cend()));
    announce(changed);
    takePlatformNews();
    for (uint index = 0; index < uint(previousIndexOf.size()); ++index) {
        if (previousIndexOf.at(index) < 0)
            readAll(index);
    }
}

// Why no monitor is listed, and what keeps monitors from being listed, may
// change with every discovery.
void DDCWinApi::takePlatformNews()
{
    if (const auto reason = NoMonitorReason(m_access.noMonitorReason());
        reason != m_noMonitorReason) {
        m_noMonitorReason = reason;
        if (m_initialized)
            emit noMonitorReasonChanged();
    }
    for (const QString &line : m_access.platformAdvice()) {
        if (m_advice.contains(line))
            continue;
        m_advice.append(line);
        qCWarning(platformNews, "%s", qPrintable(line));
    }
}

QStringList DDCWinApi::platformAdvice() const
{
    return m_advice;
}

uint DDCWinApi::monitorCount()
{
    Q_ASSERT(m_initialized);
    return uint(m_monitors.size());
}

QString DDCWinApi::monitorName(uint index)
{
    Q_ASSERT(m_initialized);
    return m_monitors.at(index).displayName;
}

QString DDCWinApi::monitorSerialNumber(uint index) const
{
    return isMonitorIndex(index) ? m_monitors.at(index).identity.serialNumber : QString();
}

QString DDCWinApi::monitorManufacturer(uint index) const
{
    return isMonitorIndex(index) ? m_monitors.at(index).identity.manufacturer : QString();
}

QString DDCWinApi::monitorKey(uint index) const
{
    return isMonitorIndex(index) ? DDCMonitorAccess::identityKey(m_monitors.at(index)) : QString();
}

bool DDCWinApi::isMonitorIndex(uint index) const
{
    return index < uint(m_monitors.size());
}

bool DDCWinApi::hasReading(uint index, Control control) const
{
    return m_monitors.at(index).state.readings[control].answered();
}

DDCValue DDCWinApi::level(uint index, const QString &name, Control control) const
{
    const Reading &reading = m_monitors.at(index).state.readings[control];
    return reading.answered() ? DDCValue(name, reading.minimum, reading.maximum, reading.current)
                              : DDCValue(name, 0, 0, 0);
}

// Channels that never answered are left default, without a name.
DDCRgbValue DDCWinApi::colour(uint index, const QString &name, Control red) const
{
    DDCValue channels[3];
    for (int type = 0; type < 3; ++type) {
        if (hasReading(index, Control(red + type)))
            channels[type] = level(index, colourName(type), Control(red + type));
    }
    return DDCRgbValue(name, channels[0], channels[1], channels[2]);
}

unsigned DDCWinApi::rebuildPublished()
{
    QList<DDCValue> brightness;
    QList<DDCValue> contrast;
    QList<DDCRgbValue> rgbDrive;
    QList<DDCRgbValue> rgbGain;
    QList<bool> answering;
    QList<uint> unsupportedControls;
    for (uint index = 0; index < uint(m_monitors.size()); ++index) {
        brightness.append(level(index, tr("Brightness"), Control::Brightness));
        contrast.append(level(index, tr("Contrast"), Control::Contrast));
        rgbDrive.append(colour(index, tr("RGB Drive"), Control::RedDrive));
        rgbGain.append(colour(index, tr("RGB Gain"), Control::RedGain));
        answering.append(m_access.isAnswering(index));
        unsupportedControls.append(m_monitors.at(index).state.unsupportedControls);
    }
    unsigned changed = 0;
    const auto note = [&changed](bool isChanged, PublishedList list) {
        if (isChanged)
            changed |= list;
    };
    note(replaceIfChanged(m_brightness, brightness), Brightness);
    note(replaceIfChanged(m_contrast, contrast), Contrast);
    note(replaceIfChanged(m_rgbDrive, rgbDrive), RgbDrive);
    note(replaceIfChanged(m_rgbGain, rgbGain), RgbGain);
    note(replaceIfChanged(m_answering, answering), Answering);
    note(replaceIfChanged(m_unsupportedControls, unsupportedControls), UnsupportedControls);
    return changed;
}

void DDCWinApi::announce(unsigned changed)
{
    using ChangeSignal = void (DDCApi::*)();
    const std::pair<PublishedList, ChangeSignal> signalOf[] = {
        {Brightness, &DDCApi::brightnessChanged},
        {Contrast, &DDCApi::contrastChanged},
        {RgbDrive, &DDCApi::rgbDriveChanged},
        {RgbGain, &DDCApi::rgbGainChanged},
        {Answering, &DDCApi::answeringChanged},
        {UnsupportedControls, &DDCApi::unsupportedControlsChanged}};
    for (const auto &[list, signal] : signalOf) {
        if (changed & list)
            emit(this->*signal)();
    }
}

// init() announces nothing: the lists are complete before anyone looks.
void DDCWinApi::publish()
{
    const unsigned changed = rebuildPublished();
    if (m_initialized)
        announce(changed);
}

// A reading that the monitor did not give leaves the record, and so what is
// published, as it was.
void DDCWinApi::readLevel(uint index, Control control)
{
    m_access.read(index, control);
    publish();
}

// The channels are published together, once all three were read, so that the
// window holds the control as published while the others are read.
void DDCWinApi::readColour(uint index, Control red)
{
    for (const int type : colourReadOrder)
        m_access.read(index, Control(red + type));
    publish();
}

void DDCWinApi::readAll(uint index)
{
    m_access.beginPass(index);
    readLevel(index, Control::Brightness);
    readLevel(index, Control::Contrast);
    readColour(index, Control::RedDrive);
    readColour(index, Control::RedGain);
}

void DDCWinApi::readBrightness()
{
    for (uint index = 0; index < uint(m_monitors.size()); ++index)
        readLevel(index, Control::Brightness);
}

void DDCWinApi::readContrast()
{
    for (uint index = 0; index < uint(m_monitors.size()); ++index)
        readLevel(index, Control::Contrast);
}

void DDCWinApi::readRgbDrive()
{
    for (uint index = 0; index < uint(m_monitors.size()); ++index)
        readColour(index, Control::RedDrive);
}

void DDCWinApi::readRgbGain()
{
    for (uint index = 0; index < uint(m_monitors.size()); ++index)
        readColour(index, Control::RedGain);
}

uint DDCWinApi::getBrightness(uint index)
{
    Q_ASSERT(m_initialized);
    readLevel(index, Control::Brightness);
    return m_brightness.at(index).value();
}

uint DDCWinApi::getContrast(uint index)
{
    Q_ASSERT(m_initialized);
    readLevel(index, Control::Contrast);
    return m_contrast.at(index).value();
}

DDCRgbValue DDCWinApi::getRgbDrive(uint index)
{
    readColour(index, Control::RedDrive);
    return m_rgbDrive.at(index);
}

DDCRgbValue DDCWinApi::getRgbGain(uint index)
{
    readColour(index, Control::RedGain);
    return m_rgbGain.at(index);
}

// The events processed during a refresh may hold another one: the timer's,
// when a refresh was called directly. The one under way reads everything.
void DDCWinApi::refresh()
{
    if (m_reading)
        return;
    const QScopedValueRollback<bool> reading(m_reading, true);
    for (uint index = 0; index < uint(m_monitors.size()); ++index)
        readAll(index);
}

void DDCWinApi::setBrightness(uint index, uint value)
{
    writeLevel(index, value, Control::Brightness);
}

void DDCWinApi::setContrast(uint index, uint value)
{
    writeLevel(index, value, Control::Contrast);
}

// An empty selection reaches the setters as index 4294967295: not a monitor,
// so nothing is written. Nor is a control that never gave a reading: its
// control in the window spans 0..0, and what it sends was never the user's
// choice. A value taken is announced even when it is the one published.
void DDCWinApi::writeLevel(uint index, uint value, Control control)
{
    if (!isMonitorIndex(index) || !hasReading(index, control)
        || m_access.write(index, control, value) != DDCMonitorAccess::Write::Taken)
        return;
    announce(rebuildPublished() | (control == Control::Brightness ? Brightness : Contrast));
}

void DDCWinApi::setRgbDrive(uint index, const DDCRgbValue &value)
{
    writeColour(index, value, Control::RedDrive, RgbDrive);
}

void DDCWinApi::setRgbGain(uint index, const DDCRgbValue &value)
{
    writeColour(index, value, Control::RedGain, RgbGain);
}

// Only the channels whose value differs from the one published, which the
// caller saw, are written, each announced on its own. The record may hold a
// newer reading that is not yet published: a channel the caller did not move
// is not written back over it.
void DDCWinApi::writeColour(uint index, const DDCRgbValue &value, Control red, PublishedList list)
{
    if (!isMonitorIndex(index))
        return;
    const DDCRgbValue published = (list == RgbDrive ? m_rgbDrive : m_rgbGain).at(index);
    for (int type = 0; type < 3; ++type) {
        const auto control = Control(red + type);
        const uint requested = (value.*channelOf[type])().value();
        if (!hasReading(index, control) || (published.*channelOf[type])().value() == requested
            || m_access.write(index, control, requested) != DDCMonitorAccess::Write::Taken)
            continue;
        announce(rebuildPublished() | list);
    }
}
