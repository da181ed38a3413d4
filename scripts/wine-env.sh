# Sourced by the scripts that run Windows programs under Wine.
#
# QUIB_WINE_ARCH is win32 where this machine can execute 32-bit x86 code,
# win64 where it cannot (some virtual machines disable 32-bit user mode).
# There the 64-bit build of the same sources runs the tests, and the shipped
# 32-bit program is still built and checked as a file.

QUIB_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$QUIB_ROOT/scripts/find-tools.sh"

if [ -z "${QUIB_WINE_ARCH:-}" ]; then
    if [ -x /lib/ld-linux.so.2 ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
        QUIB_WINE_ARCH=win32
    else
        QUIB_WINE_ARCH=win64
    fi
fi
export QUIB_WINE_ARCH

if [ "$QUIB_WINE_ARCH" = win32 ]; then
    QUIB_WINE="$(quib_wine_program wine || echo wine)"
else
    QUIB_WINE="$(quib_wine_program wine64 || echo wine64)"
fi
QUIB_WINESERVER="$(quib_wine_program wineserver || echo wineserver)"
export QUIB_WINE QUIB_WINESERVER
export WINEARCH="$QUIB_WINE_ARCH"
export WINEDEBUG="${WINEDEBUG:--all}"
export QUIB_BUILD_DIR="${QUIB_BUILD_DIR:-$QUIB_ROOT/build/$QUIB_WINE_ARCH}"

# Settings of a throwaway prefix. Windows stay managed by the screen's
# window manager, as Wine's own default has it; Wine draws their frames
# itself (as it does on request for any user), so that dialogs look the
# same under any window manager. A crash ends the program at once instead
# of waiting on a crash dialog.
quib_prefix_settings() {
    cat <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Auto"="1"
"Debugger"="false"
REG
}

# Starts the prefix's server detached from our pipes (a runner that waits
# for end-of-file would otherwise hang until the server exits).
quib_start_server() {
    ("$QUIB_WINESERVER" -p </dev/null >/dev/null 2>&1 &)
    "$QUIB_WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
}

# Creates the prefix in $WINEPREFIX once. Extra arguments are lines
# "letter:type:folder" (type cdrom or fixed) for simulated drives.
quib_make_prefix() {
    local stamp="$WINEPREFIX/.quib-ready"
    if [ -f "$stamp" ]; then
        quib_start_server
        return
    fi
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    ("$QUIB_WINESERVER" -p </dev/null >/dev/null 2>&1 &)
    "$QUIB_WINE" wineboot -i </dev/null >/dev/null 2>&1 || true
    local reg="$WINEPREFIX/quib-settings.reg"
    quib_prefix_settings > "$reg"
    local entry letter type folder
    for entry in "$@"; do
        IFS=: read -r letter type folder <<<"$entry"
        mkdir -p "$folder"
        rm -f "$WINEPREFIX/dosdevices/$letter:"
        ln -s "$folder" "$WINEPREFIX/dosdevices/$letter:"
        if [ "$type" = cdrom ]; then
            printf '\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\n"%s:"="cdrom"\n' "$letter" >> "$reg"
        fi
    done
    "$QUIB_WINE" regedit /S "$(winepath_of "$reg")" </dev/null >/dev/null 2>&1 || true
    "$QUIB_WINESERVER" -k || true
    sleep 0.5
    quib_start_server
    touch "$stamp"
}

winepath_of() {
    # Z: is the prefix's view of the Unix root.
    printf 'Z:%s' "$1" | tr / '\\'
}

# The prefix the unit tests run in: drive D is a CD-ROM drive, E to H are
# hard disks, each a folder under the build directory. Tests create and
# remove their own files on these drives.
quib_make_unit_prefix() {
    export WINEPREFIX="${WINEPREFIX:-$QUIB_BUILD_DIR/wine-unit}"
    local drives="$QUIB_BUILD_DIR/unit-drives"
    quib_make_prefix "d:cdrom:$drives/d" "e:fixed:$drives/e" "f:fixed:$drives/f" \
                     "g:fixed:$drives/g" "h:fixed:$drives/h"
}

# Configures and builds a preset's tree (all of it, or the given targets):
#   quib_build PRESET [-DNAME=VALUE...] [TARGET...]
# where the -D arguments are cache variables for the configuration.
quib_build() {
    local preset="$1" arg
    local settings=() targets=()
    shift
    for arg in "$@"; do
        case "$arg" in
            -D*) settings+=("$arg") ;;
            *) targets+=("$arg") ;;
        esac
    done
    (cd "$QUIB_ROOT" && cmake --preset "$preset" "${settings[@]}" >/dev/null)
    cmake --build "$QUIB_ROOT/build/$preset" -j"${QUIB_JOBS:-2}" ${targets[@]:+--target "${targets[@]}"}
}
