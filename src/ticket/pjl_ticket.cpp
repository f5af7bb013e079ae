#include "ticket/pjl_ticket.h"

#include <cstring>

#include "common/locked_block.h"
#include "platform/win32api.h"
#include "ticket/byte_scan.h"
#include "ticket/ticket_texts.h"

namespace {

const char kOpening[] = "@PJL COMMENT ";

// One line, composed in full before it joins the text. While the block has
// room for the longest line, the line is composed in place behind the text
// (it always fits then); near the end it is composed aside, and the append
// rule decides whether it joins.
struct PjlLine {
    char *text;
    size_t length;
    char aside[1024];
};

void StartLine(PjlText &ticket, PjlLine &line, const char *key) {
    bool inPlace = ticket.length + sizeof line.aside <= PJL_TICKET_SIZE;
    line.text = inPlace ? ticket.block + ticket.length : line.aside;
    size_t openingLength = sizeof kOpening - 1;
    std::memcpy(line.text, kOpening, openingLength);
    size_t keyLength = std::strlen(key);
    std::memcpy(line.text + openingLength, key, keyLength);
    line.length = openingLength + keyLength;
}

// A control byte in a value could end the PJL line (CR, LF: the rest of
// the value would pass for a line of its own, and a name could add a fax
// number to the job) or the whole job (ESC starts the printer's universal
// exit). Every C0 control but TAB, and DEL, is written as a blank.
bool IsPjlControl(unsigned char byte) { return (byte < 0x20 && byte != '\t') || byte == 0x7F; }

bool AnyPjlControl16(const char *bytes) {
    typedef unsigned char Bytes16 __attribute__((vector_size(16)));
    Bytes16 v;
    std::memcpy(&v, bytes, sizeof v);
    auto hits = ((v < 0x20) & (v != '\t')) | (v == 0x7F);
    uint64_t halves[2];
    std::memcpy(halves, &hits, sizeof halves);
    return (halves[0] | halves[1]) != 0;
}

// Adds a value of exactly `length` bytes (cut to the line's room), its
// control bytes made blanks.
void AddText(PjlLine &line, const char *value, size_t length) {
    size_t room = sizeof line.aside - 2 - line.length;  // keep the line feed and a zero
    char *out = line.text + line.length;
    if (length > room) length = room;
    std::memcpy(out, value, length);
    size_t i = 0;
    for (; i + 16 <= length; i += 16) {
        if (!AnyPjlControl16(out + i)) continue;
        for (size_t k = i; k < i + 16; ++k)
            if (IsPjlControl(static_cast<unsigned char>(out[k]))) out[k] = ' ';
    }
    for (; i < length; ++i)
        if (IsPjlControl(static_cast<unsigned char>(out[i]))) out[i] = ' ';
    line.length += length;
}

// Adds a value of at most `size` bytes (it may end sooner at a zero byte).
void AddValue(PjlLine &line, const char *value, size_t size) {
    size_t room = sizeof line.aside - 2 - line.length;
    AddText(line, value, strnlen(value, size < room ? size : room));
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

void WriteLine(PjlText &ticket, const char *key, const char *value, size_t size) {
    PjlLine line;
    StartLine(ticket, line, key);
    AddValue(line, value, size);
    EndLine(ticket, line);
}

template <size_t N>
void WriteLine(PjlText &text, const char *key, const char (&field)[N]) {
    WriteLine(text, key, field, N);
}

void WriteCoverSheet(PjlText &text, const FaxInfo *info, int count) {
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
    FormatTicketDate(date, sizeof date);
    WriteLine(text, "@@EDT=", date);
    // Nine note lines: the cover sheet has no place for the tenth.
    char key[] = "@@EN1=";
    for (int i = 0; i < 9; ++i) {
        key[4] = static_cast<char>('1' + i);
        WriteLine(text, key, info->noteLines[i]);
    }
    for (int i = 0; i < count; ++i) {
        const RecipientEntry &slot = info->recipients[i];
        if (slot.faxNumber[0] == '\0') continue;
        char recipient[RECIPIENT_TEXT_SIZE];
        size_t length = BuildRecipientText(info, &slot, recipient, sizeof recipient);
        PjlLine line;
        StartLine(text, line, "@@FXP=");
        AddText(line, recipient, length);
        EndLine(text, line);
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
    for (int i = 0; i < count; ++i)
        ReduceToDigits(info->recipients[i].faxNumber, sizeof info->recipients[i].faxNumber);

    auto *block = static_cast<char *>(NewLockedBlock(PJL_TICKET_SIZE));
    if (block == nullptr) return nullptr;

    PjlText text{block, 0};
    WriteLine(text, "@@MJB=SRT");
    WriteLine(text, "@@DEV=FAX");
    if (info->coverSheet != 0) WriteCoverSheet(text, info, count);
    WriteLine(text, "@@FXM=FIN");
    for (int i = 0; i < count; ++i) {
        const RecipientEntry &slot = info->recipients[i];
        if (slot.faxNumber[0] != '\0') WriteLine(text, "@@FXN=", slot.faxNumber);
    }
    WriteLine(text, "@@FXN=END");
    WriteLine(text, "@@MJB=END");

    if (length != nullptr) *length = static_cast<uint32_t>(text.length);
    return block;
}
