// Going back, as properties over random games and random clicks:
//  - play A, then B, then go back over every place B kept, then play C: the
//    records of C are those of playing A and then C, and going back shows the
//    state A ended in (C = B replays B; another first option chooses anew);
//  - at every kept place the whole game, backlog included, is what it was.

#include "headless_fixture.h"
#include "interpreter/fatal_error.h"
#include "interpreter/interpreter.h"
#include "presentation/headless/headless_driver.h"
#include "presentation/headless/headless_recorder.h"
#include "random_game.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace vorn::test;
namespace fs = std::filesystem;

namespace {

Lines play(const TestGame& game, const std::string& events, int* status = nullptr) {
    std::istringstream in(events);
    std::ostringstream out, err;
    const int s = vorn::runHeadless(vorn::GameFolder(game.dir()), in, out, err, {});
    if (status) *status = s;
    Lines lines;
    std::istringstream split(out.str());
    for (std::string line; std::getline(split, line);) lines.push_back(line);
    return lines;
}

std::string join(const Lines& lines, std::size_t from = 0) {
    std::string s;
    for (std::size_t k = from; k < lines.size(); ++k) s += lines[k] + "\n";
    return s;
}

bool endsInFatal(const Lines& lines) { return !lines.empty() && lines.back().rfind("{\"fatal\":", 0) == 0; }

// How many places are kept after `events`: one more than `back` finds behind.
int placesAfter(const TestGame& game, const std::string& events) {
    const Lines lines = play(game, events + "back\n");
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        if (it->rfind("{\"back\":", 0) == 0) return std::stoi(it->substr(8)) + 2;
        if (it->rfind("{\"refused\":\"back\"", 0) == 0) return 1;
    }
    return -1; // ended before the back
}

// The index of the line that echoes input event number `n` (1-based).
std::size_t echoOf(const Lines& lines, int n) {
    int seen = 0;
    for (std::size_t k = 0; k < lines.size(); ++k)
        if (lines[k].rfind("{\"event\":", 0) == 0 && ++seen == n) return k;
    return lines.size();
}

std::string lastStateBefore(const Lines& lines, std::size_t end) {
    for (std::size_t k = std::min(end, lines.size()); k-- > 0;)
        if (lines[k].rfind("{\"state\":", 0) == 0) return lines[k];
    return "";
}

int count(const std::string& events) { return int(std::count(events.begin(), events.end(), '\n')); }

void writePictures(const TestGame& game) {
    game.write("back.bmp", bitmap(40, 30));
    game.write("a.bmp", bitmap(100, 60, 200, 10, 10));
    game.write("b.bmp", bitmap(482, 297, 10, 200, 10));
    game.write("c.bmp", bitmap(30, 20, 10, 10, 200));
}

// A game's interpreter over a recorder whose lines nobody reads, played to
// its first wait.
struct Started {
    explicit Started(const TestGame& game) : folder(game.dir()), interpreter(folder, recorder, recorder) {
        interpreter.load();
        interpreter.playRun();
    }
    std::ostringstream sink;
    vorn::HeadlessRecorder recorder{sink, {[](const std::string&) { return true; },
                                           [](const std::string&) { return true; }}};
    const vorn::GameFolder folder;
    vorn::Interpreter interpreter;
};

} // namespace

