// String loading from the module's string table, with the run's overrides.
#include "platform/portable/host.h"
#include "platform/portable/kernel/kernel_state.h"
#include "platform/portable/resources/resources.h"

#include <cstring>
#include <map>
#include <optional>

namespace portable {

namespace {
// An entry present here replaces the table's; an empty optional removes it.
std::map<UINT, std::optional<std::string>> &Overrides() {
    static std::map<UINT, std::optional<std::string>> overrides;
    return overrides;
}
}  // namespace

void OverrideString(UINT id, const std::string &text) { Overrides()[id] = text; }
void RemoveString(UINT id) { Overrides()[id] = std::nullopt; }
void ClearStringOverrides() { Overrides().clear(); }

}  // namespace portable

int WINAPI LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size) {
    if (buffer == nullptr || size <= 0) return 0;
    buffer[0] = '\0';
    if (instance == nullptr || instance != portable::ModuleInstance()) {
        portable::SetLastErrorCode(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return 0;
    }
    // Ids are 16-bit in a resource; Windows looks up the low word.
    id &= 0xFFFF;
    const char *text = nullptr;
    auto found = portable::Overrides().find(id);
    if (found != portable::Overrides().end()) {
        text = found->second ? found->second->c_str() : nullptr;
    } else {
        text = portable::FindStringResource(id);
    }
    if (text == nullptr) {
        portable::SetLastErrorCode(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    size_t length = std::strlen(text);
    if (length > static_cast<size_t>(size - 1)) length = static_cast<size_t>(size - 1);
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}
