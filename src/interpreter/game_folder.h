#pragma once
// The game folder: every file the player opens ("code.vrn", pictures, the
// cursor, music) is found here, by one set of rules, whether the folder is on
// disk or inside an archive.

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "message.h"

namespace vorn {

// Why a file could not be read, worded alike by every kind of game folder.
inline constexpr const char* kNoSuchFile = VORN_TR("no such file in the game folder");
inline constexpr const char* kIsAFolder = VORN_TR("it is a folder, not a file");
inline constexpr const char* kNotARegularFile = VORN_TR("it is not a regular file");
inline constexpr const char* kNotEnoughMemoryToRead = VORN_TR("there is not enough memory to read it");

// An archive that cannot be played, and why; every refusal of an archive has
// this heading, whatever stops it.
inline constexpr const char* kArchiveUnplayable = VORN_TR("cannot play \"%1\": %2.");
// (Marked templates stand above the sizes: lupdate files one that follows
// "inline constexpr std::size_t" under the context "std".)

// The largest picture and cursor files the player reads; `vorn check` reads
// them with the same limits.
inline constexpr std::size_t kMaxPictureBytes = std::size_t(256) * 1024 * 1024;
inline constexpr std::size_t kMaxIconBytes = std::size_t(16) * 1024 * 1024;
// The longest name a script or a save may give a file: Windows of the games'
// time took 260 characters for a whole path, three bytes each at most in
// UTF-8. A longer name is found nowhere, at no cost.
inline constexpr std::size_t kMaxFileNameBytes = 1024;

// An archive refused because a file its game needs at start-up (`what`, as
// "the script", named `name`) cannot be read from it.
Message archiveFileUnreadable(const std::string& archive, Message what, const std::string& name, Message why);

// Why a file larger than `maxBytes` is refused.
Message fileTooLargeReason(std::size_t maxBytes);

struct FileContents {
    std::string bytes;
    std::string error; // empty on success; otherwise why the file could not be read, in English
    Message problem{}; // the same, for wording in the reader's language; may be left empty

    // A file that cannot be read, for this reason.
    static FileContents refused(Message why) { return {{}, why.english(), std::move(why)}; }
    // Why the file could not be read, for a report.
    Message why() const { return problem.empty() ? Message::sentence(error) : problem; }
};

// Where the game's files are kept: a folder on disk, or the folders of an
// archive. Places are the tree's own strings; entry names are raw bytes as
// stored, which may be code page 932 rather than UTF-8.
class FileTree {
  public:
    virtual ~FileTree() = default;

    // The game's own folder, from which names resolve.
    virtual std::string gameRoot() const = 0;
    // Where a name that starts with a separator begins; none in an archive.
    virtual std::optional<std::string> top() const = 0;
    // `place` followed by one entry name, "." or ".."; none when that would
    // leave the tree. `place` is taken over, so that a walk down a long name
    // extends one string rather than copying it at every step.
    virtual std::optional<std::string> child(std::string place, const std::string& entry) const = 0;
    virtual bool exists(const std::string& place) const = 0;
    virtual bool isFolder(const std::string& place) const = 0;
    // The raw names in the folder at `place`; none when it is no folder.
    virtual std::vector<std::string> entries(const std::string& place) const = 0;
    // Never blocks on a FIFO or a device and refuses files larger than `maxBytes`.
    virtual FileContents read(const std::string& place, std::size_t maxBytes) const = 0;
    // The game folder as named in messages.
    virtual std::string describe() const = 0;
    // The archive the files are unpacked from, as named in messages; empty
    // for a folder on disk.
    virtual std::string archive() const { return {}; }
};

struct FileLookup {
    std::optional<std::string> place; // empty when nothing matches
    bool byFallback = false;          // found only by treating `\` as a separator or ignoring case
    std::string actualName;           // the name found, relative to the game folder, '/' between folders
    bool isFolder = false;
};

class GameFolder {
  public:
    // A folder on disk.
    explicit GameFolder(std::filesystem::path root);
    explicit GameFolder(std::shared_ptr<const FileTree> tree);

    // The game folder as named in messages: its path, or the archive and the folder in it.
    std::string describe() const { return tree_->describe(); }
    // The archive the game is played from; empty for a folder on disk.
    std::string archive() const { return tree_->archive(); }

    // A name as a script or the program gives it, in UTF-8. The name as written
    // is tried first; failing that, backslashes separate folders and each part
    // matches a directory entry whatever its ASCII letter case (the first of
    // several in byte order), as games made on Windows expect. An entry whose
    // stored name is not UTF-8 matches by its code page 932 reading. Takes
    // time in proportion to the name's length; a name longer than
    // kMaxFileNameBytes matches nothing.
    FileLookup resolve(std::string_view name) const;

    // Reads a whole regular file found by resolve(), refusing files larger than
    // `maxBytes`, and saying so, rather than throwing, when memory runs out.
    FileContents read(std::string_view name, std::size_t maxBytes) const;

  private:
    std::shared_ptr<const FileTree> tree_;
};

} // namespace vorn
