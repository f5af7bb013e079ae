#include "ticket/ticket_clock.h"

namespace {
// A test seam, not job state: set only by tests and the command line.
bool fixedTimeSet = false;
std::tm fixedTime{};
}  // namespace

std::tm TicketTime() {
    if (fixedTimeSet) return fixedTime;
    std::time_t now = std::time(nullptr);
    const std::tm *local = std::localtime(&now);
    if (local == nullptr) return std::tm{};
    return *local;
}

namespace {
// Day of the week of a Gregorian date, 0 = Sunday.
int WeekDay(int year, int month, int day) {
    static const int offsets[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3) year -= 1;
    int weekDay = (year + year / 4 - year / 100 + year / 400 + offsets[month - 1] + day) % 7;
    return weekDay < 0 ? weekDay + 7 : weekDay;
}
}  // namespace

void SetTicketTime(const std::tm *moment) {
    fixedTimeSet = moment != nullptr;
    fixedTime = moment != nullptr ? *moment : std::tm{};
    if (fixedTimeSet && fixedTime.tm_mon >= 0 && fixedTime.tm_mon < 12)
        fixedTime.tm_wday = WeekDay(fixedTime.tm_year + 1900, fixedTime.tm_mon + 1, fixedTime.tm_mday);
}
