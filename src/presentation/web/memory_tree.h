#pragma once
// A game's files held in memory, as the page read them from a folder or an
// archive chosen by the reader.

#include "game_files/archive_names.h"

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
        if (files_[entry].size() > maxBytes) return FileContents::refused(fileTooLargeReason(maxBytes));
        return {files_[entry], {}};
    }

  private:
    void keep(const Message& why, std::string bytes) {
        if (problem_.empty()) problem_ = why;
        files_.push_back(std::move(bytes));
    }

    std::vector<std::string> files_; // by entry number
    Message problem_;
    std::string archive_;
};

} // namespace vorn
