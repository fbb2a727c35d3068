#pragma once
// A game folder made for one test, played through the headless driver.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vorn {
class GameFolder;
}

namespace vorn::test {

std::string bitmap(int width, int height, unsigned char r = 40, unsigned char g = 80, unsigned char b = 120);
std::string icon32();

// A whole file's bytes ("" when it cannot be read), and a file written whole.
std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& bytes);

class TestGame {
  public:
    // A folder with "code.vrn" holding `script`, plus a valid back.bmp,
    // mouse.ico and text.bmp.
    explicit TestGame(const std::string& script);
    ~TestGame();
    TestGame(const TestGame&) = delete;
    TestGame& operator=(const TestGame&) = delete;

    const std::filesystem::path& dir() const { return dir_; }
    void write(const std::string& name, const std::string& bytes) const;
    void remove(const std::string& name) const;

    struct Result {
        int status = 0;
        std::vector<std::string> lines; // the JSON lines, in order
        std::string errors;
        // Lines from the first echo of event number `n` (1-based) up to the next echo.
        std::vector<std::string> afterEvent(int n) const;
        std::string lastState() const;
        std::string fatal() const; // the fatal record's line, or ""
        // Lines that start with `prefix`, in order.
        std::vector<std::string> matching(const std::string& prefix) const;
    };
    // Plays the game with `events` on standard input (one per line), its
    // saves in `saveDir` if given.
    Result play(const std::string& events = "", const std::optional<std::filesystem::path>& saveDir = {}) const;
    // Plays any game folder, one inside an archive too, the same way.
    static Result play(const GameFolder& folder, const std::string& events = "",
                       const std::optional<std::filesystem::path>& saveDir = {});
    // Plays the game in an archive as `vorn --headless ARCHIVE` does: an
    // archive that cannot be opened ends play with its fatal record. Where
    // VORN_HEADLESS_PLAYER names a player and the archive is a .zip, .lzh or
    // .lha, that player must end alike and write the same transcript.
    static Result playArchive(const std::filesystem::path& archive, const std::string& events = "");

  private:
    std::filesystem::path dir_;
};

using Lines = std::vector<std::string>;

// What the first run recorded, its state record included: the lines after the
// start-up's background, cursor and four device settings.
Lines firstRun(const TestGame::Result& r);
// The records of a text page; `text` is written as it appears in JSON.
Lines page(const std::string& text);
Lines operator+(Lines a, const Lines& b);
bool has(const std::string& text, const std::string& part);

// The state record for the given members, as the driver writes it.
std::string state(int waitCmd, const std::string& numCmds, const std::string& cmdSelected,
                  const std::string& musfile = "null", const std::string& flags = "0,0,0,0,0,0,0,0");

} // namespace vorn::test
