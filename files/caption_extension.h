#pragma once
// The name the savers propose from a window's caption.

#include <string>
#include <string_view>

namespace kelvora::files {

// When the character four places before the end of caption is '.', returns caption with its last
// three characters replaced by extension ("voice.wav" with "txt" gives "voice.txt"); otherwise
// returns caption unchanged, so a caption like a date stamp keeps its text and gets no extension
// here. Works on bytes: the '.' and what follows it are whole UTF-8 characters either way.
// extension is expected to be three characters long.
std::string ReplaceExtensionLikeSaver(std::string_view caption, std::string_view extension);

} // namespace kelvora::files
