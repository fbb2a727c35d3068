#include "presentation/music/soundfont_directory.h"

#include "presentation/music/byte_order.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <vector>

namespace vorn {
namespace {

void putLe(std::string& b, std::size_t at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) b[at + std::size_t(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string chunk(const char* id, const std::string& body) {
    std::string out(id, 4);
    out += std::string(4, '\0');
    putLe(out, 4, static_cast<std::uint32_t>(body.size()), 4);
    return out + body;
}

// Record sizes of the directory's sub-chunks.
constexpr std::size_t phdrSize = 38, bagSize = 4, modSize = 10, genSize = 4, instSize = 22, shdrSize = 46;
constexpr int instrumentGenerator = 41, sampleIdGenerator = 53;

std::size_t count(const std::string& records, std::size_t size) { return records.size() / size; }

std::string bagRecord(const std::string& gens, const std::string& mods) {
    std::string record(bagSize, '\0');
    putLe(record, 0, static_cast<std::uint32_t>(count(gens, genSize)), 2);
    putLe(record, 2, static_cast<std::uint32_t>(count(mods, modSize)), 2);
    return record;
}

// One level of the directory: the presets or the instruments, with the bags,
// generators and modulators of their zones.
struct Level {
    std::string owners, bags, mods, gens;
};

// Copies the owners `kept`, in their order, each with its zones, and closes
// every list with its terminal record. Each owner's record points at its
// first bag in the new lists; the one generator that points onward
// (`linkGenerator`: instrument or sample) is renumbered by `renumber`, and
// 0xFFFF where its target is not kept.
Level copyLevel(const std::vector<std::size_t>& kept, const std::string& owners, std::size_t ownerSize,
                std::size_t bagField, const std::string& bags, const std::string& mods, const std::string& gens,
                int linkGenerator, const std::map<std::size_t, std::uint32_t>& renumber) {
    Level to;
    for (std::size_t owner : kept) {
        std::string record = owners.substr(owner * ownerSize, ownerSize);
        putLe(record, bagField, static_cast<std::uint32_t>(count(to.bags, bagSize)), 2);
        to.owners += record;
        const std::size_t firstBag = littleEndian(owners, owner * ownerSize + bagField, 2),
                          endBag = littleEndian(owners, (owner + 1) * ownerSize + bagField, 2);
        for (std::size_t bag = firstBag; bag < endBag; ++bag) {
            const std::size_t gen0 = littleEndian(bags, bag * bagSize, 2),
                              gen1 = littleEndian(bags, (bag + 1) * bagSize, 2);
            const std::size_t mod0 = littleEndian(bags, bag * bagSize + 2, 2),
                              mod1 = littleEndian(bags, (bag + 1) * bagSize + 2, 2);
            to.bags += bagRecord(to.gens, to.mods);
            for (std::size_t g = gen0; g < gen1; ++g) {
                std::string gen = gens.substr(g * genSize, genSize);
                if (static_cast<int>(littleEndian(gen, 0, 2)) == linkGenerator) {
                    auto target = renumber.find(littleEndian(gen, 2, 2));
                    putLe(gen, 2, target == renumber.end() ? std::uint32_t(0xFFFF) : target->second, 2);
                }
                to.gens += gen;
            }
            to.mods += mods.substr(mod0 * modSize, (mod1 - mod0) * modSize);
        }
    }
    // The terminal records, pointing past the last zone of their lists.
    std::string endOwner = owners.substr(owners.size() - ownerSize);
    putLe(endOwner, bagField, static_cast<std::uint32_t>(count(to.bags, bagSize)), 2);
    to.owners += endOwner;
    to.bags += bagRecord(to.gens, to.mods);
    to.mods += mods.substr(mods.size() - modSize);
    to.gens += gens.substr(gens.size() - genSize);
    return to;
}

} // namespace

std::optional<SoundfontDirectory> SoundfontDirectory::read(const std::filesystem::path& path, std::string& why) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        why = "cannot read it";
        return std::nullopt;
    }
    SoundfontDirectory d;
    d.file_ = path;
    in.seekg(0, std::ios::end);
    d.fileSize_ = static_cast<std::uint64_t>(in.tellg());
    auto readAt = [&](std::uint64_t at, std::size_t n) {
        std::string bytes(n, '\0');
        in.clear();
        in.seekg(static_cast<std::streamoff>(at));
        in.read(bytes.data(), static_cast<std::streamsize>(n));
        return in.gcount() == static_cast<std::streamsize>(n) ? bytes : std::string();
    };
    d.header_ = readAt(0, 12);
    if (d.header_.size() != 12 || d.header_.compare(0, 4, "RIFF") != 0 || d.header_.compare(8, 4, "sfbk") != 0) {
        why = "it is no SoundFont 2 file";
        return std::nullopt;
    }
    // The top-level LIST chunks; the directory is the one of type "pdta".
    std::uint64_t at = 12;
    while (at + 12 <= d.fileSize_) {
        const std::string head = readAt(at, 12);
        if (head.empty()) break;
        const std::uint64_t size = littleEndian(head, 4, 4);
        if (head.compare(0, 4, "LIST") == 0 && head.compare(8, 4, "pdta") == 0) {
            d.pdtaAt_ = at;
            d.pdtaEnd_ = at + 8 + size + (size & 1);
            break;
        }
        at += 8 + size + (size & 1);
    }
    if (!d.pdtaAt_ || d.pdtaEnd_ > d.fileSize_) {
        why = "it has no preset directory";
        return std::nullopt;
    }
    const std::string pdta = readAt(d.pdtaAt_ + 12, static_cast<std::size_t>(d.pdtaEnd_ - d.pdtaAt_ - 12));
    std::map<std::string, std::string*> parts{{"phdr", &d.phdr_}, {"pbag", &d.pbag_}, {"pmod", &d.pmod_},
                                              {"pgen", &d.pgen_}, {"inst", &d.inst_}, {"ibag", &d.ibag_},
                                              {"imod", &d.imod_}, {"igen", &d.igen_}, {"shdr", &d.shdr_}};
    for (std::size_t p = 0; p + 8 <= pdta.size();) {
        const std::size_t size = littleEndian(pdta, p + 4, 4);
        if (p + 8 + size > pdta.size()) break;
        if (auto part = parts.find(pdta.substr(p, 4)); part != parts.end()) *part->second = pdta.substr(p + 8, size);
        p += 8 + size + (size & 1);
    }
    // Every list holds whole records and ends in its terminal record, and
    // every index points within the list it indexes.
    const std::pair<const std::string*, std::size_t> lists[] = {
        {&d.phdr_, phdrSize}, {&d.pbag_, bagSize}, {&d.pmod_, modSize}, {&d.pgen_, genSize}, {&d.inst_, instSize},
        {&d.ibag_, bagSize},  {&d.imod_, modSize}, {&d.igen_, genSize}, {&d.shdr_, shdrSize}};
    for (const auto& [list, size] : lists)
        if (list->size() < size || list->size() % size != 0) {
            why = "its preset directory is damaged";
            return std::nullopt;
        }
    auto indicesFit = [](const std::string& owners, std::size_t ownerSize, std::size_t field, std::size_t limit) {
        std::size_t last = 0;
        for (std::size_t i = 0; i < count(owners, ownerSize); ++i) {
            const std::size_t index = littleEndian(owners, i * ownerSize + field, 2);
            if (index < last || index >= limit) return false;
            last = index;
        }
        return true;
    };
    if (!indicesFit(d.phdr_, phdrSize, 24, count(d.pbag_, bagSize)) ||
        !indicesFit(d.pbag_, bagSize, 0, count(d.pgen_, genSize)) ||
        !indicesFit(d.pbag_, bagSize, 2, count(d.pmod_, modSize)) ||
        !indicesFit(d.inst_, instSize, 20, count(d.ibag_, bagSize)) ||
        !indicesFit(d.ibag_, bagSize, 0, count(d.igen_, genSize)) ||
        !indicesFit(d.ibag_, bagSize, 2, count(d.imod_, modSize))) {
        why = "its preset directory is damaged";
        return std::nullopt;
    }
    return d;
}

bool SoundfontDirectory::hasPreset(int bank, int program) const {
    for (std::size_t i = 0; i + 1 < count(phdr_, phdrSize); ++i)
        if (static_cast<int>(littleEndian(phdr_, i * phdrSize + 22, 2)) == bank &&
            static_cast<int>(littleEndian(phdr_, i * phdrSize + 20, 2)) == program)
            return true;
    return false;
}

std::shared_ptr<const SoundfontDirectory::Trimmed>
SoundfontDirectory::trimmed(const std::set<std::pair<int, int>>& keep) const {
    const std::size_t presets = count(phdr_, phdrSize) - 1, instruments = count(inst_, instSize) - 1,
                      samples = count(shdr_, shdrSize) - 1;
    // The instruments the kept presets use, and the samples of those, with
    // the other half of every stereo pair: numbered anew in their old order.
    std::vector<std::size_t> keptPresets;
    std::set<std::size_t> usedInstruments, usedSamples;
    auto collect = [](const std::string& owners, std::size_t ownerSize, std::size_t bagAt, std::size_t owner,
                      const std::string& bags, const std::string& gens, int generator, std::size_t limit,
                      std::set<std::size_t>& into) {
        const std::size_t bag0 = littleEndian(owners, owner * ownerSize + bagAt, 2),
                          bag1 = littleEndian(owners, (owner + 1) * ownerSize + bagAt, 2);
        for (std::size_t bag = bag0; bag < bag1; ++bag)
            for (std::size_t g = littleEndian(bags, bag * bagSize, 2); g < littleEndian(bags, (bag + 1) * bagSize, 2);
                 ++g)
                if (static_cast<int>(littleEndian(gens, g * genSize, 2)) == generator &&
                    littleEndian(gens, g * genSize + 2, 2) < limit)
                    into.insert(littleEndian(gens, g * genSize + 2, 2));
    };
    for (std::size_t p = 0; p < presets; ++p) {
        const std::pair<int, int> key{static_cast<int>(littleEndian(phdr_, p * phdrSize + 22, 2)),
                                      static_cast<int>(littleEndian(phdr_, p * phdrSize + 20, 2))};
        if (!keep.count(key)) continue;
        keptPresets.push_back(p);
        collect(phdr_, phdrSize, 24, p, pbag_, pgen_, instrumentGenerator, instruments, usedInstruments);
    }
    for (std::size_t i : usedInstruments)
        collect(inst_, instSize, 20, i, ibag_, igen_, sampleIdGenerator, samples, usedSamples);
    for (std::vector<std::size_t> pending(usedSamples.begin(), usedSamples.end()); !pending.empty();) {
        const std::size_t s = pending.back();
        pending.pop_back();
        const std::size_t link = littleEndian(shdr_, s * shdrSize + 42, 2);
        const std::uint32_t type = littleEndian(shdr_, s * shdrSize + 44, 2);
        if ((type & 0x6) && link < samples && usedSamples.insert(link).second) pending.push_back(link);
    }
    std::map<std::size_t, std::uint32_t> newInstrument, newSample;
    for (std::size_t i : usedInstruments) newInstrument.emplace(i, static_cast<std::uint32_t>(newInstrument.size()));
    for (std::size_t s : usedSamples) newSample.emplace(s, static_cast<std::uint32_t>(newSample.size()));

    const Level presetLevel =
        copyLevel(keptPresets, phdr_, phdrSize, 24, pbag_, pmod_, pgen_, instrumentGenerator, newInstrument);
    const Level instrumentLevel = copyLevel(std::vector<std::size_t>(usedInstruments.begin(), usedInstruments.end()),
                                            inst_, instSize, 20, ibag_, imod_, igen_, sampleIdGenerator, newSample);
    std::string shdr;
    for (std::size_t s : usedSamples) {
        std::string record = shdr_.substr(s * shdrSize, shdrSize);
        const auto link = newSample.find(littleEndian(record, 42, 2));
        putLe(record, 42, link == newSample.end() ? 0 : link->second, 2);
        shdr += record;
    }
    shdr += shdr_.substr(shdr_.size() - shdrSize);

    auto out = std::make_shared<Trimmed>();
    out->source = file_;
    out->prefix = pdtaAt_;
    out->directory = chunk("LIST", "pdta" + chunk("phdr", presetLevel.owners) + chunk("pbag", presetLevel.bags) +
                                       chunk("pmod", presetLevel.mods) + chunk("pgen", presetLevel.gens) +
                                       chunk("inst", instrumentLevel.owners) + chunk("ibag", instrumentLevel.bags) +
                                       chunk("imod", instrumentLevel.mods) + chunk("igen", instrumentLevel.gens) +
                                       chunk("shdr", shdr));
    out->suffixAt = pdtaEnd_;
    out->suffixSize = fileSize_ - pdtaEnd_;
    out->header = header_.substr(0, 8);
    putLe(out->header, 4, static_cast<std::uint32_t>(out->size() - 8), 4);
    return out;
}

bool SoundfontDirectory::Trimmed::read(std::FILE* file, std::uint64_t at, char* out, std::uint64_t n) const {
    if (at + n > size()) return false;
    while (n > 0) {
        std::uint64_t step = 0;
        if (at < 8) { // the header, with the new size
            step = std::min<std::uint64_t>(n, 8 - at);
            std::memcpy(out, header.data() + at, step);
        } else if (at < prefix || at >= prefix + directory.size()) {
            const bool before = at < prefix;
            const std::uint64_t from = before ? at : suffixAt + (at - prefix - directory.size());
            step = before ? std::min<std::uint64_t>(n, prefix - at) : n;
            if (::fseeko(file, static_cast<off_t>(from), SEEK_SET) != 0 || std::fread(out, 1, step, file) != step)
                return false;
        } else {
            step = std::min<std::uint64_t>(n, prefix + directory.size() - at);
            std::memcpy(out, directory.data() + (at - prefix), step);
        }
        at += step;
        out += step;
        n -= step;
    }
    return true;
}

} // namespace vorn
