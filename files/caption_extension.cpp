#include "files/caption_extension.h"

namespace kelvora::files {

std::string ReplaceExtensionLikeSaver(std::string_view caption, std::string_view extension)
{
    std::string proposed(caption);
    if (proposed.size() >= 4 && proposed[proposed.size() - 4] == '.')
        proposed.replace(proposed.size() - 3, 3, extension);
    return proposed;
}

} // namespace kelvora::files
