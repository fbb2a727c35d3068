#include "game_archive.h"

#include "archive_library.h"
#include "archive_names.h"
#include "start_up_files.h"

#include "interpreter/code_page.h"
#include "interpreter/interpreter.h"
#include "interpreter/script_stream.h"

#include <algorithm>
#include <atomic>
#include <clocale>
#include <list>
#include <locale.h>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <thread>

namespace vorn {
namespace {

// Why an archive cannot be read; libarchive's own words, in English, fill in
// the part behind the colon. Ahead of the namespace alias below, which would
// otherwise lead lupdate to file them under a context the player never asks.
constexpr const char* kDamaged = VORN_TR("the archive is damaged or truncated: %1");
constexpr const char* kEndsEarly = VORN_TR("the archive is damaged or truncated: it ends early");
constexpr const char* kUnreadableName = VORN_TR("the archive is damaged: an entry has a name that cannot be read");
constexpr const char* kNoArchive =
    VORN_TR("it is neither a game folder, a .vrn script nor an archive the player can read (%1)");
constexpr const char* kOutOfMemory = VORN_TR("out of memory");
constexpr const char* kNoArchiveLibrary =
    VORN_TR("archives cannot be read here: %1; install libarchive, or play the game from its unpacked folder");

} // namespace
namespace fs = std::filesystem;
namespace {

constexpr std::size_t kChunk = 64 * 1024;

// The library, once openArchive() found it there: an archive's tree is made
// only then.
const ArchiveLibrary& lib() {
    std::string why;
    return *archiveLibrary(why);
}

// libarchive reads and converts entry names in the calling thread's locale:
// in UTF-8 they come out as UTF-8 whatever the desktop's locale is, and names
// stored without a character set come out as the bytes stored.
class Utf8NamesLocale {
  public:
    Utf8NamesLocale() {
        static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
        if (utf8 != locale_t(0)) previous_ = uselocale(utf8);
    }
    ~Utf8NamesLocale() {
        if (previous_ != locale_t(0)) uselocale(previous_);
    }
    Utf8NamesLocale(const Utf8NamesLocale&) = delete;
    Utf8NamesLocale& operator=(const Utf8NamesLocale&) = delete;

  private:
    locale_t previous_ = locale_t(0);
};

struct ArchiveCloser {
    void operator()(archive* a) const { lib().archive_read_free(a); }
};
using ArchiveHandle = std::unique_ptr<archive, ArchiveCloser>;

ArchiveHandle openReader(const fs::path& path) {
    ArchiveHandle a(lib().archive_read_new());
    if (!a) return a;
    lib().archive_read_support_filter_all(a.get());
    lib().archive_read_support_format_all(a.get());
    // LHA names are read byte for byte (as Latin-1) and decoded by our own
    // rule below: libarchive's own guess fails on names in code page 932.
    lib().archive_read_set_options(a.get(), "lha:hdrcharset=ISO-8859-1");
    // A failure shows at the first header, with libarchive's reason.
    (void)lib().archive_read_open_filename(a.get(), path.c_str(), kChunk);
    return a;
}

std::string libarchiveError(archive* a) {
    const char* why = lib().archive_error_string(a);
    std::string text = why && *why ? why : "unknown error";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

bool isLha(archive* a) { return (lib().archive_format(a) & ARCHIVE_FORMAT_BASE_MASK) == ARCHIVE_FORMAT_LHA; }

// The stored bytes of an LHA name read as Latin-1, with the trail bytes 0x5C
// of code page 932 characters that libarchive took for folder separators put back.
std::string lhaStoredName(std::string_view latin1AsUtf8) {
    std::string bytes;
    for (std::size_t i = 0; i < latin1AsUtf8.size();) {
        const auto c = static_cast<unsigned char>(latin1AsUtf8[i]);
        if ((c == 0xC2 || c == 0xC3) && i + 1 < latin1AsUtf8.size()) {
            bytes += static_cast<char>(((c & 0x03) << 6) | (latin1AsUtf8[i + 1] & 0x3F));
            i += 2;
        } else {
            bytes += static_cast<char>(c);
            ++i;
        }
    }
    if (isValidUtf8(bytes)) return bytes;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t len = characterLength(Encoding::CodePage932, bytes, i);
        if (len == 2 && bytes[i + 1] == '/') bytes[i + 1] = '\\';
        i += len;
    }
    return bytes;
}

class ArchiveTree : public StoredNameTree {
  public:
    explicit ArchiveTree(fs::path path) : StoredNameTree(path.string()), path_(std::move(path)) {}
    ~ArchiveTree() override {
        stopAhead_ = true;
        if (ahead_.joinable()) ahead_.join();
    }

