#!/usr/bin/env bash
# Fax jobs through a real CUPS: a cupsd of the test's own (cupsd_session.sh)
# with a PCL and a PostScript fax queue of this build's PPDs and filter,
# each writing its jobs to a file. A PDF and a PostScript document are
# printed with lp and the fax options; each job written must hold exactly
# the ticket `orvixfax ticket` writes for the same job (and `orvixfax fax
# --to` for the same choices), framed as its queue frames it, with the
# rendered document; Ghostscript must run the PostScript jobs through, the
# server's cover sheet template played by a stand-in. Jobs whose
# recipients do not resolve must end stopped with the reason, having
# written nothing.
#
#   fax_queues_test.sh ORVIXFAX FILTER PCL_PPD PS_PPD CUPS_SOURCE_DIR
set -euo pipefail
[ $# -eq 5 ] || { echo "usage: $0 ORVIXFAX FILTER PCL_PPD PS_PPD CUPS_SOURCE_DIR" >&2; exit 2; }
orvixfax=$1 filter=$2 pcl_ppd=$3 ps_ppd=$4 cups_source=$5
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/cupsd_session.sh"

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

work=$(mktemp -d "${TMPDIR:-/tmp}/orvixfax-cups-XXXXXX")
# cupsd runs the filters as lp when the test runs as root: it reads the books.
chmod 755 "$work"
cupsd_session_after() {
    if [ "$1" -eq 0 ]; then
        rm -rf "$work"
    else
        echo "The test's files, the scheduler's log among them, are in $work" >&2
    fi
}

user=$(id -un)
books=$work/books
mkdir -p "$books/$user" "$books/shared" "$work/docs" "$work/expected"
cp "$here/../../samples/OrvixFax.adb" "$books/$user/"
cat >"$books/$user/orvixfax.ini" <<'EOF'
[User Fax Info]
NewRecipient=False
CurrentSelection=
Resolution=Ultrafine
CoverPage=False
SenderName=Margarethe Vogel
SenderFaxNumber=+49 (40) 3861-2290
SenderBusinessNumber=+49 (40) 3861-2200
SenderHomeNumber=040 552 17 03
SenderNameTrue=1
SenderHomeNumberTrue=0
SenderFaxNumberTrue=1
SenderBusinessNumberTrue=0
RecipNameTrue=1
RecipNumberTrue=1
RecipCompanyTrue=1
EOF
# The shared book: one person to fax, 202 to fill two groups past the
# dialog's 200 recipients, and one without a fax number.
{
    echo ",Zed,Shared,,Shared Services,,,+1 555 0100,office"
    for i in $(seq 1 202); do printf ',P%03d,Big,,,,,+1 555 %04d,office\n' "$i" "$i"; done
    echo ",Nona,Number,,Nowhere Ltd,,,"
    printf '\fBig One'
    for i in $(seq 1 101); do printf ',%d.0' "$i"; done
    printf '\nBig Two'
    for i in $(seq 102 202); do printf ',%d.0' "$i"; done
    printf '\n'
} >"$books/shared/OrvixFax.adb"
chmod -R a+rX "$books"
cat >"$work/cups.conf" <<EOF
BookDirectory $books/%u
SharedBookDirectory $books/shared
EOF
chmod 644 "$work/cups.conf"

# A PostScript document of one page, and the same page as a real PDF.
cat >"$work/docs/letter.ps" <<'EOF'
%!PS-Adobe-3.0
%%Pages: 1
%%EndComments
%%Page: 1 1
/Helvetica findfont 24 scalefont setfont
72 700 moveto (Purchase order 4711) show
72 650 moveto (Please confirm the delivery date.) show
showpage
%%EOF
EOF
gs -q -dBATCH -dNOPAUSE -dSAFER -sDEVICE=pdfwrite -sOutputFile="$work/docs/letter.pdf" "$work/docs/letter.ps"

CUPSD_FILTER_ENV="SetEnv ORVIXFAX_CUPS_CONF $work/cups.conf" \
    cupsd_session_start "$work/cupsd" "$filter" "$cups_source/orvixfax.types" "$cups_source/orvixfax.convs"
for queue in fax-pcl fax-ps fax-shared; do
    case $queue in
        fax-ps) ppd=$ps_ppd ;;
        *) ppd=$pcl_ppd ;;
    esac
    # (lpadmin says that PPD drivers are deprecated: said only on failure.)
    said=$(lpadmin -p "$queue" -E -v "file://$CUPSD_OUT/$queue" -P "$ppd" 2>&1) || {
        echo "lpadmin cannot add $queue: $said" >&2
        exit 1
    }
