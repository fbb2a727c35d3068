#include "archive_writer.h"

#include <archive.h>
#include <archive_entry.h>
#include <fstream>
#include <locale.h>
#include <sstream>
#include <stdexcept>

namespace vorn::test {
namespace fs = std::filesystem;

void writeArchive(const fs::path& path, const std::vector<ArchiveEntry>& entries, ArchiveFormat format) {
    // The writer takes names in the thread's locale: "C" keeps the bytes as
    // given, C.UTF-8 lets them be flagged as UTF-8.
    const locale_t locale = newlocale(LC_ALL_MASK, format == ArchiveFormat::ZipUtf8 ? "C.UTF-8" : "C", locale_t(0));
    const locale_t previous = uselocale(locale);
    archive* a = archive_write_new();
    switch (format) {
    case ArchiveFormat::Zip: archive_write_set_format_zip(a); break;
    case ArchiveFormat::ZipUtf8:
        archive_write_set_format_zip(a);
        archive_write_set_options(a, "zip:hdrcharset=UTF-8");
        break;
    case ArchiveFormat::ZipEncrypted:
        archive_write_set_format_zip(a);
        archive_write_set_options(a, "zip:encryption=zipcrypt");
        archive_write_set_passphrase(a, "secret");
        break;
    case ArchiveFormat::SevenZip: archive_write_set_format_7zip(a); break;
    case ArchiveFormat::Iso9660: archive_write_set_format_iso9660(a); break;
    case ArchiveFormat::TarGz:
        archive_write_set_format_pax_restricted(a);
        archive_write_add_filter_gzip(a);
        break;
    }
    bool ok = archive_write_open_filename(a, path.c_str()) == ARCHIVE_OK;
    for (const ArchiveEntry& e : entries) {
        archive_entry* entry = archive_entry_new();
        archive_entry_copy_pathname(entry, e.name.c_str());
        archive_entry_set_filetype(entry, e.folder ? AE_IFDIR : AE_IFREG);
        archive_entry_set_perm(entry, e.folder ? 0755 : 0644);
        archive_entry_set_size(entry, static_cast<la_int64_t>(e.content.size()));
        archive_entry_set_mtime(entry, 946684800, 0);
        ok = ok && archive_write_header(a, entry) == ARCHIVE_OK;
        if (ok && !e.content.empty())
            ok = archive_write_data(a, e.content.data(), e.content.size()) == static_cast<la_ssize_t>(e.content.size());
        archive_entry_free(entry);
    }
    ok = archive_write_close(a) == ARCHIVE_OK && ok;
    const std::string why = archive_error_string(a) ? archive_error_string(a) : "";
    archive_write_free(a);
    uselocale(previous);
    freelocale(locale);
    if (!ok) throw std::runtime_error("cannot write the test archive " + path.string() + ": " + why);
}

std::vector<ArchiveEntry> entriesOf(const fs::path& folder, const std::string& prefix) {
    std::vector<ArchiveEntry> entries;
    for (const auto& file : fs::recursive_directory_iterator(folder)) {
        if (!file.is_regular_file()) continue;
        std::ifstream in(file.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        entries.push_back({prefix + fs::relative(file.path(), folder).generic_string(), bytes.str()});
    }
    return entries;
}

} // namespace vorn::test
