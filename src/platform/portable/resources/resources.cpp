// Lookups over the generated resource tables.
#include "platform/portable/resources/resources.h"
#include "platform/portable/resources/resources_tables.h"
#include "platform/portable/host.h"

#include <strings.h>

namespace portable {

namespace {
bool IsModule(HINSTANCE instance) { return instance != nullptr && instance == ModuleInstance(); }
}  // namespace

const DialogTemplate *FindDialogTemplate(HINSTANCE instance, LPCSTR name) {
    if (!IsModule(instance) || name == nullptr) return nullptr;
    for (int i = 0; i < generated::dialogCount; ++i) {
        const DialogTemplate &dialog = generated::dialogs[i];
        if (IS_INTRESOURCE(name)) {
            if (dialog.resourceId != 0 && dialog.resourceId == static_cast<int>(reinterpret_cast<ULONG_PTR>(name)))
                return &dialog;
        } else if (dialog.resourceId == 0 && strcasecmp(dialog.name, name) == 0) {
            return &dialog;
        }
    }
    return nullptr;
}

int DialogTemplateCount() { return generated::dialogCount; }

const DialogTemplate *DialogTemplateAt(int index) {
    if (index < 0 || index >= generated::dialogCount) return nullptr;
    return &generated::dialogs[index];
}

bool HasIcon(HINSTANCE instance, int id) {
    if (!IsModule(instance)) return false;
    for (int i = 0; i < generated::iconCount; ++i)
        if (generated::icons[i] == id) return true;
    return false;
}

int StringResourceCount() { return generated::stringCount; }

const StringResource *StringResourceAt(int index) {
    if (index < 0 || index >= generated::stringCount) return nullptr;
    return &generated::strings[index];
}

const char *FindStringResource(UINT id) {
    // The generator emits the table in ascending id order.
    int low = 0, high = generated::stringCount - 1;
    while (low <= high) {
        int middle = (low + high) / 2;
        UINT candidate = generated::strings[middle].id;
        if (candidate == id) return generated::strings[middle].text;
        if (candidate < id) low = middle + 1;
        else high = middle - 1;
    }
    return nullptr;
}

int IconResourceCount() { return generated::iconCount; }

int IconResourceAt(int index) {
    if (index < 0 || index >= generated::iconCount) return 0;
    return generated::icons[index];
}

}  // namespace portable
