"""nwctl's manual page against nwctl's own help: every command and option
that the help names is in the page, each starting an entry of its own in
the page as man shows it, the page names no option that nwctl does not take,
no entry says a thing twice, and man reads the page without a warning. The
exit statuses of the page and of the README against those the help prints
from nwctl's table of them.

    manual_page_test.py path/to/nwctl path/to/nwctl.1 path/to/README.md
"""

import os
import re
import subprocess
import sys
import unittest

NWCTL, PAGE, README = sys.argv[1:4] if len(sys.argv) >= 4 else ("", "", "")
OPTION = re.compile(r"(?<![\w-])(--?[a-z][a-z-]*)")
# A command's word, not "report's" (a file) nor a word inside another.
COMMAND = re.compile(r"\b(search|adapters|set|reboot|reset|plan|check|report|watch|probe)\b(?!'s)")


def help_text(*words):
    return subprocess.run([NWCTL, *words, "--help"], check=True, stdout=subprocess.PIPE, text=True).stdout


def rendered(page):
    """The page as man shows it 80 columns wide, without bold, underline or
    hyphenation."""
    result = subprocess.run(["man", "-l", page], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                            check=True, env=dict(os.environ, MANWIDTH="80", LC_ALL="C.UTF-8", MAN_KEEP_FORMATTING="",
                                     MANROFFOPT="-rHY=0"))
    return re.sub(".\b", "", result.stdout)


def entries(text, heading):
    """The entries of a section of the shown page: (tag line, the entry's
    text). An entry's tag starts 7 columns in, its text 14 (or on the tag's
    own line when the tag is short); a paragraph after the entries, 7 in,
    ends them."""
    section = text.split("\n%s\n" % heading, 1)[1]
    section = re.split(r"\n(?=\S)", section, maxsplit=1)[0]
    found = []
    for line in section.splitlines():
        if re.match(r" {7}\S", line):
            found.append([line.strip(), line.strip()])
        elif re.match(r" {14}\S", line) and found:
            found[-1][1] += " " + line.strip()
    return [tuple(entry) for entry in found]


def commands_of(program_help):
    """The command words that nwctl --help lists under "commands", each once:
    what nwctl takes, so that a new command without a page entry fails."""
    listing = program_help.split("\ncommands\n", 1)[1].split("\n\n", 1)[0]
    return list(dict.fromkeys(line.split()[0] for line in listing.splitlines()))


class ManualPage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with open(PAGE) as f:
            source = f.read()
        # The page's text as man prints it: roff's escaped minus is a dash.
        cls.page = source.replace("\\-", "-")
        program = help_text()
        cls.commands = commands_of(program)
        cls.helps = {None: program, **{command: help_text(command) for command in cls.commands}}

    def test_the_help_lists_the_commands(self):
        self.assertIn("search", self.commands)
        for command in self.commands:
            self.assertTrue(help_text(command).startswith("usage: nwctl %s " % command), command)

    def test_every_command_and_option_of_the_help_is_in_the_page(self):
        for command, text in self.helps.items():
            if command:
                self.assertRegex(self.page, r"\.BI? %s\b" % command, "command %s" % command)
            for option in set(OPTION.findall(text)):
                self.assertTrue(option in self.page,
                                "%s, from the help of %s, is not in the page" % (option, command or "nwctl"))

    def test_each_command_and_option_starts_an_entry_of_its_own(self):
        text = rendered(PAGE)
        tags = [tag for tag, _ in entries(text, "COMMANDS")]
        for command in self.commands:
            self.assertTrue([tag for tag in tags if re.match(r"%s\b" % command, tag)],
                            "no entry of COMMANDS starts with %s: %s" % (command, tags))
        tags = [tag for tag, _ in entries(text, "OPTIONS")]
        # The options each command takes: its usage lines, up to the first
        # blank line (the help's text also names options it refuses).
        taken = {"--help", "--version"}.union(
            *(OPTION.findall(help.split("\n\n", 1)[0]) for command, help in self.helps.items() if command))
        for option in taken:
            # A tag may name several alike: "--ip A, --mask M".
            self.assertTrue([tag for tag in tags if re.match(r"(.*, )?%s\b(?!-)" % re.escape(option), tag)],
                            "no entry of OPTIONS starts with %s: %s" % (option, tags))

    def test_no_entry_says_a_thing_twice(self):
        text = rendered(PAGE)
        headings = re.findall(r"^([A-Z][A-Z ]+)$", text, flags=re.M)
        for heading in headings:
            for tag, said in entries(text, heading):
                clauses = [c.strip() for c in re.split(r"[;.]\s", " ".join(said.split())) if c.strip()]
                self.assertEqual(len(clauses), len(set(clauses)), "%s: %s says a thing twice" % (heading, tag))

    def test_the_page_names_no_option_that_nwctl_lacks(self):
        known = set().union(*(OPTION.findall(text) for text in self.helps.values())) | {"-h", "-y"}
        named = set(OPTION.findall(re.sub(r"^\.\w+", "", self.page, flags=re.M)))
        self.assertEqual(named - known, set())

    def test_man_reads_it_without_a_warning(self):
        result = subprocess.run(["man", "--warnings", "-l", PAGE], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                text=True, env=dict(os.environ, MANWIDTH="80", LC_ALL="C.UTF-8"))
        self.assertEqual((result.returncode, result.stderr), (0, ""))


def status_range(label):
    """(first, last) of "9", "11-15" or "11 to 15"."""
    numbers = [int(n) for n in re.findall(r"\d+", label)]
    return numbers[0], numbers[-1]


def help_statuses(program_help):
    """The statuses nwctl --help lists, in order: {(first, last): meaning}."""
    statuses = {}
    for line in program_help.split("\nexit status\n", 1)[1].splitlines():
        tagged = re.match(r"  (\d+(?:-\d+)?) +(.*)", line)
        if tagged:
            status = status_range(tagged.group(1))
            statuses[status] = tagged.group(2)
        elif line.startswith(" " * 6) and statuses:
            statuses[status] += " " + line.strip()
    return statuses


def page_statuses(source):
    section = source.split(".SH EXIT STATUS\n", 1)[1].split("\n.SH ", 1)[0]
    statuses = {}
    for entry in section.split(".TP\n")[1:]:
        tag, _, meaning = entry.partition("\n")
        status = status_range(re.sub(r"\\f.", "", tag))
        statuses[status] = statuses.get(status, "") + meaning
    return statuses


def readme_statuses(text):
    table = text.split("\nExit status:\n\n", 1)[1].split("\n\n", 1)[0]
    statuses = {}
    for row in table.splitlines()[2:]:
        cells = row.split("|")
        statuses[status_range(cells[1])] = cells[2]
    return statuses


class ExitStatuses(unittest.TestCase):
    """nwctl prints its table of statuses in its help; the page and the
    README list the same statuses in the same order, one entry each, and
    each names the commands the table names for that status."""

    def test_the_page_and_the_readme_follow_the_table(self):
        table = help_statuses(help_text())
        self.assertEqual(list(table)[:2], [(0, 0), (1, 1)])
        with open(PAGE) as f:
            page = page_statuses(f.read().replace("\\-", "-"))
        with open(README) as f:
            readme = readme_statuses(f.read())
        for name, listed in (("the manual page", page), ("the README", readme)):
            self.assertEqual(list(listed), list(table), name)
            for status, meaning in table.items():
                self.assertEqual(set(COMMAND.findall(listed[status])), set(COMMAND.findall(meaning)),
                                 "%s, status %s: %s; the table: %s" % (name, status, listed[status], meaning))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[4:], verbosity=2)
