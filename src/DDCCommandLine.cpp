#include "DDCCommandLine.h"

#include <QtCore/QCommandLineParser>
#include <QtCore/QJsonArray>
#include <QtCore/QJsonDocument>
#include <QtCore/QRegularExpression>

#include <array>

namespace {

using Control = DDCMonitorAccess::Control;

const QString program = QStringLiteral("varnoctl");

const std::array<QString, Control::ControlCount> controlNames = {
    QStringLiteral("brightness"),  QStringLiteral("contrast"),   QStringLiteral("red-drive"),
    QStringLiteral("green-drive"), QStringLiteral("blue-drive"), QStringLiteral("red-gain"),
    QStringLiteral("green-gain"),  QStringLiteral("blue-gain")};

std::optional<Control> controlNamed(const QString &name)
{
    for (int control = 0; control < Control::ControlCount; ++control) {
        if (controlNames[std::size_t(control)] == name)
            return Control(control);
    }
    return std::nullopt;
}

QString nameOf(Control control)
{
    return controlNames[std::size_t(control)];
}

// What names a monitor for as long as it stays on its output, unlike its
// position in the list: its DRM connector on Linux ("card0-DP-1", which tells
// identical monitors apart), its GDI device name on Windows ("\\.\DISPLAY1").
QString connectorOf(const MonitorData &monitor)
{
    return DDCMonitorAccess::connector(monitor);
}

// A connector may be given without its card ("DP-1" for "card0-DP-1") or,
// on Windows, without its device prefix ("DISPLAY1" for "\\.\DISPLAY1").
bool isConnectorOf(const QString &word, const MonitorData &monitor)
{
    static const QRegularExpression prefix(QStringLiteral(R"(^(card[0-9]+-|\\\\\.\\))"));
    const QString connector = connectorOf(monitor);
    return !word.isEmpty()
        && (connector.compare(word, Qt::CaseInsensitive) == 0
            || QString(connector).remove(prefix).compare(word, Qt::CaseInsensitive) == 0);
}

// The serial number is what tells two monitors of one model apart, wherever
// they are plugged in.
bool isSerialNumberOf(const QString &word, const MonitorData &monitor)
{
    const QString &serialNumber = monitor.identity.serialNumber;
    return !serialNumber.isEmpty() && serialNumber.compare(word, Qt::CaseInsensitive) == 0;
}

// A monitor without a name of its own is listed by its connector, which is
// matched whole only: "DP-1" must not select the monitor on card0-DP-10.
bool hasInName(const QString &word, const MonitorData &monitor)
{
    return !word.isEmpty() && monitor.displayName != connectorOf(monitor)
        && monitor.displayName.contains(word, Qt::CaseInsensitive);
}

// VALUE: an absolute value, or a change of the current one ("+10", "-5").
// DDC/CI values have 16 bits; nine digits cannot overflow the arithmetic.
struct Requested
{
    bool isChange;
    int amount;
};

std::optional<Requested> requestedValue(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^[+-]?[0-9]{1,9}$"));
    if (!form.match(text).hasMatch())
        return std::nullopt;
    return Requested{!text.front().isDigit(), text.toInt()};
}

// "-5" would read as an option: what follows the first such argument is taken
// as it stands.
QStringList withChangesAsArguments(QStringList arguments)
{
    static const QRegularExpression negative(QStringLiteral("^-[0-9]"));
    for (qsizetype position = 1; position < arguments.size(); ++position) {
        if (arguments.at(position) == QLatin1String("--"))
            break;
        if (negative.match(arguments.at(position)).hasMatch()) {
            arguments.insert(position, QStringLiteral("--"));
            break;
        }
    }
    return arguments;
}

// QCommandLineParser lists options and arguments; the commands are told here.
QString description()
{
    // Two lines that fit a terminal's 80 columns: the levels, then the channels.
    const QStringList names(controlNames.begin(), controlNames.end());
    const QString separator = QStringLiteral(", ");
    const QString controls = names.mid(0, 2).join(separator) + QStringLiteral(",\n         ")
        + names.mid(2).join(separator);
    return DDCCommandLine::tr(
               "Reads and sets the brightness, contrast, RGB drive and RGB gain of the monitors\n"
               "over DDC/CI.\n"
               "\n"
               "  list                       one line per monitor: index, name, connector,\n"
               "                             maker and serial number\n"
               "  get [MONITOR] [CONTROL]    one line per control: monitor, control, value,\n"
               "                             minimum and maximum (all by default)\n"
               "  set MONITOR CONTROL VALUE  VALUE: a number within the monitor's range, or a\n"
               "                             change such as +10 or -5, kept within the range;\n"
               "                             prints the value now held as get does\n"
               "\n"
               "MONITOR: a connector from list (card0-DP-1 or DP-1; \\\\.\\DISPLAY1 on Windows),\n"
               "a serial number from list, part of the name of one monitor, all, or an index\n"
               "from list. An index is a position in this run's list, which moves when a\n"
               "monitor is added or left out: scripts should name the monitor, its connector\n"
               "or its serial number, which stays with it on any connector.\n"
               "CONTROL: %1.\n"
               "Exit status: 0 done, 1 no monitor was found, or one did not answer or\n"
               "refused, 2 wrong usage.")
        .arg(controls);
}

} // namespace

