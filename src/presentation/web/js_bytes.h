#pragma once
// The bytes of a JavaScript Uint8Array, copied into the player's memory in one
// go: how the page and the Node.js runner hand the game's files in.

#include <emscripten/val.h>

#include <cstdint>
#include <string>

namespace vorn {

inline std::string bytesOf(const emscripten::val& array) {
    std::string bytes(array["length"].as<std::size_t>(), '\0');
    if (!bytes.empty())
        emscripten::val(emscripten::typed_memory_view(bytes.size(), reinterpret_cast<std::uint8_t*>(bytes.data())))
            .call<void>("set", array);
    return bytes;
}

} // namespace vorn
