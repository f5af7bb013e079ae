#include "common/kanji_mode.h"

#include <cstring>

#include "common/module_instance.h"
#include "platform/win32api.h"
#include "res/resource.h"

bool IsKanjiMode() {
    char language[25] = {};
    if (LoadStringA(ModuleInstance(), IDS_LANGUAGE, language, sizeof language) <= 0) return false;
    return std::strcmp(language, "Kanji") == 0;
}
