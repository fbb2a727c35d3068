#include "game_files/archive_library.h"

#include <dlfcn.h>

namespace vorn {

std::optional<ArchiveLibrary> openArchiveLibrary(const char* soname, std::string& why) {
    // Never closed: archives read later use it again.
    void* handle = ::dlopen(soname, RTLD_LAZY | RTLD_LOCAL);
    if (!handle) {
        const char* error = ::dlerror();
        why = "cannot load libarchive (" + std::string(error ? error : soname) + ")";
        return std::nullopt;
    }
    ArchiveLibrary functions;
#define VORN_ARCHIVE_LOOKUP(name)                                                                                      \
    functions.name = reinterpret_cast<decltype(&::name)>(::dlsym(handle, #name));                                      \
    if (!functions.name) {                                                                                             \
        why = "the libarchive library " + std::string(soname) + " has no " #name;                                      \
        return std::nullopt;                                                                                           \
    }
    VORN_ARCHIVE_FUNCTIONS(VORN_ARCHIVE_LOOKUP)
#undef VORN_ARCHIVE_LOOKUP
    return functions;
}

const ArchiveLibrary* archiveLibrary(std::string& why) {
    static std::string failure;
    static const std::optional<ArchiveLibrary> opened = openArchiveLibrary(VORN_LIBARCHIVE_SONAME, failure);
    if (!opened) {
        why = failure;
        return nullptr;
    }
    return &*opened;
}

} // namespace vorn
