#include "games_list.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>

namespace vorn {
namespace {

constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024; // a list of kMaxGames takes some 50 kB; more is damage

bool isUtf8(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size())).toUtf8() == QByteArray::fromStdString(bytes);
}

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
        const bool seen =
            std::any_of(games_.begin(), games_.end(), [&](const PlayedGame& g) { return g.location == game.location; });
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
void GamesList::add(const std::filesystem::path& location, const QDateTime& when) {
    read();
    std::erase_if(games_, [&](const PlayedGame& g) { return g.location == location; });
    games_.insert(games_.begin(), PlayedGame{location, when.toUTC()});
    sortNewestFirst();
    if (games_.size() > kMaxGames) games_.resize(kMaxGames);
    write();
}

void GamesList::forget(const std::filesystem::path& location) {
    read();
    std::erase_if(games_, [&](const PlayedGame& g) { return g.location == location; });
    write();
}

} // namespace vorn
