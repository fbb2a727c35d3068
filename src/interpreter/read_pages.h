#pragma once
// The pages a reader has played on from, for each game: a game is known by its
// script's SHA-256, a page by the byte offset in the script where its text
// starts. Skipping turns only these pages (unless the reader asks to skip
// unread pages too). The set is bounded, so that years of reading keep it small.

#include <cstddef>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

// The SHA-256 of a script's bytes, in lower-case hex; the front end gives it
// (Qt's on the desktop, the browser's in the page).
using ScriptDigest = std::function<std::string(std::string_view script)>;

class ReadPages {
  public:
    // At most this many pages of one game are kept: past it, a page newly read
    // is not kept (the ones read first stay, as they are the ones met first on
    // the next play-through).
    static constexpr std::size_t kPagesPerGame = 20000;
    // At most this many games: the one read least recently is dropped first.
    static constexpr std::size_t kGames = 32;
    // The front ends keep the set this long after a page is read that is not
    // kept yet (and at once when the game is left): skipping reads twenty
    // pages a second, which are written once, not twenty times.
    static constexpr int kKeepDelayMs = 2000;

    struct Game {
        std::string script; // SHA-256, lower-case hex
        std::set<std::size_t> offsets;
    };

    bool contains(std::string_view script, std::size_t offset) const;
    // Keeps the page as read, and its game as the one read most recently.
    // Returns whether anything changed.
    bool add(const std::string& script, std::size_t offset);
    // The games, the one read least recently first.
    const std::vector<Game>& games() const { return games_; }
    // Puts `games` in place of what is kept, cut to the bounds above (the
    // last games and each game's first offsets kept).
    void replace(std::vector<Game> games);
    // Counts the changes, so that a store writes only when there are new ones.
    std::size_t changes() const { return changes_; }

  private:
    std::vector<Game> games_;
    std::size_t changes_ = 0;
};

} // namespace vorn
