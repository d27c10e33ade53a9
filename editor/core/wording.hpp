// Pieces of the editor's messages, which join the system's reasons and lists into sentences.
#pragma once

#include <string>
#include <vector>

namespace editor {

// The text with a full stop at its end, unless it has one: the system's reasons mostly do.
std::string withFullStop(std::string text);

// The text with a capital first letter (ASCII), to begin a sentence.
std::string capitalized(std::string text);

// "a", "a and b", "a, b and c".
std::string joined(const std::vector<std::string>& parts);

}  // namespace editor
