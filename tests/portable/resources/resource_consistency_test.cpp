// The portable layer's generated tables against what windres compiles from
// the same script: every dialog, control, style, position, caption, font,
// string and icon must agree, or the two builds would show different dialogs.
#include "compiled_resources.h"
#include "platform/portable/host.h"
#include "platform/portable/resources/resources.h"
#include "res/resource_names.h"

#include <gtest/gtest.h>

#include <set>
#include <strings.h>

namespace {

class ResourceConsistency : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        compiledResources_ = compiled::Read(ORVIX_RES_FILE, error);
        readError_ = error;
    }
    void SetUp() override { ASSERT_TRUE(compiledResources_.has_value()) << readError_; }
    const compiled::Resources &res() const { return *compiledResources_; }

    static std::optional<compiled::Resources> compiledResources_;
    static std::string readError_;
};
std::optional<compiled::Resources> ResourceConsistency::compiledResources_;
std::string ResourceConsistency::readError_;

const char *ClassName(const compiled::NameOrId &windowClass) {
    if (!windowClass.isId) return windowClass.name.c_str();
    switch (windowClass.id) {
    case 0x80: return "BUTTON";
    case 0x81: return "EDIT";
    case 0x82: return "STATIC";
    case 0x83: return "LISTBOX";
    case 0x84: return "SCROLLBAR";
    case 0x85: return "COMBOBOX";
    default: return "?";
    }
}

TEST_F(ResourceConsistency, SameDialogsOnBothSides) {
    std::set<std::string> compiledNames, generatedNames;
    for (const compiled::Dialog &dialog : res().dialogs) {
        EXPECT_FALSE(dialog.name.isId) << "dialog " << dialog.name.id << " is named by number";
        compiledNames.insert(dialog.name.name);
    }
    for (int i = 0; i < portable::DialogTemplateCount(); ++i)
        generatedNames.insert(portable::DialogTemplateAt(i)->name);
    EXPECT_EQ(compiledNames, generatedNames);
    EXPECT_EQ(generatedNames, (std::set<std::string>{"IDD_ORVIX_FAX", "IDD_COVER_PAGE", "IDD_EDIT_ADDRESS_BOOK",
                                                     "IDD_EDIT_GROUPS", "IDD_EDIT_INDIV", "IDD_EDIT_NUMBER"}));
}

TEST_F(ResourceConsistency, EveryDialogAndControlAgrees) {
    for (const compiled::Dialog &expected : res().dialogs) {
        SCOPED_TRACE(expected.name.name);
        const portable::DialogTemplate *dialog =
            portable::FindDialogTemplate(portable::ModuleInstance(), expected.name.name.c_str());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->style, expected.style);
        EXPECT_EQ(dialog->exStyle, expected.exStyle);
        EXPECT_EQ(dialog->x, expected.x);
        EXPECT_EQ(dialog->y, expected.y);
        EXPECT_EQ(dialog->cx, expected.cx);
        EXPECT_EQ(dialog->cy, expected.cy);
        EXPECT_EQ(std::string(dialog->caption), expected.caption);
        EXPECT_EQ(dialog->pointSize, expected.pointSize);
        EXPECT_EQ(std::string(dialog->fontFace), expected.fontFace);
        EXPECT_FALSE(expected.menu.isId || !expected.menu.name.empty()) << "a menu the portable layer lacks";
        ASSERT_EQ(dialog->itemCount, static_cast<int>(expected.controls.size()));
        for (int i = 0; i < dialog->itemCount; ++i) {
            const portable::DialogItemTemplate &item = dialog->items[i];
            const compiled::Control &control = expected.controls[static_cast<size_t>(i)];
            SCOPED_TRACE("control " + std::to_string(i) + " id " + std::to_string(item.id));
            EXPECT_EQ(strcasecmp(item.windowClass, ClassName(control.windowClass)), 0)
                << item.windowClass << " vs " << ClassName(control.windowClass);
            EXPECT_EQ(static_cast<uint16_t>(item.id), static_cast<uint16_t>(control.id));
            EXPECT_EQ(item.style, control.style) << std::hex << item.style << " vs " << control.style;
            EXPECT_EQ(item.exStyle, control.exStyle);
            EXPECT_EQ(item.x, control.x);
            EXPECT_EQ(item.y, control.y);
            EXPECT_EQ(item.cx, control.cx);
            EXPECT_EQ(item.cy, control.cy);
            if (control.title.isId) {
                EXPECT_EQ(item.iconId, control.title.id);
                EXPECT_STREQ(item.text, "");
            } else {
                EXPECT_EQ(item.iconId, 0);
                EXPECT_EQ(std::string(item.text), control.title.name);
            }
        }
    }
}

TEST_F(ResourceConsistency, StringTablesAgree) {
    std::map<unsigned, std::string> generated;
    for (int i = 0; i < portable::StringResourceCount(); ++i)
        generated[portable::StringResourceAt(i)->id] = portable::StringResourceAt(i)->text;
    EXPECT_EQ(generated, res().strings);
    EXPECT_EQ(res().strings.at(1045), "English");
    for (const res::Name &name : res::StringNames()) EXPECT_TRUE(res().strings.count(name.id)) << name.name;
}

TEST_F(ResourceConsistency, IconsAgreeAndAre32By32) {
    std::set<int> generated, compiledIds;
    for (int i = 0; i < portable::IconResourceCount(); ++i) generated.insert(portable::IconResourceAt(i));
    for (const auto &[id, entries] : res().iconGroups) {
        compiledIds.insert(id);
        ASSERT_FALSE(entries.empty()) << "icon " << id;
        for (const compiled::IconGroupEntry &entry : entries) {
            EXPECT_EQ(entry.width, 32) << "icon " << id;
            EXPECT_EQ(entry.height, 32) << "icon " << id;
            EXPECT_TRUE(res().iconImages.count(entry.imageId)) << "icon " << id << " lacks its image";
        }
    }
    EXPECT_EQ(generated, compiledIds);
    std::set<int> named;
    for (const res::Name &name : res::IconNames()) named.insert(name.id);
    EXPECT_EQ(generated, named);
}

TEST_F(ResourceConsistency, EveryControlNameIsADialogsControl) {
    std::set<int> used;
    for (const compiled::Dialog &dialog : res().dialogs)
        for (const compiled::Control &control : dialog.controls) used.insert(static_cast<uint16_t>(control.id));
    for (const res::Name &name : res::ControlNames()) EXPECT_TRUE(used.count(name.id)) << name.name;
}

TEST_F(ResourceConsistency, IconControlsNameExistingIcons) {
    for (int d = 0; d < portable::DialogTemplateCount(); ++d) {
        const portable::DialogTemplate *dialog = portable::DialogTemplateAt(d);
        for (int i = 0; i < dialog->itemCount; ++i) {
            if (dialog->items[i].iconId == 0) continue;
            EXPECT_TRUE(res().iconGroups.count(static_cast<uint16_t>(dialog->items[i].iconId)))
                << dialog->name << " shows icon " << dialog->items[i].iconId;
        }
    }
}

}  // namespace
