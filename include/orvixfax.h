/*
 * orvixfax.h - the interface between the OrvixFax fax module and the
 * PCL and PostScript printer drivers that load it.
 *
 * The module is OrvixFax.dll. A driver loads it, calls one of the eight
 * exports below and, after the user pressed "F&ax", either reads the fax job
 * record it passed in or sends the job ticket it got back.
 *
 * Calling convention: every export is WINAPI (__stdcall), the convention of
 * the Windows API itself. On 32-bit Windows the exports are named without
 * decoration (no leading underscore, no @n suffix) and also have fixed
 * ordinals; EditNumberDlgProc is CALLBACK, which is the same convention.
 *
 * Two layouts of FaxInfo exist, identical but for the width of the one
 * pointer in it:
 *
 *   32-bit module (the one the drivers load): 3284 bytes, recipients at
 *   offset 704 is 4 bytes wide, the byte offsets are those written beside
 *   the fields below.
 *
 *   64-bit module: recipients is 8 bytes wide. It still starts at offset
 *   704 (which is 8-byte aligned), everything behind it moves by 4 bytes
 *   (recipientCount at 712, noteLines at 728) and the record is 3288 bytes.
 *   Both layouts have no padding but the two unused bytes at offset 6.
 *
 * Memory handed to the caller (ticket text, see the Create exports) is a
 * moveable global-memory block returned locked. Release it through its
 * handle: GlobalUnlock(GlobalHandle(p)); GlobalFree(GlobalHandle(p)).
 */
#ifndef ORVIXFAX_H
#define ORVIXFAX_H

#include <stddef.h>
#include <stdint.h>

#ifdef _WIN32
#include <windows.h>
#define ORVIXFAX_API WINAPI
#else
#include "../src/platform/win32api.h"
#define ORVIXFAX_API WINAPI
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define FAX_MAX_RECIPIENTS 200

#pragma pack(push, 1)

/* One recipient of a fax job: 370 bytes, slot i at byte 370 * i. */
typedef struct RecipientEntry {
    char name[250];      /*   0  name for the cover sheet */
    char faxNumber[80];  /* 250  number to dial */
    char company[40];    /* 330  company for the cover sheet */
} RecipientEntry;

/* The fax job record. Offsets are those of the 32-bit layout. */
typedef struct FaxInfo {
    uint32_t status;               /*    0  1 = Fax pressed, record complete; 0 = no fax */
    uint16_t coverSheet;           /*    4  1 = send a cover sheet (16 bits) */
    uint8_t  unused6[2];           /*    6  never written by the module */
    uint32_t resolution;           /*    8  0 = Ultrafine, 1 = Fine */
    char senderName[82];           /*   12 */
    char senderFaxNumber[80];      /*   94 */
    char senderHomeNumber[80];     /*  174 */
    char senderBusinessNumber[80]; /*  254 */
    char recipientNames[250];      /*  334 */
    char recipientFaxNumber[80];   /*  584  single number line selected, else empty */
    char recipientCompany[40];     /*  664  likewise */
    RecipientEntry *recipients;    /*  704  room for FAX_MAX_RECIPIENTS slots */
    int32_t recipientCount;        /*  708  0 to 200 */
    uint32_t includeRecipName;     /*  712  cover sheet shows the recipient's name */
    uint32_t includeRecipNumber;   /*  716  ... the recipient's fax number */
    uint32_t includeRecipCompany;  /*  720  ... the recipient's company */
    char noteLines[10][256];       /*  724  cover note, one display line each */
} FaxInfo;

#pragma pack(pop)

/* 1, 2: run the fax dialog; nothing comes back. Both arguments are ignored. */
uint32_t ORVIXFAX_API PSOrvixFaxCall(uint32_t unused1, uint32_t unused2);
uint32_t ORVIXFAX_API PCLOrvixFaxCall(uint32_t unused1, uint32_t unused2);

/* 3: edit the address book on its own, owned by the given window. */
uint32_t ORVIXFAX_API OrvixFaxBookCall(HWND owner);

/* 4: the number editor's dialog procedure, for hosts that run the module's
 * IDD_EDIT_NUMBER template themselves. The creation parameter points to a
 * NumberEditorParams block (mode, NumberRecord) whose record stays valid
 * until the dialog ends. Result 1 after OK (record updated), 2 after Cancel
 * (record untouched). A null creation parameter, or a block without a
 * record, ends the dialog at once with 2 before it is shown. */
INT_PTR CALLBACK EditNumberDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

/* 5, 6: run the fax dialog; on "F&ax" the caller's record receives the job.
 * The record's recipients pointer must have room for 200 slots; it is not
 * changed, and the filled slots are written into that array. A record whose
 * recipients pointer is null receives everything but the slots. Each text
 * is copied as a zero-terminated string (bytes behind its zero are left as
 * they were), and the two unused bytes are never written. A caller that
 * wants to tell Fax from Print presets status to 0. A null record is allowed.
 * After "&Print" the record is not touched at all. */
uint32_t ORVIXFAX_API PCLOrvixFaxCallEx(FaxInfo *record);
uint32_t ORVIXFAX_API PSOrvixFaxCallEx(FaxInfo *record);

/* 7, 8: run the fax dialog and return the job ticket (PJL or PostScript).
 * After "&Print", or when the module cannot run (no memory for its record,
 * its working data or the ticket), both outputs are 0 and, when there was
 * no memory for the record, no dialog is shown.
 * PJL: a zero-terminated text in a 102400-byte block; *length is its length
 * without the terminator. PostScript: *length text bytes at the start of a
 * block that may be longer; the bytes behind the text are zero unless the
 * text fills the block exactly, so go by *length.
 * A CR or LF inside a value never starts a line of its own: in the PJL
 * ticket it is written as a space, in PostScript strings as \r or \n.
 * The caller owns the returned block (see the top of this file). */
void ORVIXFAX_API CreatePCLOrvixFaxInfo(char **text, uint32_t *length);
void ORVIXFAX_API CreatePSOrvixFaxInfo(char **text, uint32_t *length);

#ifdef __cplusplus
}
#endif

#endif /* ORVIXFAX_H */
