#pragma once
// A shared library the player opens when it first needs it (dlopen) rather
// than links, so that it and the libraries it brings are not loaded and bound
// before main(): FluidSynth and libpulse for music, SDL for gamepads,
// libarchive for archives. Opened once and never closed (threads of the
// player may run in it until the end). Not in the WebAssembly build.

#include <string>

namespace vorn {

class RunTimeLibrary {
  public:
    // `what` names the library in what is said when it cannot be used.
    RunTimeLibrary(const char* soname, const char* what);

    // Sets `function` to the library's function `name`, where the library is
    // open and has it; returns whether it does, and otherwise keeps why().
    template <typename Function>
    bool find(Function*& function, const char* name) {
        function = reinterpret_cast<Function*>(symbol(name));
        return function != nullptr;
    }
    // Why the library, or the last function looked for, cannot be used.
    const std::string& why() const { return why_; }

  private:
    void* symbol(const char* name);

    void* handle_ = nullptr;
    std::string soname_;
    std::string what_;
    std::string why_;
};

} // namespace vorn
