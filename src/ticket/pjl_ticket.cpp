#include "ticket/pjl_ticket.h"

#include <cstring>

#include "common/locked_block.h"
#include "platform/win32api.h"
#include "common/byte_scan.h"
#include "ticket/ticket_texts.h"

namespace {

const char kOpening[] = "@PJL COMMENT ";

// One line, composed in full before it joins the text. While the block has
// room for the longest line, the line is composed in place behind the text
// (it always fits then); near the end it is composed aside, and the append
// rule decides whether it joins. A field is copied sixteen bytes at a
// time, so up to fifteen bytes past its text may be written too: the next
// lines write over them, and the writer clears those behind the last line.
struct PjlLine {
    char *text;
    size_t length;
    char aside[1024 + 16];
};

// The longest line, with its line feed and the text's terminator.
enum { PJL_LINE_SIZE = 1024 };

void StartLine(PjlText &ticket, PjlLine &line, const char *key) {
    bool inPlace = ticket.length + sizeof line.aside <= PJL_TICKET_SIZE;
    line.text = inPlace ? ticket.block + ticket.length : line.aside;
    size_t openingLength = sizeof kOpening - 1;
    std::memcpy(line.text, kOpening, openingLength);
    size_t keyLength = std::strlen(key);
    std::memcpy(line.text + openingLength, key, keyLength);
    line.length = openingLength + keyLength;
}

// What room the line has left for values: it keeps its line feed and a zero.
size_t Room(const PjlLine &line) { return PJL_LINE_SIZE - 2 - line.length; }

// A control byte in a value could end the PJL line (CR, LF: the rest of
// the value would pass for a line of its own, and a name could add a fax
// number to the job) or the whole job (ESC starts the printer's universal
// exit). Every C0 control but TAB, and DEL, is written as a blank.
bool IsPjlControl(unsigned char byte) { return (byte < 0x20 && byte != '\t') || byte == 0x7F; }

// Copies sixteen bytes with their controls blanked (the zero byte stays);
// gives whether a zero byte was among them.
bool CopyBlanked16(const char *from, char *to) {
    Bytes16 v;
    std::memcpy(&v, from, sizeof v);
    auto zero = v == 0;
    auto control = (((v < 0x20) & (v != '\t')) & ~zero) | (v == 0x7F);
    Bytes16 blanks = (Bytes16)control;
    Bytes16 blanked = (v & ~blanks) | (' ' & blanks);
    std::memcpy(to, &blanked, sizeof blanked);
    uint64_t halves[2];
    std::memcpy(halves, &zero, sizeof halves);
    return (halves[0] | halves[1]) != 0;
}

// Adds a value of exactly `length` bytes (cut to the line's room), its
// control bytes made blanks.
void AddText(PjlLine &line, const char *value, size_t length) {
    char *out = line.text + line.length;
    if (length > Room(line)) length = Room(line);
    for (size_t i = 0; i < length; ++i) {
        unsigned char byte = static_cast<unsigned char>(value[i]);
        out[i] = IsPjlControl(byte) ? ' ' : static_cast<char>(byte);
    }
    line.length += length;
}

// Adds a field's text, up to its zero byte (cut to the line's room), its
// control bytes made blanks, reading and writing whole chunks of sixteen.
template <size_t N>
void AddField(PjlLine &line, const char (&field)[N]) {
    FieldChunks<N> chunks(field);
    char *out = line.text + line.length;
    size_t limit = N < Room(line) ? N : Room(line);
    size_t length = limit;
    for (size_t at = 0; at < limit; at += 16) {
        const char *chunk = chunks.At(at);
        if (CopyBlanked16(chunk, out + at)) {
            size_t end = at + FirstOf16<0>(chunk);
            if (end < limit) length = end;
            break;
        }
    }
    line.length += length;
}

// Adds the first `length` bytes of a number already reduced to its digits
// (they need no blanking), sixteen bytes at a time.
template <size_t N>
void AddDigits(PjlLine &line, const char (&number)[N], size_t length) {
    if (length > Room(line)) length = Room(line);
    CopyInChunks(line.text + line.length, number, length);
    line.length += length;
}

void AddBlank(PjlLine &line) {
    if (Room(line) > 0) line.text[line.length++] = ' ';
}

void EndLine(PjlText &ticket, PjlLine &line) {
    line.text[line.length++] = '\n';
    if (line.text == line.aside) AppendPjlLine(&ticket, line.text, line.length);
    else ticket.length += line.length;
}

void WriteLine(PjlText &ticket, const char *key) {
    PjlLine line;
    StartLine(ticket, line, key);
    EndLine(ticket, line);
}

template <size_t N>
void WriteLine(PjlText &ticket, const char *key, const char (&field)[N]) {
    PjlLine line;
    StartLine(ticket, line, key);
    AddField(line, field);
    EndLine(ticket, line);
}

// The recipient text (the name and a space, the number and a space, the
// company, each when its flag is on), written straight into the line.
void WriteRecipientLine(PjlText &ticket, const FaxInfo *info, const RecipientEntry &slot,
                        size_t digits) {
    PjlLine line;
    StartLine(ticket, line, "@@FXP=");
    if (info->includeRecipName != 0) {
        AddField(line, slot.name);
        AddBlank(line);
    }
    if (info->includeRecipNumber != 0) {
        AddDigits(line, slot.faxNumber, digits);
        AddBlank(line);
    }
    if (info->includeRecipCompany != 0) AddField(line, slot.company);
    EndLine(ticket, line);
}

void WriteCoverSheet(PjlText &text, const FaxInfo *info, int count, const DigitCounts &digits) {
    static const char *const kLabelKeys[LABEL_COUNT] = {
        "@@LFX=", "@@LTO=", "@@LFR=", "@@LFF=", "@@LFB=", "@@LHP=", "@@LDT="};
    WriteLine(text, "@@CVS=SRT");
    TicketLabels labels;
    LoadTicketLabels(&labels);
    for (int i = 0; i < LABEL_COUNT; ++i) WriteLine(text, kLabelKeys[i], labels.text[i]);
    WriteLine(text, "@@EFR=", info->senderName);
    WriteLine(text, "@@EFF=", info->senderFaxNumber);
    WriteLine(text, "@@EBP=", info->senderBusinessNumber);
    WriteLine(text, "@@EHP=", info->senderHomeNumber);
    char date[TICKET_DATE_SIZE];
    size_t dateLength = FormatTicketDate(date, sizeof date);
    PjlLine line;
    StartLine(text, line, "@@EDT=");
    AddText(line, date, dateLength);
    EndLine(text, line);
    // Nine note lines: the cover sheet has no place for the tenth.
    char key[] = "@@EN1=";
    for (int i = 0; i < 9; ++i) {
        key[4] = static_cast<char>('1' + i);
        WriteLine(text, key, info->noteLines[i]);
    }
    for (int i = 0; i < count; ++i) {
        const RecipientEntry &slot = info->recipients[i];
        if (digits.count[i] != 0) WriteRecipientLine(text, info, slot, digits.count[i]);
    }
    WriteLine(text, "@@CVS=END");
}

}  // namespace

