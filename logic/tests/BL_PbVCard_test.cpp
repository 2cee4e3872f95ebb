#include "logic/BL_PbVCard.h"
#include "lumacore/fake/FakePhonebook.h"
#include "platform/CodePage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

_MEC_CONTACT_RECORD pcContact(const std::string &name, const std::string &mobile)
{
    _MEC_CONTACT_RECORD record{};
    record.storage = PB_PC;
    platform::copyToField(record.name, sizeof record.name, name);
    platform::copyToField(record.numbers[0].number, sizeof record.numbers[0].number, mobile);
    return record;
}

class VCardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::forceSystemCodePage("UTF-8");
        lumacore_fake::reset();
        phonebook = std::make_unique<FakePhonebook>();
        lumacore_fake::onCall(&_MEC_GetFieldSizes, [this](_MEC_FIELD_SIZES *sizes) -> MEC_STATUS {
            sizes->nameBits = 127 * 8;
            sizes->nameCoding = 6;
            sizes->numberBits = 39 * 8;
            sizes->numberCoding = 2;
            sizes->emailBits = 129 * 8;
            sizes->emailCoding = 6;
            sizes->urlBits = 127 * 8;
            sizes->urlCoding = 6;
            sizes->noteBits = 127 * 8;
            sizes->noteCoding = 6;
            sizes->numberSlots = 5;
            sizes->contactCapacity = capacity;
            return 0;
        });
        ASSERT_EQ(settings.LoadFieldLimits(), 0);
        ASSERT_TRUE(folder.isValid());
    }
    void TearDown() override
    {
        lumacore_fake::reset();
        platform::forceSystemCodePage("");
    }

    QString write(const char *name, const std::string &text)
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.data(), static_cast<qint64>(text.size()));
        return path;
    }

    int capacity = 3;
    TBLSet settings;
    std::unique_ptr<FakePhonebook> phonebook;
    QTemporaryDir folder;
};

TEST_F(VCardTest, ExportedCardsReadBackWhole)
{
    auto ana = pcContact("Muñoz, Ana; \"Jr\"", "+5491140001111");
    platform::copyToField(ana.numbers[1].number, sizeof ana.numbers[1].number, "0114000222");
    platform::copyToField(ana.numbers[4].number, sizeof ana.numbers[4].number, "*100#");
    platform::copyToField(ana.email, sizeof ana.email, "ana@example.org");
    std::string longNote;
    for (int i = 0; i < 20; ++i)
        longNote += "王é\\";
    platform::copyToField(ana.note, sizeof ana.note, longNote);
    auto wang = pcContact("王小明", "10086");
    const std::string text = WriteVCards({ana, wang}, [](const _MEC_CONTACT_RECORD &contact) {
        return contact.numbers[0].number[0] == '+' ? std::string("Friends, old") : std::string();
    });
    // CRLF lines of at most 75 octets, a version 3.0 card per contact.
    size_t start = 0;
    int cards = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        EXPECT_LE(end - start, 75u);
        cards += text.compare(start, end - start, "VERSION:3.0") == 0;
        start = end + 2;
    }
    EXPECT_EQ(cards, 2);

    const auto read = ReadVCards(text);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].name, "Muñoz, Ana; \"Jr\"");
    const std::vector<std::pair<std::string, std::string>> numbers = {
        {"CELL", "+5491140001111"}, {"HOME", "0114000222"}, {"VOICE", "*100#"}};
    EXPECT_EQ(read[0].numbers, numbers);
    EXPECT_EQ(read[0].emails, std::vector<std::string>{"ana@example.org"});
    EXPECT_EQ(read[0].note, longNote);
    EXPECT_EQ(read[0].group, "Friends, old");
    EXPECT_EQ(read[1].name, "王小明");
    EXPECT_EQ(read[1].group, "");
}

TEST_F(VCardTest, CardsAsPhonesAndAddressBooksWriteThem)
{
    const std::string text =
        "BEGIN:VCARD\r\nVERSION:2.1\r\n"
        "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=D0=98=D0=B2=D0=B0=D0=BD=D0=BE=D0=B2;=D0=98=\r\n"
        "=D0=B2=D0=B0=D0=BD\r\n"
        "TEL;CELL;PREF:+7 (916) 123-45-67\r\nTEL;WORK:495 000\r\n"
        "PHOTO;ENCODING=BASE64;TYPE=JPEG:/9j/4AAQSkZJRgABAQ\r\n AAAQABAAD\r\n\r\n"
        "END:VCARD\r\n"
        "BEGIN:VCARD\nVERSION:4.0\nFN:Zoë\nitem1.TEL;VALUE=uri;TYPE=\"home,voice\":tel:+331234\n"
        "EMAIL:z@example.org\nEMAIL:zoe@example.org\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nNOTE:nobody\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nFN:Latin\xE9\nEND:VCARD\n";
    const auto cards = ReadVCards(text);
    ASSERT_EQ(cards.size(), 4u);
    EXPECT_EQ(cards[0].name, "Иван Иванов");
    ASSERT_EQ(cards[0].numbers.size(), 2u);
    EXPECT_EQ(cards[0].numbers[0],
              (std::pair<std::string, std::string>{"CELL", "+7 (916) 123-45-67"}));
    EXPECT_EQ(cards[0].numbers[1].first, "VOICE");
    EXPECT_EQ(cards[1].name, "Zoë");
    EXPECT_EQ(cards[1].numbers[0], (std::pair<std::string, std::string>{"HOME", "+331234"}));
    EXPECT_EQ(cards[1].emails.size(), 2u);
    EXPECT_EQ(cards[2].problem, "it has no name and no number");
    EXPECT_EQ(cards[3].name, "Latiné");  // bytes that are not UTF-8 read as Latin-1
}

