#include "job/fax_info.h"

#include "common/locked_block.h"
#include "common/text_field.h"

int NewFaxInfo(FaxInfo **info) {
    if (info == nullptr) return 0;
    *info = nullptr;
    auto *record = static_cast<FaxInfo *>(NewLockedBlock(sizeof(FaxInfo)));
    if (record == nullptr) return 0;
    auto *slots = static_cast<RecipientEntry *>(
        NewLockedBlock(sizeof(RecipientEntry) * FAX_MAX_RECIPIENTS));
    if (slots == nullptr) {
        FreeLockedBlock(record);
        return 0;
    }
    record->recipients = slots;
    *info = record;
    return 1;
}

int FreeFaxInfo(FaxInfo **info) {
    if (info == nullptr || *info == nullptr) return 1;
    FreeLockedBlock((*info)->recipients);
    FreeLockedBlock(*info);
    *info = nullptr;
    return 1;
}

void CopyFaxInfo(FaxInfo *destination, const FaxInfo *source) {
    if (destination == nullptr || source == nullptr) return;
    destination->status = source->status;
    destination->coverSheet = source->coverSheet;  // 16 bits: bytes 6 and 7 stay the caller's
    destination->resolution = source->resolution;
    CopyFieldFrom(destination->senderName, source->senderName);
    CopyFieldFrom(destination->senderFaxNumber, source->senderFaxNumber);
    CopyFieldFrom(destination->senderHomeNumber, source->senderHomeNumber);
    CopyFieldFrom(destination->senderBusinessNumber, source->senderBusinessNumber);
    CopyFieldFrom(destination->recipientNames, source->recipientNames);
    CopyFieldFrom(destination->recipientFaxNumber, source->recipientFaxNumber);
    CopyFieldFrom(destination->recipientCompany, source->recipientCompany);
    destination->includeRecipName = source->includeRecipName;
    destination->includeRecipNumber = source->includeRecipNumber;
    destination->includeRecipCompany = source->includeRecipCompany;
    destination->recipientCount = source->recipientCount;

    // A caller's record without an array still gets everything else; the
    // slots never go beyond the array's room.
    if (destination->recipients != nullptr && source->recipients != nullptr) {
        int32_t count = source->recipientCount;
        if (count > FAX_MAX_RECIPIENTS) count = FAX_MAX_RECIPIENTS;
        for (int32_t i = 0; i < count; ++i) {
            RecipientEntry &to = destination->recipients[i];
            const RecipientEntry &from = source->recipients[i];
            CopyFieldFrom(to.name, from.name);
            CopyFieldFrom(to.faxNumber, from.faxNumber);
            CopyFieldFrom(to.company, from.company);
        }
    }

    for (int line = 0; line < 10; ++line)
        CopyFieldFrom(destination->noteLines[line], source->noteLines[line]);
}
