// The shared library exports every call the header declares: a call whose header was first seen
// without default visibility would stay hidden and the program would not link.
#include <dlfcn.h>

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
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
    const std::regex declaration(R"((?:MEC_STATUS|uint16_t)\s+(_MEC_\w+|_SIMOperate)\s*\()");
    std::set<std::string> names;
    for (auto it = std::sregex_iterator(content.begin(), content.end(), declaration);
         it != std::sregex_iterator(); ++it)
        names.insert((*it)[1]);
    ASSERT_GT(names.size(), 100u);

    void *library = dlopen(LUMACORE_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    for (const std::string &name : names)
        EXPECT_NE(dlsym(library, name.c_str()), nullptr) << name << " is not exported";
    dlclose(library);
}

}  // namespace
