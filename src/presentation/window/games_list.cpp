#include "games_list.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>

namespace vorn {
namespace {

constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024; // a list of kMaxGames takes some 50 kB; more is damage

bool isUtf8(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size())).toUtf8() == QByteArray::fromStdString(bytes);
}

bool isScriptHash(const QString& text) {
    static const QRegularExpression hex("^[0-9a-f]{64}$");
    return hex.match(text).hasMatch();
}

// Whether the game is the one with this script; an unknown script matches none.
bool sameScript(const PlayedGame& game, const std::string& script) { return !script.empty() && game.script == script; }

} // namespace

QString GamesList::defaultFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/vorn/games.json";
}

GamesList::GamesList(QString file) : file_(std::move(file)) { read(); }

void GamesList::read() {
    QFile file(file_);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes) return;
    const QJsonDocument document = QJsonDocument::fromJson(file.read(kMaxFileBytes));
    games_.clear();
    if (!document.isObject()) return; // damaged: as good as empty, and written anew on the next change
    for (const QJsonValue& value : document.object().value("games").toArray()) {
        if (games_.size() == kMaxGames) break;
        const QJsonObject entry = value.toObject();
        PlayedGame game;
        // Paths are bytes on Linux; one that is no UTF-8 (a folder named in
        // code page 932) is kept as base64, so it comes back exactly as it went in.
        if (entry.contains("pathBytes"))
            game.location = QByteArray::fromBase64(entry.value("pathBytes").toString().toLatin1()).toStdString();
        else
            game.location = entry.value("path").toString().toStdString();
        game.lastPlayed = QDateTime::fromString(entry.value("lastPlayed").toString(), Qt::ISODateWithMs);
        if (!game.location.is_absolute() || !game.lastPlayed.isValid()) continue; // a damaged entry
        // Both are absent from lists kept before they were noted.
        if (const QString script = entry.value("script").toString(); isScriptHash(script))
            game.script = script.toStdString();
        game.lastLeft = QDateTime::fromString(entry.value("lastLeft").toString(), Qt::ISODateWithMs);
        const bool seen = std::any_of(games_.begin(), games_.end(), [&](const PlayedGame& g) {
            return g.location == game.location || sameScript(g, game.script);
        });
        if (!seen) games_.push_back(std::move(game));
    }
    sortNewestFirst();
}

void GamesList::sortNewestFirst() {
    std::stable_sort(games_.begin(), games_.end(),
                     [](const PlayedGame& a, const PlayedGame& b) { return a.lastPlayed > b.lastPlayed; });
}

void GamesList::write() {
    QJsonArray entries;
    for (const PlayedGame& game : games_) {
        QJsonObject entry;
        const std::string& bytes = game.location.native();
        if (isUtf8(bytes))
            entry.insert("path", QString::fromStdString(bytes));
        else
            entry.insert("pathBytes", QString::fromLatin1(QByteArray::fromStdString(bytes).toBase64()));
        entry.insert("lastPlayed", game.lastPlayed.toUTC().toString(Qt::ISODateWithMs));
        if (!game.script.empty()) entry.insert("script", QString::fromStdString(game.script));
        if (game.lastLeft.isValid()) entry.insert("lastLeft", game.lastLeft.toUTC().toString(Qt::ISODateWithMs));
        entries.append(entry);
    }
    // Written to a new file that then takes the old one's place: a crash or a
    // full disk leaves the old list, never half of one.
    QSaveFile file(file_);
    kept_ = QDir().mkpath(QFileInfo(file_).absolutePath()) && file.open(QIODevice::WriteOnly) &&
            file.write(QJsonDocument(QJsonObject{{"games", entries}}).toJson()) >= 0 && file.commit();
}

// Each change starts from the list as it is on disk, so a second player
// running meanwhile loses none of its own changes; where there is no list on
// disk (a home that cannot be written) the one in memory goes on.
void GamesList::add(const std::filesystem::path& location, const std::string& script, const QDateTime& when) {
    read();
    PlayedGame game{location, when.toUTC(), script, {}};
    // The game's entry, wherever it was opened from before: its place is this one now.
    for (const PlayedGame& g : games_)
        if ((g.location == location || sameScript(g, script)) && g.lastLeft.isValid() &&
            (!game.lastLeft.isValid() || g.lastLeft > game.lastLeft))
            game.lastLeft = g.lastLeft;
    std::erase_if(games_, [&](const PlayedGame& g) { return g.location == location || sameScript(g, script); });
    games_.insert(games_.begin(), std::move(game));
    sortNewestFirst();
    if (games_.size() > kMaxGames) games_.resize(kMaxGames);
    write();
}

void GamesList::left(const std::filesystem::path& location, const QDateTime& when) {
    read();
    const auto game =
        std::find_if(games_.begin(), games_.end(), [&](const PlayedGame& g) { return g.location == location; });
    if (game == games_.end()) return; // taken off meanwhile: it stays off
    game->lastLeft = when.toUTC();
    write();
}

std::vector<std::filesystem::path> GamesList::identify(const std::filesystem::path& location,
                                                       const std::string& script) {
    read();
    std::vector<std::filesystem::path> dropped;
    const auto game =
        std::find_if(games_.begin(), games_.end(), [&](const PlayedGame& g) { return g.location == location; });
    if (game == games_.end() || script.empty() || game->script == script) return dropped;
    game->script = script;
    // Newest first: the first entry of this script is the one kept, and it
    // keeps the latest time the game was left.
    PlayedGame* kept = nullptr;
    for (PlayedGame& g : games_) {
        if (g.script != script) continue;
        if (!kept) {
            kept = &g;
            continue;
        }
        if (g.lastLeft.isValid() && (!kept->lastLeft.isValid() || g.lastLeft > kept->lastLeft))
            kept->lastLeft = g.lastLeft;
        dropped.push_back(g.location);
    }
    std::erase_if(games_, [&](const PlayedGame& g) {
        return std::find(dropped.begin(), dropped.end(), g.location) != dropped.end();
    });
    write();
    return dropped;
}

void GamesList::forget(const std::filesystem::path& location) {
    read();
    std::erase_if(games_, [&](const PlayedGame& g) { return g.location == location; });
    write();
}

} // namespace vorn
