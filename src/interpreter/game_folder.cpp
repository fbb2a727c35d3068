#include "game_folder.h"

#include "code_page.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vorn {
namespace fs = std::filesystem;
namespace {

bool existsNoThrow(const fs::path& p) {
    std::error_code ec;
    return fs::symlink_status(p, ec).type() != fs::file_type::not_found && !ec;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiLower(x) == asciiLower(y);
           });
}

// The entry of `dir` named `part`: exactly if it exists, otherwise the first
// in byte order whose name matches without regard to ASCII case.
std::optional<fs::path> matchEntry(const fs::path& dir, const std::string& part) {
    if (part.empty() || part == "." || part == "..") return dir / part;
    if (existsNoThrow(dir / part)) return dir / part;
    std::error_code ec;
    fs::directory_iterator it(dir.empty() ? fs::path(".") : dir, ec);
    if (ec) return std::nullopt;
    std::vector<std::string> matches;
    for (const auto& entry : it) {
        std::string name = entry.path().filename().string();
        if (equalsIgnoringAsciiCase(name, part)) matches.push_back(std::move(name));
    }
    if (matches.empty()) return std::nullopt;
    return dir / *std::min_element(matches.begin(), matches.end());
}

} // namespace

GameFolder::GameFolder(fs::path root) : root_(std::move(root)) {}

FileLookup GameFolder::resolve(std::string_view name) const {
    const fs::path asWritten = root_ / fs::path(std::string(name));
    if (name.empty()) return {};
    if (existsNoThrow(asWritten)) return {asWritten, false};

    // Names are UTF-8 here, so a `\` byte is always a real backslash: the trail
    // byte 0x5C of a Shift-JIS character became part of a multi-byte sequence.
    std::vector<std::string> parts;
    std::string current;
    for (char c : name) {
        if (c == '\\' || c == '/') {
            parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    parts.push_back(current);

    fs::path at = (name.front() == '/' || name.front() == '\\') ? fs::path("/") : root_;
    for (const std::string& part : parts) {
        if (part.empty()) continue;
        auto next = matchEntry(at, part);
        if (!next) return {};
        at = *next;
    }
    return {at, true};
}

FileContents GameFolder::read(std::string_view name, std::size_t maxBytes) const {
    const FileLookup found = resolve(name);
    if (!found.path) return {{}, "no such file in the game folder"};
    const int fd = ::open(found.path->c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return {{}, std::strerror(errno)};
    struct FdCloser {
        int fd;
        ~FdCloser() { ::close(fd); }
    } closer{fd};

    struct stat info {};
    if (::fstat(fd, &info) != 0) return {{}, std::strerror(errno)};
    if (S_ISDIR(info.st_mode)) return {{}, "it is a folder, not a file"};
    if (!S_ISREG(info.st_mode)) return {{}, "it is not a regular file"};
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes)
        return {{}, "the file is larger than " + std::to_string(maxBytes / (1024 * 1024)) + " MB"};

    FileContents contents;
    // One byte of room beyond the size, so the read that finds the end needs no
    // larger buffer; more only if the file grew meanwhile.
    contents.bytes.resize(static_cast<std::size_t>(info.st_size) + 1);
    std::size_t done = 0;
    while (true) {
        if (done == contents.bytes.size()) contents.bytes.resize(done + 65536);
        const ssize_t got = ::read(fd, contents.bytes.data() + done, contents.bytes.size() - done);
        if (got < 0) {
            if (errno == EINTR) continue;
            return {{}, std::strerror(errno)};
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
        if (done > maxBytes)
            return {{}, "the file is larger than " + std::to_string(maxBytes / (1024 * 1024)) + " MB"};
    }
    contents.bytes.resize(done);
    return contents;
}

} // namespace vorn
