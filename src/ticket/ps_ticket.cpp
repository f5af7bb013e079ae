#include "ticket/ps_ticket.h"

#include <cstring>
#include <initializer_list>

#include "common/kanji_mode.h"
#include "common/locked_block.h"
#include "platform/win32api.h"
#include "common/byte_scan.h"
#include "ticket/ticket_texts.h"

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

// Plain escaping of a field's text up to its zero byte, reading and
// writing whole chunks of sixteen: up to fifteen bytes past the escaped
// text may be written.
template <size_t N>
size_t EscapePlainField(const char (&field)[N], char *escaped) {
    FieldChunks<N> chunks(field);
    size_t from = 0;
    size_t at = 0;
    for (;;) {
        const char *chunk = chunks.At(from);
        std::memcpy(escaped + at, chunk, 16);
        unsigned clean = FirstOf16<'(', ')', '[', ']', '\\', '\r', '\n', 0>(chunk);
        from += clean;
        at += clean;
        if (clean == 16) continue;
        unsigned char byte = static_cast<unsigned char>(chunk[clean]);
        if (byte == 0) return at;
        escaped[at++] = '\\';
        escaped[at++] = kPlain.after[byte];
        ++from;
    }
}

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

namespace {

// The growing ticket block. Each growth leaves 4096 bytes of room behind
// the appended text, so most appends only copy their own bytes; the block
// handed out has the size this rule gives and is zero-filled, which ends
// the text unless the text fills it. The text is gathered in a working
// block that doubles, and copied once into a block of that size at the
// end, so a long ticket is not copied again at every growth. Each piece
// is written straight into the working block and then appended: the
// growth rule counts pieces as they are appended.
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

// Room for `most` bytes behind the text, where the next piece is written;
// null once memory has run out.
char *Reserve(PsBuffer &buffer, size_t most) {
    if (buffer.failed) return nullptr;
    if (buffer.used + most > buffer.workSize) {
        size_t size = buffer.workSize * 2;
        if (size < buffer.used + most) size = buffer.used + most;
        if (size < buffer.expected) size = buffer.expected;
        auto *work = static_cast<char *>(NewLockedBlock(size, GMEM_MOVEABLE));
        if (work == nullptr) {
            Fail(buffer);
            return nullptr;
        }
        if (buffer.used != 0) std::memcpy(work, buffer.work, buffer.used);
        FreeLockedBlock(buffer.work);
        buffer.work = work;
        buffer.workSize = size;
    }
    return buffer.work + buffer.used;
}

// Appends the piece of `count` bytes written where Reserve said.
void Commit(PsBuffer &buffer, size_t count) {
    if (buffer.used + count > buffer.capacity) buffer.capacity += count + 4096;
    buffer.used += count;
}

void Append(PsBuffer &buffer, const char *bytes, size_t count) {
    char *at = Reserve(buffer, count);
    if (at == nullptr) return;
    std::memcpy(at, bytes, count);
    Commit(buffer, count);
}

void Append(PsBuffer &buffer, const char *text) { Append(buffer, text, std::strlen(text)); }

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

struct PsWriter {
    PsBuffer buffer;
    PsEscaping escaping;
};

// The most an escaped field of `size` bytes may take where it is written,
// with the chunk a plain escape writes past its end.
size_t EscapedRoom(const PsWriter &writer, size_t size) {
    return (writer.escaping == PsEscaping::Octal ? 4 : 2) * size + 16;
}

size_t PutLiteral(char *out, const char *text) {
    size_t length = std::strlen(text);
    std::memcpy(out, text, length);
    return length;
}

// The escaped text of a field, up to its zero byte.
template <size_t N>
size_t PutField(const PsWriter &writer, char *out, const char (&field)[N]) {
    if (writer.escaping == PsEscaping::Octal)
        return EscapePsText(field, strnlen(field, N), out, PsEscaping::Octal);
    return EscapePlainField(field, out);
}

// The first `length` bytes of a number reduced to its digits, which plain
// escaping leaves as they are.
template <size_t N>
size_t PutDigits(const PsWriter &writer, char *out, const char (&number)[N], size_t length) {
    if (writer.escaping == PsEscaping::Octal)
        return EscapePsText(number, length, out, PsEscaping::Octal);
    CopyInChunks(out, number, length);
    return length;
}

size_t PutBlank(const PsWriter &writer, char *out) {
    if (writer.escaping == PsEscaping::Octal) return EscapePsText(" ", 1, out, PsEscaping::Octal);
    *out = ' ';
    return 1;
}

// A def line: the name, the string of a field, " def" and CR LF, appended at once.
template <size_t N>
void DefLine(PsWriter &writer, const char *name, const char (&field)[N]) {
    char *out = Reserve(writer.buffer, std::strlen(name) + 2 + EscapedRoom(writer, N) + 6);
    if (out == nullptr) return;
    size_t at = PutLiteral(out, name);
    out[at++] = '(';
    at += PutField(writer, out + at, field);
    out[at++] = ')';
    at += PutLiteral(out + at, " def\r\n");
    Commit(writer.buffer, at);
}

void WriteHeader(PsWriter &writer, const FaxInfo *info, int count, const DigitCounts &digits) {
    Append(writer.buffer, "%%   @@MJB=SRT\r\n");
    Append(writer.buffer, "%%   @@DEV=FAX\r\n");
    Append(writer.buffer, "%%   @@FXM=FIN\r\n");
    for (int i = 0; i < count; ++i) {
        const RecipientEntry &slot = info->recipients[i];
        size_t length = digits.count[i];
        if (length == 0) continue;
        // Digits only, so nothing here needs escaping or can break the line.
        char *out = Reserve(writer.buffer, 32 + length);
        if (out == nullptr) return;
        size_t at = PutLiteral(out, "%%   @@FXN=");
        CopyInChunks(out + at, slot.faxNumber, length);
        at += length;
        at += PutLiteral(out + at, "\r\n");
        Commit(writer.buffer, at);
    }
    Append(writer.buffer, "%%   @@FXN=END\r\n");
    Append(writer.buffer, "%%   @@MJB=END\r\n");
}

// The string of a slot's recipient text (the name and a space, the number
// and a space, the company, each when its flag is on), escaped part by
// part: escaping goes byte by byte, so the parts escaped apart read as the
// text escaped whole.
void AppendRecipient(PsWriter &writer, const FaxInfo *info, const RecipientEntry &slot,
                     size_t digits) {
    char *out = Reserve(writer.buffer, 2 + EscapedRoom(writer, sizeof slot.name) +
                                           EscapedRoom(writer, sizeof slot.faxNumber) +
                                           EscapedRoom(writer, sizeof slot.company) + 8);
    if (out == nullptr) return;
    size_t at = 0;
    out[at++] = '(';
    if (info->includeRecipName != 0) {
        at += PutField(writer, out + at, slot.name);
        at += PutBlank(writer, out + at);
    }
    if (info->includeRecipNumber != 0) {
        at += PutDigits(writer, out + at, slot.faxNumber, digits);
        at += PutBlank(writer, out + at);
    }
    if (info->includeRecipCompany != 0) at += PutField(writer, out + at, slot.company);
    out[at++] = ')';
    Commit(writer.buffer, at);
}

void WriteCoverSheet(PsWriter &writer, const FaxInfo *info, int count,
                     const DigitCounts &digits) {
    TicketLabels labels;
    LoadTicketLabels(&labels);
    Append(writer.buffer, "%% ZQT-FAX coversheet data \r\n");
    Append(writer.buffer, "% localized FAX string\r\n");
    DefLine(writer, "/FaxStr ", labels.text[LABEL_FAX]);
    Append(writer.buffer, "% to section\r\n");
    DefLine(writer, "/LocalizedTo ", labels.text[LABEL_TO]);

    Append(writer.buffer, "/FaxDataList[");
    for (int i = 0; i < count; ++i) {
        if (digits.count[i] != 0) AppendRecipient(writer, info, info->recipients[i], digits.count[i]);
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
        const auto &note = info->noteLines[i];
        char *out = Reserve(writer.buffer, 4 + EscapedRoom(writer, sizeof note));
        if (out == nullptr) return;
        size_t at = 0;
        out[at++] = '(';
        at += PutField(writer, out + at, note);
        out[at++] = ')';
        at += PutLiteral(out + at, "\r\n");
        Commit(writer.buffer, at);
    }
    Append(writer.buffer, "] def\r\n");

    Append(writer.buffer, "% Date\r\n");
    DefLine(writer, "/LocalizedFromDateTime ", labels.text[LABEL_DATE_TIME]);
    char date[TICKET_DATE_SIZE] = {};
    FormatTicketDate(date, sizeof date);
    DefLine(writer, "/DateTimeStr ", date);
    Append(writer.buffer, "(/scsi0/pspages/faxtemplate.ps) run\r\n");
}

}  // namespace

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
    DigitCounts digits;
    ReduceRecipientNumbers(info, count, &digits);
    WriteHeader(writer, info, count, digits);
    if (info->coverSheet != 0) WriteCoverSheet(writer, info, count, digits);

    char *block = Finish(writer.buffer);
    if (block == nullptr) return nullptr;
    if (length != nullptr) *length = static_cast<uint32_t>(writer.buffer.used);
    return block;
}