TEST(GoingBackProperty, AfterGoingBackTheGamePlaysOnAsFromThatPlace) {
    constexpr int kCases = 150;
    int compared = 0, choseAnew = 0, replayed = 0;
    for (unsigned seed = 1; compared < kCases && seed < 3000; ++seed) {
        RandomGame random(seed);
        TestGame game(random.script());
        writePictures(game);
        const std::string a = random.events(random.pick(0, 8));
        const std::string b = random.events(random.pick(1, 6));
        const bool same = seed % 3 != 0; // C replays B, or is another path
        const std::string c = same ? b + random.events(random.pick(0, 4)) : random.events(random.pick(1, 6));

        int status = 0;
        const Lines reference = play(game, a + c, &status);
        const Lines ab = play(game, a + b);
        if (endsInFatal(play(game, a)) || endsInFatal(ab)) continue;
        const int kept = placesAfter(game, a + b) - placesAfter(game, a);
        if (kept <= 0) continue; // B played no run: nothing of it to go back over

        std::string backs;
        for (int k = 0; k < kept; ++k) backs += "back\n";
        int backStatus = 0;
        const Lines went = play(game, a + b + backs + c, &backStatus);
        const std::size_t firstC = echoOf(went, count(a + b + backs) + 1);
        ASSERT_LT(firstC, went.size() + 1);
        // Back at the place A ended in, its state as it was then.
        EXPECT_EQ(lastStateBefore(went, firstC), lastStateBefore(reference, echoOf(reference, count(a) + 1)))
            << "seed " << seed << "\nscript:\n" << random.script() << "\nA:\n" << a << "B:\n" << b;
        ASSERT_EQ(join(went, firstC), join(reference, echoOf(reference, count(a) + 1)))
            << "seed " << seed << "\nscript:\n" << random.script() << "\nA:\n" << a << "B:\n" << b << "C:\n" << c;
        EXPECT_EQ(backStatus, status);
        ++compared;
        if (same)
            ++replayed;
        else if (c.rfind("click option", 0) == 0 && c.substr(0, c.find('\n')) != b.substr(0, b.find('\n')))
            ++choseAnew;
    }
    EXPECT_GE(compared, kCases);
    EXPECT_GT(replayed, kCases / 2);
    EXPECT_GT(choseAnew, 5); // another option chosen where B chose one
}

// The core's own view: at each kept place the snapshot, backlog included,
// is taken; going back any number of places gives it back whole, also past
// a load, which replaces the backlog.
TEST(GoingBackProperty, EveryKeptPlaceComesBackWhole) {
    int steppedBack = 0, pastLoads = 0;
    for (unsigned seed = 1; seed <= 120; ++seed) {
        RandomGame random(seed);
        TestGame game(random.script());
        writePictures(game);
        std::ostringstream sink;
        vorn::HeadlessRecorder recorder(sink, {[](const std::string&) { return true; },
                                               [](const std::string&) { return true; }});
        const vorn::GameFolder folder(game.dir());
        vorn::Interpreter interpreter(folder, recorder, recorder);
        vorn::Shell shell(interpreter, recorder, recorder);
        std::vector<vorn::Snapshot> places;
        std::optional<vorn::Snapshot> saved;
        const auto note = [&] {
            if (interpreter.placesBehind() + 1 > places.size()) places.push_back(*interpreter.snapshot());
        };
        try {
            interpreter.load();
            interpreter.playRun();
            note();
            for (int k = random.pick(1, 25); k > 0; --k) {
                const int r = random.pick(0, 99);
                if (r < 45)
                    interpreter.resume();
                else if (r < 75)
                    interpreter.chooseOption(random.pick(1, 4));
                else if (r < 80)
                    shell.newGame();
                else if (r < 85)
                    saved = interpreter.snapshot();
                else if (r < 90 && saved) {
                    if (interpreter.restore(*saved, interpreter.stream().contents()).empty()) ++pastLoads;
                } else if (r < 100 && !places.empty()) {
                    const std::size_t steps = std::size_t(random.pick(1, 3));
                    for (std::size_t s = 0; s < steps && places.size() > 1; ++s) {
                        ASSERT_TRUE(interpreter.stepBack().empty()) << "seed " << seed;
                        places.pop_back();
                        ASSERT_EQ(interpreter.snapshot(), places.back()) << "seed " << seed;
                        ++steppedBack;
                    }
                    continue;
                }
                note();
                ASSERT_EQ(interpreter.placesBehind() + 1, places.size()) << "seed " << seed;
            }
        } catch (const vorn::FatalError&) {
            continue;
        }
        while (interpreter.placesBehind() > 0) {
            ASSERT_TRUE(interpreter.stepBack().empty());
            places.pop_back();
            ASSERT_EQ(interpreter.snapshot(), places.back()) << "seed " << seed;
        }
        EXPECT_FALSE(interpreter.stepBack().empty()); // nothing behind the first place
    }
    EXPECT_GT(steppedBack, 100);
    EXPECT_GT(pastLoads, 10);
}

