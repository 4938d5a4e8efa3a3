#include "DDCWinApi.h"

#include <QtCore/QCoreApplication>
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

// The channels of a colour control by colour type: red 0, green 1, blue 2.
using Channel = DDCValue (DDCRgbValue::*)() const;
using SetChannel = void (DDCRgbValue::*)(const DDCValue &);
constexpr Channel channelOf[] = {&DDCRgbValue::red, &DDCRgbValue::green, &DDCRgbValue::blue};
constexpr SetChannel setChannelOf[] = {&DDCRgbValue::setRed, &DDCRgbValue::setGreen,
                                       &DDCRgbValue::setBlue};

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

// An entry holds the range 0..0 until its monitor first answers.
bool lacksRange(const DDCValue &value)
{
    return value.minimum() == 0 && value.maximum() == 0;
}

// Whether a reading tells more than the entry holds: another value, or the
// first range of an entry whose monitor did not answer before.
bool isNews(const DDCValue &reading, const DDCValue &stored)
{
    return reading != stored || (lacksRange(stored) && !lacksRange(reading));
}

DDCValue named(const Reading &reading, const QString &name)
{
    return DDCValue(name, reading.minimum, reading.maximum, reading.current);
}

} // namespace

// During a refresh, events are processed after every attempt of a read, so
// that the window never waits longer than one attempt and its pause.
DDCWinApi::DDCWinApi()
    : m_access(m_monitors, [this] {
          if (m_refreshing)
              QCoreApplication::processEvents();
      })
{ }

DDCWinApi *DDCWinApi::instance()
{
    static DDCWinApi backend;
    return &backend;
}

void DDCWinApi::init()
{
    m_access.discover();
    m_noMonitorReason = NoMonitorReason(m_access.noMonitorReason());
    m_writeCounts.resize(m_monitors.size());
    m_access.beginPass();
    readBrightness();
    readContrast();
    readRgbDrive();
    readRgbGain();
    m_answering.fill(false, m_monitors.size());
    m_unsupportedControls.fill(0, m_monitors.size());
    for (uint index = 0; index < uint(m_monitors.size()); ++index)
        publishStanding(index);
    connect(&m_timer, &QTimer::timeout, this, &DDCWinApi::refresh);
    m_timer.start(refreshInterval);
    watchDisplays();
    m_initialized = true;
}

// Windows tells Qt of displays attached and detached, and Qt adds or removes
// a screen; other display systems are asked.
void DDCWinApi::watchDisplays()
{
    m_rediscoveryTimer.setSingleShot(true);
    m_rediscoveryTimer.setInterval(settleTime);
    connect(&m_rediscoveryTimer, &QTimer::timeout, this, &DDCWinApi::rediscover);
    if (qGuiApp) {
        connect(qGuiApp, &QGuiApplication::screenAdded, this, &DDCWinApi::rediscoverSoon);
        connect(qGuiApp, &QGuiApplication::screenRemoved, this, &DDCWinApi::rediscoverSoon);
    }
#ifndef _WIN32
    connect(&m_displayWatch, &QTimer::timeout, this, [this] {
        if (m_access.displaysChanged())
            rediscoverSoon();
    });
    m_displayWatch.start(displayWatchInterval);
#endif
}

void DDCWinApi::rediscoverSoon()
{
    m_rediscoveryTimer.start();
}

// Not within a refresh, whose reads go by index: it lists the monitors anew
// once it is done. Nothing else runs meanwhile, since no events are processed
// during the reads here: the window asks for nothing by an index that the
// new list does not yet stand behind.
void DDCWinApi::rediscover()
{
    if (m_refreshing) {
        rediscoverSoon();
        return;
    }
    emit monitorsAboutToChange();
    const QList<qsizetype> previousIndexOf = m_access.rediscover();
    QList<DDCValue> brightness;
    QList<DDCValue> contrast;
    QList<DDCRgbValue> rgbDrive;
    QList<DDCRgbValue> rgbGain;
    QList<std::array<quint64, DDCMonitorAccess::ControlCount>> writeCounts;
    m_access.beginPass();
    for (qsizetype index = 0; index < previousIndexOf.size(); ++index) {
        const qsizetype previous = previousIndexOf.at(index);
        if (previous >= 0) {
            brightness.append(m_brightness.at(previous));
            contrast.append(m_contrast.at(previous));
            rgbDrive.append(m_rgbDrive.at(previous));
            rgbGain.append(m_rgbGain.at(previous));
            writeCounts.append(m_writeCounts.at(previous));
        } else {
            brightness.append(readLevel(uint(index), tr("Brightness"), Control::Brightness));
            contrast.append(readLevel(uint(index), tr("Contrast"), Control::Contrast));
            rgbDrive.append(getRgbDrive(uint(index)));
            rgbGain.append(getRgbGain(uint(index)));
            writeCounts.append(std::array<quint64, DDCMonitorAccess::ControlCount>());
        }
    }
    m_brightness = brightness;
    m_contrast = contrast;
    m_rgbDrive = rgbDrive;
    m_rgbGain = rgbGain;
    m_writeCounts = writeCounts;
    emit monitorsChanged(QList<int>(previousIndexOf.cbegin(), previousIndexOf.cend()));
    emit brightnessChanged();
    emit contrastChanged();
    emit rgbDriveChanged();
    emit rgbGainChanged();
}

