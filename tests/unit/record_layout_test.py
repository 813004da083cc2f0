#!/usr/bin/env python3
"""The scripts' description of the device record (tests/e2e/record_layout.py)
against the record as the C++ compiler lays it out, printed by
record_layout_print (its path is the first argument).

    record_layout_test.py build/native/bin/record_layout_print
"""

import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "e2e"))
from record_layout import FIELDS, RECORD_SIZE  # noqa: E402

PRINTER = None


def compiled_layout():
    """(fields as (name, offset, width, kind), size) of the C++ record."""
    lines = subprocess.run([PRINTER], check=True, capture_output=True, text=True).stdout.splitlines()
    *fields, size = [line.split() for line in lines]
    assert size[0] == "size", lines
    return [(name, int(offset), int(width), kind) for name, offset, width, kind in fields], int(size[1])


class RecordLayout(unittest.TestCase):
    def test_scripts_describe_the_compiled_record(self):
        fields, size = compiled_layout()
        self.assertEqual(FIELDS, fields)
        self.assertEqual(RECORD_SIZE, size)

    def test_fields_fill_the_record(self):
        # A member that the printer leaves out shows only here: the test
        # above holds RECORD_SIZE to the compiler's, and the fields must
        # reach it without gaps.
        end = 0
        for name, offset, width, _ in FIELDS:
            self.assertEqual(offset, end, "%s starts where the field before it ends" % name)
            end = offset + width
        self.assertEqual(end, RECORD_SIZE, "the fields fill the record")


if __name__ == "__main__":
    PRINTER = sys.argv.pop(1)
    unittest.main()
