#pragma once
// The last word of a game that cannot go on: a message box over the desktop (and the
// same line on the console, for a machine without one).
#include <string>

namespace vorlane {

void ShowErrorBox(const std::string& title, const std::string& message);

} // namespace vorlane