    // Unpacks these files on a thread of their own, so that a player about to
    // ask for them finds them unpacked.
    void unpackAhead(std::vector<std::string> places) {
        ahead_ = std::thread([this, places = std::move(places)] {
            try {
                for (const std::string& place : places) {
                    if (stopAhead_) return;
                    (void)read(place, kMaxAheadBytes);
                }
            } catch (const std::bad_alloc&) {
                // Nothing unpacked ahead: the player asks again, and hears why.
            }
        });
    }

    // Lists every entry; an empty result means the archive can be played.
    Message index();

    std::string archive() const override { return path_.string(); }

  protected:
    FileContents readEntry(std::size_t entry, std::size_t maxBytes) const override;

  private:
    FileContents unpack(std::size_t entry, std::size_t maxBytes) const;
    void keep(std::size_t entry, const std::string& bytes) const;

    fs::path path_;

    // The files unpacked lately, kept within a budget: the least recently
    // used go first, and are unpacked again when asked for. A real game's
    // script and pictures fit whole. A file of more than a quarter of the
    // budget is unpacked whenever asked for and never kept: a few huge
    // pictures would otherwise take the memory of several more copies of
    // themselves and push every other file out.
    static constexpr std::size_t kKeptBytes = 64 * 1024 * 1024;
    static constexpr std::size_t kLargestKept = kKeptBytes / 4;
    struct Kept {
        std::string bytes;
        std::list<std::size_t>::iterator use; // its place in `uses_`
    };
    mutable std::mutex mutex_;
    mutable std::map<std::size_t, Kept> unpacked_; // by entry index
    mutable std::list<std::size_t> uses_;          // the entries kept, the latest used first
    mutable std::size_t keptBytes_ = 0;
    mutable ArchiveHandle reader_;                        // left after the last entry it unpacked
    mutable std::size_t nextEntry_ = 0;                   // the entry its next header is

