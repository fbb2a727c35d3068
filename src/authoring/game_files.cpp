#include "game_files.h"

#include "presentation/picture_decoder.h"

namespace vorn::authoring {

const FileReport& GameFiles::look(const std::string& name, Kind kind) {
    const auto key = std::make_pair(static_cast<int>(kind), name);
    if (auto it = seen_.find(key); it != seen_.end()) return it->second;
    FileReport& report = seen_[key];

    const FileLookup found = folder_.resolve(name);
    if (!found.place) {
        report.status = FileStatus::Missing;
        return report;
    }
    if (found.byFallback) {
        report.status = FileStatus::FoundByFallback;
        report.actualName = found.actualName;
    }
    if (kind == Kind::Music) {
        if (found.isFolder) {
            report.status = FileStatus::Unreadable;
            report.detail = kIsAFolder;
        }
        return report;
    }
    const FileContents contents = folder_.read(name, kind == Kind::Icon ? kMaxIconBytes : kMaxPictureBytes);
    if (!contents.error.empty()) {
        report.status = FileStatus::Unreadable;
        report.detail = contents.error;
        return report;
    }
    const bool decodes =
        kind == Kind::Icon ? decodeIcon(contents.bytes).has_value() : decodePicture(contents.bytes).has_value();
    if (!decodes) report.status = FileStatus::NotAPicture;
    return report;
}

bool PictureDecodeCache::decodes(const std::string& name, const std::string& bytes) {
    if (auto it = seen_.find(name); it != seen_.end()) return it->second;
    const bool ok = decodePicture(bytes).has_value();
    seen_.emplace(name, ok);
    return ok;
}

} // namespace vorn::authoring
