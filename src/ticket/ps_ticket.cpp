#include "ps_ticket.h"

#include <cstring>

#include "../common/kanji_mode.h"
#include "../platform/win32api.h"
#include "ticket_texts.h"

namespace {

// The growing ticket block. Each growth leaves 4096 bytes of room behind
// the appended text, so most appends only copy their own bytes. Every
// block is zero-filled, which ends the text unless it fills the block.
struct PsBuffer {
    char *block = nullptr;
    size_t capacity = 0;
    size_t used = 0;
    bool failed = false;
};

void FreeBlock(char *block) {
    if (block == nullptr) return;
    HGLOBAL handle = GlobalHandle(block);
    GlobalUnlock(handle);
    GlobalFree(handle);
}

void Append(PsBuffer &buffer, const char *bytes, size_t count) {
    if (buffer.failed) return;
    if (buffer.used + count > buffer.capacity) {
        size_t capacity = buffer.capacity + count + 4096;
        HGLOBAL handle = GlobalAlloc(GHND, capacity);
        char *block = handle != nullptr ? static_cast<char *>(GlobalLock(handle)) : nullptr;
        if (block == nullptr) {
            // No half ticket: a ticket without some of its numbers would fax wrongly.
            if (handle != nullptr) GlobalFree(handle);
            FreeBlock(buffer.block);
            buffer = PsBuffer{};
            buffer.failed = true;
            return;
        }
        if (buffer.used != 0) std::memcpy(block, buffer.block, buffer.used);
        FreeBlock(buffer.block);
        buffer.block = block;
        buffer.capacity = capacity;
    }
    std::memcpy(buffer.block + buffer.used, bytes, count);
    buffer.used += count;
}

void Append(PsBuffer &buffer, const char *text) { Append(buffer, text, std::strlen(text)); }

// Room for a def line of the longest value (a recipient text, 4 bytes per
// byte in octal) with its name.
enum { PS_LINE_SIZE = 64 + 4 * RECIPIENT_TEXT_SIZE };

struct PsWriter {
    PsBuffer buffer;
    PsEscaping escaping;
    char line[PS_LINE_SIZE];
};

// "(", the escaped value, ")": the string of a value. `size` bounds the
// value (it may end sooner at a zero byte).
size_t PutString(PsWriter &writer, size_t at, const char *value, size_t size) {
    size_t length = strnlen(value, size);
    writer.line[at++] = '(';
    at += EscapePsText(value, length, writer.line + at, writer.escaping);
    writer.line[at++] = ')';
    return at;
}

size_t PutLiteral(PsWriter &writer, size_t at, const char *text) {
    size_t length = std::strlen(text);
    std::memcpy(writer.line + at, text, length);
    return at + length;
}

// A def line: the name, the string of the value, " def" and CR LF, appended at once.
void DefLine(PsWriter &writer, const char *name, const char *value, size_t size) {
    size_t at = PutLiteral(writer, 0, name);
    at = PutString(writer, at, value, size);
    at = PutLiteral(writer, at, " def\r\n");
    Append(writer.buffer, writer.line, at);
}

template <size_t N>
void DefLine(PsWriter &writer, const char *name, const char (&value)[N]) {
    DefLine(writer, name, value, N);
}

void WriteHeader(PsWriter &writer, FaxInfo *info, int count) {
    Append(writer.buffer, "%%   @@MJB=SRT\r\n");
    Append(writer.buffer, "%%   @@DEV=FAX\r\n");
    Append(writer.buffer, "%%   @@FXM=FIN\r\n");
    for (int i = 0; i < count; ++i) {
        RecipientEntry &slot = info->recipients[i];
        ReduceToDigits(slot.faxNumber, sizeof slot.faxNumber);
        if (slot.faxNumber[0] == '\0') continue;
        // Digits only, so nothing here needs escaping or can break the line.
        size_t at = PutLiteral(writer, 0, "%%   @@FXN=");
        at = PutLiteral(writer, at, slot.faxNumber);
        at = PutLiteral(writer, at, "\r\n");
        Append(writer.buffer, writer.line, at);
    }
    Append(writer.buffer, "%%   @@FXN=END\r\n");
    Append(writer.buffer, "%%   @@MJB=END\r\n");
}

void WriteCoverSheet(PsWriter &writer, const FaxInfo *info, int count) {
    TicketLabels labels;
    LoadTicketLabels(&labels);
    Append(writer.buffer, "%% ZQT-FAX coversheet data \r\n");
    Append(writer.buffer, "% localized FAX string\r\n");
    DefLine(writer, "/FaxStr ", labels.text[LABEL_FAX]);
    Append(writer.buffer, "% to section\r\n");
    DefLine(writer, "/LocalizedTo ", labels.text[LABEL_TO]);

    Append(writer.buffer, "/FaxDataList[");
    for (int i = 0; i < count; ++i) {
        const RecipientEntry &slot = info->recipients[i];
        if (slot.faxNumber[0] == '\0') continue;
        char recipient[RECIPIENT_TEXT_SIZE];
        size_t length = BuildRecipientText(info, &slot, recipient, sizeof recipient);
        Append(writer.buffer, writer.line, PutString(writer, 0, recipient, length));
    }
    Append(writer.buffer, "] def\r\n");

    Append(writer.buffer, "% from section\r\n");
    DefLine(writer, "/LocalizedFrom ", labels.text[LABEL_FROM]);
    DefLine(writer, "/FromStr ", info->senderName);
    DefLine(writer, "/LocalizedFromFaxNumber ", labels.text[LABEL_FAX_NUMBER]);
    DefLine(writer, "/FromFaxNumberStr ", info->senderFaxNumber);
    DefLine(writer, "/LocalizedFromBusPhone ", labels.text[LABEL_BUSINESS_PHONE]);
    DefLine(writer, "/FromBusPhoneStr ", info->senderBusinessNumber);
    DefLine(writer, "/LocalizedFromHomePhone ", labels.text[LABEL_HOME_PHONE]);
    DefLine(writer, "/FromHomePhoneStr ", info->senderHomeNumber);

    Append(writer.buffer, "% Content Section\r\n");
    Append(writer.buffer, "/ContentStringArray[\r\n");
    // Nine note lines: the cover sheet has no place for the tenth.
    for (int i = 0; i < 9; ++i) {
        size_t at = PutString(writer, 0, info->noteLines[i], sizeof info->noteLines[i]);
        at = PutLiteral(writer, at, "\r\n");
        Append(writer.buffer, writer.line, at);
    }
    Append(writer.buffer, "] def\r\n");

    Append(writer.buffer, "% Date\r\n");
    DefLine(writer, "/LocalizedFromDateTime ", labels.text[LABEL_DATE_TIME]);
    char date[TICKET_DATE_SIZE];
    FormatTicketDate(date, sizeof date);
    DefLine(writer, "/DateTimeStr ", date);
    Append(writer.buffer, "(/scsi0/pspages/faxtemplate.ps) run\r\n");
}

}  // namespace

