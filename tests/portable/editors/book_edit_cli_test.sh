#!/usr/bin/env bash
# orvixfax book edit: a script builds on a book through the real dialogs and
# the file on disk is checked; bad input exits 2 and leaves the book alone.
set -u
orvixfax="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

printf ',Ann,Lee,,Acme,,,555-1000,office\n\fTeam,0.0\n' > "$work/OrvixFax.adb"
cat > "$work/add.txt" <<'SCRIPT'
dialog "Edit Address Book"
expect-lines IDC_BOOK_LIST 2
click IDC_BOOK_NEW_PERSON
  dialog "New Person"
  expect-disabled IDOK
  type IDC_PERSON_FIRST "Bob"
  type IDC_PERSON_LAST "Roe"
  click IDC_PERSON_ADD
    dialog "New Number"
    type IDC_NUMBER_NUMBER "555-2000"
    click IDOK
  click IDOK
click IDC_BOOK_NEW_GROUP
  dialog "New Group"
  type IDC_GROUP_NAME "Sales, North"
  dblclick IDC_GROUP_AVAILABLE "Roe, Bob\t555-2000"
  click IDOK
expect-lines IDC_BOOK_LIST 4
click IDOK
SCRIPT
"$orvixfax" book edit --dir "$work" --script "$work/add.txt" > "$work/out.txt" 2> "$work/said.txt"
status=$?
[ "$status" -eq 0 ] || fail "a script that runs through exits $status, not 0"
grep -q "saved with changes" "$work/said.txt" || fail "no word of the saved book: $(cat "$work/said.txt")"
[ -s "$work/out.txt" ] && fail "messages on standard output: $(cat "$work/out.txt")"
expected=$(printf ',Ann,Lee,,Acme,,,555-1000,office\n,Bob,Roe,,,,,555-2000,\n\fTeam,0.0\nSales\\, North,1.0\n')
[ "$(cat "$work/OrvixFax.adb")" = "$expected" ] || fail "book after the script: $(cat -A "$work/OrvixFax.adb")"

# Deleting Ann through a script read from standard input also drops Team.
cp "$work/OrvixFax.adb" "$work/before.adb"
printf 'select IDC_BOOK_LIST "Lee, Ann\\tAcme"\nclick IDC_BOOK_DELETE\nexpect-lines IDC_BOOK_LIST 2\nclick IDOK\n' |
    "$orvixfax" book edit --dir "$work" > /dev/null
[ $? -eq 0 ] || fail "a script from standard input did not run through"
expected=$(printf ',Bob,Roe,,,,,555-2000,\n\fSales\\, North,0.0\n')
[ "$(cat "$work/OrvixFax.adb")" = "$expected" ] || fail "book after the delete: $(cat -A "$work/OrvixFax.adb")"

# A step that cannot be done: exit 2, a message with the line, the book as it was.
cp "$work/OrvixFax.adb" "$work/before.adb"
printf 'click IDC_BOOK_NEW_PERSON\nclick IDOK\nclick IDOK\n' > "$work/bad.txt"
"$orvixfax" book edit --dir "$work" --script "$work/bad.txt" > /dev/null 2> "$work/err.txt"
status=$?
[ "$status" -eq 2 ] || fail "a failing step exits $status, not 2"
grep -q "bad.txt:2" "$work/err.txt" || fail "the failing line is not named: $(cat "$work/err.txt")"
cmp -s "$work/OrvixFax.adb" "$work/before.adb" || fail "a failed script changed the book"

# Unreadable script, unknown control, missing directory: exit 2 before anything runs.
"$orvixfax" book edit --dir "$work" --script "$work/missing.txt" > /dev/null 2>&1
[ $? -eq 2 ] || fail "a missing script file is not bad input"
echo 'click IDC_NO_SUCH_CONTROL' | "$orvixfax" book edit --dir "$work" > /dev/null 2>&1
[ $? -eq 2 ] || fail "an unknown control name is not bad input"
"$orvixfax" book edit --dir "$work/nowhere" --script "$work/add.txt" > /dev/null 2>&1
[ $? -eq 2 ] || fail "a missing directory is not bad input"
cmp -s "$work/OrvixFax.adb" "$work/before.adb" || fail "bad input changed the book"

# Without --dir the book lives in ~/.local/share/orvixfax, made when missing.
printf 'click IDOK\n' | env -u ORVIXFAX_DIR -u XDG_DATA_HOME HOME="$work/home" "$orvixfax" book edit > /dev/null 2>&1
[ $? -eq 0 ] || fail "the default directory did not work"
[ "$(cat "$work/home/.local/share/orvixfax/OrvixFax.adb")" = "$(printf '\f')" ] ||
    fail "no empty book saved in the default directory"

[ "$failures" -eq 0 ] && echo "book edit: all checks passed"
exit "$failures"
