#include "checker.h"

#include "interpreter/code_page.h"
#include "interpreter/fatal_error.h"

#include <algorithm>
#include <map>

namespace vorn::authoring {
namespace detail {

CheckReport Checker::run() {
    fixedFiles();
    ScriptStream lines = script_; // a second reader from the first character
    walkNormal(script_);
    // Detours last, so that they end where they meet a walk already made.
    for (std::size_t i = 0; i < detours_.size(); ++i) {
        Detour d = std::move(detours_[i]); // detours_ may grow meanwhile
        detour(d);
    }
    markerLines(lines);
    reportRunaways();

    std::stable_sort(raw_.begin(), raw_.end(),
                     [](const RawFinding& a, const RawFinding& b) { return a.offset < b.offset; });
    raw_.erase(std::unique(raw_.begin(), raw_.end(),
                           [](const RawFinding& a, const RawFinding& b) {
                               return a.offset == b.offset && a.severity == b.severity && a.message == b.message;
                           }),
               raw_.end());
    CheckReport report;
    if (looksLikeUtf8WithoutMark(script_.contents()))
        wholeFile_.insert(wholeFile_.begin(),
                          {Severity::Warning, kScriptName, 0, 0, kUtf8WithoutMarkNote, kUtf8WithoutMarkHint});
    report.pages = pages_.size();
    report.menus = menus_.size();
    std::set<std::size_t> jumps;
    for (const Jump& j : jumps_) jumps.insert(j.offset);
    report.jumps = jumps.size();
    for (const Finding& f : wholeFile_) (f.severity == Severity::Error ? report.errors : report.warnings)++;
    for (const RawFinding& r : raw_) (r.severity == Severity::Error ? report.errors : report.warnings)++;
    report.errors += dropped_[1];
    report.warnings += dropped_[0];
    std::vector<Finding>& out = report.findings;
    out = std::move(wholeFile_);
    for (RawFinding& r : raw_) {
        const Place p = script_.placeOf(r.offset);
        out.push_back({r.severity, kScriptName, p.line, p.column, std::move(r.message), std::move(r.hint)});
    }
    if (dropped_[0] + dropped_[1] > 0)
        out.push_back({dropped_[1] > 0 ? Severity::Error : Severity::Warning, kScriptName, 0, 0,
                       std::to_string(dropped_[1]) + (dropped_[1] == 1 ? " more error and " : " more errors and ") +
                           std::to_string(dropped_[0]) +
                           (dropped_[0] == 1 ? " more warning are not shown" : " more warnings are not shown"),
                       "correct these and check again"});
    return report;
}

// From where `s` stands to the end of the script, or, on a detour, to the
// first command character that an earlier walk has fetched.
void Checker::walkNormal(ScriptStream& s, int level) {
    std::size_t passedMenu = kNone; // a menu whose branches were just passed, and its count
    int passedOptions = 0;
    while (true) {
        ScriptChar ch;
        if (!s.fetchCommandChar(ch)) return;
        const std::size_t at = offsetOf(s, ch);
        if (at >= fetched_.size()) fetched_.resize(std::max(at + 1, fetched_.size() * 2));
        if (fetched_[at]) return; // the rest has been walked
        fetched_[at] = true;
        if (passedMenu != kNone) {
            if (ch.is(syntax::kOpenBrace) && takes(Severity::Warning))
                warning(at,
                        "one branch more than the menu at " + where(passedMenu) + " has options (" +
                            std::to_string(passedOptions) +
                            "): it belongs to no option and is played as ordinary script after every choice",
                        "give the menu one option per branch, or take the braces away");
            passedMenu = kNone;
        }
        const Command c = commandIn(Context::Main, ch);
        if (c == Command::None) continue;
        int options = 0;
        try {
            options = command(s, c, at, Half::Normal).menuCount;
        } catch (const CutOff&) {
            reportCutOff();
            return;
        }
        if (options > 0) {
            if (!branches(s, at, options, level)) return;
            passedMenu = at;
            passedOptions = options;
        }
    }
}

Checker::Outcome Checker::command(ScriptStream& s, Command c, std::size_t at, Half half, bool guarded) {
    current_ = c;
    currentAt_ = at;
    Outcome outcome;
    switch (c) {
    case Command::Page: measurePage(at, readArgument(s, rowOf(c).closing)); break;
    case Command::Picture: picture(s, at); break;
    case Command::Music: music(s, at); break;
    case Command::Jump: jump(s, at, half); break;
    case Command::Menu:
        menus_.insert(at);
        outcome.menuCount = menu(s, at, half);
        break;
    case Command::Set:
    case Command::Clear: flagCommand(s, c, guarded); break;
    case Command::IfSet:
    case Command::IfClear: outcome.guarded = conditional(s, c, half); break;
    case Command::BranchEnd: // a '}' of the branch half, walked where the branches are
    case Command::None: break;
    }
    return outcome;
}

// Reads up to and including `closing`, as the command procedures do, and
// notes a '{' that has no partner inside the argument.
std::string Checker::readArgument(ScriptStream& s, char closing) {
    std::string raw;
    ArgumentBraces braces;
    const std::size_t from = s.position();
    while (true) {
        if (s.atEnd()) {
            noteRunaway(from, s.position());
            throw CutOff{};
        }
        const ScriptChar ch = s.readChar();
        if (ch.is(closing)) {
            noteRunaway(from, offsetOf(s, ch));
            break;
        }
        braces.see(ch, offsetOf(s, ch));
        raw.append(ch.bytes);
    }
    noteLoneBrace(braces, current_, currentAt_);
    return raw;
}

void Checker::noteLoneBrace(const ArgumentBraces& braces, Command c, std::size_t at) {
    if (braces.depth > 0) loneBraces_.push_back({braces.firstOpen, c, at});
}

void Checker::picture(ScriptStream& s, std::size_t at) {
    const std::string name = s.decode(readArgument(s, rowOf(Command::Picture).closing));
    if (name.empty()) return; // the empty picture
    fileFinding(at, "picture", name, files_.picture(name), "the player stops here", "'<' and '>'");
}

void Checker::music(ScriptStream& s, std::size_t at) {
    const std::string name = s.decode(readArgument(s, rowOf(Command::Music).closing));
    if (name.empty()) return; // stops the music on purpose
    fileFinding(at, "music", name, files_.music(name), "the music stops here and nothing plays", "'[' and ']'");
}

void Checker::jump(ScriptStream& s, std::size_t at, Half half) {
    jumps_.push_back({at, readArgument(s, rowOf(Command::Jump).closing)});
    if (half == Half::BranchMain)
        warning(at,
                "this jump is taken inside a chosen branch, and the choice stays under way at the marker line: "
                "the next '}' fetched there ends the branch and skips what it takes for the branches behind it",
                "set a flag in the branch and jump behind the branches, where the flag is tested");
}

int Checker::menu(ScriptStream& s, std::size_t at, Half half) {
    if (half == Half::BranchMain)
        warning(at,
                "this menu is shown inside a chosen branch, while a choice is under way: none of its options can "
                "be chosen, and a click on the text box plays on",
                "put the menu behind the branches of the menu before it");
    const ScriptChar count = read(s);
    const std::size_t countAt = offsetOf(s, count);
    const int n = syntax::menuCount(count);
    if (!choiceBoxChecked_) {
        choiceBoxChecked_ = true;
        const FileReport& box = files_.picture("text.bmp");
        if (box.status == FileStatus::FoundByFallback)
            warning(at,
                    "the choice box \"text.bmp\" is found only as \"" + box.actualName +
                        "\", by ignoring letter case; it plays here, but rename it",
                    "name the file exactly text.bmp");
        else if (box.status != FileStatus::Found)
            error(at,
                  std::string("every menu shows the choice box \"text.bmp\", which ") +
                      (box.status == FileStatus::Missing       ? "is not in the game folder"
                       : box.status == FileStatus::NotAPicture ? "is no picture the player can read"
                                                               : "cannot be read (" + box.detail + ")") +
                      ": the player stops here",
                  "add a Windows bitmap named text.bmp to the game folder");
    }
    if (n == 0)
        warning(countAt,
                "the menu's count is " + shown(s, count) +
                    ", not a digit from 1 to 4: the menu shows no options, and a click on the text box plays "
                    "the option texts and branches behind it as ordinary script",
                "write the number of options right behind '(', as in (2 Yes,No)");
    read(s); // the separator
    for (int option = 1; option <= n; ++option) {
        ArgumentBraces braces;
        while (true) {
            const ScriptChar ch = read(s);
            if (syntax::endsOption(ch)) break;
            braces.see(ch, offsetOf(s, ch));
        }
        noteLoneBrace(braces, Command::Menu, at);
    }
    return n;
}

syntax::FlagSyntax Checker::flagName(ScriptStream& s, Command c) {
    const ScriptChar letter = read(s);
    const std::size_t letterAt = offsetOf(s, letter);
    const ScriptChar digit = read(s);
    const std::size_t digitAt = offsetOf(s, digit);
    const syntax::FlagSyntax name = syntax::flagName(letter, digit);
    const char* effect = c == Command::Set     ? "this set command changes no flag"
                         : c == Command::Clear ? "this clear command changes no flag"
                         : c == Command::IfSet ? "the flag counts as clear, so the guarded command never runs"
                                               : "the flag counts as clear, so the guarded command always runs";
    if (name.byte < 0) {
        warning(letterAt, shown(s, letter) + " is no flag letter (A to H, upper case): " + effect,
                "write an upper-case letter from A to H, as in A1");
    } else if (name.notADigit) {
        const std::string l(letter.bytes);
        error(digitAt,
              "flag " + l + " has the bit " + shown(s, digit) + ", which is not a digit: the player stops here",
              "write a bit digit from 1 to 8, as in " + l + "1");
    } else if (name.bit == 0) {
        warning(digitAt, "bit " + std::string(digit.bytes) + " names no flag (bits are numbered 1 to 8): " + effect,
                "write a bit digit from 1 to 8");
    }
    return name;
}

void Checker::flagCommand(ScriptStream& s, Command c, bool guarded) {
    flagName(s, c);
    const ScriptChar closing = read(s);
    const char expected = rowOf(c).closing;
    if (guarded && !closing.is(expected))
        warning(offsetOf(s, closing),
                std::string("the guarded ") + commandName(c) + " ends with " + shown(s, closing) + " instead of '" +
                    expected + "': when the conditional skips it, it reads on to the next '" + expected + "'",
                std::string("end it with '") + expected + "', as in " + expected + "A1" + expected);
}

Command Checker::conditional(ScriptStream& s, Command c, Half half) {
    flagName(s, c);
    const ScriptChar discarded = read(s);
    const std::size_t discardedAt = offsetOf(s, discarded);
    ScriptChar first = read(s);
    while (first.isBlank()) first = read(s);
    const std::size_t firstAt = offsetOf(s, first);
    const Command guarded = commandIn(Context::Guarded, first);
    if (discarded.is('"')) {
        warning(discardedAt,
                "the character behind the flag name is always discarded, and here it is a page's opening '\"': "
                "the page's first character is taken for the guarded command, and its closing '\"' opens a new page",
                std::string("write the conditional's closing character before the page, as in ") +
                    (c == Command::IfSet ? "=A1=\"...\"" : "!A1!\"...\""));
    } else if (guarded == Command::None) {
        warning(firstAt,
                shown(s, first) +
                    " is no command a conditional can guard: it is dropped, and what follows runs whatever the flag" +
                    (first.is('\t') ? " (a tab is no blank)" : ""),
                "follow the flag name and its closing character with a page, picture, music, set, clear or jump");
    }
    if (guarded == Command::None) return guarded;
    command(s, guarded, firstAt, half, true);
    return guarded;
}

void Checker::markerLines(ScriptStream& lines) {
    std::map<std::string_view, std::vector<std::size_t>> markers;           // marker-shaped lines by text
    std::map<std::string, std::pair<std::size_t, std::string_view>> nearly; // trimmed, lower case
    std::size_t firstLineFeed = kNone;
    std::string_view line;
    while (true) {
        const std::size_t start = lines.position();
        if (!lines.readLine(line)) break;
        if (firstLineFeed == kNone)
            if (const auto lf = line.find('\n'); lf != std::string_view::npos) firstLineFeed = start + lf;
        if (line.size() >= 2 && line.front() == '*' && line.back() == '*') markers[line].push_back(start);
        const std::string_view t = trimmed(line);
        if (t.size() >= 2 && t.front() == '*' && t.back() == '*')
            nearly.try_emplace(asciiLower(script_.decode(t)), start, line);
    }
    if (!script_.hasCarriageReturn() && firstLineFeed != kNone)
        warning(firstLineFeed,
                "this script ends its lines with line feeds alone: a jump looks for its marker line up to a "
                "carriage return, so no jump can find its marker",
                "save the script with Windows line ends (CR LF)");

    std::map<std::string_view, bool> duplicatesReported;
    for (const Jump& jump : jumps_) {
        const std::string target = "*" + jump.label + "*";
        const auto found = markers.find(target);
        const std::string label = script_.decode(jump.label);
        if (found == markers.end()) {
            std::string hint =
                "add a line that holds exactly " + script_.decode(target) + ", with nothing before or after it";
            if (jump.label.find_first_of("\r\n") != std::string::npos) {
                hint = "the label runs over a line break: close it with '<' on the same line";
            } else if (const auto near = nearly.find(asciiLower(script_.decode(target)));
                       near != nearly.end() && !full(Severity::Error)) {
                hint = "line " + std::to_string(script_.placeOf(near->second.first).line) + " holds \"" +
                       script_.decode(near->second.second) +
                       "\": a marker line must match exactly, in letter case too, with nothing before or after it";
            }
            error(jump.offset,
                  "the jump to " + quoted(label) + " finds no marker line " + shortened(script_.decode(target)) +
                      ": the player stops here with an error",
                  hint);
            continue;
        }
        if (found->second.size() < 2 || duplicatesReported[found->first]) continue;
        duplicatesReported[found->first] = true;
        if (full(Severity::Warning)) {
            dropped_[0] += found->second.size() - 1;
            continue;
        }
        const std::size_t firstLine = script_.placeOf(found->second.front()).line;
        for (std::size_t i = 1; i < found->second.size(); ++i)
            warning(found->second[i],
                    "another marker line " + script_.decode(target) + ": every jump to \"" + label +
                        "\" lands behind the first one, on line " + std::to_string(firstLine) +
                        ", so no jump reaches this one",
                    "give each marker line its own label");
    }
}

} // namespace detail

CheckReport checkGame(const GameFolder& folder) {
    ScriptStream script(folder);
    try {
        script.open();
    } catch (const FatalError& e) {
        return {{{Severity::Error, kScriptName, 0, 0, e.what(), ""}}, 1, 0};
    }
    detail::Checker checker(folder, script);
    return checker.run();
}

} // namespace vorn::authoring