bool AppendPjlLine(PjlText *text, const char *line, size_t length) {
    if (text->length + length >= PJL_TICKET_SIZE) return false;
    std::memcpy(text->block + text->length, line, length);
    text->length += length;
    return true;
}

char *WritePjlTicket(FaxInfo *info, uint32_t *length) {
    if (length != nullptr) *length = 0;
    if (info == nullptr || info->status == 0) return nullptr;

    int count = TicketRecipientCount(info);
    DigitCounts digits;
    ReduceRecipientNumbers(info, count, &digits);

    auto *block = static_cast<char *>(NewLockedBlock(PJL_TICKET_SIZE));
    if (block == nullptr) return nullptr;

    PjlText text{block, 0};
    WriteLine(text, "@@MJB=SRT");
    WriteLine(text, "@@DEV=FAX");
    if (info->coverSheet != 0) WriteCoverSheet(text, info, count, digits);
    WriteLine(text, "@@FXM=FIN");
    for (int i = 0; i < count; ++i) {
        if (digits.count[i] == 0) continue;
        PjlLine line;
        StartLine(text, line, "@@FXN=");
        AddDigits(line, info->recipients[i].faxNumber, digits.count[i]);
        EndLine(text, line);
    }
    WriteLine(text, "@@FXN=END");
    WriteLine(text, "@@MJB=END");
    // Whatever a value's last chunk wrote past the text goes back to zero.
    size_t behind = PJL_TICKET_SIZE - text.length;
    std::memset(block + text.length, 0, behind < 16 ? behind : 16);

    if (length != nullptr) *length = static_cast<uint32_t>(text.length);
    return block;
}
