#pragma once
// A game's files held in memory, as the page read them from a folder or an
// archive chosen by the reader.

#include "game_files/archive_names.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vorn {

inline constexpr const char* kFolderHoldsNoGame = VORN_TR("the folder \"%1\" holds no code.vrn, so it is no VORN game");

// The files of a game folder or archive as the page read them, named and
// matched by the same rules as an archive the desktop player opens.
class MemoryTree : public StoredNameTree {
  public:
    MemoryTree() : StoredNameTree("") {}

    // A file of a folder, by its path below the folder the reader chose, with
    // '/' between folders.
    void add(const std::string& path, std::string bytes) {
        std::vector<std::string> parts{{}};
        for (char c : path) {
            if (c == '/')
                parts.emplace_back();
            else
                parts.back() += c;
        }
        keep(addParts(std::move(parts), Kind::File, files_.size(), bytes.size()), std::move(bytes));
    }
    // An archive's entry, by its name as stored.
    void addEntry(const std::string& stored, std::string bytes, Kind kind) {
        const std::optional<std::size_t> size = kind == Kind::File ? std::optional(bytes.size()) : std::nullopt;
        keep(StoredNameTree::add(stored, kind, files_.size(), size), std::move(bytes));
    }
    // An archive's file still packed: its bytes are unpacked by the function
    // given to unpackWith() when the game first reads it, and kept from then
    // on. `size` is the size the archive states, which the page holds it to.
    void addPackedEntry(const std::string& stored, std::size_t size) {
        keep(StoredNameTree::add(stored, Kind::File, files_.size(), size), std::nullopt);
    }
    // How the files added packed are unpacked, by entry number: their bytes,
    // or why they cannot be read (a damaged entry), which the game then
    // reports as it reports any file of an archive it cannot read. With
    // `now` false, none where the file is not unpacked yet.
    using Unpack = std::function<std::optional<FileContents>(std::size_t entry, bool now)>;
    void unpackWith(Unpack unpack) { unpack_ = std::move(unpack); }

    // While `wanted` is set, a file not unpacked yet is read as an empty one
    // (and not kept), and its entry is added to `wanted`: the game's start
    // run this way names the files its first page reads.
    void noteUnpacked(std::vector<std::size_t>* wanted) { wanted_ = wanted; }

    // The archive the files came from, as the reader named it, or "" for a
    // folder: a file in it that cannot be read is told as the archive's fault.
    std::string archive() const override { return archive_; }
    // Why the files cannot be played, from the first entry refused, or nothing.
    const Message& problem() const { return problem_; }

    struct Opened {
        std::string problem; // why there is nothing to play, or ""
        std::string notice;  // of several games in one archive, or ""
    };
    // Picks the game among the files added, the top-most folder that holds a
    // code.vrn, as the desktop player does in an archive; `name` is the
    // archive or the folder as the reader named it. Called once, after the
    // last file is added.
    Opened open(const std::string& name, bool isArchive) {
        if (isArchive) archive_ = name;
        if (!problem_.empty())
            return {Message(kArchiveUnplayable, {Message::words(name), problem_}).english(), ""};
        const std::vector<std::string> games = chooseGame();
        if (games.empty())
            return {isArchive
                        ? Message(kArchiveUnplayable, {Message::words(name), Message(kArchiveHoldsNoGame)}).english()
                        : Message(kFolderHoldsNoGame, {Message::words(name)}).english(),
                    ""};
        // A folder is named by the game's folder in it; an archive, or a folder
        // that is itself the game, by the name it came by.
        setName(isArchive || games.front() == "." ? name : "");
        return {"", severalGamesNotice(name, games)};
    }

  protected:
    FileContents readEntry(std::size_t entry, std::size_t maxBytes) const override {
        std::optional<std::string>& bytes = files_[entry];
        if (!bytes) {
            if (!unpack_) return FileContents::refused(Message::sentence("the entry was never unpacked"));
            std::optional<FileContents> unpacked = unpack_(entry, wanted_ == nullptr);
            if (!unpacked) {
                wanted_->push_back(entry);
                return {};
            }
            if (!unpacked->error.empty()) return *unpacked; // asked again at the next read, refused again
            bytes = std::move(unpacked->bytes);
        }
        if (bytes->size() > maxBytes) return FileContents::refused(fileTooLargeReason(maxBytes));
        return {*bytes, {}};
    }

  private:
    void keep(const Message& why, std::optional<std::string> bytes) {
        if (problem_.empty()) problem_ = why;
        files_.push_back(std::move(bytes));
    }

    // By entry number; none for a file still packed. Filled as the game reads.
    mutable std::vector<std::optional<std::string>> files_;
    Unpack unpack_;
    std::vector<std::size_t>* wanted_ = nullptr;
    Message problem_;
    std::string archive_;
};

} // namespace vorn
