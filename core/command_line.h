// The command line as one text, its tail (the single path the player takes)
// and the program folder.
#pragma once

#include <string>
#include <string_view>

namespace qmb {

// The longest path a hand-off to the running player carries, in bytes.
constexpr std::size_t kHandOffLimit = 2047;

// The process command line as one text: the program path (quoted when it holds
// white space) and the arguments joined by blanks, as the shell handed them.
std::string JoinCommandLine(int argc, const char* const* argv);

// The command line without its first token and the white space after it. The
// first token ends at the first blank outside double quotes; a double quote
// opens a run that ends at the next one or at the end of the line.
std::string CommandTail(std::string_view commandLine);

// `text` with every occurrence of `pattern` cut out, scanning again from the
// start after each cut.
std::string RemoveAll(std::string_view text, std::string_view pattern);

// The folder of the running executable, ending in "/".
std::string ProgramFolder();

// The folder part of `path` up to and including its last "/".
std::string FolderOfPath(std::string_view path);

}  // namespace qmb