TEST_F(VCardTest, ImportReportsWhatWasTakenCutAndLeft)
{
    TBL_pb store(settings);
    std::string longName(140, 'x');
    const std::string text =
        "BEGIN:VCARD\nVERSION:3.0\nFN:Ana\nTEL;TYPE=CELL:+54 9 11 4000-1111\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nFN:" +
        longName +
        "\nTEL:1\nTEL:2\nTEL:3\nTEL:4\nTEL:5\nTEL:6\nTEL:555 (0199)\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nFN:Bob\nEMAIL:b@x.org\nEMAIL:bob@x.org\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nFN:Carla\nEND:VCARD\n";
    const auto report = ImportVCardFile(write("in.vcf", text), store);
    EXPECT_EQ(report.status, PB_PC_FULL);
    EXPECT_EQ(report.found, 4);
    EXPECT_EQ(report.taken, 3);
    ASSERT_EQ(report.cut.size(), 2u);
    EXPECT_EQ(report.cut[0], longName + ": name, numbers beyond five");
    EXPECT_EQ(report.cut[1], "Bob: e-mail addresses beyond the first");
    EXPECT_EQ(report.left, std::vector<std::string>{"Carla: the PC storage is full"});
    const auto stored = phonebook->contacts(PB_PC);
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_STREQ(stored.at(1).numbers[0].number, "+5491140001111");
    EXPECT_EQ(std::string(stored.at(2).name).size(), 127u);
}

TEST_F(VCardTest, EveryCardNotTakenIsNamedWithWhyAndAFileTakenTwiceAddsNothingTwice)
{
    capacity = 50;
    ASSERT_EQ(settings.LoadFieldLimits(), 0);
    TBL_pb store(settings);
    const std::string text =
        "\xEF\xBB\xBF"  // a byte order mark before the first card
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ana\r\nTEL;TYPE=CELL:+54 11 4000\r\n"
        "ORG:Acme\r\nADR;TYPE=home:;;Calle 1;Rosario;;;AR\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\nVERSION:4.0\nFN:Ben\nTEL;VALUE=uri:tel:+1-555-0100;ext=42\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nFN:Flowers\nTEL:1-800-FLOWERS\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nEMAIL:only@mail.org\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nFN:Carl\nTEL:123\n"  // no END: the next card begins
        "BEGIN:VCARD\nVERSION:3.0\nFN:Dora\nTEL:456\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nFN:Eve\nTEL:78";  // the file ends inside the card
    const QString path = write("in.vcf", text);
    const auto report = ImportVCardFile(path, store);
    EXPECT_EQ(report.status, 0);
    EXPECT_EQ(report.found, 7);
    EXPECT_EQ(report.taken, 3);
    EXPECT_EQ(report.cut, std::vector<std::string>{"Ana: organisation, address"});
    const std::vector<std::string> left = {"Flowers: the number 1-800-FLOWERS holds letters",
                                           "only@mail.org: it has no name and no number",
                                           "Carl: it has no END", "Eve: the file ends inside it"};
    EXPECT_EQ(report.left, left);
    std::vector<std::string> numbers;
    for (const auto &[index, record] : phonebook->contacts(PB_PC))
        numbers.emplace_back(std::string(record.name) + " " + record.numbers[0].number +
                             record.numbers[2].number);
    EXPECT_EQ(numbers, (std::vector<std::string>{"Ana +54114000", "Ben +15550100p42",
                                                 "Dora 456"}));

    const auto again = ImportVCardFile(path, store);
    EXPECT_EQ(again.taken, 0);
    EXPECT_EQ(again.left.size(), 7u);
    EXPECT_EQ(again.left.front(), "Ana: already in the PC storage");
    EXPECT_EQ(phonebook->contacts(PB_PC).size(), 3u);
}

TEST_F(VCardTest, FilesThatAreNotCardsAddNothing)
{
    TBL_pb store(settings);
    const auto report = ImportVCardFile(write("notes.txt", "just some text\n"), store);
    EXPECT_EQ(report.status, 1);
    EXPECT_FALSE(report.error.isEmpty());
    EXPECT_EQ(report.taken, 0);
    EXPECT_EQ(ImportVCardFile(folder.filePath("missing.vcf"), store).status, 1);
    EXPECT_EQ(lumacore_fake::countOf("_MEC_NewContact"), 0);

    // An export into a folder that is not there fails and leaves nothing behind.
    QString error;
    EXPECT_EQ(
        ExportVCardFile(folder.filePath("none/out.vcf"), {pcContact("A", "1")}, store, &error), 1);
    EXPECT_FALSE(error.isEmpty());
    ASSERT_EQ(ExportVCardFile(folder.filePath("out.vcf"), {pcContact("A", "1")}, store, &error), 0);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 2);  // notes.txt and out.vcf
}

}  // namespace
