#include "save_format.h"

#include "save_parser.h"
#include "save_words.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <initializer_list>
#include <utility>

namespace vorn {
namespace {

using Json = nlohmann::json;

// Keys are written in the order a reader of the file wants them, which a JSON
// object does not keep; every value is still written by the JSON library.
using Member = std::pair<const char*, std::string>;

std::string value(const Json& v) {
    // Texts that are not UTF-8 (none should be) are written with U+FFFD
    // rather than refused, so a save never fails on a caption.
    return v.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string text(const std::string& s) { return value(Json(s)); }
std::string optionalText(const std::optional<std::string>& s) { return s ? text(*s) : "null"; }
std::string optionalNumber(const std::optional<std::int16_t>& n) { return n ? std::to_string(*n) : "null"; }

std::string object(std::initializer_list<Member> members, const char* separator = ",") {
    std::string out = "{";
    bool first = true;
    for (const auto& [key, v] : members) {
        if (!first) out += separator;
        first = false;
        out += text(key) + ":" + v;
    }
    return out + "}";
}

std::string picture(const PictureState& p) {
    return object({{"file", optionalText(p.file)}, {"sizeOf", optionalText(p.sizeOf)}});
}

// Reads the members of a save; the first that is missing or of the wrong kind
// is kept as the problem, and the rest read as defaults.
class Reader {
  public:
    Message problem;

    void fail(const char* key, Message expected) {
        if (problem.empty()) problem = Message(kIsNot, {Message::words(key), std::move(expected)});
    }
    void failWith(const Message& what) {
        if (problem.empty()) problem = what;
    }

    static const Json& member(const Json& in, const char* key) {
        static const Json missing; // null, as a missing member reads
        if (!in.is_object()) return missing;
        const auto it = in.find(key);
        return it == in.end() ? missing : *it;
    }

    const Json& object(const Json& in, const char* key) {
        const Json& v = member(in, key);
        if (!v.is_object()) fail(key, Message(kAnObject));
        return v;
    }
    const Json& array(const Json& in, const char* key, std::size_t size = 0, bool sized = false) {
        static const Json empty = Json::array();
        const Json& v = member(in, key);
        if (!v.is_array() || (sized && v.size() != size)) {
            fail(key, sized ? Message(kAListOf, {Message::words(std::to_string(size))}) : Message(kAList));
            if (!v.is_array()) return empty;
        }
        return v;
    }
    std::string textValue(const Json& v, const char* key) {
        if (!v.is_string()) {
            fail(key, Message(kAText));
            return "";
        }
        return v.get<std::string>();
    }
    std::string text(const Json& in, const char* key) { return textValue(member(in, key), key); }
    std::optional<std::string> optionalText(const Json& in, const char* key) {
        const Json& v = member(in, key);
        if (v.is_null()) return std::nullopt;
        return textValue(v, key);
    }
    long long numberValue(const Json& v, const char* key, long long low, long long high) {
        const double d = v.is_number() ? v.get<double>() : 0.0;
        // Range first: only then is the conversion to an integer defined.
        if (!v.is_number() || !(d >= double(low) && d <= double(high)) || d != std::floor(d)) {
            fail(key, Message(kAWholeNumber,
                              {Message::words(std::to_string(low)), Message::words(std::to_string(high))}));
            return low;
        }
        return static_cast<long long>(d);
    }
    long long number(const Json& in, const char* key, long long low, long long high) {
        return numberValue(member(in, key), key, low, high);
    }
    std::optional<std::int16_t> optionalNumber(const Json& in, const char* key) {
        const Json& v = member(in, key);
        if (v.is_null()) return std::nullopt;
        return static_cast<std::int16_t>(numberValue(v, key, -32768, 32767));
    }
    bool boolean(const Json& in, const char* key) {
        const Json& v = member(in, key);
        if (!v.is_boolean()) {
            fail(key, Message(kTrueOrFalse));
            return false;
        }
        return v.get<bool>();
    }
    PictureState picture(const Json& screen, const char* key) {
        const Json& p = object(screen, key);
        return {optionalText(p, "file"), optionalText(p, "sizeOf")};
    }
};

} // namespace

Message saveTooLarge() { return Message(kTooLarge); }

std::string encodeSave(const SaveDocument& d) {
    const Snapshot& s = d.snapshot;
    Json flags = Json::array();
    for (const std::uint8_t f : s.Flag) flags.push_back(f);
    Json captions = Json::array();
    for (const std::string& c : s.captions) captions.push_back(c);
    std::string backlog = "[";
    for (std::size_t k = 0; k < s.backlog.size(); ++k)
        backlog +=
            std::string(k ? ",\n  " : "\n  ") +
            object({{s.backlog[k].kind == BacklogEntry::Kind::Choice ? "choice" : "page", text(s.backlog[k].text)}});
    backlog += s.backlog.empty() ? "]" : "\n]";
    return object(
               {
                   {"format", text(kSaveFormatName)},
                   {"version", std::to_string(kSaveFormatVersion)},
                   {"game", object({{"name", text(d.game.name)}, {"script", text(d.game.scriptHash)}})},
                   {"saved", text(d.savedAt)},
                   {"picture", optionalText(d.picture)},
                   {"script",
                    object({{"position", std::to_string(s.position)}, {"menu", std::to_string(s.menuOffset)}})},
                   {"state", object({{"WaitCmd", std::to_string(s.WaitCmd)},
                                     {"NumCmds", optionalNumber(s.NumCmds)},
                                     {"Cmd_Selected", optionalNumber(s.Cmd_Selected)},
                                     {"musfile", optionalText(s.musfile)},
                                     {"flags", value(flags)},
                                     {"menuWaiting", s.menuWaiting ? "true" : "false"}})},
                   {"screen", object({{"Form1", picture(s.pictures[0])},
                                      {"Image1", picture(s.pictures[1])},
                                      {"Image2", picture(s.pictures[2])},
                                      {"captions", value(captions)},
                                      {"text", text(s.text)}},
                                     ",\n  ")},
                   {"music", optionalText(s.music)},
                   {"backlog", backlog},
               },
               ",\n") +
           "\n";
}

std::optional<SaveDocument> decodeSave(std::string_view bytes, std::string& why) {
    Message reason;
    std::optional<SaveDocument> document = decodeSave(bytes, reason);
    why = reason.english();
    return document;
}

std::optional<SaveDocument> decodeSave(std::string_view bytes, Message& why) {
    if (bytes.size() > kMaxSaveBytes) {
        why = saveTooLarge();
        return std::nullopt;
    }
    ParsedSave parsing;
    if (!parseSave(bytes, parsing, why)) return std::nullopt;
    const Json& json = parsing.json;
    const Json& format = Reader::member(json, "format");
    if (!json.is_object() || !format.is_string() || format.get<std::string>() != kSaveFormatName) {
        why = Message(kNotASave);
        return std::nullopt;
    }
    Reader r;
    const long long version = r.number(json, "version", 1, 1LL << 40);
    if (r.problem.empty() && version > kSaveFormatVersion) {
        why = Message(kNewerPlayer,
                      {Message::words(std::to_string(version)), Message::words(std::to_string(kSaveFormatVersion))});
        return std::nullopt;
    }

    SaveDocument d;
    const Json& game = r.object(json, "game");
    d.game = {r.text(game, "name"), r.text(game, "script")};
    d.savedAt = r.text(json, "saved");
    d.picture = r.optionalText(json, "picture");

    Snapshot& s = d.snapshot;
    const Json& script = r.object(json, "script");
    constexpr long long kMaxOffset = 1LL << 40;
    s.position = static_cast<std::size_t>(r.number(script, "position", 0, kMaxOffset));
    s.menuOffset = static_cast<std::size_t>(r.number(script, "menu", 0, kMaxOffset));
    const Json& state = r.object(json, "state");
    s.WaitCmd = static_cast<std::int16_t>(r.number(state, "WaitCmd", -1, 0));
    s.NumCmds = r.optionalNumber(state, "NumCmds");
    s.Cmd_Selected = r.optionalNumber(state, "Cmd_Selected");
    s.musfile = r.optionalText(state, "musfile");
    const Json& flags = r.array(state, "flags", 8, true);
    for (std::size_t k = 0; k < flags.size() && k < 8; ++k)
        s.Flag[k] = static_cast<std::uint8_t>(r.numberValue(flags[k], "flags", 0, 255));
    s.menuWaiting = r.boolean(state, "menuWaiting");

    const Json& screen = r.object(json, "screen");
    s.pictures = {r.picture(screen, "Form1"), r.picture(screen, "Image1"), r.picture(screen, "Image2")};
    const Json& captions = r.array(screen, "captions", 4, true);
    for (std::size_t k = 0; k < captions.size() && k < 4; ++k) s.captions[k] = r.textValue(captions[k], "captions");
    s.text = r.text(screen, "text");
    s.music = r.optionalText(json, "music");
    r.array(json, "backlog");
    if (!parsing.backlogProblem.empty())
        r.failWith(parsing.backlogProblem);
    else
        s.backlog = std::move(parsing.backlog);

    if (!r.problem.empty()) {
        why = Message(kDamaged, {r.problem});
        return std::nullopt;
    }
    return d;
}

} // namespace vorn
