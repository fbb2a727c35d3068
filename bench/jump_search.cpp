// How much a jump costs against plain reading: a jump to a marker near the end
// of a 10 MB script, beside a plain read of the same file plus a line split.

#include "interpreter/interpreter.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {
namespace fs = std::filesystem;

class NullSurface : public vorn::DisplaySurface {
  public:
    void setText(const std::string&) override {}
    void setCaption(int, const std::string&) override {}
    void refreshLabel(int) override {}
    bool setPicture(vorn::PictureElement, const vorn::PictureFile&) override { return true; }
    bool setCursor(const vorn::PictureFile&) override { return true; }
    void showMessage(const std::string&, const std::string&) override {}
};

// A script of about 10 MB, English and Japanese, whose first command jumps to a marker 100 lines
// before its end, behind which a page waits.
const fs::path& gameFolder() {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("vorn-bench-jump-" + std::to_string(::getpid()));
        fs::create_directories(d);
        std::ofstream(d / "back.bmp") << "x";
        std::ofstream(d / "mouse.ico") << "x";
        std::ofstream script(d / "code.vrn", std::ios::binary);
        script << ">end<\r\n";
        // Story text in Shift-JIS, as the games have it: 「ソ表」 hide 0x5C trail bytes.
        const std::string line =
            "\"A line of story text, \x82\xA0\x82\xA2\x82\xA4\x83\x5C\x95\x5C\x82\xA6\x82\xA8, read over by "
            "the jump.\"\r\n";
        const std::size_t lines = 10 * 1024 * 1024 / line.size();
        for (std::size_t i = 0; i < lines; ++i) {
            if (i == lines - 100) script << "*end*\r\n";
            script << line;
        }
        return d;
    }();
    return dir;
}

void PlainReadAndLineSplit(benchmark::State& state) {
    const fs::path path = gameFolder() / "code.vrn";
    for (auto _ : state) {
        std::string text(fs::file_size(path), '\0');
        std::FILE* file = std::fopen(path.c_str(), "rb");
        text.resize(std::fread(text.data(), 1, text.size(), file));
        std::fclose(file);
        std::size_t lines = 0;
        for (std::size_t at = 0; (at = text.find('\r', at)) != std::string::npos; ++at) ++lines;
        benchmark::DoNotOptimize(lines);
    }
}
BENCHMARK(PlainReadAndLineSplit)->Unit(benchmark::kMillisecond);

struct Game {
    vorn::GameFolder folder{gameFolder()};
    NullSurface surface;
    vorn::SilentMusicDevice device;
    vorn::Interpreter interpreter{folder, surface, device};
    Game() { interpreter.load(); }
};

// "New" reopens the script, then the run's first command jumps: two reads of
// the file and the search; the reopen alone is measured below to take it out.
void NewThenJump(benchmark::State& state) {
    Game game;
    for (auto _ : state) game.interpreter.restartScript();
}
BENCHMARK(NewThenJump)->Unit(benchmark::kMillisecond);

void ReopenAlone(benchmark::State& state) {
    const vorn::GameFolder folder{gameFolder()};
    vorn::ScriptStream stream{folder};
    stream.open();
    for (auto _ : state) stream.reopen();
}
BENCHMARK(ReopenAlone)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::puts("\nThe jump's own cost is NewThenJump minus ReopenAlone; compare it with PlainReadAndLineSplit.");
    fs::remove_all(gameFolder());
}
