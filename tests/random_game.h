#pragma once
// Random games for the property tests: scripts of pages, pictures, music,
// flags, forward jumps and nested menus (now and then a broken one), and
// random events to play them with.

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace vorn::test {

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

} // namespace vorn::test
