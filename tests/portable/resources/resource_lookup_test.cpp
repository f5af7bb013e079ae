// Finding templates, strings and icons through the module's instance, and
// the template facts the dialogs depend on.
#include "platform/portable/host.h"
#include "platform/portable/resources/resources.h"
#include "platform/win32api.h"
#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

const portable::DialogItemTemplate *Item(const portable::DialogTemplate *dialog, int id) {
    for (int i = 0; i < dialog->itemCount; ++i)
        if (dialog->items[i].id == id) return &dialog->items[i];
    return nullptr;
}

TEST(DialogTemplates, FoundByNameWithoutRegardToCase) {
    HINSTANCE module = portable::ModuleInstance();
    const portable::DialogTemplate *dialog = portable::FindDialogTemplate(module, "IDD_EDIT_NUMBER");
    ASSERT_NE(dialog, nullptr);
    EXPECT_STREQ(dialog->caption, "Edit Number");
    EXPECT_EQ(portable::FindDialogTemplate(module, "idd_edit_number"), dialog);
}

TEST(DialogTemplates, MissingOrForeignGivesNull) {
    HINSTANCE module = portable::ModuleInstance();
    EXPECT_EQ(portable::FindDialogTemplate(module, "IDD_NO_SUCH"), nullptr);
    EXPECT_EQ(portable::FindDialogTemplate(module, MAKEINTRESOURCEA(100)), nullptr);
    EXPECT_EQ(portable::FindDialogTemplate(module, nullptr), nullptr);
    EXPECT_EQ(portable::FindDialogTemplate(nullptr, "IDD_ORVIX_FAX"), nullptr);
    EXPECT_EQ(portable::DialogTemplateAt(-1), nullptr);
    EXPECT_EQ(portable::DialogTemplateAt(portable::DialogTemplateCount()), nullptr);
}

