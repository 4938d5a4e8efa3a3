// Replies come from whatever hardware sits on the bus: no byte sequence may
// crash the parser, and no value may come out of less than a whole reply.
#include "VcpReply.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    // The first byte is the VCP code asked for; the rest is what was read.
    const VcpReply reply = VcpReply::parse(data + 1, size - 1, data[0]);
    if (reply.kind == VcpReply::Kind::Value && size - 1 < VcpReply::size)
        __builtin_trap();
    return 0;
}
