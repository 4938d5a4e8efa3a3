#pragma once

#include <functional>

// How the monitors are read over DDC/CI. A monitor may miss a message, so a
// read is tried up to five times, with a pause after every failed attempt; a
// control that the monitor reports as unsupported has answered and is not
// asked again in that read. Reads come in passes (start-up, each refresh).
//
// A read that fails all its attempts leaves it open whether the monitor or
// only that control is at fault: many monitors answer nothing at all for a
// control they lack. The monitor's next read tells, with one attempt: if it
// answers, the control that failed is unsupported and the monitor answers; if
// not, the monitor is not answering, and its remaining reads in that pass are
// skipped. In the next pass its first read gets one attempt without pauses;
// if that answers, the pass goes on as usual. A control known to be
// unsupported is asked once a pass, as a setting that was disabled may come
// back, and its failure says nothing of the monitor. Each monitor keeps its
// own standing, which the policy reads and changes.
class DDCReadPolicy
{
public:
    // Lost: the handle the monitor was asked through no longer reaches it
    // (Windows destroyed it); asking again through it cannot help, and the
    // monitor is not to blame.
    enum class Outcome { Answered, Unsupported, Failed, Lost };
    // Doubtful: its last read failed every attempt; its next read decides.
    enum class Standing { Answering, Doubtful, SilentLastPass, Silent };
    using Attempt = std::function<Outcome()>;
    using Pause = std::function<void(int milliseconds)>;

    // The pause after an attempt that failed.
    static constexpr int pauseMilliseconds = 100;

    explicit DDCReadPolicy(Pause pause);

    // Starts a pass of reads of one monitor.
    static void beginPass(Standing &standing);
    // Makes the attempts of one read of a monitor in its current pass; a read
    // that was skipped has failed. `unsupported`: the control is known to be
    // unsupported; it stays so unless it answers.
    Outcome read(Standing &standing, bool unsupported, const Attempt &attempt) const;
    // Whether no read of the monitor is known to have failed for want of an
    // answer since its last pass began.
    static bool isAnswering(Standing standing);

private:
    Pause m_pause;
};
