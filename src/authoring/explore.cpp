#include "explore.h"

#include "game_files.h"
#include "interpreter/code_page.h"
#include "interpreter/display_surface.h"
#include "interpreter/fatal_error.h"
#include "interpreter/interpreter.h"
#include "interpreter/message.h"
#include "interpreter/music_device.h"
#include "presentation/picture_decoder.h"

#include <memory>
#include <type_traits>
#include <unordered_set>

namespace vorn::authoring {
namespace {

using Clock = std::chrono::steady_clock;

// A paused game is kept by copying the interpreter: its members, its script
// stream and the stream's position are all it holds between runs.
static_assert(std::is_copy_constructible_v<Interpreter>);

// Thrown through the interpreter when a run goes on too long without pausing.
struct RunTooLong {};

// A screen that shows nothing. Pictures are decoded as the player decodes
// them (each file once), so a broken picture is the same fatal error.
class ExploreSurface : public DisplaySurface {
  public:
    explicit ExploreSurface(std::chrono::milliseconds limit) : limit_(limit) {}

    void startRun() { deadline_ = Clock::now() + limit_; }

    void setText(const std::string&) override {}
    void setCaption(int, const std::string&) override {}
    void refreshLabel(int) override {}
    bool setPicture(PictureElement, const PictureFile& picture) override {
        return !picture.bytes || pictures_.decodes(picture.name, *picture.bytes);
    }
    bool setCursor(const PictureFile& icon) override { return icon.bytes && decodeIcon(*icon.bytes).has_value(); }
    void showMessage(const std::string&, const std::string&) override {}
    void keepAlive() override {
        if (Clock::now() > deadline_) throw RunTooLong{};
    }

  private:
    std::chrono::milliseconds limit_;
    Clock::time_point deadline_{};
    PictureDecodeCache pictures_;
};

constexpr int kClickText = 0; // actions 1..4 are the options

std::string eventLine(int action) {
    return action == kClickText ? "click text" : "click option " + std::to_string(action);
}

// The clicks that do something in this state, as the click handlers decide.
std::vector<int> actionsOf(const Interpreter& game) {
    std::vector<int> actions;
    for (int k = 1; k <= 4; ++k)
        if (game.offersOption(k)) actions.push_back(k);
    // At the end of the script a click starts a run that ends at once.
    if (!game.stream().atEnd() && game.textClickPlaysOn()) actions.push_back(kClickText);
    return actions;
}

void apply(Interpreter& game, int action) {
    if (action == kClickText)
        game.resume();
    else
        game.chooseOption(action);
}

// Script position and every member: two paths that meet in the same key play
// on alike, so the second is cut there. An empty member counts as 0 (or the
// empty text) wherever it is used, so it keys as one.
std::string stateKey(const Interpreter& game) {
    std::string key = std::to_string(game.stream().position());
    key += game.stream().isOpen() ? 'o' : 'c';
    key += game.menuWaiting() ? 'm' : '-';
    key += ',' + std::to_string(game.WaitCmd);
    key += ',' + std::to_string(valueOr0(game.NumCmds));
    key += ',' + std::to_string(valueOr0(game.Cmd_Selected));
    for (std::uint8_t flag : game.Flag) key += ',' + std::to_string(flag);
    key += ',' + game.musfile.value_or(""); // last: it may hold any character
    return key;
}

std::string neverPauses(const Interpreter& game, std::chrono::milliseconds limit) {
    return game.stream().describe(game.stream().position()) + ": the script runs on for more than " +
           std::to_string(limit.count()) +
           " ms without pausing at a page or a menu: it loops without end around here, and the player never "
           "shows another page.";
}

struct Frame {
    std::unique_ptr<Interpreter> game; // empty once its last action has taken it over
    std::vector<int> actions;
    std::size_t next = 0;
    int via = -1; // the click that led here; -1 for the start
};

} // namespace

ExploreResult explore(const GameFolder& folder, const ExploreOptions& options) {
    ExploreSurface surface(options.maxRun);
    SilentMusicDevice device;
    ExploreResult result;

    auto start = std::make_unique<Interpreter>(folder, surface, device);
    start->setKeepingPlaces(false); // copied at every branch: no way back is needed
    try {
        surface.startRun();
        start->load();
        start->playRun();
    } catch (const FatalError& e) {
        result.errors.push_back({{}, e.what()});
    } catch (const RunTooLong&) {
        result.errors.push_back({{}, neverPauses(*start, options.maxRun)});
    }
    result.utf8WithoutMark = looksLikeUtf8WithoutMark(start->stream().contents());
    if (!result.errors.empty()) { // the game ends before its first pause
        result.paths = 1;
        return result;
    }

    std::unordered_set<std::string> visited{stateKey(*start)};
    std::vector<Frame> stack;
    // A state reached with `clicks` clicks: a leaf, or a frame to explore.
    const auto reached = [&](std::unique_ptr<Interpreter> game, int via, std::size_t clicks) {
        std::vector<int> actions = actionsOf(*game);
        if (actions.empty()) {
            ++result.endings;
            ++result.paths;
        } else if (clicks >= options.maxClicks) {
            ++result.cutAtMaxClicks;
            ++result.paths;
        } else {
            stack.push_back({std::move(game), std::move(actions), 0, via});
        }
    };
    reached(std::move(start), -1, 0);

    auto lastProgress = Clock::now();
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.actions.size()) {
            stack.pop_back();
            continue;
        }
        if (result.paths >= options.maxPaths) {
            result.stoppedAtMaxPaths = true;
            break;
        }
        const int action = frame.actions[frame.next++];
        // The last action of a state takes the state over; the others play a copy.
        std::unique_ptr<Interpreter> game =
            frame.next == frame.actions.size() ? std::move(frame.game) : std::make_unique<Interpreter>(*frame.game);
        const auto clicks = [&] {
            std::vector<std::string> lines;
            for (std::size_t i = 1; i < stack.size(); ++i) lines.push_back(eventLine(stack[i].via));
            lines.push_back(eventLine(action));
            return lines;
        };
        try {
            surface.startRun();
            apply(*game, action);
        } catch (const FatalError& e) {
            result.errors.push_back({clicks(), e.what()});
            ++result.paths;
            continue;
        } catch (const RunTooLong&) {
            result.errors.push_back({clicks(), neverPauses(*game, options.maxRun)});
            ++result.paths;
            continue;
        }
        if (!visited.insert(stateKey(*game)).second) {
            ++result.rejoined;
            ++result.paths;
            continue;
        }
        reached(std::move(game), action, stack.size());

