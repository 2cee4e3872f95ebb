// The built libraries, looked up through their exported function as the program does.
#include "LanguageTestSupport.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Lookup = int (*)(unsigned int, char *, int);

class Library {
public:
    explicit Library(const std::string &path)
        : m_handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
    {
        if (m_handle)
            m_lookup = reinterpret_cast<Lookup>(dlsym(m_handle, "LoadLanguageString"));
    }
    ~Library()
    {
        if (m_handle)
            dlclose(m_handle);
    }
    Library(const Library &) = delete;
    Library &operator=(const Library &) = delete;

    bool usable() const { return m_lookup != nullptr; }

    // The text as a lookup with a buffer of `size` bytes returns it; checks the returned count.
    std::string text(unsigned int number, int size = 500) const
    {
        std::vector<char> buffer(static_cast<size_t>(size) + 8, '#');
        const int written = m_lookup(number, buffer.data(), size);
        EXPECT_GE(written, 0);
        EXPECT_LT(written, size);
        EXPECT_EQ(buffer[static_cast<size_t>(written)], '\0') << "not terminated";
        EXPECT_EQ(buffer[static_cast<size_t>(size)], '#') << "wrote past the buffer";
        return std::string(buffer.data(), static_cast<size_t>(written));
    }

    int call(unsigned int number, char *buffer, int size) const
    {
        return m_lookup(number, buffer, size);
    }

private:
    void *m_handle;
    Lookup m_lookup = nullptr;
};

TEST(EnglishLibrary, ReturnsEveryTextOfItsTableWhole)
{
    const Library library(languagetest::englishLibraryPath());
    ASSERT_TRUE(library.usable()) << dlerror();
    const language::ParsedTable table = languagetest::readTable(ENGLISH_TABLE);
    ASSERT_GT(table.entries.size(), 400u);
    for (const language::StringEntry &entry : table.entries) {
        SCOPED_TRACE(entry.number);
        EXPECT_FALSE(entry.text.empty());
        EXPECT_EQ(library.text(entry.number), entry.text);
    }
}

TEST(EnglishLibrary, TextsTheProgramReliesOn)
{
    const Library library(languagetest::englishLibraryPath());
    ASSERT_TRUE(library.usable()) << dlerror();
    struct Case {
        unsigned int number;
        std::string text;
    };
    const Case cases[] = {
        {1084, "No Operator"},    // compared with operator names coming from the engine
        {1068, PROGRAM_VERSION},  // the version shown in the About box
        {1001, "Brisa Internet"}, {22, " to "},  // joined between a state and a profile name
        {1174, " attempts left"}, {6, "OK"},    {7, "Cancel"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(library.text(c.number), c.text) << c.number;
}

TEST(EnglishLibrary, UnknownNumberAndBadBuffersYieldNothing)
{
    const Library library(languagetest::englishLibraryPath());
    ASSERT_TRUE(library.usable()) << dlerror();
    for (const unsigned int number : {0u, 3u, 999u, 1019u, 99999u, UINT_MAX}) {
        char buffer[16];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(library.call(number, buffer, sizeof buffer), 0) << number;
        EXPECT_EQ(buffer[0], '\0') << number;
    }
    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(library.call(1001, nullptr, 100), 0);
    EXPECT_EQ(library.call(1001, buffer, 0), 0);
    EXPECT_EQ(library.call(1001, buffer, -5), 0);
    EXPECT_EQ(buffer[0], 'x') << "a buffer of no size must stay untouched";
    EXPECT_EQ(library.call(1001, buffer, 1), 0);
    EXPECT_EQ(buffer[0], '\0');
}

TEST(FixtureLibrary, CutsToTheBufferWithoutSplittingACharacter)
{
    const Library library(FIXTURE_LIBRARY);
    ASSERT_TRUE(library.usable()) << dlerror();
    const std::string copyright = "\xC2\xA9";
    const std::string euro = "\xE2\x82\xAC";
    const std::string smile = "\xF0\x9F\x98\x80";
    struct Case {
        unsigned int number;
        int size;
        std::string text;
    };
    const Case cases[] = {
        {5, 1, ""},
        {5, 2, ""},  // one byte of room: the two-byte sign does not fit
        {5, 3, copyright},
        {5, 4, copyright + " "},
        {5, 6, copyright + " "},
        {5, 7, copyright + " " + euro},
        {5, 8, copyright + " " + euro + " "},
        {5, 11, copyright + " " + euro + " "},
        {5, 12, copyright + " " + euro + " " + smile},
        {5, 500, copyright + " " + euro + " " + smile},
        {1, 500, std::string(498, 'a')},  // the 499th and 500th bytes are one character
        {2, 500, std::string(499, 'c')},  // exactly what fits
        {3, 500, std::string(499, 'd')},
        {3, 501, std::string(500, 'd')},
        {6, 500, PROGRAM_VERSION},
    };
    for (const Case &c : cases)
        EXPECT_EQ(library.text(c.number, c.size), c.text)
            << c.number << " in " << c.size << " bytes";
}

TEST(FixtureLibrary, CharactersSpecialToCppSurviveTheBuild)
{
    const Library library(FIXTURE_LIBRARY);
    ASSERT_TRUE(library.usable()) << dlerror();
    EXPECT_EQ(library.text(4), languagetest::fixtureText(4));
    EXPECT_EQ(library.text(1, 1000), languagetest::fixtureText(1));
}

}  // namespace
