// A data file that exists but cannot be opened ends the program: the message
// goes to standard error and the process exits with code 1.
#pragma once

#include <string>

namespace qmb {

[[noreturn]] void CannotOpenFile(const std::string& path);

}  // namespace qmb