    static constexpr std::size_t kMaxAheadBytes = kLargestKept; // larger ones wait until asked for
    std::atomic<bool> stopAhead_ = false;
    std::thread ahead_;
};

Message ArchiveTree::index() {
    const Utf8NamesLocale utf8;
    ArchiveHandle a = openReader(path_);
    if (!a) return Message(kOutOfMemory);
    archive_entry* entry = nullptr;
    for (std::size_t n = 0;; ++n) {
        const int status = lib().archive_read_next_header(a.get(), &entry);
        if (status == ARCHIVE_EOF) break;
        if (status < ARCHIVE_WARN) {
            // No format recognised: asking more of libarchive would crash it.
            if (lib().archive_format(a.get()) == 0) return Message(kNoArchive, {Message::words(libarchiveError(a.get()))});
            if (lib().archive_read_has_encrypted_entries(a.get()) > 0) return Message(kArchiveEncrypted);
            return Message(kDamaged, {Message::words(libarchiveError(a.get()))});
        }
        if (lib().archive_entry_is_encrypted(entry)) return Message(kArchiveEncrypted);
        const char* name = lib().archive_entry_pathname(entry);
        if (!name) name = lib().archive_entry_pathname_utf8(entry);
        if (!name) return Message(kUnreadableName);
        const std::string stored = isLha(a.get()) ? lhaStoredName(name) : std::string(name);

        auto kind = Kind::Other;
        if (lib().archive_entry_filetype(entry) == AE_IFDIR)
            kind = Kind::Folder;
        else if (lib().archive_entry_filetype(entry) == AE_IFREG && !lib().archive_entry_hardlink(entry))
            kind = Kind::File;
        std::optional<std::size_t> size;
        if (lib().archive_entry_size_is_set(entry) && lib().archive_entry_size(entry) >= 0)
            size = static_cast<std::size_t>(lib().archive_entry_size(entry));
        if (Message why = add(stored, kind, n, size); !why.empty()) return why;
    }
    return {};
}

FileContents ArchiveTree::readEntry(std::size_t entry, std::size_t maxBytes) const {
    const std::lock_guard lock(mutex_);
    if (const auto kept = unpacked_.find(entry); kept != unpacked_.end()) {
        uses_.splice(uses_.begin(), uses_, kept->second.use);
        if (kept->second.bytes.size() > maxBytes) return FileContents::refused(fileTooLargeReason(maxBytes));
        return {kept->second.bytes, {}};
    }
    FileContents contents = unpack(entry, maxBytes);
    if (contents.error.empty()) keep(entry, contents.bytes);
    return contents;
}

void ArchiveTree::keep(std::size_t entry, const std::string& bytes) const {
    if (bytes.size() > kLargestKept) return;
    while (keptBytes_ + bytes.size() > kKeptBytes) {
        const auto oldest = unpacked_.find(uses_.back());
        keptBytes_ -= oldest->second.bytes.size();
        unpacked_.erase(oldest);
        uses_.pop_back();
    }
    uses_.push_front(entry);
    unpacked_.emplace(entry, Kept{bytes, uses_.begin()});
    keptBytes_ += bytes.size();
}

// Reads on from where the last unpacking stopped, when the entry lies ahead
// (a game asks for its files roughly in the order they were packed), and
// from the start otherwise.
FileContents ArchiveTree::unpack(std::size_t entry, std::size_t maxBytes) const {
    const Utf8NamesLocale utf8;
    if (!reader_ || nextEntry_ > entry) {
        reader_ = openReader(path_);
        nextEntry_ = 0;
        if (!reader_) return FileContents::refused(Message(kOutOfMemory));
    }
    archive_entry* header = nullptr;
    while (nextEntry_ <= entry) {
        const int status = lib().archive_read_next_header(reader_.get(), &header);
        if (status < ARCHIVE_WARN || status == ARCHIVE_EOF) {
            Message why = status == ARCHIVE_EOF ? Message(kEndsEarly)
                                                : Message(kDamaged, {Message::words(libarchiveError(reader_.get()))});
            reader_.reset();
            return FileContents::refused(std::move(why));
        }
        ++nextEntry_;
    }
    FileContents contents;
    if (lib().archive_entry_size_is_set(header) && lib().archive_entry_size(header) > 0)
        contents.bytes.reserve(std::min(static_cast<std::size_t>(lib().archive_entry_size(header)), maxBytes));
    char buffer[kChunk];
    while (true) {
        const la_ssize_t got = lib().archive_read_data(reader_.get(), buffer, sizeof buffer);
        if (got < 0) {
            contents = FileContents::refused(Message(kDamaged, {Message::words(libarchiveError(reader_.get()))}));
            reader_.reset();
            return contents;
        }
        if (got == 0) break;
        if (contents.bytes.size() + static_cast<std::size_t>(got) > maxBytes) {
            // Stops at the limit, whatever the entry claims or would unpack to.
            reader_.reset();
            return FileContents::refused(fileTooLargeReason(maxBytes));
        }
        contents.bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return contents;
}

} // namespace

ArchiveGame openArchive(const fs::path& archivePath) {
    ArchiveGame game;
    std::string missing;
    if (!archiveLibrary(missing)) {
        game.problem = Message(kNoArchiveLibrary, {Message::words(missing)});
        game.error = game.problem.english();
        return game;
    }
    auto tree = std::make_shared<ArchiveTree>(archivePath);
    if (Message why = tree->index(); !why.empty()) {
        game.error = why.english();
        game.problem = std::move(why);
        return game;
    }
    game.games = tree->chooseGame();
    if (game.games.empty()) {
        game.error = kArchiveHoldsNoGame;
        game.problem = Message(kArchiveHoldsNoGame);
        return game;
    }
    game.folder.emplace(std::shared_ptr<const FileTree>(tree));
    static_assert(std::string_view(kStartUpFiles[0]) == kScriptName, "the script comes first");
    static_assert(std::string_view(kStartUpFiles[1]) == kBackgroundPicture);
    static_assert(std::string_view(kStartUpFiles[2]) == kCursorIcon);
    std::vector<std::string> startUp;
    for (const char* name : kStartUpFiles)
        if (const FileLookup found = game.folder->resolve(name); found.place) startUp.push_back(*found.place);
    tree->unpackAhead(std::move(startUp));
    return game;
}

} // namespace vorn
