"""Client of the UI driver (tools/uidriver) for the end-to-end tests.

One driver runs under Wine for the life of a UiDriver object: each call
sends one command line (a JSON array of words) and reads its one-line JSON
answer. call() raises UiDriverError, with what the driver saw, when a
command fails; try_call() returns the failed answer instead.

Texts travel as the program's ANSI bytes, one character per byte (U+0000 to
U+00FF); to_ansi() and from_ansi() convert between that form and real text.
Run it inside the private test LAN, beside the program (same Wine prefix).
"""

import json
import os
import queue
import subprocess
import threading

from windows_build import BUILD_DIR, wine

DRIVER = os.path.join(BUILD_DIR, "bin", "uidriver.exe")

# How long past the driver's own time limits an answer may take before the
# driver counts as hung (Wine's first start in a fresh prefix is slow).
ANSWER_MARGIN_S = 60


class UiDriverError(Exception):
    """A command failed; .answer holds the driver's whole answer."""

    def __init__(self, words, answer):
        self.words = words
        self.answer = answer
        message = "uidriver %s: %s" % (" ".join(words), answer.get("error", "failed"))
        if "seen" in answer:
            message += "; it saw %s" % json.dumps(answer["seen"])
        super().__init__(message)


def wine_path(path):
    """The Windows form of a Linux path (Wine's drive Z: is the root)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def to_ansi(text, codepage="cp1252"):
    """Real text in the driver's form: its ANSI bytes, one character each."""
    return text.encode(codepage).decode("latin-1")


def from_ansi(text, codepage="cp1252"):
    """Text in the driver's form back to real text."""
    return text.encode("latin-1").decode(codepage)


class UiDriver:
    def __init__(self, caption=None, about_caption=None, timeout_ms=None, driver=DRIVER):
        args = wine(driver)
        if caption is not None:
            args += ["--caption", caption]
        if about_caption is not None:
            args += ["--about-caption", about_caption]
        if timeout_ms is not None:
            args += ["--timeout", str(timeout_ms)]
        self.timeout_ms = timeout_ms if timeout_ms is not None else 10000
        self.process = subprocess.Popen(args, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE)
        self._answers = queue.Queue()
        self._stderr = []
        threading.Thread(target=self._read_answers, daemon=True).start()
        threading.Thread(target=self._read_stderr, daemon=True).start()

    def _read_answers(self):
        for line in self.process.stdout:
            self._answers.put(line)
        self._answers.put(None)

    def _read_stderr(self):
        for line in self.process.stderr:
            self._stderr.append(line.decode("latin-1"))

    def _answer_limit(self, words):
        limit = self.timeout_ms
        if "--timeout" in words[:-1]:
            value = words[words.index("--timeout") + 1]
            limit = int(value, 16) if value.lower().startswith("0x") else int(value)
        return limit / 1000 + ANSWER_MARGIN_S

    def send_line(self, line, limit_s=ANSWER_MARGIN_S):
        """Sends one raw line; returns the parsed answer."""
        if self.process.poll() is not None:
            raise RuntimeError("the driver has ended (status %s): %s" % (self.process.returncode,
                                                                          "".join(self._stderr)))
        self.process.stdin.write(line.encode("latin-1") + b"\n")
        self.process.stdin.flush()
        try:
            answer = self._answers.get(timeout=limit_s)
        except queue.Empty:
            raise RuntimeError("the driver gave no answer to %r within %d s" % (line, limit_s)) from None
        if answer is None:
            status = self.process.wait(timeout=ANSWER_MARGIN_S)
            raise RuntimeError("the driver ended (status %s) while answering %r: %s" %
                               (status, line, "".join(self._stderr)))
        return json.loads(answer.decode("ascii"))

    def try_call(self, *words):
        """Runs one command; returns its answer, failed or not."""
        words = [str(word) for word in words]
        return self.send_line(json.dumps(words), self._answer_limit(words))

    def call(self, *words):
        """Runs one command; returns its answer, or raises UiDriverError."""
        answer = self.try_call(*words)
        if not answer.get("ok"):
            raise UiDriverError([str(word) for word in words], answer)
        return answer

    def close(self):
        if self.process.poll() is None:
            try:
                self.process.stdin.write(json.dumps(["quit"]).encode("ascii") + b"\n")
                self.process.stdin.flush()
                self.process.wait(timeout=30)
            except (OSError, subprocess.TimeoutExpired):
                self.process.kill()
                self.process.wait()
        # Only our end of stdin: the reader threads may still be blocked on
        # the others, which Wine's helper processes can hold open.
        try:
            self.process.stdin.close()
        except OSError:
            pass

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
