#include "presentation/music/trimmed_soundfont.h"

#include <optional>

namespace vorn {
namespace {

// The instrument a program change selects, found as the synth finds it:
// the bank and program asked for; else on a drum channel the standard
// kit, and on another the same program in bank 0, else bank 0's first.
std::optional<PresetKey> findPreset(const SoundfontDirectory& directory, int bank, int program, bool drums) {
    auto has = [&directory](int b, int p) { return directory.hasPreset(b, p); };
    if (has(bank, program)) return PresetKey{bank, program};
    if (drums) return has(128, 0) ? std::optional<PresetKey>(PresetKey{128, 0}) : std::nullopt;
    if (has(0, program)) return PresetKey{0, program};
    if (has(0, 0)) return PresetKey{0, 0};
    return std::nullopt;
}

} // namespace

// Every instrument the piece can select. Channel 10 is the drum channel,
// which takes its programs from the drum bank whatever bank is selected.
std::set<PresetKey> instrumentsOf(const SoundfontDirectory& directory, const MidiPresetUse& use) {
    std::set<PresetKey> keys;
    for (int c = 0; c < 16; ++c) {
        const MidiChannelUse& channel = use.channels[std::size_t(c)];
        const bool drums = c == 9;
        if (channel.playsDefault)
            if (auto key = findPreset(directory, drums ? 128 : 0, 0, drums)) keys.insert(*key);
        for (int program : channel.programs) {
            if (drums) {
                if (auto key = findPreset(directory, 128, program, true)) keys.insert(*key);
                continue;
            }
            for (int bank : channel.banks)
                if (auto key = findPreset(directory, bank, program, false)) keys.insert(*key);
        }
    }
    return keys;
}

std::string TrimmedFiles::add(std::shared_ptr<const SoundfontDirectory::Trimmed> file) {
    std::lock_guard lock(mutex());
    static std::uint64_t made = 0;
    std::string name = "vorn-trimmed-soundfont:" + std::to_string(++made);
    files().emplace(name, std::move(file));
    return name;
}
void TrimmedFiles::remove(const std::string& name) {
    std::lock_guard lock(mutex());
    files().erase(name);
}

void* TrimmedFiles::open(const char* name) {
    std::shared_ptr<const SoundfontDirectory::Trimmed> file;
    {
        std::lock_guard lock(mutex());
        auto found = files().find(name ? name : "");
        if (found == files().end()) return nullptr; // not ours: FluidSynth's own loader takes it
        file = found->second;
    }
    std::FILE* source = std::fopen(file->source.c_str(), "rb");
    if (!source) return nullptr;
    return new Handle{source, std::move(file), 0};
}
int TrimmedFiles::read(void* buffer, fluid_long_long_t count, void* handle) {
    auto* h = static_cast<Handle*>(handle);
    if (count < 0 || !h->file->read(h->source, h->at, static_cast<char*>(buffer), std::uint64_t(count)))
        return FLUID_FAILED;
    h->at += std::uint64_t(count);
    return FLUID_OK;
}
int TrimmedFiles::seek(void* handle, fluid_long_long_t offset, int origin) {
    auto* h = static_cast<Handle*>(handle);
    const long long base = origin == SEEK_SET   ? 0
                           : origin == SEEK_CUR ? static_cast<long long>(h->at)
                                                : static_cast<long long>(h->file->size());
    if (base + offset < 0 || std::uint64_t(base + offset) > h->file->size()) return FLUID_FAILED;
    h->at = std::uint64_t(base + offset);
    return FLUID_OK;
}
fluid_long_long_t TrimmedFiles::tell(void* handle) {
    return static_cast<fluid_long_long_t>(static_cast<Handle*>(handle)->at);
}
int TrimmedFiles::close(void* handle) {
    auto* h = static_cast<Handle*>(handle);
    std::fclose(h->source);
    delete h;
    return FLUID_OK;
}

// Never destroyed: a device may still be closing while the program's
// statics are torn down at exit.
std::mutex& TrimmedFiles::mutex() {
    static auto* m = new std::mutex;
    return *m;
}
std::map<std::string, std::shared_ptr<const SoundfontDirectory::Trimmed>>& TrimmedFiles::files() {
    static auto* registered = new std::map<std::string, std::shared_ptr<const SoundfontDirectory::Trimmed>>;
    return *registered;
}

} // namespace vorn