done
lpadmin -p fax-shared -o orvixfax-book=Shared

moment="2000-01-01 00:00:00"
# expect NAME KIND JSON: the ticket `orvixfax ticket` writes for the job.
expect() {
    local name=$1 kind=$2
    printf '%s\n' "$3" >"$work/expected/$name.json"
    "$orvixfax" ticket "--$kind" --job "$work/expected/$name.json" --at "$moment" --out "$work/expected/$name.ticket"
}
# same_as_fax_to NAME KIND [SETTING=VALUE...] -- FAX OPTIONS: the ticket of
# `orvixfax fax --to` on a copy of the user's book and settings must be the
# one expected.
same_as_fax_to() {
    local name=$1 kind=$2 copy=$work/fax-to-$1
    shift 2
    mkdir -p "$copy"
    cp "$books/$user"/* "$copy/"
    while [ "$1" != "--" ]; do
        "$orvixfax" settings set "${1%%=*}" "${1#*=}" --dir "$copy" >/dev/null
        shift
    done
    shift
    "$orvixfax" fax "--$kind" --dir "$copy" --no-save --at "$moment" --out "$work/expected/$name.fax-to" "$@"
    cmp -s "$work/expected/$name.fax-to" "$work/expected/$name.ticket" ||
        fail "$name: orvixfax fax --to $* gives another ticket than the job file"
}
# run_job NAME QUEUE DOCUMENT LP_OPTIONS...: prints the job's end state;
# its output is kept as NAME.out.
run_job() {
    local name=$1 queue=$2 document=$3 id state
    shift 3
    id=$(cupsd_submit "$queue" "$work/docs/$document" "$@")
    state=$(cupsd_wait_job "$id")
    cp "$CUPSD_OUT/$queue" "$work/$name.out"
    echo "$id $state"
}

# A PDF to the PCL queue: a group and a person, the cover sheet with a note
# (UTF-8 from lp, Windows-1252 in the ticket), the sender details the
# user's settings show.
expect pdf-pcl pcl '{
  "coverSheet": 1, "senderName": "Margarethe Vogel", "senderFaxNumber": "+49 (40) 3861-2290",
  "includeRecipName": 1, "includeRecipNumber": 1, "includeRecipCompany": 1,
  "noteLines": ["Bestellung über 42 €"],
  "recipients": [
    {"name": "Bruno Keller", "faxNumber": "+41 44 555 12 12", "company": "Keller & Sohn"},
    {"name": " ", "faxNumber": "+31 10 555 7700", "company": "Harbour Logistics"},
    {"name": "Dev Patel", "faxNumber": "+44 20 7946 0018", "company": "Northwind Traders"}]}'
same_as_fax_to pdf-pcl pcl -- --to "[Suppliers]" --to "Dev Patel" --cover --note "Bestellung über 42 €"
read -r id state < <(run_job pdf-pcl fax-pcl letter.pdf -o "orvixfax-to='[Suppliers];Dev Patel'" \
    -o orvixfax-cover=true -o "orvixfax-note='Bestellung über 42 €'")
[ "$state" = completed ] || fail "pdf-pcl: job $id ended $state: $(cupsd_job_attribute "$id" job-printer-state-message)"
"$here/check_fax_job.py" pcl "$work/pdf-pcl.out" "$work/expected/pdf-pcl.ticket" 600 || fail "pdf-pcl: the job written"

# A PostScript document to the PostScript queue: one number of a person,
# Fine, a sender name to escape, the saved business number shown, the
# recipient's company not.
expect ps-ps ps '{
  "coverSheet": 1, "resolution": 1, "senderName": "Vogel (HQ) [Fax]", "senderFaxNumber": "+49 (40) 3861-2290",
  "senderBusinessNumber": "+49 (40) 3861-2200",
  "includeRecipName": 1, "includeRecipNumber": 1, "includeRecipCompany": 0,
  "recipients": [{"name": "Chiara Rossi", "faxNumber": "+39 333 555 0101", "company": "Studio Rossi"}]}'
same_as_fax_to ps-ps ps RecipCompanyTrue=0 -- --to "Chiara Rossi:+39 333 555 0101" --cover \
    --sender-name "Vogel (HQ) [Fax]" --sender-business "+49 (40) 3861-2200" --fine
read -r id state < <(run_job ps-ps fax-ps letter.ps -o "orvixfax-to='Chiara Rossi:+39 333 555 0101'" \
    -o orvixfax-cover=True -o orvixfax-show-recip-company=False -o "orvixfax-sender-name='Vogel (HQ) [Fax]'" \
    -o orvixfax-show-sender-business=True -o orvixfax-resolution=Fine)
[ "$state" = completed ] || fail "ps-ps: job $id ended $state: $(cupsd_job_attribute "$id" job-printer-state-message)"
"$here/check_fax_job.py" ps "$work/ps-ps.out" "$work/expected/ps-ps.ticket" || fail "ps-ps: the job written"

# A PDF to the PostScript queue, to a bare number: the dialog's new
# recipient, no cover sheet.
expect pdf-ps ps '{"recipients": [{"name": "Night Desk", "faxNumber": "+31 10 555 7700"}]}'
read -r id state < <(run_job pdf-ps fax-ps letter.pdf -o "orvixfax-to='+31 10 555 7700'" \
    -o "orvixfax-name='Night Desk'" -o orvixfax-cover=False)
[ "$state" = completed ] || fail "pdf-ps: job $id ended $state: $(cupsd_job_attribute "$id" job-printer-state-message)"
"$here/check_fax_job.py" ps "$work/pdf-ps.out" "$work/expected/pdf-ps.ticket" || fail "pdf-ps: the job written"

# The PostScript document to the PCL queue set to the shared book.
expect ps-shared pcl '{"recipients": [{"name": "Zed Shared", "faxNumber": "+1 555 0100", "company": "Shared Services"}]}'
read -r id state < <(run_job ps-shared fax-shared letter.ps -o "orvixfax-to='Zed Shared'")
[ "$state" = completed ] ||
    fail "ps-shared: job $id ended $state: $(cupsd_job_attribute "$id" job-printer-state-message)"
"$here/check_fax_job.py" pcl "$work/ps-shared.out" "$work/expected/ps-shared.ticket" 600 ||
    fail "ps-shared: the job written"

# Ghostscript runs the PostScript jobs through, the cover sheet template
# played by the stand-in.
for name in ps-ps pdf-ps; do
    said=$(gs -q -dNODISPLAY -dBATCH -dNOPAUSE -dSAFER "$here/faxtemplate_standin.ps" "$work/$name.out" 2>&1) ||
        fail "$name: Ghostscript stops on the job: $said"
    case $name in
        ps-ps) wanted="FAXTEMPLATE: 1 recipients, from Vogel (HQ) [Fax], 9 note lines" ;;
        *) wanted="" ;;
    esac
    [ "$(printf '%s\n' "$said" | grep FAXTEMPLATE || true)" = "$wanted" ] ||
        fail "$name: the cover sheet template saw \"$said\", not \"$wanted\""
done

# Jobs whose recipients do not resolve: stopped with the reason, nothing
# written to the device.
refused() {
    local name=$1 queue=$2 reason=$3 id state message
    shift 3
    read -r id state < <(run_job "$name" "$queue" letter.ps "$@")
    message=$(cupsd_job_attribute "$id" job-printer-state-message)
    [ "$state" = processing-stopped ] || fail "$name: job $id ended $state, not stopped by the filter"
    case "$message" in
        *"$reason"*) ;;
        *) fail "$name: job $id says \"$message\", not \"$reason\"" ;;
    esac
    [ ! -s "$work/$name.out" ] || fail "$name: job $id wrote $(wc -c <"$work/$name.out") bytes to the device"
}
refused unknown fax-ps 'orvixfax-to "Nobody Here": matches nothing in the address book' \
    -o "orvixfax-to='[Suppliers];Nobody Here'"
refused ambiguous fax-ps 'orvixfax-to "Ann Lee": matches 2 lines' -o "orvixfax-to='Ann Lee'"
refused too-many fax-shared 'orvixfax-to "[Big Two]": brings the job to 202 recipients' \
    -o "orvixfax-to='[Big One];[Big Two]'"
refused no-number fax-shared 'orvixfax-to "Nona Number": names a person who has no fax number' \
    -o "orvixfax-to='Nona Number'"
refused no-recipient fax-pcl 'orvixfax-to: no recipient' -o orvixfax-cover=True
# What lpstat -l shows of a refused job.
lpstat -l -o fax-ps | grep -q 'Status: orvixfax-to "Ann Lee": matches 2 lines' ||
    fail "lpstat -l does not show why the ambiguous job stopped"

if [ $failures -eq 0 ]; then
    echo "OK: fax jobs through CUPS"
else
    echo "$failures checks failed" >&2
    exit 1
fi
