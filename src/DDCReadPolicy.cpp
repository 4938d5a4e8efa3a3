#include "DDCReadPolicy.h"

#include <utility>

namespace {

constexpr int attempts = 5;
constexpr int pauseMilliseconds = 100;

} // namespace

DDCReadPolicy::DDCReadPolicy(Pause pause) : m_pause(std::move(pause)) { }

void DDCReadPolicy::beginPass(qsizetype monitorCount)
{
    m_standing.resize(monitorCount, Standing::Answering);
    for (Standing &standing : m_standing) {
        if (standing == Standing::Silent)
            standing = Standing::SilentLastPass;
    }
}

void DDCReadPolicy::knownSilent(qsizetype monitor)
{
    if (m_standing.size() <= monitor)
        m_standing.resize(monitor + 1, Standing::Answering);
    m_standing[monitor] = Standing::Silent;
}

void DDCReadPolicy::follow(const QList<qsizetype> &previousIndexOf)
{
    QList<Standing> standing;
    for (const qsizetype previous : previousIndexOf) {
        standing.append(previous >= 0 && previous < m_standing.size() ? m_standing.at(previous)
                                                                      : Standing::Answering);
    }
    m_standing = standing;
}

DDCReadPolicy::Outcome DDCReadPolicy::read(qsizetype monitor, const Attempt &attempt)
{
    if (m_standing.at(monitor) == Standing::Silent)
        return Outcome::Failed;
    const bool onTrial = m_standing.at(monitor) == Standing::SilentLastPass;
    for (int made = 0; made < (onTrial ? 1 : attempts); ++made) {
        const Outcome outcome = attempt();
        if (outcome != Outcome::Failed) {
            m_standing[monitor] = Standing::Answering;
            return outcome;
        }
        if (!onTrial)
            m_pause(pauseMilliseconds);
    }
    m_standing[monitor] = Standing::Silent;
    return Outcome::Failed;
}

bool DDCReadPolicy::isAnswering(qsizetype monitor) const
{
    return m_standing.value(monitor, Standing::Silent) == Standing::Answering;
}
