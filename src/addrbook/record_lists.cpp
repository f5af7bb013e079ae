// Singly linked lists behind an all-zero sentinel. Every listed record
// starts with its next pointer; the pointer is read and written through
// memcpy so that one set of functions serves every record kind.
#include <cstring>

#include "addrbook/records.h"

namespace {

void *NextOf(void *record) {
    void *next;
    std::memcpy(&next, record, sizeof next);
    return next;
}

void SetNext(void *record, void *next) { std::memcpy(record, &next, sizeof next); }

}  // namespace

uint16_t NewList(void **sentinel, size_t elementSize) {
    // A sentinel is an element-sized block whose next starts null.
    return CreatePtr(sentinel, elementSize);
}

uint16_t ListAppend(void *list, void *record) {
    if (list == nullptr || record == nullptr) return ERR_NONE;
    void *last = list;
    for (void *next = NextOf(last); next != nullptr; next = NextOf(last)) last = next;
    // Appending the record that is already last must not link it to itself.
    if (last != record) SetNext(last, record);
    SetNext(record, nullptr);
    return ERR_NONE;
}

uint16_t ListUnlink(void *list, void *record) {
    if (list == nullptr || record == nullptr) return ERR_NONE;
    for (void *previous = list; previous != nullptr; previous = NextOf(previous)) {
        if (NextOf(previous) == record) {
            SetNext(previous, NextOf(record));
            return ERR_NONE;
        }
    }
    return ERR_NONE;
}

uint16_t ListGetAt(void *list, int16_t position, void **record) {
    *record = nullptr;
    if (list == nullptr || position < 1) return ERR_NONE;
    void *current = list;
    for (int16_t step = 0; step < position && current != nullptr; ++step) current = NextOf(current);
    *record = current;
    return ERR_NONE;
}

uint16_t ListFirst(void *list, void **record) { return ListGetAt(list, 1, record); }

uint16_t FreeChain(void **chain) {
    if (chain == nullptr) return ERR_NONE;
    void *current = *chain;
    while (current != nullptr) {
        void *next = NextOf(current);
        DisposePtr(&current);
        current = next;
    }
    return ERR_NONE;
}
