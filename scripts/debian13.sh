#!/bin/bash
# Runs a command of this source tree inside a Debian 13 ("trixie") root, the
# system a newcomer installs today: Wine 10, mingw-w64 GCC 14 with binutils
# 2.44, LLVM 19. By default the command is the README's test command.
#
#   bash scripts/debian13.sh [COMMAND...]        (as root)
#
# The root is made once with mmdebstrap from the mirror this machine's apt
# uses, and kept for later runs on this machine (QUIB_DEBIAN13_ROOT, by
# default /var/cache/quib/debian13; delete it to start afresh). The packages
# the build and the tests need go in through scripts/install-deps.sh, as on
# any machine. Each run copies the source tree as it is, committed or not,
# without its build folder, to /root/NAME in the root (NAME: the tree's
# folder name) and runs the command there with a clean environment. It
# runs in mount and process namespaces of its own: the root's /proc, /sys
# and /dev go away with it, and so does every process it leaves behind.
# /tmp is this machine's, so that X screens on both sides pick different
# numbers.
set -euo pipefail

src="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
root="${QUIB_DEBIAN13_ROOT:-/var/cache/quib/debian13}"
suite=trixie
[ $# -gt 0 ] || set -- bash scripts/test.sh

if [ "$(id -u)" != 0 ]; then
    echo "debian13.sh makes and enters a root folder: run it as root" >&2
    exit 2
fi

# The Debian mirror of this machine's own apt sources (not the security
# archive), else Debian's own.
mirror() {
    local uri
    uri=$( (grep -h '^URIs:' /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '{print $2}';
            grep -h '^deb ' /etc/apt/sources.list 2>/dev/null | awk '{print $2}') |
           grep -v -e security -e '^$' | head -n 1 || true)
    echo "${uri:-http://deb.debian.org/debian}"
}

if [ ! -f "$root/.quib-ready" ]; then
    command -v mmdebstrap >/dev/null || {
        apt-get update -qq || true
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends mmdebstrap >/dev/null
    }
    url="$(mirror)"
    echo "== Making a Debian 13 root in $root from $url"
    rm -rf "$root"
    mkdir -p "$(dirname "$root")"
    mmdebstrap --quiet --variant=minbase --architectures=amd64,i386 \
        "$suite" "$root" "deb $url $suite main"
    touch "$root/.quib-ready"
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"

copy="/root/$(basename "$src")"
# One run of a tree at a time: a second one waits for the first to end.
exec 9>"$root$copy.lock"
flock 9
echo "== Copying the source tree to $root$copy"
rm -rf "$root$copy"
mkdir -p "$root$copy"
tar -C "$src" --exclude=./build --exclude=./.git -cf - . | tar -C "$root$copy" -xf -
# The copy gets a repository of its own, so that the checks that ask git
# (which files are the sources, the time of the last commit) work there
# too, even where this tree's .git only points into another tree's.
if git -C "$src" rev-parse --git-dir >/dev/null 2>&1; then
    git clone -q --no-checkout "$src" "$root$copy/.quib-git"
    mv "$root$copy/.quib-git/.git" "$root$copy/.git"
    rmdir "$root$copy/.quib-git"
    git -C "$root$copy" reset -q
fi

# Everything below runs in new mount and process namespaces; the shell
# there is the namespace's first process, and its end ends every process
# left in it.
export QUIB_NS_ROOT="$root" QUIB_NS_COPY="$copy"
exec unshare --mount --propagation private --pid --fork -- bash -c '
    set -e
    r="$QUIB_NS_ROOT"
    mount -t proc proc "$r/proc"
    mount --rbind /sys "$r/sys"
    mount --rbind /dev "$r/dev"
    mount --bind /tmp "$r/tmp"
    env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" ${CI:+CI=$CI} \
        chroot "$r" bash -c "cd \"$QUIB_NS_COPY\" && exec \"\$@\"" debian13 "$@" || status=$?
    exit "${status:-0}"
' quib-debian13 "$@"
