// A module's resources as tables for the portable layer: dialog templates,
// string table and icon ids. The tables are generated at build time from
// the module's resource script, the one windres compiles for the DLLs
// (tools/rcgen), so there is only one description of each dialog; the layer
// itself knows no module's resources but the one registered with it.
#ifndef ORVIXFAX_PORTABLE_RESOURCES_H
#define ORVIXFAX_PORTABLE_RESOURCES_H

#include "platform/portable/windows.h"

namespace portable {

struct DialogItemTemplate {
    const char *windowClass;  // "BUTTON", "EDIT", "STATIC", "LISTBOX"
    const char *text;         // caption ("" when none)
    int iconId;               // SS_ICON static naming an icon resource, else 0
    int id;                   // control id, -1 for IDC_STATIC
    DWORD style;              // full style (WS_CHILD | WS_VISIBLE | ... as rc computes it)
    DWORD exStyle;
    short x, y, cx, cy;       // dialog units
};

struct StringResource {
    UINT id;
    const char *text;
};

struct DialogTemplate {
    const char *name;         // as the script names it ("IDD_...")
    DWORD style, exStyle;
    short x, y, cx, cy;
    const char *caption;
    int pointSize;
    const char *fontFace;
    const DialogItemTemplate *items;
    int itemCount;
    int resourceId;           // the numeric id when the template is named by number, else 0
};

// The resources the Windows loader maps with a module: its file name and
// its tables. The generated tables register themselves before main, so a
// program has the module's resources by linking them in; the layer keeps
// one module, whose instance is ModuleInstance() (host.h).
struct ModuleResources {
    const char *fileName;  // "OrvixFax.dll": GetModuleHandleA finds the module by it
    const DialogTemplate *dialogs;
    int dialogCount;
    const StringResource *strings;  // in ascending id order
    int stringCount;
    const int *icons;
    int iconCount;
};
// Makes `module` the one the layer has loaded, in place of any before;
// true, so that a registration can initialise a constant.
bool RegisterModule(const ModuleResources &module);
// The registered module's file name; "" when there is none.
const char *ModuleFileName();

// By name (case-insensitive, as Windows finds named resources), or by
// MAKEINTRESOURCEA id; null when the instance is not the module's or there
// is no such template.
const DialogTemplate *FindDialogTemplate(HINSTANCE instance, LPCSTR name);
int DialogTemplateCount();
const DialogTemplate *DialogTemplateAt(int index);
bool HasIcon(HINSTANCE instance, int id);

// The string table as compiled, without the run's overrides.
int StringResourceCount();
const StringResource *StringResourceAt(int index);
const char *FindStringResource(UINT id);  // null when there is no such entry

// Icons from LoadIconA are handles that name their resource: IconIdOf gives
// the id an icon handle was loaded by (a module icon or a system IDI_ one),
// 0 for anything else, so a static showing it can be checked.
int IconIdOf(HICON icon);

int IconResourceCount();
int IconResourceAt(int index);            // the icon's id

}  // namespace portable

#endif
