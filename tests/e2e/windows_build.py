"""The Windows build that a test drives, and the Wine that starts its programs.

Inside the private test LAN, TESTLAN_WINE_ARCH names the build that the LAN's
Wine serves (testlan --arch: x86 or x64). NW_BUILD_DIR names the build's
folder, by default build/PRESET for that architecture; tools/wine/windows-builds
gives each architecture's preset and the machine field of its executables.
"""

import os

SOURCE_DIR = os.environ.get(
    "NW_SOURCE_DIR", os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))
NWWINE = os.path.join(SOURCE_DIR, "tools", "wine", "nwwine")


def _builds():
    """Each architecture's line of tools/wine/windows-builds, by name."""
    names = ("arch", "preset", "prefix_arch", "loader", "server", "package", "pe_machine")
    builds = {}
    with open(os.path.join(SOURCE_DIR, "tools", "wine", "windows-builds")) as table:
        for line in table:
            if line.strip() and not line.startswith("#"):
                build = dict(zip(names, line.split()))
                build["pe_machine"] = int(build["pe_machine"], 16)
                builds[build["arch"]] = build
    return builds


BUILDS = _builds()
# None outside the LAN when no build was named: testlan then chooses.
ARCH = os.environ.get("TESTLAN_WINE_ARCH") or os.environ.get("NW_WINE_ARCH") or None
BUILD_DIR = os.environ.get("NW_BUILD_DIR") or os.path.join(SOURCE_DIR, "build", BUILDS[ARCH or "x86"]["preset"])


def wine(*args):
    """The command that starts a Windows program (and its arguments) with the
    LAN's Wine."""
    return [NWWINE, *map(str, args)]
