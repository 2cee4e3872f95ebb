// lumadial-stringtable-gen: turns a text table into the C++ data of a language library.
//
//     lumadial-stringtable-gen TABLE OUTPUT [--max-text-bytes N]
//
// A fault in the table stops the build with the table's name and line, so a broken table never
// becomes a library with missing texts.
#include "language/StringTable.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

namespace {

int usage()
{
    std::cerr << "usage: lumadial-stringtable-gen TABLE OUTPUT [--max-text-bytes N]\n";
    return 2;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 3 && argc != 5)
        return usage();
    const std::string tablePath = argv[1];
    const std::string outputPath = argv[2];
    size_t maxTextBytes = language::kMaxTextBytes;
    if (argc == 5) {
        if (std::string(argv[3]) != "--max-text-bytes")
            return usage();
        char *end = nullptr;
        const unsigned long value = std::strtoul(argv[4], &end, 10);
        if (end == argv[4] || *end != '\0' || value == 0)
            return usage();
        maxTextBytes = value;
    }

    std::ifstream input(tablePath, std::ios::binary);
    if (!input) {
        std::cerr << tablePath << ": cannot be read\n";
        return 1;
    }
    const std::string content((std::istreambuf_iterator<char>(input)),
                              std::istreambuf_iterator<char>());

    const language::ParsedTable table = language::parseStringTable(content, maxTextBytes);
    if (!table.ok()) {
        std::cerr << tablePath << ": " << table.error << '\n';
        return 1;
    }

    const std::string tableName = tablePath.substr(tablePath.find_last_of('/') + 1);
    const std::string source = language::generateTableSource(table.entries, tableName);

    // Write through a temporary file so that an interrupted build leaves no half table behind.
    const std::string temporaryPath = outputPath + ".tmp";
    {
        std::ofstream output(temporaryPath, std::ios::binary | std::ios::trunc);
        output << source;
        output.close();
        if (!output) {
            std::cerr << temporaryPath << ": cannot be written\n";
            return 1;
        }
    }
    if (std::rename(temporaryPath.c_str(), outputPath.c_str()) != 0) {
        std::cerr << outputPath << ": cannot be written\n";
        return 1;
    }
    return 0;
}
