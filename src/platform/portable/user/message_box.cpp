// Message boxes: the front end plays the user who reads and answers them.
#include "platform/portable/front_end.h"

#include <new>
#include <string>

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    portable::FrontEnd *frontEnd = portable::CurrentFrontEnd();
    if (!frontEnd) return 0;  // the box could not be shown
    // Windows titles a box without a caption "Error"; a box that cannot be
    // shown for want of memory is 0, as there.
    try {
        return frontEnd->AnswerMessageBox(owner, text ? text : "", caption ? caption : "Error", type);
    } catch (const std::bad_alloc &) {
        return 0;
    }
}
