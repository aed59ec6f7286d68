// A module that allocates and forgets, loaded and unloaded by
// load_and_unload.cpp: LeakSanitizer must name it, though it was unloaded.
#include <cstdint>
#include <cstdlib>

namespace {

// Kept as a number, not a pointer, so the allocation is unreachable.
volatile std::uintptr_t hiddenAddress = 0;

}  // namespace

extern "C" void LeakFromModule() {
    for (int i = 0; i < 3; ++i) hiddenAddress = reinterpret_cast<std::uintptr_t>(std::malloc(64)) ^ ~std::uintptr_t{0};
}
