#pragma once
// The list of games the reader has played, newest first: the one thing the
// player keeps between sessions. It lives in the reader's configuration
// folder ($XDG_CONFIG_HOME/vorn/games.json), never in a game folder. A list
// that cannot be read, or is damaged, counts as empty and is written anew;
// one that cannot be written is simply not kept.

#include <QDateTime>
#include <QString>
#include <filesystem>
#include <string>
#include <vector>

namespace vorn {

struct PlayedGame {
    std::filesystem::path location; // the game's folder or archive, absolute: where it was last opened from
    QDateTime lastPlayed;           // when it was last opened, UTC
    // The SHA-256 of its code.vrn, lower-case hex: one script is one game,
    // whatever archive or folder it came in. Empty in lists kept before the
    // script was noted, until the game is identified again.
    std::string script;
    QDateTime lastLeft; // when it was last left, UTC; invalid when never noted

    // When the reader last played it: when it was left, or opened where that is later.
    QDateTime lastSeen() const { return lastLeft.isValid() && lastLeft > lastPlayed ? lastLeft : lastPlayed; }
};

class GamesList {
  public:
    // Reads the list kept in `file` (by default the reader's own).
    explicit GamesList(QString file = defaultFile());

    static QString defaultFile();
    static constexpr std::size_t kMaxGames = 200; // the oldest beyond this are dropped

    const std::vector<PlayedGame>& games() const { return games_; }

    // Puts the game first, opened at `when`, and keeps the list. The game is
    // listed once: an entry of the same location or, where `script` is given,
    // of the same script is replaced, and the new entry keeps this location.
    void add(const std::filesystem::path& location, const std::string& script,
             const QDateTime& when = QDateTime::currentDateTimeUtc());
    void add(const std::filesystem::path& location, const QDateTime& when = QDateTime::currentDateTimeUtc()) {
        add(location, std::string(), when);
    }
    // Notes when the game last opened from `location` was left.
    void left(const std::filesystem::path& location, const QDateTime& when = QDateTime::currentDateTimeUtc());
    // Notes the script of a game listed without one. Where another entry has
    // the same script, the older of the two is taken off; returns the
    // locations taken off.
    std::vector<std::filesystem::path> identify(const std::filesystem::path& location, const std::string& script);
    // Takes the game off the list (its files are not touched) and keeps the list.
    void forget(const std::filesystem::path& location);

    // Whether the last change reached the disk.
    bool kept() const { return kept_; }

  private:
    void read(); // leaves the list as it was when there is none to read
    void write();
    void sortNewestFirst();

    QString file_;
    std::vector<PlayedGame> games_;
    bool kept_ = true;
};

} // namespace vorn
