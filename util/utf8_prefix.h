#pragma once
// Cutting a UTF-8 text to a number of bytes without splitting a character, for the fixed-size
// captions and paths of the data records.

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvora {

// The longest start of text that takes at most maxBytes bytes and ends between two characters:
// a cut that would fall inside a multi-byte character falls before it instead.
inline std::string Utf8Prefix(std::string_view text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return std::string(text);
    std::size_t end = maxBytes;
    // Continuation bytes are 10xxxxxx; a character starts at any other byte.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return std::string(text.substr(0, end));
}

} // namespace kelvora
