#!/usr/bin/env python3
"""Private test LANs made at the same time share nothing: each has its own
namespaces and its own X display, whose socket file stays its own while the
others start and end, and each takes all of it away when its command ends."""

import os
import subprocess
import tempfile
import unittest

SOURCE_DIR = os.environ.get(
    "NW_SOURCE_DIR", os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))
TESTLAN = os.path.join(SOURCE_DIR, "tools", "testlan", "testlan")

# Inside each LAN: says what it was given once all the LANs are up, and
# whether its display's socket file is still there once they have all said it.
INSIDE = r'''
folder=$0 count=$1
socket=/tmp/.X11-unix/X${DISPLAY#:}
echo "$DISPLAY $TESTLAN_OPERATOR_NS $TESTLAN_DEVICE_NS" >"$folder/$$.up"
for _ in $(seq 600); do [ "$(ls "$folder" | grep -c '\.up$')" -ge "$count" ] && break; sleep 0.1; done
[ -S "$socket" ] && echo "$DISPLAY" >"$folder/$$.socket"
touch "$folder/$$.said"
for _ in $(seq 600); do [ "$(ls "$folder" | grep -c '\.said$')" -ge "$count" ] && break; sleep 0.1; done
[ -S "$socket" ] && echo "$DISPLAY" >"$folder/$$.kept"
exit 0
'''


@unittest.skipUnless(os.geteuid() == 0, "testlan needs root")
class AtOnce(unittest.TestCase):
    def test_lans_made_at_once_share_no_display_or_namespace(self):
        count = 3
        folder = tempfile.mkdtemp(prefix="testlan-at-once-")
        self.addCleanup(subprocess.run, ["rm", "-rf", folder])
        runs = [subprocess.Popen([TESTLAN, "--quiet", "--", "bash", "-c", INSIDE, folder, str(count)],
                                 stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
                for _ in range(count)]
        for run in runs:
            output, _ = run.communicate(timeout=180)
            self.assertEqual(run.returncode, 0, output)

        def read(suffix):
            found = []
            for name in sorted(os.listdir(folder)):
                if name.endswith(suffix):
                    with open(os.path.join(folder, name)) as f:
                        found.append(f.read().split())
            return found

        given = read(".up")
        self.assertEqual(len(given), count)
        displays = [fields[0] for fields in given]
        namespaces = [name for fields in given for name in fields[1:]]
        self.assertEqual(len(set(displays)), count, "displays: %s" % displays)
        self.assertEqual(len(set(namespaces)), 2 * count, "namespaces: %s" % namespaces)
        # No other run's Xvfb took over or removed a display's socket file.
        self.assertEqual(sorted(d for [d] in read(".socket")), sorted(displays))
        self.assertEqual(sorted(d for [d] in read(".kept")), sorted(displays))

        left = subprocess.run(["ip", "netns", "list"], capture_output=True, text=True, check=True).stdout
        self.assertEqual([ns for ns in namespaces if ns in left.split()], [], "namespaces left behind")
        self.assertEqual([d for d in displays if os.path.exists("/tmp/.X%s-lock" % d[1:])], [],
                         "display locks left behind")


if __name__ == "__main__":
    unittest.main(verbosity=2)
