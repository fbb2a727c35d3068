#include "read_pages.h"

#include <algorithm>

namespace vorn {

bool ReadPages::contains(std::string_view script, std::size_t offset) const {
    for (const Game& game : games_)
        if (game.script == script) return game.offsets.count(offset) != 0;
    return false;
}

bool ReadPages::add(const std::string& script, std::size_t offset) {
    auto found = std::find_if(games_.begin(), games_.end(), [&](const Game& g) { return g.script == script; });
    bool changed = false;
    if (found == games_.end()) {
        games_.push_back({script, {}});
        found = games_.end() - 1;
        changed = true;
    } else if (found + 1 != games_.end()) { // now the game read most recently
        std::rotate(found, found + 1, games_.end());
        found = games_.end() - 1;
        changed = true;
    }
    if (found->offsets.size() < kPagesPerGame && found->offsets.insert(offset).second) changed = true;
    if (games_.size() > kGames) games_.erase(games_.begin(), games_.end() - kGames);
    if (changed) ++changes_;
    return changed;
}

void ReadPages::replace(std::vector<Game> games) {
    if (games.size() > kGames) games.erase(games.begin(), games.end() - kGames);
    for (Game& game : games)
        while (game.offsets.size() > kPagesPerGame) game.offsets.erase(std::prev(game.offsets.end()));
    games_ = std::move(games);
    ++changes_;
}

} // namespace vorn
