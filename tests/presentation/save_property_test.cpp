// The rule of saved games, as a property over random games and random clicks:
// play N events, save, play M more; load, play the same M: the two records of
// those M events are the same, record for record, a fatal end included.

#include "headless_fixture.h"
#include "random_game.h"
#include "presentation/headless/headless_driver.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

using namespace vorn::test;
namespace fs = std::filesystem;

namespace {

struct Played {
    std::vector<std::string> lines;
    int status = 0;
};

Played play(const TestGame& game, const std::string& events, const std::optional<fs::path>& saveDir) {
    std::istringstream in(events);
    std::ostringstream out, err;
    Played p;
    p.status = vorn::runHeadless(vorn::GameFolder(game.dir()), in, out, err, {saveDir});
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) p.lines.push_back(line);
    return p;
}

// The records behind the first line that is exactly `marker`; none if absent.
std::optional<std::vector<std::string>> after(const Played& p, const std::string& marker) {
    for (std::size_t k = 0; k < p.lines.size(); ++k)
        if (p.lines[k] == marker)
            return std::vector<std::string>(p.lines.begin() + std::ptrdiff_t(k) + 1, p.lines.end());
    return std::nullopt;
}

std::string join(const std::vector<std::string>& lines) {
    std::string s;
    for (const std::string& l : lines) s += l + "\n";
    return s;
}

} // namespace

TEST(SaveProperty, AfterALoadTheSameEventsPlayExactlyAsAfterTheSave) {
    constexpr int kGames = 220;
    int compared = 0, fatalEndings = 0, inMemory = 0;
    for (unsigned seed = 1; compared < kGames && seed < 2000; ++seed) {
        RandomGame random(seed);
        TestGame game(random.script());
        game.write("back.bmp", bitmap(40, 30));
        game.write("a.bmp", bitmap(100, 60, 200, 10, 10));
        game.write("b.bmp", bitmap(482, 297, 10, 200, 10));
        game.write("c.bmp", bitmap(30, 20, 10, 10, 200));
        const fs::path saveDir = game.dir() / "saves";

        const std::string before = random.events(random.pick(0, 12));
        const std::string then = random.events(random.pick(1, 12));
        const std::string meanwhile = random.events(random.pick(0, 6));

        const Played saved = play(game, before + "save s\n" + then, saveDir);
        const auto expected = after(saved, R"({"saved":"s"})");
        if (!expected) continue; // a fatal error came before the save
        ++compared;

        // Loaded in a fresh player from the save's file, or in the same one
        // from its memory after playing on, whatever the screen shows meanwhile.
        const bool sameProcess = seed % 2 == 0;
        Played loaded = sameProcess ? play(game, before + "save s\n" + meanwhile + "load s\n" + then, std::nullopt)
                                    : play(game, meanwhile + "load s\n" + then, saveDir);
        if (!after(loaded, R"({"loaded":"s"})")) // the detour itself ended in a fatal error
            loaded = sameProcess ? play(game, before + "save s\nload s\n" + then, std::nullopt)
                                 : play(game, "load s\n" + then, saveDir);
        const auto actual = after(loaded, R"({"loaded":"s"})");
        ASSERT_TRUE(actual) << "seed " << seed << ": the load was refused\n" << join(loaded.lines);
        ASSERT_EQ(join(*actual), join(*expected)) << "seed " << seed << "\nscript:\n"
                                                  << random.script() << "\nbefore:\n"
                                                  << before << "then:\n"
                                                  << then;
        EXPECT_EQ(loaded.status, saved.status) << "seed " << seed;
        fatalEndings += saved.status == 1;
        inMemory += sameProcess;
    }
    EXPECT_GE(compared, kGames);
    // The generator must reach the interesting endings too, not only quiet ones.
    EXPECT_GT(fatalEndings, 5);
    EXPECT_GT(inMemory, kGames / 3);
}