// The backlog's click: to the place where a page was on screen, or to the
// menu that offered an option chosen.
TEST(GoingBackTo, APageOfTheBacklogOrTheMenuOfAnOptionChosen) {
    TestGame game("\"one\"\"two\"(2 a,b){\"A\"}{\"B\"}\"three\"");
    Started started(game);
    vorn::Interpreter& interpreter = started.interpreter;
    interpreter.resume();
    interpreter.resume(); // the menu
    const vorn::Snapshot atMenu = *interpreter.snapshot();
    interpreter.chooseOption(2);
    interpreter.resume(); // "three"
    // one, two, ▶ b, B, three
    ASSERT_EQ(interpreter.backlog().size(), 5u);
    EXPECT_FALSE(interpreter.stepBackTo(4).empty()); // on screen already
    EXPECT_FALSE(interpreter.stepBackTo(5).empty()); // no such entry

    ASSERT_TRUE(interpreter.stepBackTo(2).empty()); // the option chosen: its menu
    EXPECT_EQ(interpreter.snapshot(), atMenu);
    EXPECT_TRUE(interpreter.offersOption(1));
    EXPECT_EQ(interpreter.placesBehind(), 2u);

    ASSERT_TRUE(interpreter.stepBackTo(0).empty()); // the first page
    EXPECT_EQ(interpreter.placesBehind(), 0u);
    EXPECT_EQ(interpreter.backlog().size(), 1u);
    EXPECT_EQ(interpreter.snapshot()->text, "one");
    EXPECT_FALSE(interpreter.stepBack().empty());
}

// Pages so long that the backlog drops its oldest ones: the backlog shown
// stays within its bound, and each place still comes back with the backlog
// it had, the dropped pages it showed included.
TEST(GoingBackProperty, ABacklogTrimmedOfHugePagesComesBackAsItWas) {
    std::string script = "*a*\r\n";
    for (char c = 'a'; c <= 'd'; ++c) script += "\"" + std::string(300 * 1024, c) + "\"\r\n";
    TestGame game(script + ">a<\r\n");
    Started started(game);
    vorn::Interpreter& interpreter = started.interpreter;
    std::ostringstream& sink = started.sink;
    std::vector<vorn::Snapshot> places{*interpreter.snapshot()};
    for (int click = 0; click < 12; ++click) {
        interpreter.resume();
        places.push_back(*interpreter.snapshot());
        sink.str("");
        std::size_t characters = 0;
        for (const vorn::BacklogEntry& entry : interpreter.backlog()) characters += entry.text.size();
        ASSERT_LE(characters, vorn::SurfaceMirror::kBacklogCharacters);
    }
    ASSERT_TRUE(interpreter.restore(places[4], interpreter.stream().contents()).empty()); // a load
    places.push_back(places[4]);
    while (places.size() > 1) {
        ASSERT_TRUE(interpreter.stepBack().empty());
        places.pop_back();
        ASSERT_EQ(interpreter.snapshot(), places.back()) << places.size() - 1 << " places behind";
        sink.str("");
    }
    EXPECT_EQ(places.size(), 1u);
}

// The places kept to go back to are the latest 200, and fewer of pages so
// huge that a copy of each (and of the backlog entries each holds aside) would
// fill the memory: as many as their words fit in the bound, the one behind the
// reader always; each comes back whole.
TEST(GoingBackProperty, HugePagesShownOverAndOverKeepFewerPlacesWithinTheBound) {
    for (const std::size_t pageBytes : {std::size_t(10), std::size_t(1536) * 1024, std::size_t(9) * 1024 * 1024}) {
        TestGame game("*a*\r\n\"" + std::string(pageBytes, 'p') + "\"\r\n>a<\r\n");
        Started started(game);
        vorn::Interpreter& interpreter = started.interpreter;
        std::ostringstream& sink = started.sink;
        const bool small = pageBytes == 10;
        for (int click = 0; click < (small ? 250 : 8); ++click) {
            interpreter.resume();
            sink.str("");
        }
        const std::size_t behind = interpreter.placesBehind();
        if (small) EXPECT_EQ(behind, vorn::Interpreter::kKeptPlaces - 1);
        else EXPECT_EQ(behind, std::max<std::size_t>(2, vorn::Interpreter::kKeptPlacesBytes / pageBytes) - 1) << pageBytes;
        const vorn::Snapshot now = *interpreter.snapshot();
        for (std::size_t k = 0; k < behind; ++k) {
            ASSERT_TRUE(interpreter.stepBack().empty()) << pageBytes;
            sink.str("");
            ASSERT_EQ(interpreter.pageText(), now.text) << "the same page, as every place shows";
        }
        EXPECT_FALSE(interpreter.stepBack().empty()) << "nothing further behind";
    }
}
