#include "json_lines.h"

#include "interpreter/code_page.h"

#include <cstdio>

namespace vorn::json {

std::string quote(std::string_view text) {
    // Texts from the script are decoded already; a name from the file system
    // (the game folder in a report) may be any bytes, and a record must stay UTF-8.
    const std::string valid = toUtf8(Encoding::Utf8, text);
    std::string out;
    out.reserve(valid.size() + 2);
    out += '"';
    for (const char c : valid) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

} // namespace vorn::json
