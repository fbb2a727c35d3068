#include "save_format.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QString>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace vorn {
namespace {

// Keys are written in the order a reader of the file wants them, which
// QJsonObject does not keep; every value is still written by the JSON library.
using Member = std::pair<const char*, QByteArray>;

QByteArray value(const QJsonValue& v) {
    QByteArray array = QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

QByteArray text(const std::string& s) { return value(QString::fromStdString(s)); }
QByteArray optionalText(const std::optional<std::string>& s) { return s ? text(*s) : QByteArray("null"); }
QByteArray optionalNumber(const std::optional<std::int16_t>& n) { return n ? QByteArray::number(*n) : "null"; }

QByteArray object(std::initializer_list<Member> members, const char* separator = ",") {
    QByteArray out = "{";
    bool first = true;
    for (const auto& [key, v] : members) {
        if (!first) out += separator;
        first = false;
        out += value(QString::fromLatin1(key)) + ":" + v;
    }
    return out + "}";
}

QByteArray picture(const PictureState& p) {
    return object({{"file", optionalText(p.file)}, {"sizeOf", optionalText(p.sizeOf)}});
}

// Reads the members of a save; the first that is missing or of the wrong kind
// is kept as the problem, and the rest read as defaults.
class Reader {
  public:
    std::string problem;

    void fail(const char* key, const char* expected) {
        if (problem.empty()) problem = std::string("\"") + key + "\" is not " + expected;
    }

    QJsonObject object(const QJsonObject& in, const char* key) {
        const QJsonValue v = in.value(key);
        if (!v.isObject()) fail(key, "an object");
        return v.toObject();
    }
    QJsonArray array(const QJsonObject& in, const char* key, qsizetype size = -1) {
        const QJsonValue v = in.value(key);
        if (!v.isArray() || (size >= 0 && v.toArray().size() != size))
            fail(key, size >= 0 ? ("a list of " + std::to_string(size)).c_str() : "a list");
        return v.toArray();
    }
    std::string text(const QJsonValue& v, const char* key) {
        if (!v.isString()) fail(key, "a text");
        return v.toString().toStdString();
    }
    std::string text(const QJsonObject& in, const char* key) { return text(in.value(key), key); }
    std::optional<std::string> optionalText(const QJsonObject& in, const char* key) {
        const QJsonValue v = in.value(key);
        if (v.isNull()) return std::nullopt;
        return text(v, key);
    }
    long long number(const QJsonValue& v, const char* key, long long low, long long high) {
        const double d = v.toDouble();
        // Range first: only then is the conversion to an integer defined.
        if (!v.isDouble() || !(d >= double(low) && d <= double(high)) || d != std::floor(d)) {
            fail(key, ("a whole number from " + std::to_string(low) + " to " + std::to_string(high)).c_str());
            return low;
        }
        return static_cast<long long>(d);
    }
    long long number(const QJsonObject& in, const char* key, long long low, long long high) {
        return number(in.value(key), key, low, high);
    }
    std::optional<std::int16_t> optionalNumber(const QJsonObject& in, const char* key) {
        const QJsonValue v = in.value(key);
        if (v.isNull()) return std::nullopt;
        return static_cast<std::int16_t>(number(v, key, -32768, 32767));
    }
    bool boolean(const QJsonObject& in, const char* key) {
        const QJsonValue v = in.value(key);
        if (!v.isBool()) fail(key, "true or false");
        return v.toBool();
    }
    PictureState picture(const QJsonObject& screen, const char* key) {
        const QJsonObject p = object(screen, key);
        return {optionalText(p, "file"), optionalText(p, "sizeOf")};
    }
};

} // namespace

QByteArray encodeSave(const SaveDocument& d) {
    const Snapshot& s = d.snapshot;
    QJsonArray flags;
    for (const std::uint8_t f : s.Flag) flags.append(f);
    QJsonArray captions;
    for (const std::string& c : s.captions) captions.append(QString::fromStdString(c));
    QByteArray backlog = "[";
    for (std::size_t k = 0; k < s.backlog.size(); ++k)
        backlog +=
            QByteArray(k ? ",\n  " : "\n  ") +
            object({{s.backlog[k].kind == BacklogEntry::Kind::Choice ? "choice" : "page", text(s.backlog[k].text)}});
    backlog += s.backlog.empty() ? "]" : "\n]";
    return object(
               {
                   {"format", text(kSaveFormatName)},
                   {"version", QByteArray::number(kSaveFormatVersion)},
                   {"game", object({{"name", text(d.game.name)}, {"script", text(d.game.scriptHash)}})},
                   {"saved", text(d.savedAt)},
                   {"picture", optionalText(d.picture)},
                   {"script", object({{"position", QByteArray::number(qulonglong(s.position))},
                                      {"menu", QByteArray::number(qulonglong(s.menuOffset))}})},
                   {"state", object({{"WaitCmd", QByteArray::number(s.WaitCmd)},
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

std::optional<SaveDocument> decodeSave(const QByteArray& bytes, std::string& why) {
    QJsonParseError error{};
    const QJsonDocument json = QJsonDocument::fromJson(bytes, &error);
    if (json.isNull()) {
        why = "it is cut short or damaged (" + error.errorString().toStdString() + " at byte " +
              std::to_string(error.offset) + ")";
        return std::nullopt;
    }
    const QJsonObject top = json.object();
    if (!json.isObject() || top.value("format").toString() != kSaveFormatName) {
        why = "it is not a saved game of this player";
        return std::nullopt;
    }
    Reader r;
    const long long version = r.number(top, "version", 1, 1LL << 40);
    if (r.problem.empty() && version > kSaveFormatVersion) {
        why = "it was made by a newer version of the player (save format " + std::to_string(version) +
              "; this one reads format " + std::to_string(kSaveFormatVersion) + "): play it with that version";
        return std::nullopt;
    }

    SaveDocument d;
    const QJsonObject game = r.object(top, "game");
    d.game = {r.text(game, "name"), r.text(game, "script")};
    d.savedAt = r.text(top, "saved");
    d.picture = r.optionalText(top, "picture");

    Snapshot& s = d.snapshot;
    const QJsonObject script = r.object(top, "script");
    constexpr long long kMaxOffset = 1LL << 40;
    s.position = static_cast<std::size_t>(r.number(script, "position", 0, kMaxOffset));
    s.menuOffset = static_cast<std::size_t>(r.number(script, "menu", 0, kMaxOffset));
    const QJsonObject state = r.object(top, "state");
    s.WaitCmd = static_cast<std::int16_t>(r.number(state, "WaitCmd", -1, 0));
    s.NumCmds = r.optionalNumber(state, "NumCmds");
    s.Cmd_Selected = r.optionalNumber(state, "Cmd_Selected");
    s.musfile = r.optionalText(state, "musfile");
    const QJsonArray flags = r.array(state, "flags", 8);
    for (qsizetype k = 0; k < flags.size() && k < 8; ++k)
        s.Flag[std::size_t(k)] = static_cast<std::uint8_t>(r.number(flags[k], "flags", 0, 255));
    s.menuWaiting = r.boolean(state, "menuWaiting");

    const QJsonObject screen = r.object(top, "screen");
    s.pictures = {r.picture(screen, "Form1"), r.picture(screen, "Image1"), r.picture(screen, "Image2")};
    const QJsonArray captions = r.array(screen, "captions", 4);
    for (qsizetype k = 0; k < captions.size() && k < 4; ++k)
        s.captions[std::size_t(k)] = r.text(captions[k], "captions");
    s.text = r.text(screen, "text");
    s.music = r.optionalText(top, "music");
    for (const QJsonValue entry : r.array(top, "backlog")) {
        const QJsonObject o = entry.toObject();
        const bool choice = o.contains("choice");
        if (!entry.isObject() || o.size() != 1 || !(choice || o.contains("page"))) {
            r.fail("backlog", "a list of pages and options chosen");
            break;
        }
        s.backlog.push_back(
            {choice ? BacklogEntry::Kind::Choice : BacklogEntry::Kind::Page, r.text(o, choice ? "choice" : "page")});
    }

    if (!r.problem.empty()) {
        why = "it is damaged: " + r.problem;
        return std::nullopt;
    }
    return d;
}

} // namespace vorn
