#pragma once

#include <functional>

// How the monitors are read over DDC/CI. A monitor may miss a message, so a
// read is tried up to five times, with a pause after every failed attempt; a
// control that the monitor reports as unsupported has answered and is not
// asked again. Reads come in passes (start-up, each refresh). Once a read has
// failed all its attempts, its monitor is not answering, and its remaining
// reads in that pass are skipped. In the next pass its first read gets one
// attempt without pauses; if that answers, the pass goes on as usual. Each
// monitor keeps its own standing, which the policy reads and changes.
class DDCReadPolicy
{
public:
    enum class Outcome { Answered, Unsupported, Failed };
    enum class Standing { Answering, SilentLastPass, Silent };
    using Attempt = std::function<Outcome()>;
    using Pause = std::function<void(int milliseconds)>;

    explicit DDCReadPolicy(Pause pause);

    // Starts a pass of reads of one monitor.
    static void beginPass(Standing &standing);
    // Makes the attempts of one read of a monitor in its current pass; a read
    // that was skipped has failed.
    Outcome read(Standing &standing, const Attempt &attempt) const;
    // Whether no read of the monitor has failed since its last pass began.
    static bool isAnswering(Standing standing);

private:
    Pause m_pause;
};
