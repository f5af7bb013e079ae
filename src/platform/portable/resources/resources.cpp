// Lookups over the registered module's resource tables.
#include "platform/portable/resources/resources.h"

#include "platform/portable/host.h"

#include <strings.h>

namespace portable {

namespace {

// Registered during static initialisation: a function's own static, so
// that it is there whichever file's initialisation comes first.
ModuleResources &Module() {
    static ModuleResources module{"", nullptr, 0, nullptr, 0, nullptr, 0};
    return module;
}

bool IsModule(HINSTANCE instance) { return instance != nullptr && instance == ModuleInstance(); }

}  // namespace

bool RegisterModule(const ModuleResources &module) {
    Module() = module;
    return true;
}

const char *ModuleFileName() { return Module().fileName; }

const DialogTemplate *FindDialogTemplate(HINSTANCE instance, LPCSTR name) {
    if (!IsModule(instance) || name == nullptr) return nullptr;
    for (int i = 0; i < Module().dialogCount; ++i) {
        const DialogTemplate &dialog = Module().dialogs[i];
        if (IS_INTRESOURCE(name)) {
            if (dialog.resourceId != 0 && dialog.resourceId == static_cast<int>(reinterpret_cast<ULONG_PTR>(name)))
                return &dialog;
        } else if (dialog.resourceId == 0 && strcasecmp(dialog.name, name) == 0) {
            return &dialog;
        }
    }
    return nullptr;
}

int DialogTemplateCount() { return Module().dialogCount; }

const DialogTemplate *DialogTemplateAt(int index) {
    if (index < 0 || index >= Module().dialogCount) return nullptr;
    return &Module().dialogs[index];
}

bool HasIcon(HINSTANCE instance, int id) {
    if (!IsModule(instance)) return false;
    for (int i = 0; i < Module().iconCount; ++i)
        if (Module().icons[i] == id) return true;
    return false;
}

int StringResourceCount() { return Module().stringCount; }

const StringResource *StringResourceAt(int index) {
    if (index < 0 || index >= Module().stringCount) return nullptr;
    return &Module().strings[index];
}

const char *FindStringResource(UINT id) {
    // The generator emits the table in ascending id order.
    int low = 0, high = Module().stringCount - 1;
    while (low <= high) {
        int middle = (low + high) / 2;
        UINT candidate = Module().strings[middle].id;
        if (candidate == id) return Module().strings[middle].text;
        if (candidate < id) low = middle + 1;
        else high = middle - 1;
    }
    return nullptr;
}

int IconResourceCount() { return Module().iconCount; }

int IconResourceAt(int index) {
    if (index < 0 || index >= Module().iconCount) return 0;
    return Module().icons[index];
}

}  // namespace portable
