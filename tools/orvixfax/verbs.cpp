#include "orvixfax/verbs.h"

void AddVerbs(CLI::App &app, int &exitCode) {
    auto common = std::make_shared<CommonOptions>();
    AddCommonOptions(app, *common);
    AddTicketVerb(app, common, exitCode);
    CLI::App *book = AddBookVerb(app, common, exitCode);
    AddBookEditVerb(*book, common, exitCode);
    AddBookChangeVerbs(*book, common, exitCode);
    AddFaxVerb(app, common, exitCode);
    AddSettingsVerb(app, common, exitCode);
}
