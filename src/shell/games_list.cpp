#include "games_list.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <algorithm>

namespace vorn {
namespace {

bool isUtf8(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size())).toUtf8() == QByteArray::fromStdString(bytes);
}

// Paths are bytes on Linux; one that is no UTF-8 (a folder named in code page
// 932) is kept as bytes, so it comes back exactly as it went in.
QVariant storedPath(const std::filesystem::path& location) {
    const std::string& bytes = location.native();
    if (isUtf8(bytes)) return QString::fromStdString(bytes);
    return QByteArray::fromStdString(bytes);
}

std::filesystem::path pathFromStore(const QVariant& value) {
    if (value.typeId() == QMetaType::QByteArray) return value.toByteArray().toStdString();
    return value.toString().toStdString();
}

} // namespace

QString GamesList::defaultFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/vorn/games.conf";
}

GamesList::GamesList(QString file) : file_(std::move(file)) { read(); }

bool GamesList::read() {
    if (!QFileInfo::exists(file_)) return false;
    QSettings store(file_, QSettings::IniFormat);
    if (store.status() != QSettings::NoError) return false; // damaged or unreadable: start afresh
    games_.clear();
    // A damaged count must not make us read millions of entries.
    const int count = std::min(store.beginReadArray("games"), int(kMaxGames));
    for (int i = 0; i < count; ++i) {
        store.setArrayIndex(i);
        PlayedGame game;
        game.location = pathFromStore(store.value("path"));
        game.lastPlayed = QDateTime::fromString(store.value("lastPlayed").toString(), Qt::ISODateWithMs);
        if (!game.location.is_absolute() || !game.lastPlayed.isValid()) continue; // a damaged entry
        const bool seen = std::any_of(games_.begin(), games_.end(),
                                      [&](const PlayedGame& g) { return g.location == game.location; });
        if (!seen) games_.push_back(std::move(game));
    }
    store.endArray();
    std::stable_sort(games_.begin(), games_.end(),
                     [](const PlayedGame& a, const PlayedGame& b) { return a.lastPlayed > b.lastPlayed; });
    return true;
}

void GamesList::write() {
    QSettings store(file_, QSettings::IniFormat);
    store.clear(); // whatever was there, damaged or not, is replaced whole
    store.beginWriteArray("games", int(games_.size()));
    for (std::size_t i = 0; i < games_.size(); ++i) {
        store.setArrayIndex(int(i));
        store.setValue("path", storedPath(games_[i].location));
        store.setValue("lastPlayed", games_[i].lastPlayed.toUTC().toString(Qt::ISODateWithMs));
    }
    store.endArray();
    store.sync(); // written to a new file that then replaces the old one
    kept_ = store.status() == QSettings::NoError;
}

// Each change starts from the list as it is on disk, so a second player
// running meanwhile loses none of its own changes; where there is no list on
// disk (a home that cannot be written) the one in memory goes on.
void GamesList::add(const std::filesystem::path& location, const QDateTime& when) {
    read();
    std::erase_if(games_, [&](const PlayedGame& g) { return g.location == location; });
    games_.insert(games_.begin(), PlayedGame{location, when.toUTC()});
    if (games_.size() > kMaxGames) games_.resize(kMaxGames);
    write();
}

void GamesList::forget(const std::filesystem::path& location) {
    read();
    std::erase_if(games_, [&](const PlayedGame& g) { return g.location == location; });
    write();
}

} // namespace vorn
