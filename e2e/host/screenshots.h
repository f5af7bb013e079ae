// A look at the real dialogs: each of the module's six templates opened
// under Windows (Wine) with a procedure that only shows it, and the screen
// under it saved as a PNG.
#ifndef ORVIXFAX_E2E_SCREENSHOTS_H
#define ORVIXFAX_E2E_SCREENSHOTS_H

#include <string>

namespace e2e {

// Writes IDD_....png for every template into `directory`; 0 when all six
// were shown and saved.
int TakeScreenshots(const std::string &directory);

}  // namespace e2e

#endif
