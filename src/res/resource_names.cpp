// The tables of resource_names.h; the lines inside them are generated.
#include "res/resource_names.h"

#include "res/resource.h"

namespace res {
namespace {

const Name kControls[] = {
#include "control_names.inc"
};
const Name kStrings[] = {
#include "string_names.inc"
};
const Name kIcons[] = {
#include "icon_names.inc"
};

}  // namespace

std::span<const Name> ControlNames() { return kControls; }
std::span<const Name> StringNames() { return kStrings; }
std::span<const Name> IconNames() { return kIcons; }

bool ControlIdByName(const std::string &name, int &id) {
    for (const Name &entry : kControls) {
        if (name == entry.name) {
            id = entry.id;
            return true;
        }
    }
    return false;
}

}  // namespace res
