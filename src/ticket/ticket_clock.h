// The moment a ticket is written, as local broken-down time. By default
// the system clock (time and localtime); tests and the command line fix it
// so the date text on the cover sheet can be reproduced.
#ifndef ORVIXFAX_TICKET_CLOCK_H
#define ORVIXFAX_TICKET_CLOCK_H

#include <ctime>

// The local time to put on the ticket being written.
std::tm TicketTime();

// Fixes the ticket time to `moment`, or returns to the system clock when
// `moment` is null. Only the date and time fields count: the day of the
// week is worked out from the date.
void SetTicketTime(const std::tm *moment);

#endif
