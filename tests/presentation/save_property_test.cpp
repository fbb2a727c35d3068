// The rule of saved games, as a property over random games and random clicks:
// play N events, save, play M more; load, play the same M: the two records of
// those M events are the same, record for record, a fatal end included.

#include "headless_fixture.h"
#include "presentation/headless/headless_driver.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

using namespace vorn::test;
namespace fs = std::filesystem;

namespace {

class RandomGame {
  public:
    explicit RandomGame(unsigned seed) : rng_(seed) {
        utf8_ = chance(15);
        script_ = utf8_ ? "\xEF\xBB\xBF" : "";
        const int items = pick(8, 30);
        for (int k = 0; k < items; ++k) item(0);
        if (chance(15)) { // a last menu short of branches: skipping them runs into the end of file
            script_ += "\"" + text() + "\"(3 a,b,c){\"A\"}";
            if (chance(50)) script_ += "{\"B\"}";
        }
        for (const std::string& label : pending_)
            if (!chance(5)) script_ += "\r\n*" + label + "*\r\n"; // now and then a jump without its marker
        if (chance(15)) script_.resize(script_.size() - std::min<std::size_t>(script_.size(), pick(1, 6)));
    }
    const std::string& script() const { return script_; }

    std::string events(int count) {
        std::string out;
        for (int k = 0; k < count; ++k) {
            const int r = pick(0, 99);
            if (r < 50)
                out += "click text\n";
            else if (r < 80)
                out += "click option " + std::to_string(pick(1, 4)) + "\n";
            else if (r < 90)
                out += "music done\n";
            else if (r < 95)
                out += "menu new\n";
            else
                out += "menu about\n";
        }
        return out;
    }
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }

  private:
    bool chance(int percent) { return pick(0, 99) < percent; }

    std::string text() {
        static const char* words[] = {"the", "cave", "door", "a b", "x", "\\", "line\\two"};
        static const char* japanese932[] = {"\x82\xa0", "\x83\x5c", "\x95\x5c"};
        std::string t;
        for (int k = pick(0, 4); k > 0; --k) {
            if (chance(20))
                t += utf8_ ? std::string("ソ") : japanese932[pick(0, 2)];
            else
                t += words[pick(0, 6)];
        }
        return t;
    }
    std::string flag() {
        std::string f(1, char('A' + pick(0, chance(5) ? 9 : 7)));
        f += char('0' + (chance(5) ? pick(0, 9) : pick(1, 8)));
        return f;
    }
    std::string simple() {
        switch (pick(0, 9)) {
        case 0:
        case 1:
        case 2: return "\"" + text() + "\"";
        case 3: {
            static const char* pictures[] = {"a.bmp", "b.bmp", "c.bmp", "", "A.BMP"};
            return "<" + std::string(chance(3) ? "missing.bmp" : pictures[pick(0, 4)]) + ">";
        }
        case 4: return "[" + std::string(chance(20) ? "" : pick(0, 1) ? "one.mid" : "two.mid") + "]";
        case 5: return "~" + flag() + "~";
        case 6: return "-" + flag() + "-";
        case 7: {
            const std::string label = "L" + std::to_string(labels_++);
            pending_.push_back(label);
            return ">" + label + "<";
        }
        case 8: return std::string(1, " \r\n\t{}]x*"[pick(0, 8)]);
        default: return (chance(50) ? "=" : "!") + flag() + (chance(50) ? "=" : "!") + simple();
        }
    }
    void item(int depth) {
        // Marker lines come after their jumps, so every jump goes forward and no run loops.
        if (!pending_.empty() && chance(25)) {
            script_ += "\r\n*" + pending_.front() + "*\r\n";
            pending_.erase(pending_.begin());
        }
        if (depth < 2 && chance(18)) {
            const int count = pick(1, 4);
            script_ += "(" + std::string(1, chance(5) ? 'x' : char('0' + count)) + " ";
            for (int k = 1; k <= count; ++k) script_ += text() + (k == count ? ")" : ",");
            const int branches = count + (chance(25) ? pick(-1, 1) : 0);
            for (int b = 0; b < branches; ++b) {
                script_ += chance(30) ? "\r\n{" : "{";
                for (int k = pick(0, 4); k > 0; --k) item(depth + 1);
                script_ += "}";
            }
            return;
        }
        script_ += simple();
        if (chance(30)) script_ += "\r\n";
    }

    std::mt19937 rng_;
    bool utf8_ = false;
    std::string script_;
    int labels_ = 0;
    std::vector<std::string> pending_;
};

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
