#include "presentation/music/fluid_library.h"

#include "shell/run_time_library.h"

namespace vorn {
namespace {

struct Opened {
    FluidLibrary functions;
    bool complete = false;
    std::string why;
};

Opened open() {
    Opened opened;
    // Kept open: the audio driver's thread runs in it until the end.
    RunTimeLibrary library(VORN_FLUIDSYNTH_SONAME, "FluidSynth");
#define VORN_FLUID_LOOKUP(name)                                                                                        \
    if (!library.find(opened.functions.name, #name)) {                                                                 \
        opened.why = library.why();                                                                                    \
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
