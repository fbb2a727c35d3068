#include "checker.h"

#include "interpreter/code_page.h"
#include "interpreter/message.h"

#include <algorithm>

namespace vorn::authoring {
namespace detail {

// A script character as a message names it.
std::string shown(const ScriptStream& s, const ScriptChar& ch) {
    if (ch.is('\r') || ch.is('\n')) return "a line break";
    if (ch.is(' ')) return "a blank";
    if (ch.is('\t')) return "a tab";
    return "\"" + s.decode(ch.bytes) + "\"";
}

// A file name or label for a message: cut short when a missing closing
// character has let it run on over many lines. UTF-8 in, UTF-8 out.
std::string shortened(const std::string& text) {
    constexpr std::size_t kLongest = 60;
    if (text.size() <= kLongest) return text;
    std::size_t cut = kLongest;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut; // not inside a character
    return text.substr(0, cut) + "...";
}

std::string quoted(const std::string& text) { return "\"" + shortened(text) + "\""; }

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\n");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\n") - first + 1);
}

void Checker::fixedFiles() {
    const auto report = [this](const char* name, const FileReport& r, const char* role) {
        const bool icon = std::string_view(name) == "mouse.ico";
        switch (r.status) {
        case FileStatus::Found: return;
        case FileStatus::FoundByFallback:
            wholeFile_.push_back({Severity::Warning, name, 0, 0,
                                  std::string(role) + " is found only as \"" + r.actualName +
                                      "\", by ignoring letter case; it plays here, but rename it",
                                  std::string("name the file exactly ") + name});
            return;
        case FileStatus::Missing:
            wholeFile_.push_back({Severity::Error, name, 0, 0,
                                  std::string(role) + " is not in the game folder: the player stops at start-up",
                                  std::string("add a Windows ") + (icon ? "icon" : "bitmap") + " named " + name});
            return;
        case FileStatus::Unreadable:
            wholeFile_.push_back(
                {Severity::Error, name, 0, 0,
                 std::string(role) + " cannot be read (" + r.detail + "): the player stops at start-up", ""});
            return;
        case FileStatus::NotAPicture:
            wholeFile_.push_back({Severity::Error, name, 0, 0,
                                  std::string(role) + " is no " + (icon ? "icon" : "picture") +
                                      " the player can read: the player stops at start-up",
                                  std::string("save it as a Windows ") + (icon ? "icon (.ico)" : "bitmap (.bmp)")});
            return;
        }
    };
    report("back.bmp", files_.picture("back.bmp"), "the window background \"back.bmp\"");
    report("mouse.ico", files_.icon("mouse.ico"), "the cursor \"mouse.ico\"");
}

void Checker::reportCutOff() {
    RawFinding cut{Severity::Error, currentAt_,
                   "the " + std::string(commandName(current_)) +
                       " that starts here runs into the end of file: the player stops with an error when it reads it",
                   rowOf(current_).cutOffHint, true};
    add(std::move(cut));
}

namespace {

// The command that a line of text taken by a runaway page, file name or label
// starts with, as a report names it; empty when the line starts none.
std::string commandStarting(std::string_view line) {
    if (line.size() >= 2 && line.front() == '*' && line.back() == '*') return "a marker line";
    if (line.empty()) return "";
    const auto closedBy = [&](char c) { return line.find(c, 1) != std::string_view::npos; };
    // Byte by byte: the characters that matter here are all ASCII.
    const auto at = [&](std::size_t i) { return ScriptChar{i < line.size() ? line.substr(i, 1) : ""}; };
    const syntax::FlagSyntax flag = syntax::flagName(at(1), at(2));
    const bool flagShaped = flag.byte >= 0 && !flag.notADigit && at(3).is(line[0]);
    const ScriptChar first = at(0);
    const Command c = commandIn(Context::Main, first);
    bool shaped = false;
    switch (c) {
    case Command::Page: shaped = true; break;
    case Command::Menu: shaped = syntax::menuCount(at(1)) > 0; break;
    case Command::Picture:
    case Command::Music:
    case Command::Jump: shaped = closedBy(rowOf(c).closing); break;
    case Command::Set:
    case Command::Clear:
    case Command::IfSet:
    case Command::IfClear: shaped = flagShaped; break;
    case Command::BranchEnd: // no command of the main context
    case Command::None: break;
    }
    if (shaped) return std::string("a ") + rowOf(c).name;
    if (first.is(syntax::kOpenBrace)) return "a branch";
    if (first.is(syntax::kCloseBrace)) return "a branch's '}'";
    return "";
}

} // namespace

