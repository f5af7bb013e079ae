#include "editors/group_editor.h"

#include "addrbook/display_lines.h"
#include "common/module_instance.h"
#include "common/record_set.h"
#include "common/text_field.h"
#include "res/resource.h"

namespace {

// Room for the longest line: last name, ", ", first name, TAB, number.
constexpr int kLineSize = 256;
constexpr int kGroupNameLimit = sizeof(GroupRecord::name) - 1;

EditorParams *GroupParams(HWND dialog) {
    return reinterpret_cast<EditorParams *>(GetWindowLongPtrA(dialog, DWLP_USER));
}

GroupRecord *EditedGroup(const EditorParams *params) {
    return static_cast<GroupRecord *>(params->record);
}

bool GroupHasNumber(const GroupRecord *group, const NumberRecord *number) {
    if (group == nullptr || group->members == nullptr) return false;
    for (const MemberLink *link = group->members->next; link != nullptr; link = link->next)
        if (link->number == number) return true;
    return false;
}

// One line of a pair list, carrying a MemberLink of its own. A line whose
// link cannot be made is not shown: it could never be moved into a group.
void AddPairLine(HWND dialog, int listId, PersonRecord *person, NumberRecord *number) {
    MemberLink *link = nullptr;
    if (!NewMemberLink(&link)) return;
    link->person = person;
    link->number = number;
    char line[kLineSize];
    FormatGroupEditorLine(person, number, line, sizeof line);
    const LRESULT index = SendDlgItemMessageA(dialog, listId, LB_ADDSTRING, 0,
                                              reinterpret_cast<LPARAM>(line));
    if (index < 0) {
        void *block = link;
        FreeRecord(&block);
        return;
    }
    SendDlgItemMessageA(dialog, listId, LB_SETITEMDATA, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(link));
}

MemberLink *LineLink(HWND dialog, int listId, int index) {
    const LRESULT data = SendDlgItemMessageA(dialog, listId, LB_GETITEMDATA, index, 0);
    if (data == LB_ERR) return nullptr;
    return reinterpret_cast<MemberLink *>(data);
}

void ReleasePairLines(HWND dialog, int listId) {
    const int count = static_cast<int>(SendDlgItemMessageA(dialog, listId, LB_GETCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        void *link = LineLink(dialog, listId, index);
        FreeRecord(&link);
    }
    SendDlgItemMessageA(dialog, listId, LB_RESETCONTENT, 0, 0);
}

// Left: every pair of the book not in `members`; right: the members.
void FillPairLists(HWND dialog, WorkingContext *context, GroupRecord *members) {
    // The members' numbers in a set, so a large group is not walked once
    // for every number of the book.
    size_t memberCount = 0;
    if (members != nullptr && members->members != nullptr)
        for (const MemberLink *link = members->members->next; link != nullptr; link = link->next) ++memberCount;
    RecordSet memberNumbers{};
    bool indexed = MakeRecordSet(&memberNumbers, memberCount) != 0;
    if (indexed) {
        for (const MemberLink *link = memberCount ? members->members->next : nullptr; link != nullptr; link = link->next)
            RecordSetAdd(&memberNumbers, link->number);
        SortRecordSet(&memberNumbers);
    }
    for (PersonRecord *person = context->persons->next; person != nullptr; person = person->next) {
        if (person->numbers == nullptr) continue;
        for (NumberRecord *number = person->numbers->next; number != nullptr; number = number->next) {
            bool member = indexed ? RecordSetHas(&memberNumbers, number) : GroupHasNumber(members, number);
            if (!member) AddPairLine(dialog, IDC_GROUP_AVAILABLE, person, number);
        }
    }
    FreeRecordSet(&memberNumbers);
    if (members != nullptr && members->members != nullptr)
        for (MemberLink *link = members->members->next; link != nullptr; link = link->next)
            AddPairLine(dialog, IDC_GROUP_MEMBERS, link->person, link->number);
}

void UpdateGroupOkState(HWND dialog) {
    EnableWindow(GetDlgItem(dialog, IDOK),
                 GetWindowTextLengthA(GetDlgItem(dialog, IDC_GROUP_NAME)) > 0);
}

INT_PTR InitGroupEditor(HWND dialog, EditorParams *params) {
    if (params == nullptr || params->record == nullptr || params->context == nullptr) {
        SetWindowLongPtrA(dialog, DWLP_USER, 0);
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(params));
    GroupRecord *group = EditedGroup(params);

    if (params->mode == EDITOR_NEW) {
        char title[125];
        if (LoadStringA(ModuleInstance(), IDS_NEW_GROUP, title, sizeof title) > 0)
            SetWindowTextA(dialog, title);
    }

    SendDlgItemMessageA(dialog, IDC_GROUP_NAME, EM_LIMITTEXT, kGroupNameLimit, 0);
    SetDlgItemTextA(dialog, IDC_GROUP_NAME, group->name);
    UpdateGroupOkState(dialog);

    // The group being edited shows its own members. Looking it up by name
    // instead would pick another group that shares the name (or whose name
    // is this one in brackets) and OK would then copy that group's members.
    // A new group has no members yet.
    FillPairLists(dialog, params->context, params->mode == EDITOR_NEW ? nullptr : group);

    SetListHorizontalExtent(dialog, IDC_GROUP_AVAILABLE);
    SetListHorizontalExtent(dialog, IDC_GROUP_MEMBERS);
    EnableWindow(GetDlgItem(dialog, IDC_GROUP_ADD), FALSE);
    EnableWindow(GetDlgItem(dialog, IDC_GROUP_REMOVE), FALSE);
    return TRUE;
}

// Moves the selected line, text and link together, from one list to the other.
void MovePairLine(HWND dialog, int fromId, int toId) {
    const LRESULT selected = SendDlgItemMessageA(dialog, fromId, LB_GETCURSEL, 0, 0);
    if (selected < 0) return;
    const int index = static_cast<int>(selected);
    const LRESULT length = SendDlgItemMessageA(dialog, fromId, LB_GETTEXTLEN, index, 0);
    if (length < 0 || length >= kLineSize) return;
    char line[kLineSize];
    SendDlgItemMessageA(dialog, fromId, LB_GETTEXT, index, reinterpret_cast<LPARAM>(line));
    MemberLink *link = LineLink(dialog, fromId, index);

    const LRESULT added = SendDlgItemMessageA(dialog, toId, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    if (added < 0) return;  // the line stays where it was, link and all
    SendDlgItemMessageA(dialog, toId, LB_SETITEMDATA, static_cast<WPARAM>(added),
                        reinterpret_cast<LPARAM>(link));
    SendDlgItemMessageA(dialog, fromId, LB_DELETESTRING, index, 0);
    SendDlgItemMessageA(dialog, fromId, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SendDlgItemMessageA(dialog, toId, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

// The first group of the book, other than `except`, that the same-name rule
// matches: its name, or its name in brackets, equals the text exactly.
GroupRecord *FindOtherGroup(WorkingContext *context, const char *name, const GroupRecord *except) {
    for (GroupRecord *group = context->groups->next; group != nullptr; group = group->next) {
        if (group == except) continue;
        if (CompareText(name, group->name) == 0) return group;
        char line[kLineSize];
        FormatGroupLine(group, line, sizeof line);
        if (CompareText(name, line) == 0) return group;
    }
    return nullptr;
}

// The right list's lines, top to bottom, as a fresh member list. Built in
// full before anything changes, so a lack of memory leaves the group as it was.
MemberLink *BuildMemberList(HWND dialog) {
    void *sentinel = nullptr;
    if (NewList(&sentinel, sizeof(MemberLink)) != ERR_NONE) return nullptr;
    MemberLink *members = static_cast<MemberLink *>(sentinel);
    MemberLink *tail = members;  // appended behind the last, without a walk per member
    const int count = static_cast<int>(SendDlgItemMessageA(dialog, IDC_GROUP_MEMBERS, LB_GETCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        const MemberLink *line = LineLink(dialog, IDC_GROUP_MEMBERS, index);
        if (line == nullptr) continue;
        MemberLink *member = nullptr;
        if (!NewMemberLink(&member)) {
            FreeRecordList(&sentinel);
            return nullptr;
        }
        member->person = line->person;
        member->number = line->number;
        tail->next = member;
        tail = member;
    }
    return members;
}

void RemoveGroupFromBook(WorkingContext *context, GroupRecord *group) {
    ListUnlink(context->groups, group);
    FreeGroup(&group);
}

void ShowOutOfMemory(HWND dialog) {
    char title[125];
    if (LoadStringA(ModuleInstance(), IDS_ERROR, title, sizeof title) <= 0) CopyField(title, "Error");
    MessageBoxA(dialog, "There is not enough memory to store this group. Nothing has been changed.",
                title, MB_OK | MB_ICONEXCLAMATION);
}

void OnGroupOk(HWND dialog, EditorParams *params) {
    GroupRecord *group = EditedGroup(params);
    WorkingContext *context = params->context;

    char name[sizeof group->name];
    GetDlgItemTextA(dialog, IDC_GROUP_NAME, name, sizeof name);
    const LRESULT memberCount = SendDlgItemMessageA(dialog, IDC_GROUP_MEMBERS, LB_GETCOUNT, 0, 0);

    if (name[0] == '\0') {
        ShowGroupWarning(dialog, GROUP_WARNING_NO_NAME);
        SetFocus(GetDlgItem(dialog, IDC_GROUP_NAME));
        return;
    }
    if (memberCount <= 0) {
        ShowGroupWarning(dialog, GROUP_WARNING_NO_MEMBERS);
        return;
    }

    // A new group is not in the book yet, so any match is another group;
    // an edited group that keeps its name needs no check.
    GroupRecord *clash = nullptr;
    if (params->mode == EDITOR_NEW) {
        FindGroupByName(context, name, &clash);
    } else if (CompareText(name, group->name) != 0) {
        clash = FindOtherGroup(context, name, group);
    }
    if (clash != nullptr && ShowGroupWarning(dialog, GROUP_WARNING_EXISTS) != IDYES) return;

    MemberLink *members = BuildMemberList(dialog);
    if (members == nullptr) {
        ShowOutOfMemory(dialog);
        return;
    }
    if (clash != nullptr) RemoveGroupFromBook(context, clash);

    CopyField(group->name, name);
    void *chain = group->members;
    FreeChain(&chain);
    group->members = members;
    EndDialog(dialog, IDOK);
}

void OnGroupEditorCommand(HWND dialog, int id, int code) {
    EditorParams *params = GroupParams(dialog);
    if (params == nullptr) return;
    switch (id) {
    case IDC_GROUP_NAME:
        if (code == EN_CHANGE) UpdateGroupOkState(dialog);
        break;
    case IDC_GROUP_AVAILABLE:
        if (code == LBN_SETFOCUS) {
            EnableWindow(GetDlgItem(dialog, IDC_GROUP_ADD), TRUE);
            EnableWindow(GetDlgItem(dialog, IDC_GROUP_REMOVE), FALSE);
        } else if (code == LBN_DBLCLK) {
            MovePairLine(dialog, IDC_GROUP_AVAILABLE, IDC_GROUP_MEMBERS);
        }
        break;
    case IDC_GROUP_MEMBERS:
        if (code == LBN_SETFOCUS) {
            EnableWindow(GetDlgItem(dialog, IDC_GROUP_ADD), FALSE);
            EnableWindow(GetDlgItem(dialog, IDC_GROUP_REMOVE), TRUE);
        } else if (code == LBN_DBLCLK) {
            MovePairLine(dialog, IDC_GROUP_MEMBERS, IDC_GROUP_AVAILABLE);
        }
        break;
    case IDC_GROUP_ADD:
        MovePairLine(dialog, IDC_GROUP_AVAILABLE, IDC_GROUP_MEMBERS);
        break;
    case IDC_GROUP_REMOVE:
        MovePairLine(dialog, IDC_GROUP_MEMBERS, IDC_GROUP_AVAILABLE);
        break;
    case IDOK:
        // Enter can reach here while OK is greyed; the empty-name message
        // then says what is missing.
        OnGroupOk(dialog, params);
        break;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        break;
    default:
        break;
    }
}

}  // namespace

int ShowGroupWarning(HWND owner, int kind) {
    UINT textId = IDS_GROUP_EXISTS;
    const char *english = "The Group name you have chosen already exists.\n Do you want to override it?";
    UINT buttons = MB_YESNO;
    if (kind == GROUP_WARNING_NO_NAME) {
        textId = IDS_GROUP_NO_NAME;
        english = "You have not entered a name for this new group.";
        buttons = MB_OK;
    } else if (kind == GROUP_WARNING_NO_MEMBERS) {
        textId = IDS_GROUP_NO_MEMBERS;
        english = "There are no Persons in this Group.";
        buttons = MB_OK;
    }
    char title[125];
    char text[125];
    if (LoadStringA(ModuleInstance(), IDS_WARNING, title, sizeof title) <= 0) CopyField(title, "Warning");
    if (LoadStringA(ModuleInstance(), textId, text, sizeof text) <= 0) CopyField(text, english);
    return MessageBoxA(owner, text, title, buttons);
}

namespace {

INT_PTR GroupEditorMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return InitGroupEditor(dialog, reinterpret_cast<EditorParams *>(lParam));
    case WM_COMMAND:
        OnGroupEditorCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return FALSE;
    case WM_DESTROY:
        // The line links belong to the lines, whatever the result.
        ReleasePairLines(dialog, IDC_GROUP_AVAILABLE);
        ReleasePairLines(dialog, IDC_GROUP_MEMBERS);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK GroupEditorDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    // No exception may reach the host's message loop. The module throws
    // none; the portable window layer can (std::bad_alloc when memory runs
    // out), and then the message counts as not handled.
    try {
        return GroupEditorMessage(dialog, message, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}
