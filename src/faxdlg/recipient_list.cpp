#include "faxdlg/recipient_list.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include "addrbook/display_lines.h"
#include "common/address_order.h"
#include "common/kanji_mode.h"
#include "common/locked_block.h"
#include "common/module_instance.h"
#include "common/text_field.h"
#include "editors/address_book_dialog.h"
#include "res/resource.h"

namespace {

const int kNumbersTextSize = 102400;

// The list control itself, for the walks over every line: looked up once
// rather than once a message.
HWND RecipientList(HWND dialog) { return GetDlgItem(dialog, IDC_FAX_RECIPIENTS); }

RecipientListItem *ItemOf(HWND list, int position) {
    LRESULT data = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(position), 0);
    if (data == LB_ERR || data == 0) return nullptr;
    return reinterpret_cast<RecipientListItem *>(data);
}

RecipientListItem *ItemAt(HWND dialog, int position) { return ItemOf(RecipientList(dialog), position); }

int SelectedLineCount(HWND dialog) {
    LRESULT count = SendDlgItemMessageA(dialog, IDC_FAX_RECIPIENTS, LB_GETSELCOUNT, 0, 0);
    return count > 0 ? static_cast<int>(count) : 0;
}

// Fetches at most `capacity` selected positions, ascending.
int FetchSelectedLines(HWND dialog, int *positions, int capacity) {
    int selected = SelectedLineCount(dialog);
    if (selected == 0) return 0;
    if (selected > capacity) selected = capacity;
    LRESULT fetched = SendDlgItemMessageA(dialog, IDC_FAX_RECIPIENTS, LB_GETSELITEMS,
                                          static_cast<WPARAM>(selected),
                                          reinterpret_cast<LPARAM>(positions));
    return fetched > 0 ? static_cast<int>(fetched) : 0;
}

int MemberCount(const GroupRecord *group) {
    int count = 0;
    if (group == nullptr || group->members == nullptr) return 0;
    for (const MemberLink *link = group->members->next; link != nullptr; link = link->next) {
        if (link->person != nullptr && link->number != nullptr) ++count;
    }
    return count;
}

// The pairs one line stands for.
int LineRecipientCount(const RecipientListItem *item) {
    if (item == nullptr) return 0;
    if (item->kind == RECIPIENT_GROUP_LINE) return MemberCount(item->group);
    if (item->person == nullptr || item->number == nullptr) return 0;
    return 1;
}

void EnableFaxButton(HWND dialog) {
    EnableWindow(GetDlgItem(dialog, IDOK), SelectedLineCount(dialog) > 0);
}

bool IsRemembered(const WorkingContext *context, int position) {
    for (int i = 0; i < context->selectionCount && i < SELECTION_CAPACITY; ++i) {
        if (context->selection[i] == position) return true;
    }
    return false;
}

// Takes the list back to the last accepted selection. Walks every line, so
// it works however many lines the user had selected.
void RevertToRememberedSelection(HWND dialog, const WorkingContext *context) {
    HWND list = RecipientList(dialog);
    LRESULT lines = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < lines; ++i) {
        if (SendMessageA(list, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0 && !IsRemembered(context, i))
            SendMessageA(list, LB_SETSEL, FALSE, i);
    }
}

// The items of a fill in the order they were made, which is about the
// order of their memory: released from here, they are taken one after
// another rather than spread over all of it, and the list is not asked
// for every line's data. One block, the list's user data while it holds
// lines, grown by doubling; when it cannot grow, it stops noting, and the
// items are found through the lines instead.
struct MadeItems {
    size_t count;
    size_t capacity;
    bool complete;  // every item of the fill is noted
};

const size_t kFirstMadeItems = 256;

RecipientListItem **ItemsOf(MadeItems *made) { return reinterpret_cast<RecipientListItem **>(made + 1); }

MadeItems *NewMadeItems(size_t capacity) {
    void *block = NewLockedBlock(sizeof(MadeItems) + capacity * sizeof(RecipientListItem *), GMEM_MOVEABLE);
    if (block == nullptr) return nullptr;
    return new (block) MadeItems{0, capacity, true};
}

MadeItems *HeldItems(HWND list) { return reinterpret_cast<MadeItems *>(GetWindowLongPtrA(list, GWLP_USERDATA)); }