// Notes the argument of the command being read, from `from` up to `to`, when
// it runs over lines that start commands.
void Checker::noteRunaway(std::size_t from, std::size_t to) {
    if (current_ == Command::None || !rowOf(current_).readsText || runaways_.count(currentAt_)) return;
    const std::string_view text = std::string_view(script_.contents()).substr(from, to - from);
    Runaway runaway{current_, to, {}, {}, 0};
    for (std::size_t i = text.find_first_of("\r\n"); i != std::string_view::npos; i = text.find_first_of("\r\n", i)) {
        if (text[i++] == '\r' && i < text.size() && text[i] == '\n') ++i;
        std::size_t start = i;
        while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        const std::string what = commandStarting(text.substr(start, end - start));
        if (what.empty()) continue;
        if (++runaway.swallowedCount <= 3) {
            runaway.swallowed.push_back(from + start);
            runaway.swallowedWhat.push_back(what);
        }
    }
    if (runaway.swallowedCount > 0) {
        runaways_.emplace(currentAt_, std::move(runaway));
        return;
    }
    // Closed by the first character of a later line, only blanks before it.
    const std::string_view script = script_.contents();
    if (to >= script.size() || text.find_first_of("\r\n") == std::string_view::npos) return;
    std::size_t lineStart = to;
    while (lineStart > from && (script[lineStart - 1] == ' ' || script[lineStart - 1] == '\t')) --lineStart;
    if (lineStart > from && (script[lineStart - 1] == '\n' || script[lineStart - 1] == '\r')) {
        runaway.closesAtLineStart = true;
        closesAtLineStart_.emplace(currentAt_, std::move(runaway));
    }
}

// The first runaway is the likely culprit: behind it the script is read out of
// step, so the runaways further on, and a command cut off by the end of the
// file, are likely its doing. One finding names it, and the end-of-file error
// points back to it. A page that closes on the first character of a later
// line comes before it where there is one: its missing closing character is
// what set the script out of step, though it swallows no command itself.
void Checker::reportRunaways() {
    std::size_t firstCutOff = kNone;
    for (const RawFinding& f : raw_)
        if (f.cutOff) firstCutOff = std::min(firstCutOff, f.offset);
    const std::size_t firstRunaway = runaways_.empty() ? kNone : runaways_.begin()->first;
    const std::size_t outOfStep = std::min(firstRunaway, firstCutOff);
    if (runaways_.empty() && outOfStep == kNone) return;
    // The suspect: closed on a line where what is out of step starts, or where
    // the next suspect starts, and so on (a page between, "four" "five", is
    // closed by the next line's quote in turn).
    const auto lineOf = [&](std::size_t offset) { return script_.placeOf(offset).line; };
    std::size_t opener = kNone;
    for (auto first = closesAtLineStart_.begin(); first != closesAtLineStart_.end() && opener == kNone; ++first) {
        if (outOfStep == kNone || first->first >= outOfStep) break;
        for (auto link = first; link != closesAtLineStart_.end();) {
            const std::size_t closingLine = lineOf(link->second.end);
            if (lineOf(outOfStep) == closingLine) {
                opener = first->first;
                break;
            }
            const auto next = std::next(link);
            if (next == closesAtLineStart_.end() || next->first >= outOfStep || lineOf(next->first) != closingLine)
                break;
            link = next;
        }
    }
    if (runaways_.empty() && opener == kNone) return;

    std::string culprit;
    if (opener != kNone) {
        const Runaway& suspect = closesAtLineStart_.at(opener);
        const CommandRow& row = rowOf(suspect.command);
        const std::string closing(1, row.closing);
        const std::size_t closingLine = script_.placeOf(suspect.end).line;
        std::string effect;
        if (outOfStep == firstRunaway && firstRunaway != kNone) {
            const Runaway& next = runaways_.begin()->second;
            effect = ", and from there the script is read out of step: the '" +
                     std::string(1, rowOf(next.command).closing) + "' at " + where(firstRunaway) + " opens a " +
                     rowOf(next.command).name + " that swallows " +
                     (next.swallowedCount == 1 ? "" : std::to_string(next.swallowedCount) + " commands, the first ") +
                     next.swallowedWhat.front() + " at " + where(next.swallowed.front());
        } else {
            effect = ", and from there the script is read out of step up to the command at " + where(firstCutOff) +
                     ", which runs into the end of file";
        }
        warning(opener,
                "the " + std::string(row.name) + " that starts here runs over a line end and is closed by the '" +
                    closing + "' that begins line " + std::to_string(closingLine) + ": its own closing '" + closing +
                    "' is likely missing; the player shows it up to that line and reads the rest of line " +
                    std::to_string(closingLine) + " as script, showing none of it" + effect,
                row.cutOffHint);
        culprit = "; the likely culprit is the " + std::string(row.name) + " at " + where(opener) +
                  ", whose closing '" + closing + "' is likely missing";
    }

    if (!runaways_.empty()) {
        const auto& [at, first] = *runaways_.begin();
        const CommandRow& row = rowOf(first.command);
        std::string what = first.swallowedCount == 1 ? " and swallows " : " and swallows commands (";
        for (std::size_t i = 0; i < first.swallowed.size(); ++i)
            what += (i ? ", " : "") + first.swallowedWhat[i] + " at " + where(first.swallowed[i]);
        if (first.swallowedCount > first.swallowed.size()) what += ", …";
        if (first.swallowedCount > 1) what += ")";
        const std::size_t lines = script_.placeOf(first.end).line - script_.placeOf(at).line + 1;
        // In UTF-8 read as Shift-JIS, the last bytes of a character often pair with
        // the closing character, which then is not missing but swallowed.
        const bool misread = looksLikeUtf8WithoutMark(script_.contents());
        std::string message = "runs over " + std::to_string(lines) + " lines" + what;
        if (opener != kNone)
            message += ": it is likely no " + std::string(row.name) + " of its own" + culprit;
        else
            message += misread ? ": read as Shift-JIS, the UTF-8 character before its closing '" +
                                     std::string(1, row.closing) + "' likely takes it as part of a character"
                               : ": its closing '" + std::string(1, row.closing) + "' is likely missing";
        if (runaways_.size() > 1)
            message += "; behind it the script is read out of step, and " + std::to_string(runaways_.size() - 1) +
                       (runaways_.size() == 2 ? " more further on runs" : " more further on run") +
                       " over lines the same way";
        if (opener == kNone)
            culprit = "; the likely culprit is the " + std::string(row.name) + " at " + where(at) +
                      ", which runs over " + std::to_string(lines) + " lines and swallows commands";
        bool reported = false;
        for (RawFinding& f : raw_) {
            if (!f.cutOff) continue;
            if (f.offset == at) {
                f.message += "; it " + message;
                reported = true;
            }
        }
        if (!reported)
            warning(at, "the " + std::string(row.name) + " that starts here " + message,
                    misread && opener == kNone ? kUtf8WithoutMarkHint : row.cutOffHint);
    }
    const std::size_t culpritAt = opener != kNone ? opener : firstRunaway;
    for (RawFinding& f : raw_)
        if (f.cutOff && f.offset > culpritAt && f.offset != firstRunaway) f.message += culprit;
}

