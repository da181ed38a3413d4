# Sourced by the scripts: finds tools by what they are, wherever a Debian
# release puts them, rather than by one release's names.

# quib_llvm_tool NAME: prints the path of an LLVM tool (clang-cl, lld-link,
# llvm-rc, ...) of version 14 or later: the unversioned name on PATH, else
# the highest NAME-N on PATH, else the highest /usr/lib/llvm-N/bin/NAME.
# Fails when there is none. cmake/llvm-tools.cmake looks the same way.
quib_llvm_tool() {
    local name="$1" found version best=13 candidate dir
    if found="$(command -v "$name")"; then
        echo "$found"
        return 0
    fi
    found=
    local IFS=:
    for dir in $PATH; do
        for candidate in "$dir/$name"-[0-9]*; do
            version="${candidate##*-}"
            if [ -x "$candidate" ] && [[ "$version" =~ ^[0-9]+$ ]] && [ "$version" -gt "$best" ]; then
                best="$version" found="$candidate"
            fi
        done
    done
    if [ -z "$found" ]; then
        for candidate in /usr/lib/llvm-[0-9]*/bin/"$name"; do
            version="${candidate#/usr/lib/llvm-}"
            version="${version%%/*}"
            if [ -x "$candidate" ] && [[ "$version" =~ ^[0-9]+$ ]] && [ "$version" -gt "$best" ]; then
                best="$version" found="$candidate"
            fi
        done
    fi
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
