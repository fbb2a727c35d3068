#pragma once
// Archives made for a test with libarchive's writer.

#include <filesystem>
#include <string>
#include <vector>

namespace vorn::test {

struct ArchiveEntry {
    std::string name; // stored as these bytes
    std::string content;
    bool folder = false;
};

enum class ArchiveFormat {
    Zip,     // names stored as raw bytes, without the UTF-8 flag
    ZipUtf8, // names flagged UTF-8
    ZipEncrypted,
    SevenZip,
    Iso9660, // a CD image with Rock Ridge and Joliet names
    TarGz,
};

void writeArchive(const std::filesystem::path& path, const std::vector<ArchiveEntry>& entries, ArchiveFormat format);

// Every file under `folder`, named `prefix` + its path relative to it.
std::vector<ArchiveEntry> entriesOf(const std::filesystem::path& folder, const std::string& prefix);

} // namespace vorn::test
