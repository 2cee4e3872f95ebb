// ranmaker: builds the delivered .ran files from their readable source.
//
//     ranmaker <source.txt> <program folder>

#include "tools/ranmaker/RanSource.h"

#include "config/RanFile.h"

#include <cstdio>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: ranmaker <source.txt> <program folder>\n");
        return 2;
    }
    const auto source = ranfile::readFile(argv[1]);
    if (!source) {
        std::fprintf(stderr, "ranmaker: cannot read %s\n", argv[1]);
        return 1;
    }
    ranmaker::DeliveredFiles files;
    if (const std::string error = ranmaker::parseSource(*source, files); !error.empty()) {
        std::fprintf(stderr, "%s:%s\n", argv[1], error.c_str());
        return 1;
    }
    if (const std::string failed = ranmaker::writeFiles(files, argv[2]); !failed.empty()) {
        std::fprintf(stderr, "ranmaker: cannot write %s in %s\n", failed.c_str(), argv[2]);
        return 1;
    }
    return 0;
}
