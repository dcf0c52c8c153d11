#pragma once
// The command-line arguments of the programs as UTF-8, the encoding of file names
// throughout: on Windows the arguments the runtime hands to main are in the
// system's code page, which cannot name every file, so they are read again from
// the wide command line.

#include <string>
#include <vector>

std::vector<std::string> ProgramArguments(int argc, char** argv);
