#pragma once
// printf-style formatting into std::string. The program's texts (labels, progress lines, file
// columns) are defined by printf formats, so they are produced by the same rules.

#include <cstdarg>
#include <cstdio>
#include <string>

namespace kelvora {

[[gnu::format(printf, 1, 2)]] inline std::string Sprintf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0)
        std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);
    return text;
}

} // namespace kelvora
