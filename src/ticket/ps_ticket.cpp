#include "ticket/ps_ticket.h"

#include <cstring>
#include <initializer_list>

#include "common/kanji_mode.h"
#include "common/locked_block.h"
#include "platform/win32api.h"
#include "ticket/byte_scan.h"
#include "ticket/ticket_texts.h"

namespace {

// The growing ticket block. Each growth leaves 4096 bytes of room behind
// the appended text, so most appends only copy their own bytes; the block
// handed out has the size this rule gives and is zero-filled, which ends
// the text unless the text fills it. The text is gathered in a working
// block that doubles, and copied once into a block of that size at the
// end, so a long ticket is not copied again at every growth.
struct PsBuffer {
    char *work = nullptr;
    size_t workSize = 0;
    size_t capacity = 0;  // the size of the ticket block by the growth rule
    size_t used = 0;
    size_t expected = 0;  // the first working block's size: room for the whole ticket
    bool failed = false;
};

// No half ticket: a ticket without some of its numbers would fax wrongly.
void Fail(PsBuffer &buffer) {
    FreeLockedBlock(buffer.work);
    buffer = PsBuffer{};
    buffer.failed = true;
}

void Append(PsBuffer &buffer, const char *bytes, size_t count) {
    if (buffer.failed) return;
    if (buffer.used + count > buffer.capacity) buffer.capacity += count + 4096;
    if (buffer.used + count > buffer.workSize) {
        size_t size = buffer.workSize * 2 > buffer.capacity ? buffer.workSize * 2 : buffer.capacity;
        if (size < buffer.expected) size = buffer.expected;
        auto *work = static_cast<char *>(NewLockedBlock(size, GMEM_MOVEABLE));
        if (work == nullptr) return Fail(buffer);
        if (buffer.used != 0) std::memcpy(work, buffer.work, buffer.used);
        FreeLockedBlock(buffer.work);
        buffer.work = work;
        buffer.workSize = size;
    }
    std::memcpy(buffer.work + buffer.used, bytes, count);
    buffer.used += count;
}

// The ticket block the caller receives: zero-filled, of the rule's size.
char *Finish(PsBuffer &buffer) {
    if (buffer.failed) return nullptr;
    auto *block = static_cast<char *>(NewLockedBlock(buffer.capacity));
    if (block == nullptr) {
        Fail(buffer);
        return nullptr;
    }
    std::memcpy(block, buffer.work, buffer.used);
    FreeLockedBlock(buffer.work);
    buffer.work = nullptr;
    return block;
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

// "(", the escaped value of exactly `length` bytes, ")".
size_t PutText(PsWriter &writer, size_t at, const char *value, size_t length) {
    writer.line[at++] = '(';
    at += EscapePsText(value, length, writer.line + at, writer.escaping);
    writer.line[at++] = ')';
    return at;
}

// "(", the escaped value, ")": the string of a value. `size` bounds the
// value (it may end sooner at a zero byte).
size_t PutString(PsWriter &writer, size_t at, const char *value, size_t size) {
    return PutText(writer, at, value, strnlen(value, size));
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
        Append(writer.buffer, writer.line, PutText(writer, 0, recipient, length));
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

namespace {

// What follows the backslash of a plain escape, or 0 for a byte written as
// it is.
struct PlainEscapes {
    char after[256] = {};
    constexpr PlainEscapes() {
        for (char c : {'(', ')', '[', ']', '\\'}) after[static_cast<unsigned char>(c)] = c;
        after[static_cast<unsigned char>('\r')] = 'r';
        after[static_cast<unsigned char>('\n')] = 'n';
    }
};
constexpr PlainEscapes kPlain;

// Whether any of the sixteen bytes at `bytes` needs a plain escape.
bool HasPlainEscape(const unsigned char *bytes) {
    return AnyOf16<'(', ')', '[', ']', '\\', '\r', '\n'>(bytes);
}

// Each byte's octal escape: a backslash and one to three digits.
struct OctalEscapes {
    char text[256][4] = {};
    unsigned char length[256] = {};
    constexpr OctalEscapes() {
        for (int byte = 0; byte < 256; ++byte) {
            int at = 0;
            text[byte][at++] = '\\';
            if (byte >= 0100) text[byte][at++] = static_cast<char>('0' + (byte >> 6));
            if (byte >= 010) text[byte][at++] = static_cast<char>('0' + ((byte >> 3) & 7));
            text[byte][at++] = static_cast<char>('0' + (byte & 7));
            length[byte] = static_cast<unsigned char>(at);
        }
    }
};
constexpr OctalEscapes kOctal;

}  // namespace

size_t EscapePsText(const char *text, size_t length, char *escaped, PsEscaping escaping) {
    const auto *bytes = reinterpret_cast<const unsigned char *>(text);
    size_t at = 0;
    if (escaping == PsEscaping::Octal) {
        for (size_t i = 0; i < length; ++i) {
            std::memcpy(escaped + at, kOctal.text[bytes[i]], 4);
            at += kOctal.length[bytes[i]];
        }
        return at;
    }
    size_t i = 0;
    while (i < length) {
        // Runs of bytes written as they are go in one copy.
        size_t run = i;
        while (run + 16 <= length && !HasPlainEscape(bytes + run)) run += 16;
        while (run < length && kPlain.after[bytes[run]] == 0) ++run;
        std::memcpy(escaped + at, text + i, run - i);
        at += run - i;
        if (run == length) break;
        escaped[at++] = '\\';
        escaped[at++] = kPlain.after[bytes[run]];
        i = run + 1;
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
    // Room for the longest ticket of this many recipients, so the working
    // block is made once (untouched room costs nothing).
    size_t widest = writer.escaping == PsEscaping::Octal ? 4 : 2;
    writer.buffer.expected = 16384 + static_cast<size_t>(count) * (96 + widest * RECIPIENT_TEXT_SIZE);
    if (info->coverSheet != 0) writer.buffer.expected += 10 * widest * 256 + 4 * widest * 82;
    WriteHeader(writer, info, count);
    if (info->coverSheet != 0) WriteCoverSheet(writer, info, count);

    char *block = Finish(writer.buffer);
    if (block == nullptr) return nullptr;
    if (length != nullptr) *length = static_cast<uint32_t>(writer.buffer.used);
    return block;
}
