// The sysfs edid file, and the registry's EDID value, hold whatever the
// display sent: no content may crash the parser, a name or serial number that
// comes out is short, printable text, and a maker id is three letters.
#include "Edid.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::optional<Edid> edid = Edid::parse(data, size);
    if (!edid)
        return 0;
    const std::string &id = edid->manufacturerId();
    if (!id.empty()
        && (id.size() != 3
            || id.find_first_not_of("@ABCDEFGHIJKLMNOPQRSTUVWXYZ") != std::string::npos))
        __builtin_trap();
    for (const std::string *text : {&edid->monitorName(), &edid->serialNumber()}) {
        if (text->size() > 13)
            __builtin_trap();
        for (const char c : *text) {
            if (c < 0x20 || c > 0x7E)
                __builtin_trap();
        }
    }
    return 0;
}