void HoldItems(HWND list, MadeItems *made) {
    SetWindowLongPtrA(list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(made));
}

void NoteItem(MadeItems **made, RecipientListItem *item) {
    MadeItems *items = *made;
    if (items == nullptr || !items->complete) return;
    if (items->count == items->capacity) {
        MadeItems *grown = NewMadeItems(2 * items->capacity);
        if (grown == nullptr) {
            items->complete = false;
            return;
        }
        std::memcpy(ItemsOf(grown), ItemsOf(items), items->count * sizeof(RecipientListItem *));
        grown->count = items->count;
        FreeLockedBlock(items);
        *made = items = grown;
    }
    ItemsOf(items)[items->count++] = item;
}

// Adds a line of `length` bytes and attaches a new item to it for the
// caller to fill; null when the item cannot be made, and the line stays
// without data. `longest` follows the longest line the list took.
RecipientListItem *AddLine(HWND list, const char *text, size_t length, size_t *longest, MadeItems **made) {
    LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (index < 0) return nullptr;
    if (length > *longest) *longest = length;
    RecipientListItem *item = nullptr;
    if (!NewRecipientListItem(&item)) return nullptr;
    NoteItem(made, item);
    SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item));
    return item;
}

// One piece of IDC_FAX_NUMBERS: the text and its own separator, or nothing at
// all when the text is empty.
void AppendItem(char *text, size_t size, const char *piece, const char *separator) {
    if (piece == nullptr || piece[0] == '\0') return;
    AppendField(text, size, piece);
    AppendField(text, size, separator);
}

void AppendNameItems(char *text, size_t size, const PersonRecord *person,
                     const char *lastSeparator) {
    if (IsKanjiMode()) {
        AppendItem(text, size, person->lastName, " ");
        AppendItem(text, size, person->firstName, lastSeparator);
    } else {
        AppendItem(text, size, person->firstName, " ");
        AppendItem(text, size, person->lastName, lastSeparator);
    }
}

void ShowPersonCard(char *text, size_t size, const RecipientPair &pair) {
    AppendNameItems(text, size, pair.person, "\r\n");
    AppendItem(text, size, pair.person->company, "\r\n");
    AppendItem(text, size, pair.person->department, "\r\n");
    AppendItem(text, size, pair.person->notes, "\r\n");
    AppendItem(text, size, pair.number->number, "\r\n");
}

void ShowPairLine(char *text, size_t size, const RecipientPair &pair) {
    if (std::strlen(pair.person->firstName) + std::strlen(pair.person->lastName) >= 1) {
        AppendNameItems(text, size, pair.person, "\t");
    } else {
        AppendItem(text, size, pair.person->company, "\t");
    }
    AppendItem(text, size, pair.number->number, "\r\n");
}

// Cover-sheet fields that both builders write: cover sheet, resolution, the
// sender details whose flag is set and the ten note lines.
void FillCoverFields(HWND dialog, WorkingContext *context) {
    FaxInfo *info = context->faxInfo;
    const SenderInfo *sender = context->senderInfo;
    info->coverSheet = IsDlgButtonChecked(dialog, IDC_FAX_USE_COVER) == BST_CHECKED ? 1 : 0;
    info->resolution = IsDlgButtonChecked(dialog, IDC_FAX_ULTRAFINE) == BST_CHECKED ? 0 : 1;
    if (sender == nullptr) return;
    if (sender->senderNameFlag != 0) CopyField(info->senderName, sender->senderName);
    if (sender->senderFaxNumberFlag != 0)
        CopyField(info->senderFaxNumber, sender->senderFaxNumber);
    if (sender->senderHomeNumberFlag != 0)
        CopyField(info->senderHomeNumber, sender->senderHomeNumber);
    if (sender->senderBusinessNumberFlag != 0)
        CopyField(info->senderBusinessNumber, sender->senderBusinessNumber);
    for (int line = 0; line < 10; ++line) CopyField(info->noteLines[line], sender->noteLines[line]);
}

// What a selected line was before an address book edit: its record's
// serial, which no other record ever gets. A renamed group is still its
// group; a group freed and replaced by another in the same memory is not.
struct NotedLine {
    uint32_t kind;
    uint32_t id;
};

