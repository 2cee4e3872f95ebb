// The shared library exports every call the header declares: a call whose header was first seen
// without default visibility would stay hidden and the program would not link.
#include <dlfcn.h>

#include <gtest/gtest.h>

#include <fstream>
#include <cctype>
#include <set>
#include <sstream>
#include <string>

namespace {

TEST(LumacoreExports, EveryDeclaredCallIsExported)
{
    std::ifstream header(LUMACORE_HEADER_PATH);
    std::stringstream text;
    text << header.rdbuf();
    const std::string content = text.str();
    // "MEC_STATUS _MEC_Name(" and "uint16_t _MEC_Name(": the declarations of the calls.
    std::set<std::string> names;
    for (const std::string type : {"MEC_STATUS ", "uint16_t "}) {
        for (size_t at = content.find(type); at != std::string::npos;
             at = content.find(type, at + 1)) {
            size_t start = at + type.size();
            size_t end = start;
            while (end < content.size() &&
                   (std::isalnum(static_cast<unsigned char>(content[end])) || content[end] == '_'))
                ++end;
            const std::string name = content.substr(start, end - start);
            if (end < content.size() && content[end] == '(' &&
                (name.rfind("_MEC_", 0) == 0 || name == "_SIMOperate"))
                names.insert(name);
        }
    }
    ASSERT_GT(names.size(), 100u);

    void *library = dlopen(LUMACORE_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    for (const std::string &name : names)
        EXPECT_NE(dlsym(library, name.c_str()), nullptr) << name << " is not exported";
    dlclose(library);
}

}  // namespace
