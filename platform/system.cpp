#include "platform/system.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

// Sanitizer builds (GCC says __SANITIZE_ADDRESS__, clang __has_feature).
#if defined(__SANITIZE_ADDRESS__)
#define QUENNEL_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(leak_sanitizer)
#define QUENNEL_LEAK_CHECK 1
#endif
#endif
#ifdef QUENNEL_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

namespace {
#ifdef QUENNEL_LEAK_CHECK
constexpr int kLeaksFoundExitCode = 23;   // what LeakSanitizer itself uses
#endif

EndHandler& endSlot()
{
    static EndHandler handler;
    return handler;
}
RandomSource& randomSlot()
{
    static RandomSource source;
    return source;
}
std::mt19937& engine()
{
    static std::mt19937 e{std::random_device{}()};
    return e;
}
}  // namespace

void endProgram(int exitCode)
{
    if (endSlot()) {
        endSlot()(exitCode);
        return;
    }
    std::fflush(nullptr);
#ifdef QUENNEL_LEAK_CHECK
    // Ending at once skips the leak check a sanitizer build runs at exit;
    // run it now, and let leaks show in the exit status as they would there.
    if (__lsan_do_recoverable_leak_check() != 0)
        exitCode = kLeaksFoundExitCode;
#endif
    std::_Exit(exitCode);
}

EndHandler setEndHandler(EndHandler handler)
{
    EndHandler previous = std::move(endSlot());
    endSlot() = std::move(handler);
    return previous;
}

double rnd()
{
    if (randomSlot())
        return randomSlot()();
    // A 32-bit draw over 2^32 can never reach 1.
    return static_cast<double>(engine()()) / 4294967296.0;
}

void randomize()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    engine().seed(static_cast<std::mt19937::result_type>(
        std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
}

RandomSource setRandomSource(RandomSource source)
{
    RandomSource previous = std::move(randomSlot());
    randomSlot() = std::move(source);
    return previous;
}
