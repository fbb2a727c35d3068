// libFuzzer target: a MIDI file from the input goes through the FluidSynth
// music device as the interpreter drives it (Close, FileName, Open, Play) and
// a fifth of a second is rendered offline. Whatever the file holds, the device
// must neither crash nor stop playing the next piece.

#include "presentation/music/fluid_music_device.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace vorn;

fs::path gameDir;
std::unique_ptr<FluidMusicDevice> device;

void tearDown() {
    device.reset();
    std::error_code ec;
    fs::remove_all(gameDir, ec);
}

void writeFile(const fs::path& path, const void* data, std::size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string pattern = (fs::temp_directory_path() / "vorn-midi-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    gameDir = pattern;
    std::atexit(tearDown);
    for (const fs::path& font : FluidMusicDevice::defaultSoundfonts()) {
        std::error_code ec;
        if (!fs::is_regular_file(font, ec)) continue;
        FluidMusicOptions options;
        options.output = FluidMusicOptions::Output::Offline;
        device = std::make_unique<FluidMusicDevice>(GameFolder(gameDir), font, options);
        if (!device->waitUntilReady()) std::abort();
        device->setDoneCallback([] {});
        return 0;
    }
    std::fprintf(stderr, "midi_fuzzer: no General MIDI soundfont installed; nothing to fuzz\n");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!device) return 0;
    writeFile(gameDir / "piece.mid", data, size);
    device->setCommand(vorn::MusicCommand::Close);
    device->setFileName("piece.mid");
    device->setCommand(vorn::MusicCommand::Open);
    device->setCommand(vorn::MusicCommand::Play);
    for (int i = 0; i < 4; ++i) device->render(2048);
    device->takeEnd();
    return 0;
}
