#!/usr/bin/env bash
# The layer that runs the 32-bit saver under Wine: wine32:i386 beside wine64
# and, where the kernel cannot start 32-bit programs itself, qemu's i386
# user-mode emulator registered with binfmt_misc. Idempotent; says in one line
# what it did, and which step failed and why.
set -euo pipefail

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
apt_get() { "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get "$@"; }
fail() { echo "install-i386: $*" >&2; exit 1; }
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

binfmt=/proc/sys/fs/binfmt_misc
qemu=/usr/bin/qemu-i386-static
probe=$(mktemp)
trap 'rm -f "$probe"' EXIT

# The smallest 32-bit program there is: _exit(0) through int 0x80.
python3 - "$probe" <<'PY'
import struct, sys
code = bytes.fromhex("b801000000" "31db" "cd80")
base, header = 0x08048000, 52 + 32
elf = (b"\x7fELF\x01\x01\x01" + bytes(9)
       + struct.pack("<HHIIIIIHHHHHH", 2, 3, 1, base + header, 52, 0, 0, 52, 32, 1, 0, 0, 0)
       + struct.pack("<IIIIIIII", 1, 0, base, base, header + len(code), header + len(code), 5, 0x1000))
open(sys.argv[1], "wb").write(elf + code)
PY
chmod +x "$probe"
runs_i386() { "$probe" 2>/dev/null; }

done_steps=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386 || fail "dpkg --add-architecture i386 failed"
  done_steps+=("added the i386 architecture")
fi

need=()
installed wine32:i386 || need+=(wine32:i386)
# TARVELIMUNDE_EMULATE_I386=1 takes the emulator's path on a kernel that does
# not need it, to try that path.
kernel_runs_i386=1
{ [ "${TARVELIMUNDE_EMULATE_I386:-0}" = 1 ] || ! runs_i386; } && kernel_runs_i386=0
if [ "$kernel_runs_i386" -eq 0 ] && ! installed qemu-user-static; then
  # qemu 7.2 of Debian 12 takes close to a minute to start Wine; the
  # backports' one about a second. The suite comes from the configured source.
  if ! apt-cache policy 2>/dev/null | grep -q "bookworm-backports"; then
    uri=$( { grep -shE '^(URIs:|deb )' /etc/apt/sources.list.d/*.sources /etc/apt/sources.list || true; } \
          | awk '!/security/ { for (i = 2; i <= NF; i++) if ($i ~ /^[a-z+]+:\/\//) { print $i; exit } }')
    [ -n "$uri" ] || fail "no configured Debian source to take the backports suite's address from"
    printf 'Types: deb\nURIs: %s\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      "$uri" | "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/bookworm-backports.sources >/dev/null
    done_steps+=("added bookworm-backports")
  fi
  need+=(qemu-user-static/bookworm-backports)
fi
if [ ${#need[@]} -gt 0 ]; then
  apt_get update -qq || fail "apt-get update failed"
  apt_get install -y -qq --no-install-recommends "${need[@]}" >/dev/null \
    || fail "apt-get install ${need[*]} failed"
  done_steps+=("installed ${need[*]}")
fi

if [ "$kernel_runs_i386" -eq 0 ]; then
  [ -x "$qemu" ] || fail "$qemu is missing"
  [ -d "$binfmt" ] || "${sudo_cmd[@]}" mkdir -p "$binfmt" 2>/dev/null || true
  if [ ! -e "$binfmt/register" ]; then
    "${sudo_cmd[@]}" mount -t binfmt_misc binfmt_misc "$binfmt" || fail "cannot mount binfmt_misc on $binfmt"
    done_steps+=("mounted binfmt_misc")
  fi
  # An entry made before qemu was upgraded holds the old binary open (flag F),
  # and one without F cannot reach the interpreter inside Wine's namespaces.
  entry="$binfmt/qemu-i386"
  if [ -e "$entry" ] && { ! grep -qx "flags: .*F.*" "$entry" || ! grep -qx "interpreter $qemu" "$entry" \
       || [ "$qemu" -nt "$entry" ] || ! runs_i386; }; then
    echo -1 | "${sudo_cmd[@]}" tee "$entry" >/dev/null || fail "cannot remove the stale $entry"
    done_steps+=("removed a stale qemu-i386 entry")
  fi
  if [ ! -e "$entry" ]; then
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    echo ":qemu-i386:M::$magic:$mask:$qemu:F" | "${sudo_cmd[@]}" tee "$binfmt/register" >/dev/null \
      || fail "cannot register $qemu with binfmt_misc"
    done_steps+=("registered qemu-i386 with binfmt_misc")
  fi
fi

runs_i386 || fail "a 32-bit program still does not start"
if [ ${#done_steps[@]} -eq 0 ]; then
  echo "i386 layer: already in place"
else
  echo "i386 layer: $(IFS=,; echo "${done_steps[*]}" | sed 's/,/, /g')" 
fi
