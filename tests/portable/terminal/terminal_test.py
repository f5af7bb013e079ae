"""The dialogs in a terminal, worked by keys and mouse through a
pseudo-terminal as a person would, against the real orvixfax program.

    terminal_test.py CHECK ORVIXFAX SOURCE_DIR

CHECK is one of: fax_job, book_edit, message_box, reach, restore. Each run
at a terminal must leave the same bytes as the scripted run of the same
actions (the ticket, the settings, the book)."""
import atexit
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import termios

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from terminal_driver import Terminal  # noqa: E402

ORVIXFAX, SOURCE = sys.argv[2], sys.argv[3]
SAMPLE_BOOK = os.path.join(SOURCE, "samples", "OrvixFax.adb")
AT = "2026-03-04 05:06:07"


SCRATCH = tempfile.mkdtemp(prefix="orvix-terminal-")
atexit.register(shutil.rmtree, SCRATCH, True)


def fresh_dir():
    """A directory of its own with the sample book in it."""
    directory = tempfile.mkdtemp(dir=SCRATCH)
    shutil.copy(SAMPLE_BOOK, directory)
    return directory


def scripted(args, script_text, directory):
    path = os.path.join(directory, "actions.script")
    with open(path, "w", encoding="latin-1") as f:
        f.write(script_text)
    run = subprocess.run([ORVIXFAX] + args + ["--dir", directory, "--script", path],
                         capture_output=True, stdin=subprocess.DEVNULL)
    assert run.returncode == 0, "the scripted run failed: %s" % run.stderr.decode(errors="replace")


def same_files(person, script, names):
    for name in names:
        with open(os.path.join(person, name), "rb") as a, open(os.path.join(script, name), "rb") as b:
            mine, theirs = a.read(), b.read()
        assert mine == theirs, "%s differs from the scripted run:\n%r\n%r" % (name, mine, theirs)


def tab_to(term, label, limit=30):
    """Tab until the focused control shows `label` in reverse."""
    for _ in range(limit):
        if any(label in text for _, _, text in term.reversed_text()):
            return
        term.press("tab")
    raise AssertionError("Tab never reached %r:\n%s" % (label, term.text()))


def check_fax_job():
    """The job of samples/fax-demo.script, by keys: two recipients, a cover
    sheet with the sender's name, number and a note, then F&ax."""
    person, script = fresh_dir(), fresh_dir()
    with open(os.path.join(SOURCE, "samples", "fax-demo.script")) as f:
        scripted(["fax", "--pcl", "--at", AT, "--out", os.path.join(script, "ticket.pjl")], f.read(), script)
    term = Terminal([ORVIXFAX, "fax", "--pcl", "--dir", person, "--at", AT, "--out", os.path.join(person, "ticket.pjl")])
    term.wait_for("Fax Document")
    term.press("escape")         # the fax dialog ignores Escape
    assert "Fax Document" in term.text() and term.status is None
    term.press("space")          # the first line, [Sales Team]
    term.type("K")               # on to the line that starts with K
    term.press("space")
    assert [t.strip() for _, _, t in term.reversed_text()] == ["[Sales Team]", "Keller, Bruno      +41 44 555 12 12"], term.text()
    assert "Bruno Keller +41 44 555 12 12" in term.text()
    term.alt("s")                # Use Cover &Sheet
    term.alt("c")                # Edit &Cover Sheet...
    term.wait_for("Cover Page")
    term.alt("s")
    term.alt("f")
    tab_to(term, "Recipient Fax Number")
    term.press("tab")            # the note
    term.type("Please find the signed order attached. Call me if anything is missing or unclear.")
    assert "Call\n" not in term.text() and "order attached. Call" in term.text()
    term.press("tab")
    term.type("Max Sender")
    term.press("tab")
    term.type("+49 30 1234 5678")
    term.press("enter")          # OK, the default button
    term.wait_for("Fax Document")
    term.alt("a")                # F&ax
    assert term.finish() == 0
    term.close()
    same_files(person, script, ["ticket.pjl", "orvixfax.ini"])