bool LineMatches(const RecipientListItem *item, const NotedLine &noted) {
    if (item == nullptr || item->kind != noted.kind) return false;
    if (noted.kind == RECIPIENT_GROUP_LINE) return item->group != nullptr && item->group->id == noted.id;
    return item->number != nullptr && item->number->id == noted.id;
}

// A noted line's identity as one sortable key: the kind, then the serial.
struct NotedKey {
    uint32_t kind;
    uint32_t id;
    int noted;  // its index among the noted lines
};

bool KeyBefore(const NotedKey &a, const NotedKey &b) {
    if (a.kind != b.kind) return a.kind < b.kind;
    return a.id < b.id;
}

NotedKey KeyOf(const NotedLine &line, int noted) { return NotedKey{line.kind, line.id, noted}; }

// The key a line would match under; false for a line that matches nothing.
bool KeyOfLine(const RecipientListItem *item, NotedKey *key) {
    if (item == nullptr) return false;
    if (item->kind == RECIPIENT_GROUP_LINE) {
        if (item->group == nullptr) return false;
        *key = NotedKey{item->kind, item->group->id, 0};
        return true;
    }
    if (item->number == nullptr) return false;
    *key = NotedKey{item->kind, item->number->id, 0};
    return true;
}

}  // namespace

void FormatRecipientName(const char *firstName, const char *lastName, char *name, size_t size) {
    if (name == nullptr || size == 0) return;
    const bool kanji = IsKanjiMode();
    CopyField(name, size, kanji ? lastName : firstName);
    AppendField(name, size, " ");
    AppendField(name, size, kanji ? firstName : lastName);
}

void EmptyRecipientList(HWND dialog) {
    HWND list = RecipientList(dialog);
    MadeItems *made = HeldItems(list);
    HoldItems(list, nullptr);
    if (made != nullptr && made->complete) {
        SendMessageA(list, LB_RESETCONTENT, 0, 0);
        for (size_t i = 0; i < made->count; ++i) FreeRecipientListItem(&ItemsOf(made)[i]);
        FreeLockedBlock(made);
        return;
    }
    FreeLockedBlock(made);
    LRESULT lines = SendMessageA(list, LB_GETCOUNT, 0, 0);
    // Without the items of the fill, they are released in the order of
    // their addresses, which is about the order they were made in: taken
    // in the list's order they would be spread over all of their memory,
    // a cache miss each. One block holds their addresses and the room to
    // sort them in; every slot of it is written before it is read, so it
    // is not cleared.
    RecipientListItem **items = nullptr;
    if (lines > 1)
        items = static_cast<RecipientListItem **>(
            NewLockedBlock(2 * sizeof(RecipientListItem *) * static_cast<size_t>(lines), GMEM_MOVEABLE));
    // Nothing reads the lines between here and their reset, so their data
    // is left as it is rather than cleared line by line.
    int taken = 0;
    for (int i = 0; i < lines; ++i) {
        RecipientListItem *item = ItemOf(list, i);
        if (item == nullptr) continue;
        if (items != nullptr)
            items[taken++] = item;
        else
            FreeRecipientListItem(&item);
    }
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    if (items != nullptr) {
        SortAddresses(reinterpret_cast<void **>(items), reinterpret_cast<void **>(items + lines),
                      static_cast<size_t>(taken));
        for (int i = 0; i < taken; ++i) FreeRecipientListItem(&items[i]);
        FreeLockedBlock(items);
    }
}

