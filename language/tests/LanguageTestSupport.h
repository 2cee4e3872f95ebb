// Shared by the language tests: the tables and libraries they compare.
#pragma once

#include "language/StringTable.h"

#include <string>

namespace languagetest {

std::string readFile(const std::string &path);

// The table as the build used it; fails the calling test when it does not parse.
language::ParsedTable readTable(const std::string &path);

// The English library in the program folder, where the program finds it.
std::string englishLibraryPath();

// Texts of the test library (see tests/CMakeLists.txt).
std::string fixtureText(unsigned int number);

}  // namespace languagetest
