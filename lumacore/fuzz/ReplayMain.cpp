// Without libFuzzer: runs every file of the given folders (or the given files) through the
// fuzz target once, so the corpus is a regression test.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

bool replay(const std::filesystem::path &file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return false;
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path path = argv[i];
        std::error_code error;
        if (std::filesystem::is_directory(path, error)) {
            for (const auto &entry : std::filesystem::directory_iterator(path))
                if (entry.is_regular_file() && replay(entry.path()))
                    ++count;
        } else if (replay(path)) {
            ++count;
        } else {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
    }
    std::printf("%zu inputs replayed\n", count);
    return count > 0 ? 0 : 1;
}
