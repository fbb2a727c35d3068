#include "read_pages_format.h"

#include <nlohmann/json.hpp>

namespace vorn {
namespace {

using Json = nlohmann::json;

constexpr const char* kMark = "vorn-read-pages";
constexpr int kVersion = 1;

bool isDigest(const std::string& text) {
    if (text.size() != 64) return false;
    for (const char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

std::string readGames(const Json& json, std::vector<ReadPages::Game>& games) {
    const auto mark = json.find(kMark);
    if (mark == json.end() || !mark->is_number_integer()) return "it is not a file of read pages";
    if (mark->get<long long>() != kVersion) return "it is written in another version of the format";
    const auto list = json.find("games");
    if (list == json.end() || !list->is_array()) return "it holds no list of games";
    for (const Json& game : *list) {
        if (!game.is_object()) return "a game in it is no object";
        const auto script = game.find("script");
        const auto offsets = game.find("offsets");
        if (script == game.end() || !script->is_string() || !isDigest(script->get_ref<const std::string&>()))
            return "a game in it is not named by a SHA-256";
        if (offsets == game.end() || !offsets->is_array()) return "a game in it has no list of offsets";
        ReadPages::Game read{script->get<std::string>(), {}};
        for (const Json& offset : *offsets) {
            if (!offset.is_number_unsigned()) return "an offset in it is no whole number";
            read.offsets.insert(offset.get<std::size_t>());
        }
        games.push_back(std::move(read));
    }
    return "";
}

} // namespace

std::string writeReadPages(const ReadPages& pages) {
    nlohmann::ordered_json json = nlohmann::ordered_json::object();
    json[kMark] = kVersion;
    nlohmann::ordered_json games = nlohmann::ordered_json::array();
    for (const ReadPages::Game& game : pages.games())
        games.push_back({{"script", game.script}, {"offsets", game.offsets}});
    json["games"] = std::move(games);
    return json.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

std::string readReadPages(std::string_view document, ReadPages& pages) {
    pages.replace({});
    if (document.size() > kMaxReadPagesBytes) return "it is larger than a file of read pages can be";
    const Json json = Json::parse(document.begin(), document.end(), nullptr, false);
    if (!json.is_object()) return "it is not a document of read pages";
    std::vector<ReadPages::Game> games;
    if (std::string why = readGames(json, games); !why.empty()) return why;
    pages.replace(std::move(games));
    return "";
}

} // namespace vorn
