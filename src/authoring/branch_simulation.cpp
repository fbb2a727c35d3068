#include "checker.h"

namespace vorn::authoring::detail {
namespace {

std::string describeTaken(Command c, const ScriptStream& s, const ScriptChar& ch) {
    if (c != Command::None) return std::string("the ") + commandName(c);
    return "the dropped " + shown(s, ch);
}

} // namespace

// The reader for branches, brought to where `at` stands. Reading forward
// costs less than copying the script for every branch.
ScriptStream& Checker::player(const ScriptStream& at) {
    if (!player_ || player_->position() > at.position()) {
        player_.reset();
        player_.emplace(at);
    }
    while (player_->position() < at.position()) player_->readChar();
    return *player_;
}

bool Checker::branches(ScriptStream& s, std::size_t menuAt, int n, int level) {
    for (int k = 1; k <= n; ++k) {
        std::size_t open = kNone;
        std::size_t firstTab = kNone, firstCommand = kNone;
        std::string commandChar;
        while (open == kNone) {
            if (s.atEnd()) {
                error(menuAt,
                      "the menu offers " + std::to_string(n) + (n == 1 ? " option" : " options") + ", but " +
                          (k == 1 ? std::string("no brace-enclosed branch follows it")
                                  : "only " + std::to_string(k - 1) + " brace-enclosed branch" +
                                        (k == 2 ? " follows" : "es follow") + " it") +
                          ": a choice reads on to the end of file, and the player stops with an error",
                      "write one {...} branch per option behind the menu, in the order of the options");
                return false;
            }
            const ScriptChar ch = s.readChar();
            const std::size_t at = offsetOf(s, ch);
            if (ch.is(syntax::kOpenBrace)) {
                open = at;
            } else if (k == 1) {
                if (ch.is('\t') && firstTab == kNone) firstTab = at;
                if (commandIn(Context::Main, ch) != Command::None && firstCommand == kNone) {
                    firstCommand = at;
                    commandChar = std::string(ch.bytes);
                }
            }
        }
        if (firstTab != kNone)
            warning(firstTab,
                    "a tab between the menu and its first branch: everything between the menu's last option and "
                    "the first '{' is thrown away when an option is chosen, and a tab is no blank",
                    "keep only blanks and line breaks between the menu and its first '{'");
        if (firstCommand != kNone)
            warning(firstCommand,
                    "'" + commandChar +
                        "' between the menu and its first branch starts no command: everything between the menu's "
                        "last option and the first '{' is thrown away when an option is chosen",
                    "move the command into a branch or in front of the menu, and check the menu's count");

        ScriptStream& played = player(s); // stands right behind the branch's '{'
        const std::size_t close = syntax::skipBraces(s) ? s.position() - 1 : kNone;
        loneBraces_.clear();
        fetchedOpenBraces_.clear();
        const PlayedEnd end = playBranch(played, k, n, close);
        diagnoseBranch(end, menuAt, k, open, close);
        if (close == kNone) return false;
        if (end.kind == PlayedEnd::Kind::Brace && end.offset == close &&
            syntax::branchesSkipped(k, end.count) != n - k && level < kMostDetourLevels &&
            detoursTaken_ < kMostDetours) {
            ++detoursTaken_;
            detours_.push_back({played, menuAt, k, end.count, close, level + 1});
        }
    }
    return true;
}

void Checker::detour(Detour& d) {
    // The branch-end step skips its count of branches, counting braces.
    for (int j = syntax::branchesSkipped(d.k, d.count); j > 0; --j) {
        if (!syntax::skipPastOpenBrace(d.from) || !syntax::skipBraces(d.from)) {
            error(d.end,
                  "when branch " + std::to_string(d.k) + " of the menu at " + where(d.menuAt) +
                      " ends here, the option count is " + std::to_string(d.count) +
                      ", and skipping the branches it counts reads to the end of file, where the player stops "
                      "with an error",
                  "show a menu inside a branch only behind the branches of the menu before it");
            return;
        }
    }
    walkNormal(d.from, d.level);
}

// Plays branch k from right behind its '{' the way the run loop does: each
// cycle a branch half with the branch table, then, unless it paused or began a
// new cycle, a main half with the main table. Stops where the branch ends, or
// where the walk passes `close`, the '}' at which skipping ends the branch.
PlayedEnd Checker::playBranch(ScriptStream& s, int k, int n, std::size_t close) {
    PlayedEnd end;
    const auto passed = [&](Command c, std::size_t at) {
        if (close == kNone || s.position() <= close) return false;
        end.kind = PlayedEnd::Kind::CloseInsideCommand;
        end.offset = close;
        end.command = c;
        end.commandOffset = at;
        return true;
    };
    int count = n; // the option count as the branch leaves it
    bool warnedReset = false;
    const auto countReset = [&](std::size_t at, const auto& how) {
        if (k >= n || warnedReset) return;
        warnedReset = true;
        if (!takes(Severity::Warning)) return;
        warning(at,
                how() + " sets the option count to 0: when branch " + std::to_string(k) +
                    " ends, the branches behind it are not skipped but played as ordinary script",
                "let the branch half fetch the page: put it first in the branch, or right behind another page or "
                "a set command");
    };
    try {
        while (true) {
            ScriptChar ch;
            if (s.atEnd() || !s.fetchCommandChar(ch)) return end;
            std::size_t at = offsetOf(s, ch);
            if (ch.is(syntax::kOpenBrace)) fetchedOpenBraces_.push_back(at);
            const Command b = commandIn(Context::Branch, ch);
            if (b == Command::BranchEnd) {
                end.kind = PlayedEnd::Kind::Brace;
                end.offset = at;
                end.count = count;
                return end;
            }
            if (b == Command::None) {
                const Command m = commandIn(Context::Main, ch);
                if (m == Command::Jump || m == Command::Menu || m == Command::IfSet || m == Command::IfClear)
                    warning(at,
                            shown(s, ch) + " starts no " + commandName(m) +
                                " here: inside a chosen branch the branch half of a cycle fetches it and drops it, "
                                "and the characters behind it are read as script",
                            "take jumps, menus and conditionals out of the branch: set a flag in it and test the "
                            "flag behind the branches");
            } else {
                command(s, b, at, Half::BranchHalf);
                if (passed(b, at)) return end;
                if (b == Command::Page || b == Command::Set) continue; // a pause or a new cycle
            }
            const std::string taken = describeTaken(b, s, ch);
            const std::size_t takenAt = at;

            if (s.atEnd() || !s.fetchCommandChar(ch)) return end;
            at = offsetOf(s, ch);
            if (at == close) {
                end.kind = PlayedEnd::Kind::CloseFetchedByMainHalf;
                end.offset = close;
                end.before = taken;
                end.beforeOffset = takenAt;
                return end;
            }
            if (ch.is(syntax::kOpenBrace)) fetchedOpenBraces_.push_back(at);
            const Command m = commandIn(Context::Main, ch);
            if (m == Command::None) continue;
            const Outcome outcome = command(s, m, at, Half::BranchMain);
            // A page of the main table sets the count to 0, a menu to its own.
            if (m == Command::Page || outcome.guarded == Command::Page) count = 0;
            if (m == Command::Menu) count = outcome.menuCount;
            if (m == Command::Page)
                countReset(at, [&] {
                    return "this page is fetched by the main half of a cycle, behind " + taken + " at " +
                           where(takenAt) + ", which shows it as an ordinary page and";
                });
            if (outcome.guarded == Command::Page)
                countReset(at, [] { return std::string("a page shown by this conditional"); });
            if (passed(m, at)) return end;
        }
    } catch (const CutOff&) {
        reportCutOff();
        end.kind = PlayedEnd::Kind::EndOfScript;
        return end;
    }
}

} // namespace vorn::authoring::detail
