#include "terminal_user.h"

#include <unistd.h>

#include "res/resource.h"

namespace {

// The module's icons, five characters by two lines.
std::vector<std::wstring> IconDrawing(int iconId) {
    switch (iconId) {
    case IDI_FAX_MACHINE: return {L" |=| ", L"[ooo]"};
    case IDI_COVER_SHEET: return {L"|=-\\ ", L"|===|"};
    case IDI_ULTRAFINE: return {L"#####", L"#####"};
    case IDI_FINE: return {L": : :", L": : :"};
    default: return {};
    }
}

}  // namespace

bool DialogsAtTerminal(const std::string &scriptOption) {
    return scriptOption.empty() && isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
}

std::unique_ptr<terminal::TerminalFrontEnd> MakeTerminalUser(int codePage) {
    return std::make_unique<terminal::TerminalFrontEnd>("CP" + std::to_string(codePage), IconDrawing);
}
