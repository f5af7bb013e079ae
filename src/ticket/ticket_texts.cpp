#include "ticket/ticket_texts.h"

#include <cstdio>
#include <cstring>

#include "common/module_instance.h"
#include "common/text_field.h"
#include "platform/win32api.h"
#include "res/resource.h"
#include "common/byte_scan.h"
#include "ticket/ticket_clock.h"

namespace {

struct LabelSource {
    UINT id;
    const char *english;
};

const LabelSource kLabels[LABEL_COUNT] = {
    {IDS_LABEL_FAX, "FAX"},
    {IDS_LABEL_TO, "To:"},
    {IDS_LABEL_FROM, "From:"},
    {IDS_LABEL_FAX_NUMBER, "Fax Number:"},
    {IDS_LABEL_BUSINESS_PHONE, "Business Phone:"},
    {IDS_LABEL_HOME_PHONE, "Home Phone:"},
    {IDS_LABEL_DATE_TIME, "Date & Time:"},
};

// Day names counted from Sunday, month names from January.
const UINT kDayIds[7] = {124, 118, 119, 120, 121, 122, 123};
const char *const kDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const UINT kFirstMonthId = 125;
const char *const kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// A name of at most 31 characters; the English one when the table lacks it.
void LoadName(UINT id, const char *english, char (&name)[32]) {
    if (LoadStringA(ModuleInstance(), id, name, sizeof name) <= 0) CopyField(name, english);
}

}  // namespace

void LoadTicketLabels(TicketLabels *labels) {
    *labels = TicketLabels{};  // nothing unset behind a label's text
    for (int i = 0; i < LABEL_COUNT; ++i) {
        char *label = labels->text[i];
        if (LoadStringA(ModuleInstance(), kLabels[i].id, label, sizeof labels->text[i]) <= 0)
            CopyField(label, sizeof labels->text[i], kLabels[i].english);
    }
}

size_t FormatTicketDate(char *date, size_t size) {
    if (date == nullptr || size == 0) return 0;
    std::tm moment = TicketTime();
    char day[32] = {};
    char month[32] = {};
    if (moment.tm_wday >= 0 && moment.tm_wday < 7)
        LoadName(kDayIds[moment.tm_wday], kDayNames[moment.tm_wday], day);
    if (moment.tm_mon >= 0 && moment.tm_mon < 12)
        LoadName(kFirstMonthId + moment.tm_mon, kMonthNames[moment.tm_mon], month);
    int length = std::snprintf(date, size, "%s %d %s %d %d:%d:%d", day, moment.tm_mday, month,
                               moment.tm_year + 1900, moment.tm_hour, moment.tm_min, moment.tm_sec);
    if (length < 0) {
        date[0] = '\0';
        return 0;
    }
    return static_cast<size_t>(length) < size ? static_cast<size_t>(length) : size - 1;
}

size_t ReduceToDigits(char *number, size_t size) {
    if (number == nullptr || size == 0) return 0;
    // Sixteen bytes at a time up to the zero byte, and no branch on each
    // byte: numbers mix digits and other characters too freely for one to
    // be guessed well. Each byte of a chunk is written where the digits
    // before it end, so a digit lands in its place and anything else is
    // written over by what follows. No byte is written past the one being
    // read, so the number can be reduced where it is.
    const uint64_t ones = 0x0101010101010101u;
    size_t found = 0;
    size_t at = 0;
    for (; at + 16 <= size; at += 16) {
        const char *chunk = number + at;
        uint64_t digits[2];
        DigitFlags16(chunk, digits);
        unsigned zero = FirstOf16<0>(chunk);
        if (zero < 8) {
            digits[0] &= (uint64_t{1} << (8 * zero)) - 1;
            digits[1] = 0;
        } else if (zero < 16) {
            digits[1] &= (uint64_t{1} << (8 * (zero - 8))) - 1;
        }
        // Multiplying by `ones` adds each byte into every byte above it:
        // the digits up to each byte, never more than 16, so no carries.
        uint64_t low = digits[0] * ones;
        uint64_t high = digits[1] * ones + (low >> 56) * ones;
        uint64_t before[2] = {low - digits[0], high - digits[1]};
        unsigned char place[16];
        std::memcpy(place, before, sizeof place);
        char *end = number + found;
#pragma GCC unroll 16
        for (unsigned i = 0; i < 16; ++i) end[place[i]] = chunk[i];
        found += static_cast<size_t>(high >> 56);
        if (zero < 16) {
            number[found] = '\0';
            return found;
        }
    }
    for (; at < size && number[at] != '\0'; ++at) {
        if (static_cast<unsigned char>(number[at] - '0') < 10) number[found++] = number[at];
    }
    // An unterminated field ends at its last byte like any other.
    if (found == size) found = size - 1;
    number[found] = '\0';
    return found;
}

void ReduceRecipientNumbers(FaxInfo *info, int count, DigitCounts *digits) {
    for (int i = 0; i < count; ++i) {
        RecipientEntry &slot = info->recipients[i];
        size_t kept = ReduceToDigits(slot.faxNumber, sizeof slot.faxNumber);
        digits->count[i] = static_cast<unsigned char>(kept);
    }
}

int TicketRecipientCount(const FaxInfo *info) {
    if (info->recipients == nullptr || info->recipientCount <= 0) return 0;
    return info->recipientCount < FAX_MAX_RECIPIENTS ? info->recipientCount : FAX_MAX_RECIPIENTS;
}
