# Sourced by the scripts: finds tools by what they are, wherever a Debian
# release puts them, rather than by one release's names.

# quib_llvm_tool NAME: prints the path of an LLVM tool (clang-cl, lld-link,
# llvm-rc, ...) of version 14 or later: the unversioned name on PATH, else
# the highest NAME-N on PATH, else the highest /usr/lib/llvm-N/bin/NAME.
# Fails when there is none. cmake/llvm-tools.cmake looks the same way.
quib_llvm_tool() {
    local name="$1" dir candidates=()
    if command -v "$name"; then
        return 0
    fi
    local IFS=:
    for dir in $PATH; do
        candidates+=("$dir/$name"-[0-9]*)
    done
    quib_highest_version '-([0-9]+)$' "${candidates[@]}" ||
        quib_highest_version '/llvm-([0-9]+)/' /usr/lib/llvm-[0-9]*/bin/"$name"
}

# quib_highest_version PATTERN PATH...: prints the path whose version, the
# number PATTERN's group takes from it, is the highest from 14 on; fails
# when there is none.
quib_highest_version() {
    local pattern="$1" candidate best=13 found=
    shift
    for candidate in "$@"; do
        if [ -x "$candidate" ] && [[ "$candidate" =~ $pattern ]] && [ "${BASH_REMATCH[1]}" -gt "$best" ]; then
            best="${BASH_REMATCH[1]}" found="$candidate"
        fi
    done
    [ -n "$found" ] && echo "$found"
}

# quib_wine_program NAME: prints the path of one of Wine's own programs
# (wine, wine64, wineserver). Debian keeps the real loaders and the server
# in /usr/lib/wine and puts wrappers on PATH that choose between them; the
# scripts want the real ones, and take the wrapper only where there is
# nothing else. Fails when Wine is not installed.
quib_wine_program() {
    local name="$1" candidate
    for candidate in /usr/lib/wine/"$name" /usr/lib/*-linux-gnu/wine/"$name" /usr/libexec/wine/"$name"; do
        if [ -x "$candidate" ] && [ ! -d "$candidate" ]; then
            echo "$candidate"
            return 0
        fi
    done
    command -v "$name"
}