        if (options.progress && Clock::now() - lastProgress > std::chrono::milliseconds(200)) {
            lastProgress = Clock::now();
            *options.progress << "\rexploring: " << result.paths << " paths played, " << visited.size() << " states, "
                              << result.errors.size() << " errors, " << stack.size() << " clicks deep\x1b[K"
                              << std::flush;
        }
    }
    if (options.progress) *options.progress << "\r\x1b[K" << std::flush;
    result.states = visited.size();
    return result;
}

void writeExploreReport(const ExploreResult& result, const ExploreOptions& options, std::ostream& out) {
    if (result.utf8WithoutMark)
        out << "# " << kScriptName << ": warning: " << kUtf8WithoutMarkNote << "\n#     hint: " << kUtf8WithoutMarkHint
            << "\n\n";
    for (std::size_t i = 0; i < result.errors.size(); ++i) {
        const ErrorPath& path = result.errors[i];
        out << "# error path " << i + 1 << ": " << escapeControls(path.error) << '\n'; // on one comment line
        if (path.clicks.empty()) out << "# (at start-up, before any click)\n";
        for (const std::string& click : path.clicks) out << click << '\n';
        out << '\n';
    }
    const auto count = [](std::size_t n, const char* what) {
        return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
    };
    out << "# " << count(result.paths, "path") << " played, " << count(result.endings, "ending") << " reached, "
        << count(result.errors.size(), "error path") << " found";
    if (result.rejoined > 0) out << "; " << result.rejoined << " rejoined a state played before";
    out << ".\n";
    if (result.cutAtMaxClicks > 0)
        out << "# " << count(result.cutAtMaxClicks, "path") << " stopped at --max-clicks " << options.maxClicks
            << ".\n";
    if (result.stoppedAtMaxPaths)
        out << "# Stopped at --max-paths " << options.maxPaths << ": some paths were not played.\n";
}

} // namespace vorn::authoring
