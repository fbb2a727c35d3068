#include "game_folder.h"

#include "code_page.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <locale.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace vorn {
namespace fs = std::filesystem;
namespace {

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

// The C library's words for an error, always in English: the transcript and
// the tools quote them, and a Japanese locale would otherwise word them in
// Japanese in the middle of an English report. The errors a game folder meets
// are worded here as on Linux desktops, so that every build of the player
// (the browser's C library words some of them otherwise) writes one report.
std::string englishError(int number) {
    switch (number) {
    case ENOENT: return "No such file or directory";
    case EACCES: return "Permission denied";
    case EPERM: return "Operation not permitted";
    case ELOOP: return "Too many levels of symbolic links";
    case EISDIR: return "Is a directory";
    case ENOTDIR: return "Not a directory";
    case ENAMETOOLONG: return "File name too long";
    case EIO: return "Input/output error";
    case ENXIO: return "No such device or address";
    default: break;
    }
    static const locale_t c = ::newlocale(LC_ALL_MASK, "C", locale_t(0));
    return c ? ::strerror_l(number, c) : std::strerror(number);
}

// A folder on disk; places are paths.
class DiskTree : public FileTree {
  public:
    explicit DiskTree(fs::path root) : root_(std::move(root)) {}

    std::string gameRoot() const override { return root_.string(); }
    std::optional<std::string> top() const override { return std::string("/"); }
    // Joined as std::filesystem joins them, without parsing the whole path
    // again at every step of a walk.
    std::optional<std::string> child(std::string place, const std::string& entry) const override {
        if (!place.empty() && place.back() != '/') place += '/';
        place += entry;
        return place;
    }
    bool exists(const std::string& place) const override {
        std::error_code ec;
        return fs::symlink_status(place, ec).type() != fs::file_type::not_found && !ec;
    }
    bool isFolder(const std::string& place) const override {
        std::error_code ec;
        return fs::is_directory(place, ec);
    }
    std::vector<std::string> entries(const std::string& place) const override {
        std::vector<std::string> names;
        std::error_code ec;
        fs::directory_iterator it(place.empty() ? fs::path(".") : fs::path(place), ec);
        if (ec) return names;
        for (const auto& entry : it) names.push_back(entry.path().filename().string());
        return names;
    }
    FileContents read(const std::string& place, std::size_t maxBytes) const override;
    // In full, so a message about the current folder does not call it ".".
    std::string describe() const override {
        std::error_code ec;
        fs::path full = fs::absolute(root_, ec).lexically_normal();
        if (ec) return root_.string();
        if (!full.has_filename() && full != full.root_path()) full = full.parent_path(); // "/games/x/" is "/games/x"
        return full.string();
    }

  private:
    fs::path root_;
};

FileContents DiskTree::read(const std::string& place, std::size_t maxBytes) const {
    // Looked at before it is opened: where opening cannot be told not to wait
    // (Node.js's file system, under the WebAssembly build), a FIFO would block.
    struct stat before {};
    if (::stat(place.c_str(), &before) == 0) {
        if (S_ISDIR(before.st_mode)) return {{}, "it is a folder, not a file"};
        if (!S_ISREG(before.st_mode)) return {{}, "it is not a regular file"};
    }
    const int fd = ::open(place.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return {{}, englishError(errno)};
    struct FdCloser {
        int fd;
        ~FdCloser() { ::close(fd); }
    } closer{fd};

    struct stat info {};
    if (::fstat(fd, &info) != 0) return {{}, englishError(errno)};
    if (S_ISDIR(info.st_mode)) return {{}, kIsAFolder};
    if (!S_ISREG(info.st_mode)) return {{}, kNotARegularFile};
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes)
        return FileContents::refused(fileTooLargeReason(maxBytes));

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
            return {{}, englishError(errno)};
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
        if (done > maxBytes) return FileContents::refused(fileTooLargeReason(maxBytes));
    }
    contents.bytes.resize(done);
    return contents;
}

struct Step {
    std::string place;
    std::string reading; // the entry's name as UTF-8, for messages
};