void FillRecipientList(HWND dialog, WorkingContext *context) {
    EmptyRecipientList(dialog);
    HWND list = RecipientList(dialog);
    char line[512];
    size_t longest = 0;
    MadeItems *made = NewMadeItems(kFirstMadeItems);
    if (context != nullptr && context->groups != nullptr) {
        for (GroupRecord *group = context->groups->next; group != nullptr; group = group->next) {
            size_t length = FormatGroupLine(group, line, sizeof line);
            RecipientListItem *item = AddLine(list, line, length, &longest, &made);
            if (item == nullptr) continue;
            item->kind = RECIPIENT_GROUP_LINE;
            item->group = group;
        }
    }
    if (context != nullptr && context->persons != nullptr) {
        for (PersonRecord *person = context->persons->next; person != nullptr;
             person = person->next) {
            PrefetchPerson(person->next);
            if (person->numbers == nullptr) continue;
            for (NumberRecord *number = person->numbers->next; number != nullptr;
                 number = number->next) {
                size_t length = FormatRecipientNumberLine(person, number, line, sizeof line);
                RecipientListItem *item = AddLine(list, line, length, &longest, &made);
                if (item == nullptr) continue;
                item->kind = RECIPIENT_NUMBER_LINE;
                item->person = person;
                item->number = number;
            }
        }
    }
    HoldItems(list, made);
    // The list was emptied first: its lines are the ones just added.
    SetListExtentForLongest(dialog, IDC_FAX_RECIPIENTS, longest);
}

int CountSelectedRecipients(HWND dialog, const int *positions, int count) {
    int total = 0;
    for (int i = 0; i < count; ++i) total += LineRecipientCount(ItemAt(dialog, positions[i]));
    return total;
}

int CollectSelectedRecipients(HWND dialog, const int *positions, int count,
                              RecipientPair *pairs, int capacity) {
    int filled = 0;
    for (int i = 0; i < count && filled < capacity; ++i) {
        const RecipientListItem *item = ItemAt(dialog, positions[i]);
        if (item == nullptr) continue;
        if (item->kind == RECIPIENT_GROUP_LINE) {
            if (item->group == nullptr || item->group->members == nullptr) continue;
            for (const MemberLink *link = item->group->members->next;
                 link != nullptr && filled < capacity; link = link->next) {
                if (link->person == nullptr || link->number == nullptr) continue;
                pairs[filled++] = RecipientPair{link->person, link->number};
            }
        } else if (LineRecipientCount(item) == 1) {
            pairs[filled++] = RecipientPair{item->person, item->number};
        }
    }
    return filled;
}

void ShowRecipientLimitMessage(HWND dialog) {
    char caption[64];
    char pattern[256];
    CopyField(caption, "Error");
    CopyField(pattern, "Maximum number of recipients is %");
    char loaded[256];
    if (LoadStringA(ModuleInstance(), IDS_ERROR, loaded, sizeof loaded) > 0)
        CopyField(caption, loaded);
    if (LoadStringA(ModuleInstance(), IDS_MAX_RECIPIENTS, loaded, sizeof loaded) > 0)
        CopyField(pattern, loaded);

    // The text before the "%" loses its last character (the blank in front
    // of the "%"), then come a blank, the limit, a blank and the rest.
    char text[320];
    const char *percent = std::strchr(pattern, '%');
    if (percent == nullptr) {
        CopyField(text, pattern);
    } else {
        size_t head = static_cast<size_t>(percent - pattern);
        CopyFieldN(text, sizeof text, pattern, head > 0 ? head - 1 : 0);
        char limit[32];
        wsprintfA(limit, " %d ", FAX_MAX_RECIPIENTS);
        AppendField(text, limit);
        AppendField(text, percent + 1);
    }
    MessageBoxA(dialog, text, caption, MB_OK);
}

void OnRecipientSelectionChange(HWND dialog, WorkingContext *context) {
    if (context == nullptr) return;
    int positions[SELECTION_CAPACITY];
    const int selected = SelectedLineCount(dialog);
    const int fetched = FetchSelectedLines(dialog, positions, SELECTION_CAPACITY);
    // More selected lines than the remembered selection can hold (only
    // possible with lines that stand for nobody) is refused like too many
    // recipients: the selection could not be kept.
    const bool fits = selected <= SELECTION_CAPACITY;
    if (fits && CountSelectedRecipients(dialog, positions, fetched) <= FAX_MAX_RECIPIENTS) {
        std::memcpy(context->selection, positions, sizeof(int) * static_cast<size_t>(fetched));
        context->selectionCount = fetched;
        ShowSelectedNumbers(dialog, fetched, positions);
    } else {
        ShowRecipientLimitMessage(dialog);
        RevertToRememberedSelection(dialog, context);
    }
    EnableFaxButton(dialog);
}

