// The names of resource.h with their numbers, written from it when the
// build is configured (src/CMakeLists.txt), so that no list of them is
// kept by hand: scripts name controls with them, and the resource tests
// hold the compiled strings and icons against them.
#ifndef ORVIXFAX_RES_RESOURCE_NAMES_H
#define ORVIXFAX_RES_RESOURCE_NAMES_H

#include <span>
#include <string>

namespace res {

struct Name {
    const char *name;
    int id;
};

std::span<const Name> ControlNames();  // IDC_...
std::span<const Name> StringNames();   // IDS_...
std::span<const Name> IconNames();     // IDI_...

// The id of a control name of resource.h; false when it has none such.
bool ControlIdByName(const std::string &name, int &id);

}  // namespace res

#endif