// The entry of the folder at `place` that `part` names: the entry stored under
// exactly that name; else the first in byte order whose reading is `part`;
// else, when `ignoreCase`, the first whose reading matches ignoring ASCII case.
std::optional<Step> matchEntry(const FileTree& tree, const std::string& place, const std::string& part,
                               bool ignoreCase) {
    if (const auto exact = tree.child(place, part); exact && tree.exists(*exact)) return Step{*exact, part};
    std::vector<std::string> names = tree.entries(place);
    std::sort(names.begin(), names.end());
    for (bool caseless : {false, true}) {
        if (caseless && !ignoreCase) break;
        for (const std::string& stored : names) {
            const std::string reading = fileNameReading(stored);
            if (caseless ? equalsIgnoringAsciiCase(reading, part) : reading == part) {
                if (auto found = tree.child(place, stored)) return Step{*found, reading};
            }
        }
    }
    return std::nullopt;
}

// Walks `name` split at the given separators, from the game folder or, for a
// name that starts with a separator, from the tree's top.
std::optional<FileLookup> walk(const FileTree& tree, std::string_view name, std::string_view separators,
                               bool ignoreCase) {
    // Names are UTF-8 here, so a `\` byte is always a real backslash: the trail
    // byte 0x5C of a Shift-JIS character became part of a multi-byte sequence.
    std::vector<std::string> parts{{}};
    for (char c : name) {
        if (separators.find(c) != std::string_view::npos)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    const bool fromTop = separators.find(name.front()) != std::string_view::npos;
    std::optional<std::string> at = fromTop ? tree.top() : std::optional(tree.gameRoot());
    if (!at) return std::nullopt;
    std::string actual = fromTop ? "/" : "";
    for (const std::string& part : parts) {
        if (part.empty() || part == ".") continue;
        std::optional<Step> step;
        if (part == "..") {
            if (auto up = tree.child(std::move(*at), part)) step = Step{std::move(*up), part};
        } else {
            step = matchEntry(tree, *at, part, ignoreCase);
        }
        if (!step) return std::nullopt;
        at = std::move(step->place);
        if (!actual.empty() && actual.back() != '/') actual += '/';
        actual += step->reading;
    }
    return FileLookup{at, false, actual, tree.isFolder(*at)};
}

} // namespace

namespace {
constexpr const char* kFileTooLarge = VORN_TR("the file is larger than %1 MB");
constexpr const char* kFileInArchiveUnreadable = VORN_TR("%1 \"%2\" in it cannot be read: %3");
} // namespace

Message archiveFileUnreadable(const std::string& archive, Message what, const std::string& name, Message why) {
    return Message(kArchiveUnplayable,
                   {Message::words(archive),
                    Message(kFileInArchiveUnreadable, {std::move(what), Message::words(name), std::move(why)})});
}

Message fileTooLargeReason(std::size_t maxBytes) {
    return Message(kFileTooLarge, {Message::words(std::to_string(maxBytes / (1024 * 1024)))});
}

GameFolder::GameFolder(fs::path root) : tree_(std::make_shared<DiskTree>(std::move(root))) {}

GameFolder::GameFolder(std::shared_ptr<const FileTree> tree) : tree_(std::move(tree)) {}

FileLookup GameFolder::resolve(std::string_view name) const {
    if (name.empty() || name.size() > kMaxFileNameBytes) return {};
    if (auto asWritten = walk(*tree_, name, "/", false)) return *asWritten;
    if (auto windowsName = walk(*tree_, name, "/\\", true)) {
        windowsName->byFallback = true;
        return *windowsName;
    }
    return {};
}

FileContents GameFolder::read(std::string_view name, std::size_t maxBytes) const {
    try {
        const FileLookup found = resolve(name);
        if (!found.place) return {{}, kNoSuchFile};
        return tree_->read(*found.place, maxBytes);
    } catch (const std::bad_alloc&) {
        return {{}, kNotEnoughMemoryToRead};
    }
}

} // namespace vorn
