#include "fuzz/targets.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fuzzing {

namespace {
const Target TARGETS[] = {
    {"serial_rx", serialReceive},
    {"udp_rx", udpReceive},
    {"announce", announcements},
    {"decoders", decode},
    {"image_records", imageRecords},
};
} // namespace

std::span<const Target> targets() { return TARGETS; }

const Target* findTarget(const char* name)
{
    for (const auto& t : TARGETS)
        if (std::strcmp(t.name, name) == 0)
            return &t;
    return nullptr;
}

void broken(const char* what)
{
    std::fprintf(stderr, "fuzz property broken: %s\n", what);
    std::abort();
}

} // namespace fuzzing