TEST(DialogTemplates, FaxDialogHasNoCloseBoxAndStartsWithHiddenResolution) {
    const portable::DialogTemplate *fax = portable::FindDialogTemplate(portable::ModuleInstance(), "IDD_ORVIX_FAX");
    ASSERT_NE(fax, nullptr);
    EXPECT_EQ(fax->style & WS_SYSMENU, 0u);
    EXPECT_EQ(fax->style & (WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT),
              static_cast<DWORD>(WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(fax->pointSize, 8);
    EXPECT_STREQ(fax->fontFace, "MS Sans Serif");
    for (int id : {IDC_FAX_ULTRAFINE, IDC_FAX_FINE, IDC_FAX_RESOLUTION_ICON}) {
        ASSERT_NE(Item(fax, id), nullptr) << id;
        EXPECT_EQ(Item(fax, id)->style & WS_VISIBLE, 0u) << id;
    }
    EXPECT_NE(Item(fax, IDC_FAX_EDIT_COVER)->style & WS_DISABLED, 0u);
    EXPECT_EQ(Item(fax, IDC_FAX_RECIPIENTS)->style & (LBS_SORT | LBS_MULTIPLESEL | LBS_NOTIFY | LBS_USETABSTOPS),
              static_cast<DWORD>(LBS_SORT | LBS_MULTIPLESEL | LBS_NOTIFY | LBS_USETABSTOPS));
}

TEST(DialogTemplates, EveryOtherDialogHasACloseBoxAndOkCancel) {
    for (const char *name : {"IDD_COVER_PAGE", "IDD_EDIT_ADDRESS_BOOK", "IDD_EDIT_GROUPS", "IDD_EDIT_INDIV",
                             "IDD_EDIT_NUMBER"}) {
        const portable::DialogTemplate *dialog = portable::FindDialogTemplate(portable::ModuleInstance(), name);
        ASSERT_NE(dialog, nullptr) << name;
        EXPECT_NE(dialog->style & WS_SYSMENU, 0u) << name;
        ASSERT_NE(Item(dialog, IDOK), nullptr) << name;
        ASSERT_NE(Item(dialog, IDCANCEL), nullptr) << name;
        EXPECT_EQ(Item(dialog, IDOK)->style & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON)) << name;
    }
}

TEST(DialogTemplates, NoteFieldWrapsAndPersonNotesDoNotTakeEnter) {
    HINSTANCE module = portable::ModuleInstance();
    const portable::DialogItemTemplate *note =
        Item(portable::FindDialogTemplate(module, "IDD_COVER_PAGE"), IDC_COVER_NOTE);
    ASSERT_NE(note, nullptr);
    EXPECT_NE(note->style & ES_WANTRETURN, 0u);
    EXPECT_EQ(note->style & (ES_AUTOHSCROLL | ES_AUTOVSCROLL), 0u);
    const portable::DialogItemTemplate *notes =
        Item(portable::FindDialogTemplate(module, "IDD_EDIT_INDIV"), IDC_PERSON_NOTES);
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(notes->style & ES_WANTRETURN, 0u);
    const portable::DialogItemTemplate *numbers =
        Item(portable::FindDialogTemplate(module, "IDD_EDIT_INDIV"), IDC_PERSON_NUMBERS);
    EXPECT_EQ(numbers->style & LBS_SORT, 0u);
}

TEST(Icons, LoadIconGivesHandlesThatNameTheirIcon) {
    HINSTANCE module = portable::ModuleInstance();
    for (int id : {IDI_COVER_SHEET, IDI_ULTRAFINE, IDI_FINE, IDI_FAX_MACHINE}) {
        EXPECT_TRUE(portable::HasIcon(module, id));
        HICON icon = LoadIconA(module, MAKEINTRESOURCEA(id));
        ASSERT_NE(icon, nullptr) << id;
        EXPECT_EQ(portable::IconIdOf(icon), id);
        EXPECT_EQ(LoadIconA(module, MAKEINTRESOURCEA(id)), icon);  // shared: the same handle again
    }
    EXPECT_EQ(LoadIconA(module, "#112"), LoadIconA(module, MAKEINTRESOURCEA(IDI_FINE)));  // the "#id" spelling
    EXPECT_NE(LoadIconA(module, MAKEINTRESOURCEA(IDI_FINE)), LoadIconA(module, MAKEINTRESOURCEA(IDI_ULTRAFINE)));
}

TEST(Icons, MissingIconsAndSystemIcons) {
    HINSTANCE module = portable::ModuleInstance();
    EXPECT_FALSE(portable::HasIcon(module, 108));
    EXPECT_FALSE(portable::HasIcon(nullptr, IDI_FINE));
    EXPECT_EQ(LoadIconA(module, MAKEINTRESOURCEA(108)), nullptr);
    EXPECT_EQ(LoadIconA(module, "FAX"), nullptr);
    EXPECT_EQ(LoadIconA(module, nullptr), nullptr);
    EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(IDI_FINE)), nullptr);
    HICON application = LoadIconA(nullptr, IDI_APPLICATION);
    ASSERT_NE(application, nullptr);
    EXPECT_EQ(portable::IconIdOf(application), 32512);
    EXPECT_EQ(portable::IconIdOf(nullptr), 0);
}

TEST(Strings, EveryDayAndMonthNameLoads) {
    char buffer[8];
    for (UINT id = IDS_DAY_MONDAY; id <= IDS_MONTH_DECEMBER; ++id)
        EXPECT_EQ(LoadStringA(portable::ModuleInstance(), id, buffer, sizeof buffer), 3) << id;
}

TEST(Module, FoundByItsFileName) {
    EXPECT_EQ(GetModuleHandleA("OrvixFax.dll"), portable::ModuleInstance());
    EXPECT_EQ(GetModuleHandleA("orvixfax"), portable::ModuleInstance());  // ".dll" supplied, case ignored
    EXPECT_EQ(GetModuleHandleA("TestDialogs.dll"), nullptr);
}

}  // namespace
