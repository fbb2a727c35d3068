#pragma once
// libarchive, opened the first time a game is opened from an archive rather
// than when the program starts: it and the eight compression libraries it
// brings would otherwise be loaded and bound before main(), for every game
// played from a folder too.

#include <archive.h>
#include <archive_entry.h>

#include <optional>
#include <string>

namespace vorn {

#define VORN_ARCHIVE_FUNCTIONS(X)                                                                                      \
    X(archive_read_new)                                                                                                \
    X(archive_read_free)                                                                                               \
    X(archive_read_support_filter_all)                                                                                 \
    X(archive_read_support_format_all)                                                                                 \
    X(archive_read_set_options)                                                                                        \
    X(archive_read_open_filename)                                                                                      \
    X(archive_read_next_header)                                                                                        \
    X(archive_read_data)                                                                                               \
    X(archive_read_has_encrypted_entries)                                                                              \
    X(archive_error_string)                                                                                            \
    X(archive_format)                                                                                                  \
    X(archive_entry_is_encrypted)                                                                                      \
    X(archive_entry_pathname)                                                                                          \
    X(archive_entry_pathname_utf8)                                                                                     \
    X(archive_entry_filetype)                                                                                          \
    X(archive_entry_hardlink)                                                                                          \
    X(archive_entry_size_is_set)                                                                                       \
    X(archive_entry_size)

// The functions the player calls, each with the type the header declares.
struct ArchiveLibrary {
#define VORN_ARCHIVE_POINTER(name) decltype(&::name) name = nullptr;
    VORN_ARCHIVE_FUNCTIONS(VORN_ARCHIVE_POINTER)
#undef VORN_ARCHIVE_POINTER
};

// The library, opened on the first call from any thread and kept for the life
// of the program. Null when it cannot be opened or lacks a function; `why`
// then tells which (in English, naming the library).
const ArchiveLibrary* archiveLibrary(std::string& why);

// Opens the library of that name and looks up its functions (the handle is
// never closed); nothing when it cannot, and `why` then tells which.
std::optional<ArchiveLibrary> openArchiveLibrary(const char* soname, std::string& why);

} // namespace vorn
