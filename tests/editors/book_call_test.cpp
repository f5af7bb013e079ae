// OrvixFaxBookCall end to end: its own context, the dialog, OK saving and
// Cancel losing what was changed with the context.
#include <filesystem>

#include "book_fixture.h"

using namespace portable::automation;

namespace {

class BookCallTest : public BookTest {
protected:
    void SetUp() override {
        BookTest::SetUp();
        WriteBook(kSampleBook);
    }
    static void DeleteBob(HWND dialog) {
        PickLine(dialog, IDC_BOOK_LIST, "Roe, Bob\tBeta");
        Click(dialog, IDC_BOOK_DELETE);
    }
};

TEST_F(BookCallTest, OkSavesTheBookAndTheCallReturnsOne) {
    user_.Then([](HWND dialog) {
        EXPECT_EQ(Caption(dialog), "Edit Address Book");
        DeleteBob(dialog);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(OrvixFaxBookCall(nullptr), 1u);
    EXPECT_EQ(ReadBook(),
              ",Ann,Lee,,Acme,,,555-1000,office,555-1001,home\n"
              ",,,,Gamma Ltd,,,555-3000,main\n"
              "\fTeam,0.0\nSolo,0.1\n");
}

TEST_F(BookCallTest, CancelReturnsOneAndTheNextCallSeesTheBookAsItWas) {
    user_.Then([](HWND dialog) {
        DeleteBob(dialog);
        Click(dialog, IDCANCEL);
    });
    user_.Then([](HWND dialog) {
        EXPECT_GE(LineOf(dialog, IDC_BOOK_LIST, "Roe, Bob\tBeta"), 0);
        PressEscape(dialog);
    });
    EXPECT_EQ(OrvixFaxBookCall(nullptr), 1u);
    EXPECT_EQ(ReadBook(), kSampleBook);
    EXPECT_EQ(OrvixFaxBookCall(nullptr), 1u);
    EXPECT_EQ(ReadBook(), kSampleBook);
}

TEST_F(BookCallTest, WithoutABookFileOkCreatesOne) {
    std::filesystem::remove(directory_ + "/OrvixFax.adb");
    user_.Then([](HWND dialog) {
        EXPECT_EQ(LineCount(dialog, IDC_BOOK_LIST), 0);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(OrvixFaxBookCall(nullptr), 1u);
    EXPECT_TRUE(BookExists());
    EXPECT_EQ(ReadBook(), "\f");
}

}  // namespace

namespace {

// From the fax dialog: a delete takes effect in the fax dialog's list at
// once, and the dialog's Cancel keeps it out of the file.
TEST_F(BookCallTest, CancelAfterADeleteFromTheFaxDialogLeavesTheFileButNotTheList) {
    user_.Then([](HWND fax) {
        EXPECT_EQ(Caption(fax), "Fax Document");
        EXPECT_GE(LineOf(fax, IDC_FAX_RECIPIENTS, "Roe, Bob\t555-2000"), 0);
        Click(fax, IDC_FAX_EDIT_BOOK);
        EXPECT_EQ(FindLine(fax, IDC_FAX_RECIPIENTS, "Roe, Bob\t555-2000"), -1);
        EXPECT_GE(LineOf(fax, IDC_FAX_RECIPIENTS, "[Team]"), 0) << "Team keeps Ann's number";
        EXPECT_GE(LineOf(fax, IDC_FAX_RECIPIENTS, "Lee, Ann\t555-1000"), 0);
        Click(fax, IDC_FAX_PRINT);
    });
    user_.Then([](HWND dialog) {
        DeleteBob(dialog);
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(PCLOrvixFaxCall(0, 0), 1u);
    EXPECT_EQ(ReadBook(), kSampleBook);
}

TEST_F(BookCallTest, OkAfterADeleteFromTheFaxDialogSavesTheBook) {
    user_.Then([](HWND fax) {
        Click(fax, IDC_FAX_EDIT_BOOK);
        EXPECT_EQ(FindLine(fax, IDC_FAX_RECIPIENTS, "[Solo]"), -1) << "Solo went with Ann";
        Click(fax, IDC_FAX_PRINT);
    });
    user_.Then([](HWND dialog) {
        PickLine(dialog, IDC_BOOK_LIST, "Lee, Ann\tAcme");
        Click(dialog, IDC_BOOK_DELETE);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(PCLOrvixFaxCall(0, 0), 1u);
    EXPECT_EQ(ReadBook(),
              ",Bob,Roe,,Beta,,,555-2000,desk\n"
              ",,,,Gamma Ltd,,,555-3000,main\n"
              "\fTeam,0.0\n");
}

}  // namespace
