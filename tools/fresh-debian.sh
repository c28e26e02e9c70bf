#!/usr/bin/env bash
# Runs a command as root in a fresh minimal Debian 12 (bookworm) root holding
# a clean clone of this project, the way a new user's machine would run it:
#   tools/fresh-debian.sh COMMAND [ARG...]     (needs root; run from anywhere)
# The root is made once with debootstrap --variant=minbase from the mirror of
# this machine's own apt sources and kept as a tarball in the cache folder
# (QUILLMAR_CACHE, default ~/.cache/quillmar). Each run unpacks a new copy,
# mounts /proc, /sys and /dev, clones the project's committed HEAD into
# /work/quillmar and runs the command there with a clean environment (no
# DISPLAY). Everything is unmounted and removed afterwards, also on failure.
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: tools/fresh-debian.sh COMMAND [ARG...]" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "fresh-debian.sh: must run as root (debootstrap, chroot, mount)" >&2; exit 2; }
src=$(cd "$(dirname "$0")/.." && pwd)
cache=${QUILLMAR_CACHE:-$HOME/.cache/quillmar}
tarball=$cache/debian12-minbase-$(dpkg --print-architecture).tar.gz
started=$SECONDS
stamp() { echo "== fresh-debian: $* ($((SECONDS - started)) s)"; }

# The first Debian mirror this machine's apt sources name for bookworm.
mirror() {
  local uri
  uri=$(awk '/^URIs:/ {u=$2} /^Suites:/ && / bookworm( |$)/ && u {print u; exit}' \
          /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
  [ -n "$uri" ] || uri=$(awk '$1 == "deb" && $3 == "bookworm" {print $2; exit}' \
                           /etc/apt/sources.list 2>/dev/null || true)
  [ -n "$uri" ] || { echo "fresh-debian.sh: no bookworm mirror in this machine's apt sources" >&2; exit 1; }
  echo "$uri"
}

if [ ! -s "$tarball" ]; then
  if ! command -v debootstrap >/dev/null; then
    DEBIAN_FRONTEND=noninteractive apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null
  fi
  mkdir -p "$cache"
  build=$(mktemp -d "$cache/root.XXXXXX")
  stamp "making the minimal root from $(mirror)"
  if ! debootstrap --variant=minbase bookworm "$build/root" "$(mirror)" >"$build/log" 2>&1; then
    tail -n 20 "$build/log" >&2
    rm -rf --one-file-system "$build"
    exit 1
  fi
  tar -C "$build/root" -czf "$build/root.tar.gz" .
  mv "$build/root.tar.gz" "$tarball"
  rm -rf --one-file-system "$build"
  stamp "root cached in $tarball"
fi

work=$(mktemp -d /var/tmp/quillmar-fresh.XXXXXX)
root=$work/root
cleanup() {
  # Whatever the command left running inside (an X server, say) goes first.
  local pid
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$root" ] && kill -9 "$pid" 2>/dev/null || true
  done
  umount -R "$root/dev" "$root/sys" "$root/proc" 2>/dev/null || umount -R -l "$root/dev" "$root/sys" "$root/proc" 2>/dev/null || true
  # --one-file-system: never follow a mount that is somehow still there.
  rm -rf --one-file-system "$work"
}
trap cleanup EXIT

mkdir -p "$root"
tar -C "$root" -xzf "$tarball"
mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --rbind /dev "$root/dev"
mount --make-rslave "$root/dev"
cp /etc/resolv.conf "$root/etc/resolv.conf"
# Packages must not start services inside the root.
printf '#!/bin/sh\nexit 101\n' > "$root/usr/sbin/policy-rc.d"
chmod +x "$root/usr/sbin/policy-rc.d"

mkdir -p "$root/work"
git clone -q --no-hardlinks "$src" "$root/work/quillmar"
git -C "$root/work/quillmar" checkout -q "$(git -C "$src" rev-parse HEAD)"
stamp "fresh root ready with $(git -C "$src" log -1 --format='%h %s')"

set +e
chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 CI="${CI:-}" \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  bash -c 'cd /work/quillmar && exec "$@"' bash "$@"
status=$?
set -e
stamp "command exited with $status"
exit $status
