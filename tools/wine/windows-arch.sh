# Sourced by every script that builds, starts or checks the Windows programs:
# which Windows builds this machine can run under Wine, and the Wine that runs
# each. The facts of each architecture are in windows-builds beside this file.
#
# Some kernels run no 32-bit code at all (ia32 emulation off): there no i386
# program starts, Wine's 32-bit loader included, and only the 64-bit build
# (x64) can run. NW_WINDOWS_ARCH=x86|x64 forces one build.

NW_WINE_LIBDIR=${NW_WINE_LIBDIR:-/usr/lib/wine}
nw_windows_builds_table="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/windows-builds"

# nw_build_field ARCH COLUMN: one fact from the architecture's line.
nw_build_field() {
    awk -v arch="$1" -v column="$2" '
        !/^#/ && NF && $1 == arch { print $column; found = 1 }
        END { exit !found }' "$nw_windows_builds_table"
}

nw_all_archs() { awk '!/^#/ && NF { print $1 }' "$nw_windows_builds_table"; }
nw_windows_preset() { nw_build_field "$1" 2; }
nw_wine_prefix_arch() { nw_build_field "$1" 3; }
nw_wine_loader() { echo "$NW_WINE_LIBDIR/$(nw_build_field "$1" 4)"; }
nw_wine_server() { echo "$NW_WINE_LIBDIR/$(nw_build_field "$1" 5)"; }
nw_wine_package() { nw_build_field "$1" 6; }

# nw_probe_x86: whether this machine starts 32-bit x86 code, found by
# starting a 96-byte i386 program whose only instructions exit with status
# 42. Anything that cannot decide counts as no. On no, nw_x86_reason says why.
nw_probe_x86() {
    local dir error status
    nw_x86_reason=""
    if ! dir=$(mktemp -d 2>/dev/null); then
        nw_x86_reason="cannot tell whether this machine runs 32-bit code (no temporary folder for the test program in ${TMPDIR:-/tmp}); counted as no"
        return 1
    fi
    # ELF header; one loadable segment; mov eax,1; mov ebx,42; int 0x80.
    printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000''\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\140\000\000\000\140\000\000\000\005\000\000\000\000\020\000\000''\270\001\000\000\000\273\052\000\000\000\315\200' \
        >"$dir/i386-exit42" 2>/dev/null && chmod +x "$dir/i386-exit42" 2>/dev/null
    error=$( ("$dir/i386-exit42") 2>&1)
    status=$?
    rm -rf "$dir"
    case "$status:$error" in
    42:*) return 0 ;;
    *"Exec format error"*)
        nw_x86_reason="this machine runs no 32-bit code: the kernel refused to start an i386 program (Exec format error; on x86_64 Linux, ia32 emulation is off: the kernel parameter ia32_emulation=on turns it on)"
        ;;
    *)
        error=$(printf '%s' "$error" | tr -s '\n' ' ' | cut -c1-200)
        nw_x86_reason="cannot tell whether this machine runs 32-bit code (the i386 test program ended with status $status${error:+: $error}); counted as no"
        ;;
    esac
    return 1
}

# nw_windows_plan: the Windows builds to run here, in nw_run_archs (the
# first is the one to show a user), and for each build not run its reason in
# nw_not_run[ARCH]. Returns non-zero, with nw_plan_error, when
# NW_WINDOWS_ARCH asks for something this machine cannot do.
nw_windows_plan() {
    nw_run_archs=()
    declare -gA nw_not_run=()
    nw_plan_error=""
    case "${NW_WINDOWS_ARCH:-}" in
    "")
        if nw_probe_x86; then
            nw_run_archs=(x86 x64)
        else
            nw_run_archs=(x64)
            nw_not_run[x86]=$nw_x86_reason
        fi
        ;;
    x64)
        nw_run_archs=(x64)
        nw_not_run[x86]="NW_WINDOWS_ARCH=x64 chooses the 64-bit build alone"
        ;;
    x86)
        if ! nw_probe_x86; then
            nw_plan_error="NW_WINDOWS_ARCH=x86 asks for the 32-bit build, but $nw_x86_reason"
            return 1
        fi
        nw_run_archs=(x86)
        nw_not_run[x64]="NW_WINDOWS_ARCH=x86 chooses the 32-bit build alone"
        ;;
    *)
        nw_plan_error="NW_WINDOWS_ARCH is \"$NW_WINDOWS_ARCH\"; it takes x86 or x64, or stays unset to choose by what this machine runs"
        return 1
        ;;
    esac
}

# nw_runs_here ARCH: whether the plan above runs that build.
nw_runs_here() { case " ${nw_run_archs[*]} " in *" $1 "*) return 0 ;; esac; return 1; }

# nw_install_hint ARCH: the commands that install the Wine of a build.
nw_install_hint() {
    local package
    package=$(nw_wine_package "$1")
    case "$package" in
    *:i386) echo "dpkg --add-architecture i386 && apt-get update && apt-get install $package" ;;
    *) echo "apt-get install $package" ;;
    esac
}

# nw_wine_check ARCH: whether the Wine of that build is installed and starts.
# If not, nw_wine_problem says what is missing and how to install it.
nw_wine_check() {
    local arch=$1 path loader
    nw_wine_problem=""
    for path in "$(nw_wine_loader "$arch")" "$(nw_wine_server "$arch")"; do
        if [ ! -x "$path" ]; then
            nw_wine_problem="Wine for the $arch build is missing ($path); install it as root with: $(nw_install_hint "$arch") (./nw setup does this)"
            return 1
        fi
    done
    loader=$(nw_wine_loader "$arch")
    if ! "$loader" --version >/dev/null 2>&1; then
        nw_wine_problem="Wine for the $arch build does not start ($loader --version failed); reinstall it as root with: $(nw_install_hint "$arch") --reinstall"
        return 1
    fi
}
