#pragma once
// The few pieces of JSON that the headless transcript needs, written by hand
// so that keys keep the order the transcript promises.

#include <string>
#include <string_view>

namespace vorn::json {

// A JSON string literal, quotes included; the text is UTF-8, and bytes that
// are not become U+FFFD.
std::string quote(std::string_view text);

} // namespace vorn::json
