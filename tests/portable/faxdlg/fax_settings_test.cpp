// Reading and writing the user's fax settings file.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "faxdlg/fax_settings.h"
#include "fax_test_support.h"

namespace {

using faxtest::ReadSettings;
using faxtest::ScratchSystemDirectory;
using faxtest::WriteFile;

class FaxSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { faxtest::AttachModule(); }
    void WriteIni(const std::string &body) {
        WriteFile(directory.File("orvixfax.ini"), "[User Fax Info]\r\n" + body);
    }
    FaxSettings Load() {
        FaxSettings settings;
        std::memset(&settings, 0x5A, sizeof settings);  // nothing may stay from before
        LoadFaxSettings(&settings);
        return settings;
    }
    ScratchSystemDirectory directory;
};

TEST_F(FaxSettingsTest, NoFileGivesEveryDefault) {
    FaxSettings s = Load();
    EXPECT_EQ(s.newRecipient, 0);
    EXPECT_STREQ(s.currentSelection, "");
    EXPECT_EQ(s.resolution, 0);
    EXPECT_EQ(s.coverPage, 0);
    EXPECT_STREQ(s.senderName, "");
    EXPECT_STREQ(s.senderFaxNumber, "");
    EXPECT_STREQ(s.senderBusinessNumber, "");
    EXPECT_STREQ(s.senderHomeNumber, "");
    EXPECT_EQ(s.senderNameTrue, 0);
    EXPECT_EQ(s.senderHomeNumberTrue, 0);
    EXPECT_EQ(s.senderFaxNumberTrue, 0);
    EXPECT_EQ(s.senderBusinessNumberTrue, 0);
    EXPECT_EQ(s.recipNameTrue, 1);
    EXPECT_EQ(s.recipNumberTrue, 1);
    EXPECT_EQ(s.recipCompanyTrue, 1);
    EXPECT_FALSE(faxtest::FileExists(directory.File("orvixfax.ini")));  // reading writes nothing
}

TEST_F(FaxSettingsTest, OtherSectionsGiveDefaultsToo) {
    WriteFile(directory.File("orvixfax.ini"), "[Other]\r\nNewRecipient=True\r\nRecipNameTrue=0\r\n");
    FaxSettings s = Load();
    EXPECT_EQ(s.newRecipient, 0);
    EXPECT_EQ(s.recipNameTrue, 1);
}

// The three ways of reading yes/no values.
TEST_F(FaxSettingsTest, NewRecipientMindsCaseCoverPageDoesNot) {
    WriteIni("NewRecipient=true\r\nCoverPage=true\r\n");
    FaxSettings s = Load();
    EXPECT_EQ(s.newRecipient, 0);
    EXPECT_EQ(s.coverPage, 1);

    WriteIni("NewRecipient=True\r\nCoverPage=TRUE\r\n");
    s = Load();
    EXPECT_EQ(s.newRecipient, 1);
    EXPECT_EQ(s.coverPage, 1);

    WriteIni("NewRecipient=Yes\r\nCoverPage=1\r\n");
    s = Load();
    EXPECT_EQ(s.newRecipient, 0);
    EXPECT_EQ(s.coverPage, 0);
}

TEST_F(FaxSettingsTest, ResolutionIsUltrafineOnlyForThatWordInAnyCase) {
    struct Case {
        const char *value;
        int16_t expected;
    } cases[] = {{"Ultrafine", 0}, {"ULTRAFINE", 0}, {"ultraFINE", 0}, {"Fine", 1},
                 {"FINE", 1},      {"", 1},          {"Ultra", 1},     {"Ultrafine2", 1}};
    for (const Case &c : cases) {
        WriteIni(std::string("Resolution=") + c.value + "\r\n");
        EXPECT_EQ(Load().resolution, c.expected) << "Resolution=" << c.value;
    }
}

TEST_F(FaxSettingsTest, FlagsAreReadAsIntegersAndZeroOverridesADefaultOfOne) {
    WriteIni("RecipNameTrue=0\r\nRecipNumberTrue=1\r\nSenderNameTrue=1\r\nSenderHomeNumberTrue=7\r\n");
    FaxSettings s = Load();
    EXPECT_EQ(s.recipNameTrue, 0);
    EXPECT_EQ(s.recipNumberTrue, 1);
    EXPECT_EQ(s.recipCompanyTrue, 1);
    EXPECT_EQ(s.senderNameTrue, 1);
    EXPECT_EQ(s.senderHomeNumberTrue, 7);
}

// A hand-edited text longer than its field is cut to the field, never
// written past it; the 128-byte reading buffer comes first.
TEST_F(FaxSettingsTest, LongHandEditedTextsStayInsideTheirFields) {
    const std::string longText(300, 'x');
    WriteIni("CurrentSelection=" + longText + "\r\nSenderName=" + longText +
             "\r\nSenderFaxNumber=" + longText + "\r\nSenderBusinessNumber=" + longText +
             "\r\nSenderHomeNumber=" + longText + "\r\nSenderNameTrue=1\r\n");
    FaxSettings s = Load();
    EXPECT_EQ(std::string(s.currentSelection), std::string(127, 'x'));
    EXPECT_EQ(std::string(s.senderName), std::string(81, 'x'));
    EXPECT_EQ(std::string(s.senderFaxNumber), std::string(79, 'x'));
    EXPECT_EQ(std::string(s.senderBusinessNumber), std::string(79, 'x'));
    EXPECT_EQ(std::string(s.senderHomeNumber), std::string(79, 'x'));
    EXPECT_EQ(s.senderNameTrue, 1);  // the field behind the name is untouched
}

