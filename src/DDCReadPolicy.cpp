#include "DDCReadPolicy.h"

#include <utility>

namespace {

constexpr int attempts = 5;

} // namespace

DDCReadPolicy::DDCReadPolicy(Pause pause) : m_pause(std::move(pause)) { }

void DDCReadPolicy::beginPass(Standing &standing)
{
    if (standing == Standing::Silent)
        standing = Standing::SilentLastPass;
}

DDCReadPolicy::Outcome DDCReadPolicy::read(Standing &standing, bool unsupported,
                                           const Attempt &attempt) const
{
    if (standing == Standing::Silent)
        return Outcome::Failed;
    // A silent monitor's trial falls on a control it has.
    if (unsupported && standing == Standing::SilentLastPass)
        return Outcome::Failed;
    const bool oneAttempt = unsupported || standing != Standing::Answering;
    for (int made = 0; made < (oneAttempt ? 1 : attempts); ++made) {
        const Outcome outcome = attempt();
        if (outcome == Outcome::Lost)
            return outcome;
        if (outcome != Outcome::Failed) {
            standing = Standing::Answering;
            return outcome;
        }
        if (!oneAttempt)
            m_pause(pauseMilliseconds);
    }
    if (unsupported)
        return Outcome::Unsupported;
    standing = standing == Standing::Answering ? Standing::Doubtful : Standing::Silent;
    return Outcome::Failed;
}

bool DDCReadPolicy::isAnswering(Standing standing)
{
    return standing == Standing::Answering || standing == Standing::Doubtful;
}
