#include "PnpCompanyNames.h"

#include <algorithm>
#include <iterator>

namespace {

struct Company
{
    char id[4];
    const char *name;
};

constexpr Company companies[] = {
#include "PnpCompanyNames.inc"
};

} // namespace

std::string_view pnpCompanyName(std::string_view id)
{
    const auto found = std::lower_bound(
        std::begin(companies), std::end(companies), id,
        [](const Company &company, std::string_view wanted) { return company.id < wanted; });
    return found != std::end(companies) && found->id == id ? found->name : std::string_view();
}