BOOK_SCRIPT = r'''
dialog "Edit Address Book"
click IDC_BOOK_NEW_PERSON
  dialog "New Person"
  type IDC_PERSON_FIRST "Eve"
  type IDC_PERSON_LAST "Adams"
  type IDC_PERSON_COMPANY "M\xFCller Stra\xDFe"
  type IDC_PERSON_DEPARTMENT "Sales"
  click IDC_PERSON_ADD
    dialog "New Number"
    type IDC_NUMBER_NUMBER "+1 555 0100"
    type IDC_NUMBER_DETAILS "office"
    click IDOK
  type IDC_PERSON_NOTES "Met at the fair"
  click IDOK
click IDC_BOOK_NEW_GROUP
  dialog "New Group"
  type IDC_GROUP_NAME "Fair Contacts"
  select IDC_GROUP_AVAILABLE "Adams, Eve\t+1 555 0100"
  click IDC_GROUP_ADD
  select IDC_GROUP_AVAILABLE "Keller, Bruno\t+41 44 555 12 12"
  click IDC_GROUP_ADD
  click IDOK
click IDOK
'''


def check_book_edit():
    """A new person with a number and a company in 8-bit text, and a new
    group of two, by keys, the mouse and a resize on the way."""
    person, script = fresh_dir(), fresh_dir()
    scripted(["book", "edit"], BOOK_SCRIPT, script)
    term = Terminal([ORVIXFAX, "book", "edit", "--dir", person])
    term.wait_for("Edit Address Book")
    term.alt("w")                # Ne&w Person
    term.wait_for("New Person")
    term.type("Eve")
    term.press("tab")
    term.type("Adams")
    term.press("tab")
    term.type("Müller Straße")   # the terminal's UTF-8, the book's Windows-1252
    term.alt("v")                # Dept./Di&v.
    term.type("Sales")
    tab_to(term, "Add...")
    term.press("enter")
    term.wait_for("New Number")
    term.type("+1 555 0100")
    term.press("tab")
    term.type("office")
    term.press("enter")
    term.wait_for("+1 555 0100  office")
    term.alt("n")                # &Notes
    term.type("Met at the fair")
    term.press("enter")
    term.wait_for("Adams, Eve")
    assert "Müller Straße" in term.text()
    # A larger terminal shows the whole dialog; back at 80x24 it scrolls.
    term.resize(40, 100)
    assert "[    OK    ]" in term.text() and "↓" not in term.text(), term.text()
    term.resize(24, 80)
    term.alt("n")                # &New Group
    term.wait_for("New Group")
    term.type("Fair Contacts")
    term.press("tab")
    term.type("A")               # Adams, Eve: the first line with A
    term.alt("a")                # >> &Add >>
    # Keller, Bruno is picked with the mouse.
    row, col = next((r, c) for r, c, line in ((r, line.find("Keller, Bruno"), line) for r, line in enumerate(term.screen.display)) if c >= 0)
    term.click(row, col)
    term.alt("a")
    # Both moved over to the group's list.
    assert term.text().count("Adams, Eve") == 1 and term.text().count("Keller, Bruno") == 1, term.text()
    tab_to(term, "OK")
    term.press("enter")
    term.wait_for("Fair Contacts")
    tab_to(term, "OK")
    term.press("enter")
    assert term.finish() == 0
    term.close()
    same_files(person, script, ["OrvixFax.adb"])


MESSAGE_SCRIPT = r'''
click IDC_BOOK_NEW_GROUP
  dialog "New Group"
  type IDC_GROUP_NAME "Sales Team"
  enter
  answer ok "There are no Persons in this Group."
  select IDC_GROUP_AVAILABLE "Harbour Logistics\t+31 10 555 7700"
  click IDC_GROUP_ADD
  focus IDC_GROUP_MEMBERS
  enter
  answer no
  enter
  answer yes
click IDOK
'''