DDCCommandLine::DDCCommandLine(QTextStream &out, QTextStream &err)
    : m_out(out), m_err(err), m_access(m_monitors)
{ }

int DDCCommandLine::run(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(description());
    parser.addPositionalArgument(QStringLiteral("command"), tr("list, get or set"),
                                 QStringLiteral("command [MONITOR] [CONTROL] [VALUE]"));
    const QCommandLineOption json(QStringLiteral("json"),
                                  tr("Print one JSON document (list and get)."));
    parser.addOption(json);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  tr("Displays this help."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    if (!parser.parse(withChangesAsArguments(arguments)))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        m_out << parser.helpText();
        return Done;
    }
    if (parser.isSet(version)) {
        m_out << program << ' ' << QCoreApplication::applicationVersion() << '\n';
        return Done;
    }

    QStringList words = parser.positionalArguments();
    const QString command = words.isEmpty() ? QString() : words.takeFirst();
    if (command == QLatin1String("list") && words.isEmpty())
        return list(parser.isSet(json));
    if (command == QLatin1String("get") && words.size() <= 2)
        return get(words.value(0, QStringLiteral("all")), words.value(1), parser.isSet(json));
    if (command == QLatin1String("set") && words.size() == 3 && !parser.isSet(json))
        return set(words.at(0), words.at(1), words.at(2));
    if (command.isEmpty())
        return usageError(tr("no command given"));
    if (!QStringList{"list", "get", "set"}.contains(command))
        return usageError(tr("unknown command \"%1\"").arg(command));
    return usageError(tr("wrong arguments for %1").arg(command));
}

int DDCCommandLine::list(bool json)
{
    discover(false);
    QJsonArray documented;
    for (uint index = 0; index < uint(m_monitors.size()); ++index) {
        const MonitorData &monitor = m_monitors.at(index);
        if (json)
            documented.append(monitorObject(index));
        else
            m_out << index << '\t' << monitor.displayName << '\t' << connectorOf(monitor) << '\t'
                  << monitor.identity.manufacturer << '\t' << monitor.identity.serialNumber << '\n';
    }
    if (json)
        m_out << QJsonDocument(documented).toJson();
    return Done;
}

