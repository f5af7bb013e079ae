// A fax job as the print server takes it from a fax queue: the rendered
// document framed the way the module's own drivers frame it, with the
// ticket the module wrote for the job.
//
// PCL queue:        ESC%-12345X@PJL JOB            (universal exit, the job)
//                   the PJL ticket's lines
//                   @PJL ENTER LANGUAGE=PCL
//                   the PCL pages
//                   ESC%-12345X@PJL EOJ            (universal exit, end of job)
//                   ESC%-12345X
// PostScript queue: the document's first line ("%!PS-Adobe-3.0"), the
//                   PostScript ticket, the rest of the document.
#ifndef ORVIXFAX_CUPS_FAX_JOB_FRAME_H
#define ORVIXFAX_CUPS_FAX_JOB_FRAME_H

#include <cstdio>
#include <string>

// Copies `document` to `out` inside the PJL frame around `ticket`. False
// with a reason when the document cannot be read or the job written.
bool WritePclFaxJob(const std::string &ticket, std::FILE *document, std::FILE *out, std::string &error);

// Copies `document` to `out` with `ticket` behind its first line. False
// with a reason, and nothing written, when the document is no PostScript
// (it must start with "%!" and have its first line end within 4096
// bytes); false too when it cannot be read or the job written.
bool WritePostScriptFaxJob(const std::string &ticket, std::FILE *document, std::FILE *out, std::string &error);

#endif
