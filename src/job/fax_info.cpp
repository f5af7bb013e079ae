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
    // Bounded by the source field as well, so an unterminated field cannot
    // drag in the bytes of the next one.
    CopyFieldN(destination->senderName, sizeof destination->senderName,
               source->senderName, sizeof source->senderName);
    CopyFieldN(destination->senderFaxNumber, sizeof destination->senderFaxNumber,
               source->senderFaxNumber, sizeof source->senderFaxNumber);
    CopyFieldN(destination->senderHomeNumber, sizeof destination->senderHomeNumber,
               source->senderHomeNumber, sizeof source->senderHomeNumber);
    CopyFieldN(destination->senderBusinessNumber, sizeof destination->senderBusinessNumber,
               source->senderBusinessNumber, sizeof source->senderBusinessNumber);
    CopyFieldN(destination->recipientNames, sizeof destination->recipientNames,
               source->recipientNames, sizeof source->recipientNames);
    CopyFieldN(destination->recipientFaxNumber, sizeof destination->recipientFaxNumber,
               source->recipientFaxNumber, sizeof source->recipientFaxNumber);
    CopyFieldN(destination->recipientCompany, sizeof destination->recipientCompany,
               source->recipientCompany, sizeof source->recipientCompany);
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
            CopyFieldN(to.name, sizeof to.name, from.name, sizeof from.name);
            CopyFieldN(to.faxNumber, sizeof to.faxNumber, from.faxNumber, sizeof from.faxNumber);
            CopyFieldN(to.company, sizeof to.company, from.company, sizeof from.company);
        }
    }

    for (int line = 0; line < 10; ++line)
        CopyFieldN(destination->noteLines[line], sizeof destination->noteLines[line],
                   source->noteLines[line], sizeof source->noteLines[line]);
}