void Checker::measurePage(std::size_t at, const std::string& raw) {
    if (!pages_.insert(at).second || runaways_.count(at)) return;
    if (!textBox_) textBox_.emplace();
    if (!textBox_->available()) return;
    const std::string page = syntax::pageText(script_.encoding(), raw);
    // Longer than this, a page fills far more than the box, and laying it out costs.
    constexpr std::size_t kLongestMeasured = 64 * 1024;
    const bool measured = page.size() <= kLongestMeasured;
    const std::string text = script_.decode(page);
    if (measured && !textBox_->needsScrolling(text)) return;
    if (!takes(Severity::Warning)) return;
    const int shown = textBox_->linesShown();
    warning(
        at,
        "this page " +
            (measured ? "takes " + std::to_string(textBox_->linesOf(text)) + " lines" : std::string("is far longer")) +
            " in the text box, which shows " + std::to_string(shown) +
            " at zoom 1: the reader must scroll to read the rest",
        "split it into pages of " + std::to_string(shown) + " lines or fewer");
}

void Checker::fileFinding(std::size_t at, const std::string& what, const std::string& name, const FileReport& r,
                          const char* missingEffect, const char* brackets) {
    const bool brokenName = name.find_first_of("\r\n") != std::string::npos;
    switch (r.status) {
    case FileStatus::Found: return;
    case FileStatus::FoundByFallback: {
        std::string how;
        if (name.find('\\') != std::string::npos) how = "reading '\\' as a folder separator";
        std::string asSlashes = name;
        std::replace(asSlashes.begin(), asSlashes.end(), '\\', '/');
        if (asSlashes != r.actualName) how += std::string(how.empty() ? "" : " and ") + "ignoring letter case";
        warning(at,
                "the " + what + " " + quoted(name) + " is found only as \"" + r.actualName + "\", by " + how +
                    "; it plays here, but rename it",
                "write the name exactly as the file is named");
        return;
    }
    case FileStatus::Missing:
        error(at, "the " + what + " " + quoted(name) + " is not in the game folder: " + missingEffect,
              brokenName ? std::string("the name runs over a line break: close it on the same line")
                         : "add the file, or correct the name between " + std::string(brackets));
        return;
    case FileStatus::Unreadable:
        error(at, "the " + what + " " + quoted(name) + " cannot be read (" + r.detail + "): " + missingEffect,
              "name a file in the game folder");
        return;
    case FileStatus::NotAPicture:
        error(at, quoted(name) + " is no picture the player can read: the player stops here",
              "save it as a Windows bitmap (.bmp)");
        return;
    }
}

