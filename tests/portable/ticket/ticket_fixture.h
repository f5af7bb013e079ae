// Shared by the ticket tests: a job record in global memory as the module
// makes it, a fixed moment of writing, and the string table restored after
// each test.
#ifndef ORVIXFAX_TESTS_TICKET_FIXTURE_H
#define ORVIXFAX_TESTS_TICKET_FIXTURE_H

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <string>

#include "common/module_instance.h"
#include "job/fax_info.h"
#include "platform/portable/host.h"
#include "ticket/ticket_clock.h"

class TicketTest : public ::testing::Test {
protected:
    void SetUp() override {
        DllMain(portable::ModuleInstance(), DLL_PROCESS_ATTACH, nullptr);
        portable::ClearStringOverrides();
        SetMoment(1998, 12, 6, 9, 5, 7);  // a Sunday morning
        ASSERT_EQ(NewFaxInfo(&info), 1);
        info->status = 1;
    }
    void TearDown() override {
        FreeFaxInfo(&info);
        SetTicketTime(nullptr);
        portable::ClearStringOverrides();
    }

    static void SetMoment(int year, int month, int day, int hour, int minute, int second) {
        std::tm moment{};
        moment.tm_year = year - 1900;
        moment.tm_mon = month - 1;
        moment.tm_mday = day;
        moment.tm_hour = hour;
        moment.tm_min = minute;
        moment.tm_sec = second;
        SetTicketTime(&moment);
    }

    void AddRecipient(const char *name, const char *number, const char *company) {
        RecipientEntry &slot = info->recipients[info->recipientCount++];
        std::strcpy(slot.name, name);
        std::strcpy(slot.faxNumber, number);
        std::strcpy(slot.company, company);
    }

    void FillSender() {
        std::strcpy(info->senderName, "Anna Berg");
        std::strcpy(info->senderFaxNumber, "+49 30 1234-567");
        std::strcpy(info->senderBusinessNumber, "030 1234-0");
        std::strcpy(info->senderHomeNumber, "030 987 65");
    }

    void FillNotes() {
        static const char *const notes[10] = {"Note one", "Note two",   "Note three", "Note four",
                                              "Note five", "Note six",  "Note seven", "Note eight",
                                              "Note nine", "Note ten"};
        for (int i = 0; i < 10; ++i) std::strcpy(info->noteLines[i], notes[i]);
    }

    void AllFlags(uint32_t name, uint32_t number, uint32_t company) {
        info->includeRecipName = name;
        info->includeRecipNumber = number;
        info->includeRecipCompany = company;
    }

    // Fills a field with a text of `length` bytes (the whole field: no
    // zero byte) that mixes letters with bytes the tickets must blank or
    // escape, and bytes behind its zero that no ticket may show. Returns
    // the text.
    static std::string FillEndingAt(char *field, size_t size, size_t length) {
        static const char kText[] = "Ab(c)\n[d]\\e\rF\x1bg\x7fH\xe9i 0-9";
        static const char kBehind[] = "\n(Z9]";
        std::string text;
        for (size_t i = 0; i < length; ++i) text += kText[i % (sizeof kText - 1)];
        std::memcpy(field, text.data(), length);
        if (length < size) field[length] = '\0';
        for (size_t i = length + 1; i < size; ++i) field[i] = kBehind[i % (sizeof kBehind - 1)];
        return text;
    }

    // Takes the ticket text by its length and releases the block as a driver would.
    static std::string Take(char *text, uint32_t length) {
        if (text == nullptr) return {};
        std::string bytes(text, length);
        HGLOBAL handle = GlobalHandle(text);
        GlobalUnlock(handle);
        GlobalFree(handle);
        return bytes;
    }

    FaxInfo *info = nullptr;
};

#endif
