#include "presentation/music/fluid_library.h"

#include <dlfcn.h>

namespace vorn {
namespace {

struct Opened {
    FluidLibrary functions;
    bool complete = false;
    std::string why;
};

Opened open() {
    Opened opened;
    // Never closed: the audio driver's thread runs in it until the end.
    void* handle = ::dlopen(VORN_FLUIDSYNTH_SONAME, RTLD_LAZY | RTLD_LOCAL);
    if (!handle) {
        const char* error = ::dlerror();
        opened.why = "cannot load FluidSynth (" + std::string(error ? error : VORN_FLUIDSYNTH_SONAME) + ")";
        return opened;
    }
#define VORN_FLUID_LOOKUP(name)                                                                                        \
    opened.functions.name = reinterpret_cast<decltype(&::name)>(::dlsym(handle, #name));                               \
    if (!opened.functions.name) {                                                                                      \
        opened.why = "the FluidSynth library " VORN_FLUIDSYNTH_SONAME " has no " #name;                                \
        return opened;                                                                                                 \
    }
    VORN_FLUID_FUNCTIONS(VORN_FLUID_LOOKUP)
#undef VORN_FLUID_LOOKUP
    opened.complete = true;
    return opened;
}

} // namespace

const FluidLibrary* fluidLibrary(std::string& why) {
    static const Opened opened = open();
    if (!opened.complete) {
        why = opened.why;
        return nullptr;
    }
    return &opened.functions;
}

} // namespace vorn
