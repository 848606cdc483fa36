#pragma once
// Texts taken from files (names, lines, property names) quoted in the game's
// messages. A file can hold anything: a quote is short and shows every byte.
#include <cstddef>
#include <string>
#include <string_view>

namespace vorlane {

// At most about `maxChars` characters of the text for a message: printable ASCII
// as it is (a backslash doubled), every other byte as \xNN, and "..." after the
// quote when the text goes on. Only the start of the text is looked at, so a
// line of megabytes costs no more than a short one.
std::string ExcerptForMessage(std::string_view text, size_t maxChars = 60);

} // namespace vorlane