QStringList DDCWinApi::platformAdvice() const
{
    return m_access.platformAdvice();
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

bool DDCWinApi::isMonitorIndex(uint index) const
{
    return index < uint(m_monitors.size());
}

quint64 &DDCWinApi::writeCount(uint index, int control)
{
    return m_writeCounts[index][std::size_t(control)];
}

DDCValue DDCWinApi::readLevel(uint index, const QString &name, Control control)
{
    const Reading reading = m_access.read(index, control);
    return reading.answered() ? named(reading, name) : DDCValue(name, 0, 0, 0);
}

void DDCWinApi::appendLevels(QList<DDCValue> &list, const QString &name, Control control)
{
    for (uint index = 0; index < uint(m_monitors.size()); ++index)
        list.append(readLevel(index, name, control));
}

void DDCWinApi::readBrightness()
{
    appendLevels(m_brightness, tr("Brightness"), Control::Brightness);
}

void DDCWinApi::readContrast()
{
    appendLevels(m_contrast, tr("Contrast"), Control::Contrast);
}

uint DDCWinApi::currentLevel(uint index, Control control)
{
    Q_ASSERT(m_initialized);
    const Reading reading = m_access.read(index, control);
    return reading.answered() ? reading.current : 0;
}

uint DDCWinApi::getBrightness(uint index)
{
    return currentLevel(index, Control::Brightness);
}

uint DDCWinApi::getContrast(uint index)
{
    return currentLevel(index, Control::Contrast);
}

DDCRgbValue DDCWinApi::readColour(uint index, const QString &name, Control red)
{
    DDCValue channels[3];
    for (const int type : colourReadOrder) {
        const Reading reading = m_access.read(index, Control(red + type));
        if (reading.answered())
            channels[type] = named(reading, colourName(type));
    }
    return DDCRgbValue(name, channels[0], channels[1], channels[2]);
}

void DDCWinApi::readRgbDrive()
{
    for (uint index = 0; index < uint(m_monitors.size()); ++index)
        m_rgbDrive.append(getRgbDrive(index));
}

void DDCWinApi::readRgbGain()
{
    for (uint index = 0; index < uint(m_monitors.size()); ++index)
        m_rgbGain.append(getRgbGain(index));
}

DDCRgbValue DDCWinApi::getRgbDrive(uint index)
{
    return readColour(index, tr("RGB Drive"), Control::RedDrive);
}

DDCRgbValue DDCWinApi::getRgbGain(uint index)
{
    return readColour(index, tr("RGB Gain"), Control::RedGain);
}

// The events processed during a refresh may hold another one: the timer's,
// when a refresh was called directly. The one under way reads everything.
void DDCWinApi::refresh()
{
    if (m_refreshing)
        return;
    const QScopedValueRollback<bool> refreshing(m_refreshing, true);
    m_access.beginPass();
    for (uint index = 0; index < uint(m_monitors.size()); ++index) {
        refreshLevel(index, Control::Brightness, m_brightness, &DDCApi::brightnessChanged);
        refreshLevel(index, Control::Contrast, m_contrast, &DDCApi::contrastChanged);
        refreshColour(index, Control::RedDrive, m_rgbDrive, &DDCApi::rgbDriveChanged);
        refreshColour(index, Control::RedGain, m_rgbGain, &DDCApi::rgbGainChanged);
        publishStanding(index);
    }
}

void DDCWinApi::publishStanding(uint index)
{
    const bool answering = m_access.isAnswering(index);
    if (m_answering.at(index) != answering) {
        m_answering[index] = answering;
        emit answeringChanged();
    }
    const uint unsupported = m_access.unsupportedControls(index);
    if (m_unsupportedControls.at(index) != unsupported) {
        m_unsupportedControls[index] = unsupported;
        emit unsupportedControlsChanged();
    }
}

// A monitor that gave no reading leaves the entry as published. A setter may
// run while events are processed during the read: a reading taken before its
// write completed is older than what the monitor now holds, and is dropped.
void DDCWinApi::refreshLevel(uint index, Control control, QList<DDCValue> &list,
                             ChangeSignal changed)
{
    const quint64 writesBefore = writeCount(index, control);
    const Reading reading = m_access.read(index, control);
    if (!reading.answered() || writeCount(index, control) != writesBefore)
        return;
    const DDCValue fresh = named(reading, list.at(index).name());
    if (!isNews(fresh, list.at(index)))
        return;
    DDCValue &value = list[index];
    if (lacksRange(value)) {
        value.setMinimum(fresh.minimum());
        value.setMaximum(fresh.maximum());
    }
    value.setValue(fresh.value());
    emit(this->*changed)();
}

// The channels are published together, once all three were read, so that the
// window holds the control as published while the others are read.
void DDCWinApi::refreshColour(uint index, Control red, QList<DDCRgbValue> &list,
                              ChangeSignal changed)
{
    quint64 writesBefore[3] = {};
    Reading readings[3];
    for (const int type : colourReadOrder) {
        writesBefore[type] = writeCount(index, red + type);
        readings[type] = m_access.read(index, Control(red + type));
    }
    const DDCRgbValue stored = list.at(index);
    DDCValue channels[3];
    bool isChanged = false;
    for (int type = 0; type < 3; ++type) {
        channels[type] = (stored.*channelOf[type])();
        if (!readings[type].answered() || writeCount(index, red + type) != writesBefore[type])
            continue;
        const DDCValue reading = named(readings[type], colourName(type));
        if (!isNews(reading, channels[type]))
            continue;
        channels[type] = reading;
        isChanged = true;
    }
    if (!isChanged)
        return;
    list[index] = DDCRgbValue(stored.name(), channels[0], channels[1], channels[2]);
    emit(this->*changed)();
}

void DDCWinApi::setBrightness(uint index, uint value)
{
    writeLevel(index, value, Control::Brightness, m_brightness, &DDCApi::brightnessChanged);
}

void DDCWinApi::setContrast(uint index, uint value)
{
    writeLevel(index, value, Control::Contrast, m_contrast, &DDCApi::contrastChanged);
}

// An empty selection reaches the setters as index 4294967295: not a monitor,
// so nothing is written. Nor is a control that never gave a reading: its
// control in the window spans 0..0, and what it sends was never the user's
// choice.
void DDCWinApi::writeLevel(uint index, uint value, Control control, QList<DDCValue> &list,
                           ChangeSignal changed)
{
    if (!isMonitorIndex(index) || lacksRange(list.at(index))
        || !m_access.write(index, control, value))
        return;
    ++writeCount(index, control);
    list[index].setValue(value);
    emit(this->*changed)();
}

void DDCWinApi::setRgbDrive(uint index, const DDCRgbValue &value)
{
    writeColour(index, value, Control::RedDrive, m_rgbDrive, &DDCApi::rgbDriveChanged);
}

void DDCWinApi::setRgbGain(uint index, const DDCRgbValue &value)
{
    writeColour(index, value, Control::RedGain, m_rgbGain, &DDCApi::rgbGainChanged);
}

void DDCWinApi::writeColour(uint index, const DDCRgbValue &value, Control red,
                            QList<DDCRgbValue> &list, ChangeSignal changed)
{
    if (!isMonitorIndex(index))
        return;
    for (int type = 0; type < 3; ++type) {
        const DDCValue requested = (value.*channelOf[type])();
        const DDCValue stored = (list.at(index).*channelOf[type])();
        if (stored == requested || lacksRange(stored)
            || !m_access.write(index, Control(red + type), requested.value()))
            continue;
        ++writeCount(index, red + type);
        (list[index].*setChannelOf[type])(requested);
        emit(this->*changed)();
    }
}
