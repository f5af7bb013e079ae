// A job's fax options over the defaults of its queue's PPD (the PPDs this
// build makes).
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "cups/job_options.h"
#include "support/temp_directory.h"

namespace {

std::string Read(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(JobOptions, WithoutOptionsTheJobKeepsTheSavedChoicesAndTheQueuesResolution) {
    FaxJobOptions options;
    std::string error;
    ASSERT_TRUE(ReadFaxJobOptions(ORVIX_PCL_PPD, "job-uuid=urn:uuid:1 number-up=1", options, error)) << error;
    EXPECT_EQ(options.ticket, TicketKind::Pjl);
    EXPECT_FALSE(options.sharedBook);
    EXPECT_TRUE(options.to.empty());
    EXPECT_EQ(options.name, "");
    EXPECT_FALSE(options.note || options.senderName || options.senderFax || options.senderBusiness ||
                 options.senderHome);
    EXPECT_FALSE(options.cover || options.showRecipName || options.showRecipNumber || options.showRecipCompany ||
                 options.showSenderName || options.showSenderFax || options.showSenderBusiness ||
                 options.showSenderHome);
    ASSERT_TRUE(options.fine);
    EXPECT_FALSE(*options.fine);  // Ultrafine

    ASSERT_TRUE(ReadFaxJobOptions(ORVIX_PS_PPD, "", options, error)) << error;
    EXPECT_EQ(options.ticket, TicketKind::PostScript);
}

TEST(JobOptions, TheJobsTextsAndChoicesAreTaken) {
    FaxJobOptions options;
    std::string error;
    ASSERT_TRUE(ReadFaxJobOptions(ORVIX_PCL_PPD,
                                  "orvixfax-to='[Sales Team]; Lee, Ann ;;' orvixfax-note=Custom.Order\\ attached "
                                  "orvixfax-name=None orvixfax-sender-name=\"Bob (HQ)\" orvixfax-sender-home= "
                                  "orvixfax-cover=true orvixfax-show-recip-company=False orvixfax-show-sender-fax=ON "
                                  "orvixfax-show-recip-name=Saved orvixfax-resolution=fine orvixfax-book=Shared",
                                  options, error))
        << error;
    EXPECT_EQ(options.to, (std::vector<std::string>{"[Sales Team]", "Lee, Ann"}));
    EXPECT_EQ(options.note, "Order attached");
    EXPECT_EQ(options.name, "");  // the PPD's "None": no text
    EXPECT_EQ(options.senderName, "Bob (HQ)");
    EXPECT_EQ(options.senderHome, "");  // given empty: off the cover sheet
    EXPECT_FALSE(options.senderFax);
    EXPECT_EQ(options.cover, true);
    EXPECT_EQ(options.showRecipCompany, false);
    EXPECT_EQ(options.showSenderFax, true);
    EXPECT_FALSE(options.showRecipName);
    EXPECT_EQ(options.fine, true);
    EXPECT_FALSE(options.sharedBook);  // the queue's to set, not the job's
}

TEST(JobOptions, TheQueuesDefaultsStandWhereTheJobSaysNothing) {
    TempDirectory dir;
    std::string ppd = Read(ORVIX_PS_PPD);
    ppd = std::regex_replace(ppd, std::regex("\\*Defaultorvixfax-book: User"), "*Defaultorvixfax-book: Shared");
    ppd = std::regex_replace(ppd, std::regex("\\*Defaultorvixfax-cover: Saved"), "*Defaultorvixfax-cover: True");
    dir.Write("queue.ppd", ppd);
    FaxJobOptions options;
    std::string error;
    ASSERT_TRUE(ReadFaxJobOptions(dir.HostPath("queue.ppd"), "", options, error)) << error;
    EXPECT_TRUE(options.sharedBook);
    EXPECT_EQ(options.cover, true);
    ASSERT_TRUE(ReadFaxJobOptions(dir.HostPath("queue.ppd"), "orvixfax-cover=Saved", options, error));
    EXPECT_FALSE(options.cover);
}

TEST(JobOptions, AValueAnOptionDoesNotTakeIsNamedWithTheOption) {
    const struct {
        const char *given, *said;
    } cases[] = {
        {"orvixfax-cover=maybe", "orvixfax-cover: \"maybe\" is not one of Saved, True and False"},
        {"orvixfax-show-sender-home=2", "orvixfax-show-sender-home: \"2\" is not one of"},
        {"orvixfax-resolution=Standard", "orvixfax-resolution: \"Standard\" is not Fine or Ultrafine"},
    };
    for (const auto &c : cases) {
        FaxJobOptions options;
        std::string error;
        EXPECT_FALSE(ReadFaxJobOptions(ORVIX_PCL_PPD, c.given, options, error)) << c.given;
        EXPECT_NE(error.find(c.said), std::string::npos) << error;
    }
}

TEST(JobOptions, OnlyAFaxQueuesPpdWillDo) {
    TempDirectory dir;
    dir.Write("other.ppd", std::regex_replace(Read(ORVIX_PCL_PPD), std::regex("\\*OrvixFaxTicket: PJL\n"), ""));
    FaxJobOptions options;
    std::string error;
    EXPECT_FALSE(ReadFaxJobOptions(dir.HostPath("other.ppd"), "", options, error));
    EXPECT_NE(error.find("not an OrvixFax fax queue's PPD"), std::string::npos) << error;
    EXPECT_FALSE(ReadFaxJobOptions(dir.HostPath("missing.ppd"), "", options, error));
    EXPECT_NE(error.find("the queue's PPD cannot be read"), std::string::npos) << error;
}

}  // namespace
