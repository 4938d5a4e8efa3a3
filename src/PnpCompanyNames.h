#pragma once

#include <string_view>

// The company that a PNP manufacturer id ("DEL") is registered to, in UTF-8,
// as Debian's hwdata lists them; empty when the id is not listed.
std::string_view pnpCompanyName(std::string_view id);