TEST_F(FaxSettingsTest, SaveWritesAllFifteenKeysInOrder) {
    FaxSettings s;
    std::memset(&s, 0, sizeof s);
    s.newRecipient = 1;
    std::strcpy(s.currentSelection, "Jane Roe");
    s.resolution = 1;
    s.coverPage = 1;
    std::strcpy(s.senderName, "Max Sender");
    std::strcpy(s.senderFaxNumber, "+49 30 1234");
    std::strcpy(s.senderBusinessNumber, "");
    std::strcpy(s.senderHomeNumber, "555");
    s.senderNameTrue = 1;
    s.senderHomeNumberTrue = 0;
    s.senderFaxNumberTrue = 1;
    s.senderBusinessNumberTrue = -3;
    s.recipNameTrue = 0;
    s.recipNumberTrue = 1;
    s.recipCompanyTrue = 0;
    SaveFaxSettings(&s);

    const std::vector<std::string> order = {
        "NewRecipient", "CurrentSelection", "Resolution", "CoverPage", "SenderName",
        "SenderFaxNumber", "SenderBusinessNumber", "SenderHomeNumber", "SenderNameTrue",
        "SenderHomeNumberTrue", "SenderFaxNumberTrue", "SenderBusinessNumberTrue",
        "RecipNameTrue", "RecipNumberTrue", "RecipCompanyTrue"};
    EXPECT_EQ(faxtest::SettingsKeyOrder(directory.Path()), order);
    auto v = ReadSettings(directory.Path());
    EXPECT_EQ(v["NewRecipient"], "True");
    EXPECT_EQ(v["CurrentSelection"], "Jane Roe");
    EXPECT_EQ(v["Resolution"], "Fine");
    EXPECT_EQ(v["CoverPage"], "True");
    EXPECT_EQ(v["SenderName"], "Max Sender");
    EXPECT_EQ(v["SenderFaxNumber"], "+49 30 1234");
    EXPECT_EQ(v["SenderBusinessNumber"], "");
    EXPECT_EQ(v["SenderHomeNumber"], "555");
    EXPECT_EQ(v["SenderNameTrue"], "1");
    EXPECT_EQ(v["SenderBusinessNumberTrue"], "-3");
    EXPECT_EQ(v["RecipNameTrue"], "0");
    EXPECT_EQ(v["RecipCompanyTrue"], "0");
}

TEST_F(FaxSettingsTest, SavedSettingsReadBackAndEmptyTextsStayEmpty) {
    FaxSettings s;
    std::memset(&s, 0, sizeof s);
    s.recipNameTrue = 1;
    s.recipNumberTrue = 0;
    s.recipCompanyTrue = 1;
    SaveFaxSettings(&s);
    auto v = ReadSettings(directory.Path());
    EXPECT_EQ(v["NewRecipient"], "False");
    EXPECT_EQ(v["Resolution"], "Ultrafine");
    EXPECT_EQ(v["CoverPage"], "False");
    EXPECT_EQ(v.count("SenderName"), 1u);  // written, with an empty value

    FaxSettings back = Load();
    EXPECT_EQ(std::memcmp(&back, &s, sizeof s), 0);
}

TEST_F(FaxSettingsTest, SaveKeepsOtherSectionsAndKeys) {
    WriteFile(directory.File("orvixfax.ini"),
              "[Printer]\r\nPort=LPT1\r\n[User Fax Info]\r\nExtra=kept\r\nCoverPage=True\r\n");
    FaxSettings s;
    std::memset(&s, 0, sizeof s);
    SaveFaxSettings(&s);
    std::string file = faxtest::ReadFile(directory.File("orvixfax.ini"));
    EXPECT_NE(file.find("Port=LPT1"), std::string::npos);
    EXPECT_NE(file.find("Extra=kept"), std::string::npos);
    EXPECT_EQ(ReadSettings(directory.Path())["CoverPage"], "False");
}

// A system directory so long that the file name would be cut off: the
// settings are neither read from nor written to some other file.
TEST_F(FaxSettingsTest, APathThatDoesNotFitIsNeitherReadNorWritten) {
    std::string deep = directory.Path() + "/";
    deep += std::string(250 - deep.size(), 'd');
    ASSERT_TRUE(std::filesystem::create_directories(deep));
    portable::SetSystemDirectory(deep);

    char path[MAX_PATH];
    EXPECT_FALSE(GetFaxSettingsPath(path, sizeof path));
    EXPECT_STREQ(path, "");

    FaxSettings s;
    std::memset(&s, 0, sizeof s);
    s.newRecipient = 1;
    EXPECT_FALSE(SaveFaxSettings(&s));
    EXPECT_TRUE(std::filesystem::is_empty(deep));
    EXPECT_EQ(Load().recipNameTrue, 1);
    portable::SetSystemDirectory(directory.Path());
}

}  // namespace
