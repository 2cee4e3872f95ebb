#include "platform/IniFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace platform;

namespace {

class PlatformIniFile : public testing::Test {
protected:
    QString write(const QByteArray &contents)
    {
        const QString path = m_folder.filePath("skin.ini");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(contents);
        return path;
    }

    QTemporaryDir m_folder;
};

}  // namespace

TEST_F(PlatformIniFile, ReadsValuesAsTheSkinWritesThem)
{
    const std::string longValue(120, 'x');
    const IniFile ini(
        write("orphan=before any section\r\n"
              "; comment line\r\n"
              "[MAIN.CallButton]\r\n"
              "Image = 10,20,30,40 \r\n"
              "  ;Image Hot=1,1,1,1\r\n"
              "Hot Color=16711680\r\n"
              "Image=99,99,99,99\r\n"
              "[ dataconnect.DataTxRateLabel ]\n"
              "Color=\t255\n"
              "Long=" +
              QByteArray::fromStdString(longValue) +
              "\n"
              "Empty=\n"
              "no equals sign here\n"
              "[MAIN.CALLBUTTON]\n"
              "Back Color=7\n"));
    ASSERT_TRUE(ini.isLoaded());

    struct Case {
        const char *section;
        const char *key;
        std::string expected;
    };
    const Case cases[] = {
        {"MAIN.CALLBUTTON", "Image", "10,20,30,40"},  // commas kept, blanks trimmed
        {"main.callbutton", "IMAGE", "10,20,30,40"},  // case ignored; first key wins
        {"MAIN.CallButton", "hot color", "16711680"},
        {"MAIN.CallButton", "Image Hot", "dflt"},  // commented out
        {"MAIN.CallButton", "Back Color", "7"},    // a repeated section adds keys
        {"DATACONNECT.DataTxRateLabel", "Color", "255"},
        {"DataConnect.DataTxRateLabel", "Long", std::string(99, 'x')},
        {"DataConnect.DataTxRateLabel", "Empty", ""},
        {"DataConnect.DataTxRateLabel", "no equals sign here", "dflt"},
        {"", "orphan", "dflt"},
        {"MISSING", "Image", "dflt"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(ini.value(c.section, c.key, "dflt"), c.expected);
    }
    EXPECT_EQ(ini.value("MAIN.CallButton", "Image", {}, 6), "10,20");
    EXPECT_EQ(ini.value("MAIN.CallButton", "Image", {}, 0), "");
    EXPECT_TRUE(ini.hasSection("main.callbutton"));
    EXPECT_FALSE(ini.hasSection("missing"));
}

TEST_F(PlatformIniFile, IntegersAndMissingFiles)
{
    const IniFile ini(
        write("\xEF\xBB\xBF[Colors]\nText=255\nNegative=-12px\nPlus=+4\nWord=red\n"
              "Huge=99999999999\nBoth=+-3\n"));
    EXPECT_EQ(ini.intValue("colors", "Text", -1), 255);
    EXPECT_EQ(ini.intValue("colors", "Negative", -1), -12);
    EXPECT_EQ(ini.intValue("colors", "Plus", -1), 4);
    EXPECT_EQ(ini.intValue("colors", "Word", -1), -1);
    EXPECT_EQ(ini.intValue("colors", "Huge", -1), -1);
    EXPECT_EQ(ini.intValue("colors", "Both", -1), -1);
    EXPECT_EQ(ini.intValue("colors", "Missing", 9), 9);

    const IniFile missing(m_folder.filePath("nothing.ini"));
    EXPECT_FALSE(missing.isLoaded());
    EXPECT_EQ(missing.value("MAIN.X", "Image", "fallback"), "fallback");
    EXPECT_EQ(missing.value("MAIN.X", "Image"), "");
}