int DDCCommandLine::get(const QString &monitor, const QString &control, bool json)
{
    QList<Control> controls;
    if (control.isEmpty()) {
        for (int each = 0; each < Control::ControlCount; ++each)
            controls.append(Control(each));
    } else if (const std::optional<Control> named = controlNamed(control)) {
        controls.append(*named);
    } else {
        return usageError(tr("unknown control \"%1\"").arg(control));
    }
    if (!discover(true))
        return MonitorFailed;
    const std::optional<QList<uint>> monitors = findMonitors(monitor);
    if (!monitors)
        return UsageError;

    int result = Done;
    QJsonArray documented;
    for (const uint index : *monitors) {
        QJsonObject values;
        // The first read that gave no value.
        std::optional<std::pair<Control, Outcome>> failed;
        for (const Control each : std::as_const(controls)) {
            const Reading reading = read(index, each);
            if (reading.answered() && json) {
                values.insert(nameOf(each),
                              QJsonObject{{QStringLiteral("value"), qint64(reading.current)},
                                          {QStringLiteral("minimum"), qint64(reading.minimum)},
                                          {QStringLiteral("maximum"), qint64(reading.maximum)}});
            } else if (reading.answered()) {
                printReading(index, each, reading);
            } else if (!failed) {
                failed = {each, reading.outcome};
            }
        }
        // Without a CONTROL, what the monitor does not support is left out.
        if (failed) {
            const QString problem = withoutValue(index, failed->first, failed->second);
            const bool reached = failed->second != Outcome::Lost;
            if (reached && !m_access.isAnswering(index)) {
                reportFailure(index, tr("does not answer"));
                result = MonitorFailed;
            } else if (!reached || !control.isEmpty()) {
                reportFailure(index, problem);
                result = MonitorFailed;
            }
        }
        QJsonObject object = monitorObject(index);
        object.insert(QStringLiteral("controls"), values);
        documented.append(object);
    }
    if (json)
        m_out << QJsonDocument(documented).toJson();
    return result;
}

// Reads the one control for its range and current value, and writes only it.
int DDCCommandLine::set(const QString &monitor, const QString &control, const QString &value)
{
    const std::optional<Control> named = controlNamed(control);
    if (!named)
        return usageError(tr("unknown control \"%1\"").arg(control));
    const std::optional<Requested> requested = requestedValue(value);
    if (!requested) {
        return usageError(tr("\"%1\" is not a value: give a number such as 30, or a change "
                             "such as +10 or -5")
                              .arg(value));
    }
    if (!discover(true))
        return MonitorFailed;
    const std::optional<QList<uint>> monitors = findMonitors(monitor);
    if (!monitors)
        return UsageError;

    int result = Done;
    for (const uint index : *monitors) {
        Reading reading = read(index, *named);
        const qint64 minimum = reading.minimum;
        const qint64 maximum = reading.maximum;
        QString problem;
        if (!reading.answered()) {
            problem = withoutValue(index, *named, reading.outcome);
        } else if (!requested->isChange
                   && (requested->amount < minimum || requested->amount > maximum)) {
            problem = tr("takes %1 from %2 to %3; %4 was not written")
                          .arg(control)
                          .arg(minimum)
                          .arg(maximum)
                          .arg(requested->amount);
        } else {
            const qint64 target = requested->isChange
                ? qMax(minimum, qMin(maximum, qint64(reading.current) + requested->amount))
                : requested->amount;
            const Write written = write(index, *named, uint(target));
            if (written == Write::Taken) {
                reading.current = DWORD(target);
                printReading(index, *named, reading);
                continue;
            }
            problem = written == Write::Lost   ? unreached()
                : written == Write::Unanswered ? tr("does not answer")
                                               : tr("refused %1 %2").arg(control).arg(target);
        }
        reportFailure(index, problem);
        result = MonitorFailed;
    }
    return result;
}

bool DDCCommandLine::discover(bool needsMonitor)
{
    m_access.discover();
    m_access.beginPass();
    const QStringList advice = m_access.platformAdvice();
    if (needsMonitor && m_monitors.isEmpty()) {
        m_err << program << ": "
              << (QStringList{tr("no monitor was found.")} + advice).join(QLatin1Char(' ')) << '\n';
        return false;
    }
    for (const QString &line : advice)
        m_err << program << ": " << line << '\n';
    return true;
}

