// lumadial-stringtable-gen: turns a text table into the C++ data of a language library, or into
// the header of the names the code uses for its texts.
//
//     lumadial-stringtable-gen TABLE OUTPUT [--max-text-bytes N]
//     lumadial-stringtable-gen TABLE --names HEADER
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
    std::cerr << "usage: lumadial-stringtable-gen TABLE OUTPUT [--max-text-bytes N]\n"
                 "       lumadial-stringtable-gen TABLE --names HEADER\n";
    return 2;
}

// Writes through a temporary file so that an interrupted build leaves no half file behind.
bool writeWhole(const std::string &path, const std::string &content)
{
    const std::string temporaryPath = path + ".tmp";
    {
        std::ofstream output(temporaryPath, std::ios::binary | std::ios::trunc);
        output << content;
        output.close();
        if (!output) {
            std::cerr << temporaryPath << ": cannot be written\n";
            return false;
        }
    }
    if (std::rename(temporaryPath.c_str(), path.c_str()) != 0) {
        std::cerr << path << ": cannot be written\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 3 && argc != 4 && argc != 5)
        return usage();
    const std::string tablePath = argv[1];
    const bool namesOnly = std::string(argv[2]) == "--names";
    if (namesOnly != (argc == 4))
        return usage();
    const std::string outputPath = namesOnly ? argv[3] : argv[2];
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
    const std::string source = namesOnly ? language::generateNamesHeader(table.entries, tableName)
                                         : language::generateTableSource(table.entries, tableName);
    return writeWhole(outputPath, source) ? 0 : 1;
}
