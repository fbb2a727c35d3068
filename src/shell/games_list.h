#pragma once
// The list of games the reader has played, newest first: the one thing the
// player keeps between sessions. It lives in the reader's configuration
// folder ($XDG_CONFIG_HOME/vorn/games.json), never in a game folder. A list
// that cannot be read, or is damaged, counts as empty and is written anew;
// one that cannot be written is simply not kept.

#include <QDateTime>
#include <QString>
#include <filesystem>
#include <vector>

namespace vorn {

struct PlayedGame {
    std::filesystem::path location; // the game's folder or archive, absolute
    QDateTime lastPlayed;           // UTC
};

class GamesList {
  public:
    // Reads the list kept in `file` (by default the reader's own).
    explicit GamesList(QString file = defaultFile());

    static QString defaultFile();
    static constexpr std::size_t kMaxGames = 200; // the oldest beyond this are dropped

    const std::vector<PlayedGame>& games() const { return games_; }

    // Puts the game first, played at `when`, and keeps the list.
    void add(const std::filesystem::path& location, const QDateTime& when = QDateTime::currentDateTimeUtc());
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
