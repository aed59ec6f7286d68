// Loads the module named by its argument, lets it leak, unloads it and ends:
// LeakSanitizer then reports the leaks, which must name the module.
#include <dlfcn.h>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s MODULE\n", argv[0]);
        return 2;
    }
    void* module = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 2;
    }
    using Leak = void (*)();
    const auto leak = reinterpret_cast<Leak>(dlsym(module, "LeakFromModule"));
    if (leak == nullptr) return 2;
    leak();
    dlclose(module);
    return 0;
}
