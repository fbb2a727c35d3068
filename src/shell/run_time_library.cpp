#include "shell/run_time_library.h"

#include <dlfcn.h>

namespace vorn {

RunTimeLibrary::RunTimeLibrary(const char* soname, const char* what) : soname_(soname), what_(what) {
    handle_ = ::dlopen(soname, RTLD_LAZY | RTLD_LOCAL);
    if (!handle_) {
        const char* error = ::dlerror();
        why_ = "cannot load " + what_ + " (" + std::string(error ? error : soname) + ")";
    }
}

void* RunTimeLibrary::symbol(const char* name) {
    if (!handle_) return nullptr;
    void* found = ::dlsym(handle_, name);
    if (!found) why_ = "the " + what_ + " library " + soname_ + " has no " + name;
    return found;
}

} // namespace vorn
