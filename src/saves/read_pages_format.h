#pragma once
// The read pages as a JSON document, the same on the desktop and in the page:
//   {"vorn-read-pages":1,"games":[{"script":"<SHA-256>","offsets":[12,40]}]}
// games the one read least recently first, offsets ascending. Plain C++.

#include "interpreter/read_pages.h"

#include <string>
#include <string_view>

namespace vorn {

// No document of the bounded set comes near this size; a longer one is not read.
inline constexpr std::size_t kMaxReadPagesBytes = 16 * 1024 * 1024;

std::string writeReadPages(const ReadPages& pages);

// The pages a document holds, put into `pages`. Returns "" when read,
// otherwise why not (then `pages` is left empty): a damaged file is set aside,
// never fatal.
std::string readReadPages(std::string_view document, ReadPages& pages);

} // namespace vorn