def check_message_box():
    """The group editor's warnings answered at the terminal: OK with Enter,
    No and Yes by their underlined letters, Escape ignored by a Yes/No box."""
    person, script = fresh_dir(), fresh_dir()
    scripted(["book", "edit"], MESSAGE_SCRIPT, script)
    term = Terminal([ORVIXFAX, "book", "edit", "--dir", person])
    term.wait_for("Edit Address Book")
    term.alt("n")
    term.wait_for("New Group")
    term.type("Sales Team")
    term.press("enter")
    term.wait_for("There are no Persons in this Group.")
    assert "Warning" in term.text() and "[[  OK  ]]" in term.text(), term.text()
    term.press("enter")
    assert "There are no Persons" not in term.text()
    term.press("tab")
    term.type("H")
    term.alt("a")
    term.press("tab")            # from >> Add >> to the group's list, where Enter is OK
    term.press("enter")
    term.wait_for("Do you want to override it?")
    assert "[[ Yes  ]]" in term.text() and "[   No   ]" in term.text(), term.text()
    term.press("escape")         # a Yes/No box has no Cancel: nothing happens
    assert "Do you want to override it?" in term.text()
    term.type("n")
    assert "override" not in term.text()
    term.press("enter")
    term.wait_for("Do you want to override it?")
    term.alt("y")
    term.wait_for("Edit Address Book")
    tab_to(term, "OK")
    term.press("enter")
    assert term.finish() == 0
    term.close()
    same_files(person, script, ["OrvixFax.adb"])


def check_restore():
    """Ctrl+C, a termination and a fault each end the program with the
    terminal given back: out of the alternate screen, the mouse off, the
    line discipline cooked and echoing again."""
    for how in ("ctrl-c", signal.SIGTERM, signal.SIGSEGV):
        directory = fresh_dir()
        term = Terminal([ORVIXFAX, "book", "edit", "--dir", directory])
        term.wait_for("Edit Address Book")
        assert not termios.tcgetattr(term.fd)[3] & termios.ICANON
        if how == "ctrl-c":
            term.press(b"\x03")
        else:
            os.kill(term.pid, how)
        status = term.finish()
        attributes = termios.tcgetattr(term.fd)
        term.close()
        assert status != 0, how
        tail = term.output[term.output.rfind(b"\x1b[?1049h"):]
        assert b"\x1b[?1049l" in tail and b"1000l" in tail, (how, tail[-200:])
        assert attributes[3] & termios.ICANON and attributes[3] & termios.ECHO, how
        with open(os.path.join(directory, "OrvixFax.adb"), "rb") as now, open(SAMPLE_BOOK, "rb") as before:
            assert now.read() == before.read(), how


# Statements of the templates that make a tab stop unless they say NOT WS_TABSTOP.
TAB_STOP_BY_DEFAULT = {"PUSHBUTTON", "DEFPUSHBUTTON", "CHECKBOX", "AUTOCHECKBOX", "EDITTEXT"}


def templates():
    """The dialogs of orvixfax.rc: for each, its controls as (statement,
    text, id name, style words) in template order."""
    with open(os.path.join(SOURCE, "src", "res", "orvixfax.rc")) as f:
        text = f.read()
    dialogs = {}
    for name, body in re.findall(r"^(\w+) DIALOG .*?^BEGIN\n(.*?)^END", text, re.S | re.M):
        controls = []
        for statement in re.split(r"\n(?=    \w)", body.strip("\n")):
            words = " ".join(statement.split())
            kind = words.split()[0]
            label = re.match(r'\w+\s+"([^"]*)"', words)
            rest = words[label.end():] if label else words[len(kind):]
            fields = [field.strip() for field in rest.split(",")]
            ident = fields[1] if label else fields[0].strip()
            if kind == "CONTROL":
                ident = fields[1]
            styles = " ".join(fields[5:])  # after the id and the four coordinates
            controls.append((kind, label.group(1) if label else "", ident, styles))
        dialogs[name] = controls
    return dialogs


def tab_stops(controls, disabled):
    stops = []
    for kind, label, ident, styles in controls:
        if "NOT WS_VISIBLE" in styles or ident in disabled:
            continue
        explicit = re.search(r"(?<!NOT )WS_TABSTOP", styles) is not None
        if (kind in TAB_STOP_BY_DEFAULT and "NOT WS_TABSTOP" not in styles) or explicit:
            stops.append((kind, label.replace("&", ""), ident))
    return stops


