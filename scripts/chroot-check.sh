#!/usr/bin/env bash
# Installs the Debian package into a clean Debian 12 chroot and checks it as a
# user would: the window starts (under Xvfb), `man ombrel-batch` shows the
# page, and bash completes `ombrel-batch --ru` to `--rules`.
#
#   sudo scripts/chroot-check.sh build-release/ombrel-raid_0.0.12_amd64.deb
#
# The base system (`debootstrap --variant=minbase bookworm`, from Debian's
# mirror) is made once in build-chroot/base and copied afresh for every check;
# remove build-chroot to start from a new one.
set -euo pipefail

if [[ $# -ne 1 || ! -f "$1" ]]; then
  echo "usage: $0 PACKAGE.deb" >&2
  exit 2
fi
if [[ $(id -u) -ne 0 ]]; then
  echo "$0: run as root (debootstrap and chroot need it)" >&2
  exit 2
fi
deb=$(realpath "$1")
cd "$(dirname "$0")/.."
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
work=$(realpath -m build-chroot)
base=$work/base
root=$work/check

command -v debootstrap >/dev/null || {
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap
}
if [[ ! -f $base/.complete ]]; then
  rm -rf "$base"
  mkdir -p "$work"
  echo "== debootstrap --variant=minbase bookworm $base"
  debootstrap --variant=minbase bookworm "$base" "$mirror" >"$work/debootstrap.log" 2>&1 ||
    { tail -20 "$work/debootstrap.log" >&2; exit 1; }
  touch "$base/.complete"
fi

unmount() {
  for m in dev/pts dev proc; do
    if mountpoint -q "$root/$m"; then umount "$root/$m"; fi
  done
}
trap unmount EXIT
unmount
rm -rf "$root"
cp -a "$base" "$root"
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
cp "$deb" "$root/tmp/"
cp data/sample.txt "$root/tmp/combat.txt"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }

echo "== apt-get install ./$(basename "$deb") and what a user adds: xvfb, xauth, man-db, bash-completion"
in_root apt-get update -qq
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
  "/tmp/$(basename "$deb")" xvfb xauth man-db bash-completion >"$work/install.log" 2>&1 ||
  { tail -30 "$work/install.log" >&2; exit 1; }
in_root dpkg-query -W ombrel-raid

failed=0
check() {
  local what=$1
  shift
  if "$@"; then echo "ok:   $what"; else echo "FAIL: $what"; failed=1; fi
}

versions() {
  local batch raid
  batch=$(in_root ombrel-batch --version) && raid=$(in_root ombrel-raid --version) &&
    echo "      $batch / $raid" && [[ $batch == "ombrel-batch "* && $raid == "ombrel-raid "* ]]
}
check "both programs print their version" versions

batch_run() {
  in_root sh -c 'cd /tmp && ombrel-batch --out /tmp/out --name Tarlen --format json combat.txt' \
    >"$work/batch.json" && grep -q '"table": "events"' "$work/batch.json" &&
    [[ -s $root/tmp/out/Events.csv ]]
}
check "ombrel-batch analyses the sample log" batch_run

# The window on the sample log, under Xvfb: still running 10 seconds later (a
# start that fails, a missing library or platform plugin, ends it at once),
# then ended by SIGTERM, which it answers with 143.
window() {
  in_root xvfb-run -a sh -c '
    ombrel-raid --name Tarlen /tmp/combat.txt & pid=$!
    sleep 10
    kill -0 $pid || exit 1
    kill -TERM $pid
    wait $pid
    code=$?
    echo "      window up after 10 s, ended by SIGTERM (exit $code)"
    [ $code -eq 143 ]' >"$work/window.log" 2>&1 || { cat "$work/window.log"; return 1; }
  grep '^      window' "$work/window.log"
}
check "the window starts under Xvfb and stays up" window

manual() {
  in_root sh -c 'MANWIDTH=80 man --warnings ombrel-batch 2>/tmp/man.err | col -b' >"$work/man.txt" &&
    grep -q '^NAME' "$work/man.txt" && grep -q -- '--rules' "$work/man.txt" &&
    [[ ! -s $root/tmp/man.err ]] && in_root man -w ombrel-raid >/dev/null
}
check "man ombrel-batch shows the page without warnings (and man -w ombrel-raid finds its page)" manual

completion() {
  local got
  got=$(in_root bash -c '
    source /usr/share/bash-completion/bash_completion
    _completion_loader ombrel-batch
    COMP_LINE="ombrel-batch --ru"; COMP_POINT=${#COMP_LINE}
    COMP_WORDS=(ombrel-batch --ru); COMP_CWORD=1
    $(complete -p ombrel-batch | sed -E "s/.*-F ([^ ]+).*/\1/") ombrel-batch --ru ombrel-batch
    echo "${COMPREPLY[*]}"')
  echo "      ombrel-batch --ru<TAB> -> $got"
  [[ $got == "--rules" ]]
}
check "bash completes ombrel-batch --ru to --rules" completion

if ((failed)); then
  echo "chroot check: FAILED"
  exit 1
fi
echo "chroot check: passed"
