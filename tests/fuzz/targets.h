#pragma once
// The fuzz targets: every function that reads bytes from a device or a file,
// reached the way the program reaches it. Each target takes one input of any
// length and must neither crash nor read past it. The same functions run under
// libFuzzer (fuzz_main.cpp, clang) and replay the saved inputs in the normal
// suite (tst_fuzz_replay.cpp).
#include <cstdint>
#include <span>

namespace fuzzing {

using Bytes = std::span<const std::uint8_t>;

struct Target {
    const char* name;      // "serial_rx": the executable is fuzz_serial_rx
    void (*run)(Bytes input);
};

// Every target, in a fixed order.
std::span<const Target> targets();
// nullptr for an unknown name.
const Target* findTarget(const char* name);

// The decoder table of the "decoders" target (decoders.cpp): the first input
// byte picks the row, the rest is the decoder's input.
struct Decoder {
    const char* name;
    void (*run)(Bytes input);
};
std::span<const Decoder> decoders();

void serialReceive(Bytes input);   // window_targets.cpp
void udpReceive(Bytes input);
void announcements(Bytes input);
void imageRecords(Bytes input);
void decode(Bytes input);          // decoders.cpp

// Stops the fuzzing process with a message when a property is broken.
[[noreturn]] void broken(const char* what);
inline void expect(bool ok, const char* what)
{
    if (!ok)
        broken(what);
}

} // namespace fuzzing
