#include "game_files/archive_library.h"

#include "shell/run_time_library.h"

namespace vorn {

std::optional<ArchiveLibrary> openArchiveLibrary(const char* soname, std::string& why) {
    RunTimeLibrary library(soname, "libarchive"); // kept open: archives read later use it again
    ArchiveLibrary functions;
#define VORN_ARCHIVE_LOOKUP(name)                                                                                      \
    if (!library.find(functions.name, #name)) {                                                                        \
        why = library.why();                                                                                           \
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
