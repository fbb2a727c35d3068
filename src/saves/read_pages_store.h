#pragma once
// The desktop's file of read pages, written whole (under a temporary name,
// then renamed): in the reader's data folder, $XDG_DATA_HOME/vorn/read/
// pages.json, or for headless play with --save-dir, DIR/read.pages.json.
// Qt Core only.

#include "interpreter/read_pages.h"

#include <QString>
#include <string>

namespace vorn {

QString readPagesFile();

// The pages kept in `path`; none when there is no file. A file that cannot be
// read or understood gives none and returns a note saying so, never a refusal.
std::string loadReadPages(const QString& path, ReadPages& pages);

// Writes the pages; empty, or why they could not be kept.
std::string keepReadPages(const QString& path, const ReadPages& pages);

} // namespace vorn