def walk_tab_stops(term):
    """Tabs once round the dialog; each stop as what the screen shows of it."""
    def stop():
        row, col = term.cursor()
        line = term.screen.display[row].replace("↑", "│").replace("↓", "│")  # the scroll marks
        return (col, line, tuple(t for _, _, t in term.reversed_text()))
    term.press("tab")  # from a stop as Tab leaves it (an edit all selected)
    seen, shown = [stop()], set(term.text().split("\n"))
    for _ in range(40):
        row, col = term.cursor()
        assert 0 < row < term.rows - 1, "the focus is off the dialog's rows:\n" + term.text()
        term.press("tab")
        shown |= set(term.text().split("\n"))
        if stop() == seen[0]:
            return seen, "\n".join(shown)
        seen.append(stop())
    raise AssertionError("Tab never came round:\n" + term.text())


# Each dialog in the states that between them enable every control: how to
# get there from the program's first dialog, its caption then, the
# template's controls that are disabled in that state, and how to go back.
REACH = [
    ("fax", "IDD_ORVIX_FAX", [("Fax Document", ["space", "alt-s"], {"IDC_FAX_NEW_NAME", "IDC_FAX_NEW_NUMBER"}),
                              ("Fax Document", ["alt-r", "tab", "tab", "type-1"], {"IDC_FAX_RECIPIENTS", "IDC_FAX_NUMBERS", "IDC_FAX_EDIT_COVER"})]),
    ("fax", "IDD_COVER_PAGE", [("Cover Page", ["space", "alt-s", "alt-c"], set())]),
    ("book", "IDD_EDIT_ADDRESS_BOOK", [("Edit Address Book", ["tab", "tab", "down"], set())]),
    ("book", "IDD_EDIT_INDIV", [("Edit Individual", ["tab", "tab", "type-L", "alt-e", "tab", "tab", "tab", "tab", "down"], set())]),
    ("book", "IDD_EDIT_NUMBER", [("Edit Number", ["tab", "tab", "type-L", "alt-e", "tab", "tab", "tab", "tab", "down", "alt-e"], set())]),
    # Each list enables its button as it takes the focus: one round of Tab
    # reaches both.
    ("book", "IDD_EDIT_GROUPS", [("New Group", ["alt-n", "type-X", "tab", "down", "alt-a", "tab", "down"], set())]),
]


def check_reach():
    """At 80x24 every control of every dialog is reached by Tab and shown
    whole when it has the focus, and every text of its template is seen."""
    dialogs = templates()
    for program, name, states in REACH:
        seen_texts = ""
        reversed_seen = set()
        for caption, keys, disabled in states:
            directory = fresh_dir()
            argv = [ORVIXFAX, "fax", "--pcl"] if program == "fax" else [ORVIXFAX, "book", "edit"]
            term = Terminal(argv + ["--dir", directory, "--out", os.devnull] if program == "fax" else argv + ["--dir", directory])
            term.wait_for("Fax Document" if program == "fax" else "Edit Address Book")
            for key in keys:
                if key.startswith("alt-"):
                    term.alt(key[4:])
                elif key.startswith("type-"):
                    term.type(key[5:])
                else:
                    term.press(key)
            term.wait_for(caption)
            stops, shown = walk_tab_stops(term)
            expected = tab_stops(dialogs[name], disabled)
            assert len(stops) == len(expected), "%s: %d tab stops reached, the template has %d: %s\n%s" % (
                caption, len(stops), len(expected), [e[2] for e in expected], term.text())
            seen_texts += shown
            for stop in stops:
                reversed_seen.update(stop[2])
            os.kill(term.pid, signal.SIGTERM)
            term.finish()
            term.close()
        for kind, label, ident, styles in dialogs[name]:
            if not label or "NOT WS_VISIBLE" in styles:
                continue
            assert label.replace("&", "") in seen_texts, "%s: %r never shown:\n%s" % (name, label, seen_texts)
            if kind in TAB_STOP_BY_DEFAULT:
                assert any(label.replace("&", "") in text for text in reversed_seen), "%s: %r never focused" % (name, label)


CHECKS = {
    "reach": check_reach,
    "fax_job": check_fax_job,
    "book_edit": check_book_edit,
    "message_box": check_message_box,
    "restore": check_restore,
}

if __name__ == "__main__":
    CHECKS[sys.argv[1]]()
    print("%s: passed" % sys.argv[1])
