#!/usr/bin/env python3
"""Checks one fax job as a fax queue wrote it to its device file.

  check_fax_job.py pcl|ps JOB_FILE TICKET_FILE [RESOLUTION_DPI]

The job must hold exactly the ticket in TICKET_FILE (as `orvixfax ticket`
writes it for the same job; the cover sheet's date may differ), framed as
the queue kind frames it, followed by the rendered document: PCL pages at
RESOLUTION_DPI for a PCL queue, the rest of the PostScript document for a
PostScript queue. Exit status 0 when it does; else the first difference.
"""
import re
import sys

UEL = b"\x1b%-12345X"


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def without_date(ticket):
    """The ticket with the cover sheet's date text taken out."""
    ticket = re.sub(rb"(@PJL COMMENT @@EDT=)[^\n]*\n", rb"\1DATE\n", ticket)
    return re.sub(rb"(/DateTimeStr \()[^)]*(\) def\r\n)", rb"\1DATE\2", ticket)


def check_ticket(found, expected):
    if without_date(found) != without_date(expected):
        fail("the ticket differs from the expected one:\n--- found\n%r\n--- expected\n%r" % (found, expected))


def check_pcl(job, ticket, dpi):
    head = UEL + b"@PJL JOB\n"
    if not job.startswith(head):
        fail("the job does not start with the universal exit and @PJL JOB: %r" % job[:40])
    enter = job.find(b"@PJL ENTER LANGUAGE=PCL\n", len(head))
    if enter < 0:
        fail("no @PJL ENTER LANGUAGE=PCL line")
    check_ticket(job[len(head):enter], ticket)
    tail = UEL + b"@PJL EOJ\n" + UEL
    if not job.endswith(tail):
        fail("the job does not end with the universal exit, @PJL EOJ and the universal exit: %r" % job[-40:])
    pcl = job[enter + len(b"@PJL ENTER LANGUAGE=PCL\n"):-len(tail)]
    # CUPS's HP PCL filter: a printer reset, raster graphics at the queue's
    # resolution, a page eject, a reset.
    if not (pcl.startswith(b"\x1bE") and pcl.endswith(b"\x1bE")):
        fail("the PCL pages are not between printer resets")
    if (b"\x1b*t%dR" % dpi) not in pcl:
        fail("the PCL pages are not rendered at %d dpi" % dpi)
    if pcl.count(b"\x1b*r1A") < 1 or b"\x0c" not in pcl:
        fail("the PCL holds no raster page")
    if UEL in pcl or b"@PJL" in pcl:
        fail("PJL inside the PCL pages")


def check_ps(job, ticket):
    end = job.find(b"\n") + 1
    first = job[:end]
    if not first.startswith(b"%!PS-Adobe-3.0"):
        fail("the job's first line is not the document's: %r" % first)
    marker = b"(/scsi0/pspages/faxtemplate.ps) run\r\n"
    if marker in ticket:
        stop = job.find(marker, end)
        if stop < 0:
            fail("the ticket's last line is missing")
        stop += len(marker)
    else:
        stop = job.find(b"%%   @@MJB=END\r\n", end)
        if stop < 0:
            fail("the ticket's @@MJB=END line is missing")
        stop += len(b"%%   @@MJB=END\r\n")
    check_ticket(job[end:stop], ticket)
    rest = job[stop:]
    if not rest.startswith(b"%%") or b"showpage" not in rest or b"%%EOF" not in rest[-200:]:
        fail("the rest of the job is not the PostScript document: %r ... %r" % (rest[:60], rest[-60:]))


def main():
    kind, job_file, ticket_file = sys.argv[1:4]
    with open(job_file, "rb") as f:
        job = f.read()
    with open(ticket_file, "rb") as f:
        ticket = f.read()
    if kind == "pcl":
        check_pcl(job, ticket, int(sys.argv[4]))
    else:
        check_ps(job, ticket)


main()
