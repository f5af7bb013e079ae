// A helper of the lowest floor but one that reaches up to the dialogs.
#include "../faxdlg/fax_dialog.h"