std::optional<QList<uint>> DDCCommandLine::findMonitors(const QString &word)
{
    const auto count = uint(m_monitors.size());
    bool isIndex = false;
    const uint index = word.toUInt(&isIndex);
    if (isIndex && word.front().isDigit()) {
        if (index >= count) {
            usageError(tr("there is no monitor %1; there are %2").arg(index).arg(count));
            return std::nullopt;
        }
        return QList<uint>{index};
    }
    // What names a monitor whole comes before any part of a name.
    QList<uint> all;
    QList<uint> wholly;
    QList<uint> byName;
    for (uint each = 0; each < count; ++each) {
        const MonitorData &monitor = m_monitors.at(each);
        all.append(each);
        if (isConnectorOf(word, monitor) || isSerialNumberOf(word, monitor))
            wholly.append(each);
        else if (hasInName(word, monitor))
            byName.append(each);
    }
    if (word == QLatin1String("all"))
        return all;
    const QList<uint> &found = wholly.isEmpty() ? byName : wholly;
    if (found.size() == 1)
        return found;
    if (found.isEmpty()) {
        usageError(tr("no monitor has the connector or serial number \"%1\", or a name that "
                      "contains it")
                       .arg(word));
        return std::nullopt;
    }
    QStringList names;
    for (const uint each : found) {
        const MonitorData &monitor = m_monitors.at(each);
        names.append(QStringLiteral("%1 on %2").arg(monitor.displayName, connectorOf(monitor)));
    }
    usageError(tr("\"%1\" names %2 monitors (%3); give the connector or serial number")
                   .arg(word)
                   .arg(found.size())
                   .arg(names.join(QStringLiteral(", "))));
    return std::nullopt;
}

int DDCCommandLine::usageError(const QString &message)
{
    m_err << program << ": " << message << '\n' << tr("See %1 --help.").arg(program) << '\n';
    return UsageError;
}

// Why a read gave no value. Where it failed every attempt, one more read
// tells whether the monitor lacks the control or does not answer.
QString DDCCommandLine::withoutValue(uint index, Control control, Outcome outcome)
{
    if (outcome == Outcome::Lost)
        return unreached();
    m_access.settle(index);
    return m_monitors.at(index).state.unsupportedControls & 1u << control
        ? tr("does not support %1").arg(nameOf(control))
        : tr("does not answer");
}

// Windows ended the monitor's handle, and the fresh one it gave for this run
// too: the display mode changed, more than once.
QString DDCCommandLine::unreached()
{
    return tr("was not reached: the display mode changed meanwhile");
}

// Windows ends every handle when the display mode changes, as a game going
// full-screen may do while this runs: the monitors are reached through fresh
// ones, once a run.
bool DDCCommandLine::renewHandles()
{
    if (m_handlesRenewed)
        return false;
    m_handlesRenewed = true;
    m_access.renewHandles();
    return true;
}

DDCCommandLine::Reading DDCCommandLine::read(uint index, Control control)
{
    const Reading reading = m_access.read(index, control);
    return reading.outcome == Outcome::Lost && renewHandles() ? m_access.read(index, control)
                                                              : reading;
}

DDCCommandLine::Write DDCCommandLine::write(uint index, Control control, uint value)
{
    const Write written = m_access.write(index, control, value);
    return written == Write::Lost && renewHandles() ? m_access.write(index, control, value)
                                                    : written;
}

void DDCCommandLine::reportFailure(uint index, const QString &problem)
{
    m_err << program << ": "
          << tr("monitor %1 (%2) %3").arg(index).arg(m_monitors.at(index).displayName, problem)
          << '\n';
}

void DDCCommandLine::printReading(uint index, Control control, const Reading &reading)
{
    m_out << index << '\t' << nameOf(control) << '\t' << reading.current << '\t' << reading.minimum
          << '\t' << reading.maximum << '\n';
}

QJsonObject DDCCommandLine::monitorObject(uint index) const
{
    const MonitorData &monitor = m_monitors.at(index);
    return {{QStringLiteral("index"), qint64(index)},
            {QStringLiteral("name"), monitor.displayName},
            {QStringLiteral("connector"), connectorOf(monitor)},
            {QStringLiteral("manufacturer"), monitor.identity.manufacturer},
            {QStringLiteral("serialNumber"), monitor.identity.serialNumber}};
}