void Checker::diagnoseBranch(const PlayedEnd& end, std::size_t menuAt, int k, std::size_t open, std::size_t close) {
    const bool closesAlike = close != kNone && end.kind == PlayedEnd::Kind::Brace && end.offset == close;
    if (closesAlike || (end.kind == PlayedEnd::Kind::EndOfScript && close != kNone)) return;
    if (!takes(Severity::Error)) return;
    const std::string branch = "branch " + std::to_string(k) + " of the menu at " + where(menuAt);
    const char* pairsHint = "keep braces in pairs inside texts, and write none outside texts in a branch";
    if (close == kNone) {
        std::size_t at = open;
        std::string why;
        if (!loneBraces_.empty()) {
            const LoneBrace& lone = loneBraces_.front();
            at = lone.offset;
            why = ": this '{' inside the " + std::string(commandName(lone.command)) + " at " +
                  where(lone.commandOffset) + " counts";
        }
        if (at == open && !fetchedOpenBraces_.empty()) {
            at = fetchedOpenBraces_.front();
            why = ": this '{', passed over as text when the branch is played, counts";
        }
        error(at,
              branch + " never closes when it is skipped" + why + ", and counting braces from its '{' at " +
                  where(open) + " the skip reads to the end of file, where the player stops with an error",
              "close every branch with '}'; " + std::string(pairsHint));
        return;
    }
    switch (end.kind) {
    case PlayedEnd::Kind::Brace:
        if (end.offset == close) return;
        {
            std::string why;
            for (const LoneBrace& lone : loneBraces_)
                if (lone.offset < end.offset) {
                    why =
                        " (the '{' at " + where(lone.offset) + " inside the " + commandName(lone.command) + " counts)";
                    break;
                }
            if (why.empty() && !fetchedOpenBraces_.empty())
                why = " (the '{' at " + where(fetchedOpenBraces_.front()) +
                      ", passed over as text when the branch is played, counts)";
            error(end.offset,
                  branch + " ends at this '}' when it is chosen, but when it is skipped the braces are counted" + why +
                      " and the skip runs on to the '}' at " + where(close),
                  pairsHint);
        }
        return;
    case PlayedEnd::Kind::CloseInsideCommand:
        error(close,
              std::string("this '}' is read as part of the ") + commandName(end.command) + " at " +
                  where(end.commandOffset) + ": it ends " + branch +
                  " when the branch is skipped, but not when it is chosen",
              end.command == Command::Page || end.command == Command::Menu
                  ? std::string(pairsHint)
                  : std::string("close the ") + commandName(end.command) + " before the '}'");
        return;
    case PlayedEnd::Kind::CloseFetchedByMainHalf:
        error(close,
              "this '}' is fetched by the main half of a cycle, right behind " + end.before + " at " +
                  where(end.beforeOffset) + ", and the main half passes over it: it does not end " + branch +
                  ", and the reader plays on into what follows",
              "put one more character, such as '.', in front of the '}': the branch half of the next cycle then "
              "fetches it");
        return;
    case PlayedEnd::Kind::EndOfScript: return; // cut off: reported already
    }
}

} // namespace detail

std::string formatFinding(const Finding& f) {
    // A line break out of the script (in a label or a file name) must not
    // break the line, nor a terminal's escape reach the terminal.
    const auto oneLine = [](const std::string& text) { return escapeControls(text); };
    std::string out = escapeControls(f.file);
    if (f.line > 0) out += ":" + std::to_string(f.line) + ":" + std::to_string(f.column);
    out += f.severity == Severity::Error ? ": error: " : ": warning: ";
    out += oneLine(f.message);
    if (!f.hint.empty()) out += "\n    hint: " + oneLine(f.hint);
    return out;
}

} // namespace vorn::authoring