void ShowSelectedNumbers(HWND dialog, int selectedCount, const int *positions) {
    SetDlgItemTextA(dialog, IDC_FAX_NUMBERS, "");
    if (selectedCount <= 0 || positions == nullptr) return;
    RecipientPair pairs[FAX_MAX_RECIPIENTS];
    const int count =
        CollectSelectedRecipients(dialog, positions, selectedCount, pairs, FAX_MAX_RECIPIENTS);
    if (count == 0) return;

    void *block = nullptr;
    if (CreatePtr(&block, kNumbersTextSize) != ERR_NONE) return;
    char *text = static_cast<char *>(block);
    if (count == 1) {
        ShowPersonCard(text, kNumbersTextSize, pairs[0]);
    } else {
        for (int i = 0; i < count; ++i) ShowPairLine(text, kNumbersTextSize, pairs[i]);
    }
    SetDlgItemTextA(dialog, IDC_FAX_NUMBERS, text);
    DisposePtr(&block);
}

void EditAddressBookKeepingSelection(HWND dialog, WorkingContext *context) {
    if (context == nullptr) return;
    // Note what every remembered line stands for while its records still live.
    // One block for the noted lines, their keys and where each is found.
    struct Noting {
        NotedLine lines[SELECTION_CAPACITY];
        NotedKey keys[SELECTION_CAPACITY];
        int found[SELECTION_CAPACITY];
    };
    void *block = nullptr;
    Noting *noting = nullptr;
    NotedLine *noted = nullptr;
    int notedCount = 0;
    if (CreatePtr(&block, sizeof(Noting)) == ERR_NONE) {
        noting = static_cast<Noting *>(block);
        noted = noting->lines;
        for (int i = 0; i < context->selectionCount && i < SELECTION_CAPACITY; ++i) {
            const RecipientListItem *item = ItemAt(dialog, context->selection[i]);
            if (item == nullptr) continue;  // no item, no identity
            NotedLine &line = noted[notedCount];
            line.kind = item->kind;
            if (item->kind == RECIPIENT_GROUP_LINE) {
                if (item->group == nullptr) continue;
                line.id = item->group->id;
            } else {
                if (item->number == nullptr) continue;
                line.id = item->number->id;
            }
            ++notedCount;
        }
    }

    DialogBoxParamA(ModuleInstance(), "IDD_EDIT_ADDRESS_BOOK", dialog, AddressBookDlgProc,
                    reinterpret_cast<LPARAM>(context));

    FillRecipientList(dialog, context);
    context->selectionCount = 0;
    // Where each noted line is now: the first line that matches it, found
    // in one walk over the lines with the noted lines sorted by identity.
    int *found = noting != nullptr ? noting->found : nullptr;
    NotedKey *keys = noting != nullptr ? noting->keys : nullptr;
    for (int n = 0; n < notedCount; ++n) {
        found[n] = -1;
        keys[n] = KeyOf(noted[n], n);
    }
    std::sort(keys, keys + notedCount, KeyBefore);
    HWND list = RecipientList(dialog);
    const LRESULT lines = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < lines && notedCount > 0; ++i) {
        const RecipientListItem *item = ItemOf(list, i);
        NotedKey wanted{};
        if (!KeyOfLine(item, &wanted)) continue;
        for (const NotedKey *key = std::lower_bound(keys, keys + notedCount, wanted, KeyBefore);
             key < keys + notedCount && !KeyBefore(wanted, *key); ++key) {
            if (found[key->noted] < 0 && LineMatches(item, noted[key->noted])) found[key->noted] = i;
        }
    }
    int recipients = 0;
    bool overLimit = false;
    for (int n = 0; n < notedCount; ++n) {
        if (found[n] < 0) continue;
        // An edit can make the kept lines worth more than one job takes; a
        // line that would pass the limit is dropped, as a user's own
        // selection of it would be.
        const int worth = LineRecipientCount(ItemAt(dialog, found[n]));
        if (recipients + worth > FAX_MAX_RECIPIENTS) {
            overLimit = true;
        } else {
            recipients += worth;
            context->selection[context->selectionCount++] = found[n];
        }
    }
    DisposePtr(&block);

    for (int i = 0; i < context->selectionCount; ++i) {
        SendDlgItemMessageA(dialog, IDC_FAX_RECIPIENTS, LB_SETSEL, TRUE, context->selection[i]);
    }
    EnableWindow(GetDlgItem(dialog, IDOK), context->selectionCount > 0);
    if (overLimit) ShowRecipientLimitMessage(dialog);
    OnRecipientSelectionChange(dialog, context);
}

