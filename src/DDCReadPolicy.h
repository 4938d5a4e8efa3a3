#pragma once

#include <QtCore/QList>

#include <functional>

// How the monitors are read over DDC/CI. A monitor may miss a message, so a
// read is tried up to five times, with a pause after every failed attempt; a
// control that the monitor reports as unsupported has answered and is not
// asked again. Reads come in passes (start-up, each refresh). Once a read has
// failed all its attempts, its monitor is not answering, and its remaining
// reads in that pass are skipped. In the next pass its first read gets one
// attempt without pauses; if that answers, the pass goes on as usual.
class DDCReadPolicy
{
public:
    enum class Outcome { Answered, Unsupported, Failed };
    using Attempt = std::function<Outcome()>;
    using Pause = std::function<void(int milliseconds)>;

    explicit DDCReadPolicy(Pause pause);

    void beginPass(qsizetype monitorCount);
    // The monitor is known not to answer before any read of it, as if it had
    // failed in an earlier pass: the next pass gives its first read one attempt.
    void knownSilent(qsizetype monitor);
    // The monitors were listed anew: monitor i was monitor previousIndexOf[i]
    // before, and keeps its standing; -1 is a monitor new to the list.
    void follow(const QList<qsizetype> &previousIndexOf);
    // Makes the attempts of one read of `monitor` in the current pass; a read
    // that was skipped has failed.
    Outcome read(qsizetype monitor, const Attempt &attempt);
    // Whether no read of `monitor` has failed since its last pass began.
    bool isAnswering(qsizetype monitor) const;

private:
    enum class Standing { Answering, SilentLastPass, Silent };

    Pause m_pause;
    QList<Standing> m_standing;
};
