#include "MonitorIdentity.h"

#include "Edid.h"
#include "PnpCompanyNames.h"

MonitorIdentity MonitorIdentity::fromEdid(const QByteArray &edid)
{
    const std::optional<Edid> parsed = Edid::parse(
        reinterpret_cast<const std::uint8_t *>(edid.constData()), std::size_t(edid.size()));
    if (!parsed)
        return {};
    const std::string_view company = pnpCompanyName(parsed->manufacturerId());
    return {company.empty() ? QString::fromLatin1(parsed->manufacturerId().c_str())
                            : QString::fromUtf8(company.data(), qsizetype(company.size())),
            QString::fromLatin1(parsed->serialNumber().c_str()),
            QString::fromLatin1(parsed->identityKey().c_str())};
}