BOOL AddRecipientEntry(FaxInfo *info, const char *firstName, const char *lastName,
                       const char *faxNumber, const char *company) {
    if (info == nullptr || info->recipients == nullptr) return FALSE;
    if (info->recipientCount < 0 || info->recipientCount >= FAX_MAX_RECIPIENTS) return FALSE;
    RecipientEntry &slot = info->recipients[info->recipientCount];
    FormatRecipientName(firstName, lastName, slot.name, sizeof slot.name);
    CopyField(slot.faxNumber, faxNumber);
    CopyField(slot.company, company);
    ++info->recipientCount;
    return TRUE;
}

void AppendCoverRecipientName(WorkingContext *context, const char *firstName,
                              const char *lastName) {
    if (context == nullptr || context->faxInfo == nullptr) return;
    char *names = context->faxInfo->recipientNames;
    const size_t first = firstName != nullptr ? std::strlen(firstName) : 0;
    const size_t last = lastName != nullptr ? std::strlen(lastName) : 0;
    if (strnlen(names, sizeof context->faxInfo->recipientNames) + first + last + 2 >= COVER_NAMES_LIMIT) return;
    char name[128];
    FormatRecipientName(firstName, lastName, name, sizeof name);
    AppendField(context->faxInfo->recipientNames, "\t");
    AppendField(context->faxInfo->recipientNames, name);
}

void BuildRecipientsFromSelection(HWND dialog, WorkingContext *context) {
    if (context == nullptr || context->faxInfo == nullptr) return;
    FaxInfo *info = context->faxInfo;
    info->recipientCount = 0;
    FillCoverFields(dialog, context);

    const int selected = SelectedLineCount(dialog);
    if (selected == 0) return;
    // The selection change never accepts more lines than the remembered
    // selection holds, so this buffer takes every selected line.
    int positions[SELECTION_CAPACITY];
    const int fetched = FetchSelectedLines(dialog, positions, SELECTION_CAPACITY);
    for (int i = 0; i < fetched; ++i) {
        const RecipientListItem *item = ItemAt(dialog, positions[i]);
        if (item == nullptr) continue;
        if (item->kind == RECIPIENT_GROUP_LINE) {
            if (item->group == nullptr || item->group->members == nullptr) continue;
            for (const MemberLink *link = item->group->members->next; link != nullptr;
                 link = link->next) {
                if (link->person == nullptr || link->number == nullptr) continue;
                if (info->recipientCount >= FAX_MAX_RECIPIENTS) return;
                AppendCoverRecipientName(context, link->person->firstName,
                                         link->person->lastName);
                AddRecipientEntry(info, link->person->firstName, link->person->lastName,
                                  link->number->number, link->person->company);
            }
        } else if (LineRecipientCount(item) == 1) {
            if (info->recipientCount >= FAX_MAX_RECIPIENTS) return;
            const PersonRecord *person = item->person;
            const NumberRecord *number = item->number;
            if (selected == 1) {
                FormatRecipientName(person->firstName, person->lastName, info->recipientNames,
                                    sizeof info->recipientNames);
                CopyField(info->recipientFaxNumber, number->number);
                CopyField(info->recipientCompany, person->company);
            } else {
                AppendCoverRecipientName(context, person->firstName, person->lastName);
            }
            AddRecipientEntry(info, person->firstName, person->lastName, number->number,
                              person->company);
        }
    }
}

void BuildNewRecipient(HWND dialog, WorkingContext *context) {
    if (context == nullptr || context->faxInfo == nullptr) return;
    FaxInfo *info = context->faxInfo;
    FillCoverFields(dialog, context);
    if (info->recipients == nullptr) return;
    info->recipientCount = 1;
    RecipientEntry &slot = info->recipients[0];
    GetDlgItemTextA(dialog, IDC_FAX_NEW_NAME, slot.name, sizeof slot.name);
    GetDlgItemTextA(dialog, IDC_FAX_NEW_NUMBER, slot.faxNumber, sizeof slot.faxNumber);
}
