#include "DDCReadPolicy.h"

#include <utility>

namespace {

constexpr int attempts = 5;
constexpr int pauseMilliseconds = 100;

} // namespace

DDCReadPolicy::DDCReadPolicy(Pause pause) : m_pause(std::move(pause)) { }

void DDCReadPolicy::beginPass(Standing &standing)
{
    if (standing == Standing::Silent)
        standing = Standing::SilentLastPass;
}

DDCReadPolicy::Outcome DDCReadPolicy::read(Standing &standing, const Attempt &attempt) const
{
    if (standing == Standing::Silent)
        return Outcome::Failed;
    const bool onTrial = standing == Standing::SilentLastPass;
    for (int made = 0; made < (onTrial ? 1 : attempts); ++made) {
        const Outcome outcome = attempt();
        if (outcome != Outcome::Failed) {
            standing = Standing::Answering;
            return outcome;
        }
        if (!onTrial)
            m_pause(pauseMilliseconds);
    }
    standing = Standing::Silent;
    return Outcome::Failed;
}

bool DDCReadPolicy::isAnswering(Standing standing)
{
    return standing == Standing::Answering;
}