size_t EscapePsText(const char *text, size_t length, char *escaped, PsEscaping escaping) {
    size_t at = 0;
    for (size_t i = 0; i < length; ++i) {
        auto byte = static_cast<unsigned char>(text[i]);
        if (escaping == PsEscaping::Octal) {
            escaped[at++] = '\\';
            if (byte >= 0100) escaped[at++] = static_cast<char>('0' + (byte >> 6));
            if (byte >= 010) escaped[at++] = static_cast<char>('0' + ((byte >> 3) & 7));
            escaped[at++] = static_cast<char>('0' + (byte & 7));
        } else if (byte == '(' || byte == ')' || byte == '[' || byte == ']' || byte == '\\') {
            escaped[at++] = '\\';
            escaped[at++] = static_cast<char>(byte);
        } else if (byte == '\r' || byte == '\n') {
            escaped[at++] = '\\';
            escaped[at++] = byte == '\r' ? 'r' : 'n';
        } else {
            escaped[at++] = static_cast<char>(byte);
        }
    }
    return at;
}

size_t EscapePsString(const char *text, size_t length, char *escaped) {
    return EscapePsText(text, length, escaped,
                        IsKanjiMode() ? PsEscaping::Octal : PsEscaping::Plain);
}

char *WritePsTicket(FaxInfo *info, uint32_t *length) {
    if (length != nullptr) *length = 0;
    if (info == nullptr || info->status == 0) return nullptr;

    // One look at the mode per ticket, so a ticket is escaped one way throughout.
    PsWriter writer;
    writer.escaping = IsKanjiMode() ? PsEscaping::Octal : PsEscaping::Plain;
    int count = TicketRecipientCount(info);
    WriteHeader(writer, info, count);
    if (info->coverSheet != 0) WriteCoverSheet(writer, info, count);

    if (writer.buffer.failed) return nullptr;
    if (length != nullptr) *length = static_cast<uint32_t>(writer.buffer.used);
    return writer.buffer.block;
}
