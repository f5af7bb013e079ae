// The fax job record is a binary format shared with the drivers: these
// checks fail the build of any target whose layout drifts from it.
#include <cstddef>

#include "../../include/orvixfax.h"

static_assert(sizeof(RecipientEntry) == 370);
static_assert(offsetof(RecipientEntry, name) == 0);
static_assert(offsetof(RecipientEntry, faxNumber) == 250);
static_assert(offsetof(RecipientEntry, company) == 330);

static_assert(offsetof(FaxInfo, status) == 0);
static_assert(offsetof(FaxInfo, coverSheet) == 4);
static_assert(sizeof(FaxInfo::coverSheet) == 2);
static_assert(offsetof(FaxInfo, unused6) == 6);
static_assert(offsetof(FaxInfo, resolution) == 8);
static_assert(offsetof(FaxInfo, senderName) == 12);
static_assert(offsetof(FaxInfo, senderFaxNumber) == 94);
static_assert(offsetof(FaxInfo, senderHomeNumber) == 174);
static_assert(offsetof(FaxInfo, senderBusinessNumber) == 254);
static_assert(offsetof(FaxInfo, recipientNames) == 334);
static_assert(offsetof(FaxInfo, recipientFaxNumber) == 584);
static_assert(offsetof(FaxInfo, recipientCompany) == 664);
static_assert(offsetof(FaxInfo, recipients) == 704);

// Everything behind the one pointer moves with its width.
constexpr size_t kPointerGrowth = sizeof(void *) - 4;
static_assert(sizeof(void *) == 4 || sizeof(void *) == 8);
static_assert(offsetof(FaxInfo, recipientCount) == 708 + kPointerGrowth);
static_assert(offsetof(FaxInfo, includeRecipName) == 712 + kPointerGrowth);
static_assert(offsetof(FaxInfo, includeRecipNumber) == 716 + kPointerGrowth);
static_assert(offsetof(FaxInfo, includeRecipCompany) == 720 + kPointerGrowth);
static_assert(offsetof(FaxInfo, noteLines) == 724 + kPointerGrowth);
static_assert(sizeof(FaxInfo::noteLines) == 2560);
static_assert(sizeof(FaxInfo) == 3284 + kPointerGrowth);

// The 32-bit module, the one the drivers load, spelled out.
static_assert(sizeof(void *) != 4 || (offsetof(FaxInfo, recipientCount) == 708 &&
                                      offsetof(FaxInfo, noteLines) == 724 &&
                                      sizeof(FaxInfo) == 3284));
// The 64-bit module.
static_assert(sizeof(void *) != 8 || (offsetof(FaxInfo, recipientCount) == 712 &&
                                      offsetof(FaxInfo, noteLines) == 728 &&
                                      sizeof(FaxInfo) == 3288));
