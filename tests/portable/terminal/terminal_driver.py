"""A person at a terminal, for the tests: runs a program on a pseudo-terminal
of a given size, keeps its screen with the pyte terminal emulator, and
types keys as a user would."""
import fcntl
import os
import pty
import select
import shutil
import signal
import struct
import subprocess
import tempfile
import termios
import time

import pyte

KEYS = {
    "tab": b"\t", "backtab": b"\x1b[Z", "enter": b"\r", "escape": b"\x1b",
    "up": b"\x1bOA", "down": b"\x1bOB", "right": b"\x1bOC", "left": b"\x1bOD",
    "home": b"\x1bOH", "end": b"\x1bOF", "pageup": b"\x1b[5~", "pagedown": b"\x1b[6~",
    "delete": b"\x1b[3~", "backspace": b"\x7f", "space": b" ",
    "shift-left": b"\x1b[1;2D", "shift-right": b"\x1b[1;2C", "shift-home": b"\x1b[1;2H",
    "shift-end": b"\x1b[1;2F",
}

# How long the screen must stay still before the program is taken to wait
# for the next key.
QUIET = float(os.environ.get("ORVIX_TERMINAL_QUIET", "0.15"))


def pyte_terminfo(directory):
    """xterm as pyte emulates it: without the repeat and scroll-by-count
    sequences pyte lacks, so that ncurses does not send them."""
    source = os.path.join(directory, "pyte.src")
    with open(source, "w") as f:
        f.write("pyte-xterm|xterm for the pyte emulator,\n\trep@, indn@, rin@, use=xterm,\n")
    subprocess.run(["tic", "-x", "-o", directory, source], check=True)
    return directory


class Terminal:
    def __init__(self, argv, rows=24, cols=80, env=None):
        self.rows, self.cols = rows, cols
        self.screen = pyte.Screen(cols, rows)
        self.stream = pyte.ByteStream(self.screen)
        self.terminfo = tempfile.mkdtemp(prefix="orvix-terminfo-")
        pyte_terminfo(self.terminfo)
        environment = dict(os.environ if env is None else env)
        environment.update(TERM="pyte-xterm", TERMINFO=self.terminfo, LC_ALL="C.UTF-8", LANG="C.UTF-8")
        environment.pop("LINES", None)
        environment.pop("COLUMNS", None)
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            fcntl.ioctl(0, termios.TIOCSWINSZ, struct.pack("HHHH", rows, cols, 0, 0))
            os.execve(argv[0], argv, environment)
        self.status = None
        self.output = b""

    def _read(self, timeout):
        ready, _, _ = select.select([self.fd], [], [], timeout)
        if not ready:
            return False
        try:
            data = os.read(self.fd, 65536)
        except OSError:
            data = b""
        if not data:
            self._reap(block=True)
            return False
        self.output += data
        self.stream.feed(data)
        return True

    def _reap(self, block):
        if self.status is None:
            pid, status = os.waitpid(self.pid, 0 if block else os.WNOHANG)
            if pid:
                self.status = status

    def settle(self, limit=10.0):
        """Reads until the program has been quiet for a moment."""
        end = time.time() + limit
        while time.time() < end and self.status is None:
            if not self._read(QUIET):
                return

    def text(self):
        return "\n".join(self.screen.display)

    def wait_for(self, text, limit=20.0):
        end = time.time() + limit
        while text not in self.text():
            if self.status is not None or time.time() > end:
                raise AssertionError("never saw %r; the screen:\n%s" % (text, self.text()))
            self._read(0.1)
        self.settle()

    def press(self, *keys):
        for key in keys:
            os.write(self.fd, KEYS.get(key, key.encode() if isinstance(key, str) else key))
            self.settle()

    def alt(self, letter):
        os.write(self.fd, b"\x1b" + letter.encode())
        self.settle()

    def type(self, text):
        os.write(self.fd, text.encode("utf-8"))
        self.settle()

    def click(self, row, col, double=False):
        """A left click at a cell (0-based), in the SGR mouse encoding."""
        press = b"\x1b[<0;%d;%dM" % (col + 1, row + 1)
        release = b"\x1b[<0;%d;%dm" % (col + 1, row + 1)
        for _ in range(2 if double else 1):
            for event in (press, release):
                os.write(self.fd, event)
                time.sleep(0.05)
        self.settle()

    def resize(self, rows, cols):
        self.rows, self.cols = rows, cols
        self.screen.resize(rows, cols)
        fcntl.ioctl(self.fd, termios.TIOCSWINSZ, struct.pack("HHHH", rows, cols, 0, 0))
        self.settle()

    def cursor(self):
        return self.screen.cursor.y, self.screen.cursor.x

    def reversed_text(self):
        """The reverse-video runs on the screen, as (row, col, text)."""
        runs = []
        for y in range(self.rows):
            line = self.screen.buffer[y]
            x = 0
            while x < self.cols:
                if line[x].reverse:
                    start = x
                    while x < self.cols and line[x].reverse:
                        x += 1
                    runs.append((y, start, "".join(line[i].data for i in range(start, x))))
                else:
                    x += 1
        return runs

    def finish(self, limit=30.0):
        """Waits for the program to end; its exit code (minus a signal)."""
        end = time.time() + limit
        while self.status is None and time.time() < end:
            self._read(0.1)
            self._reap(block=False)
        if self.status is None:
            os.kill(self.pid, signal.SIGKILL)
            self._reap(block=True)
            raise AssertionError("the program did not end; the screen:\n" + self.text())
        return os.waitstatus_to_exitcode(self.status)

    def close(self):
        os.close(self.fd)
        shutil.rmtree(self.terminfo, ignore_errors=True)
