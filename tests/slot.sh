#!/usr/bin/env bash
# Runs a suite that starts servers of its own (Wine, X, a browser) in one of
# twice as many slots as the machine has cores, across every ctest at once:
# they wait for their servers half of the time, and more of them side by side
# only slow each other down. The lock stays with this shell; the suite's own
# processes (a wineserver that outlives it) never hold it.
# TARVELIMUNDE_SUITE_SLOTS sets another number.
set -u
slots=${TARVELIMUNDE_SUITE_SLOTS:-$(($(nproc) * 2))}
folder=${TMPDIR:-/tmp}/tarvelimunde-slots-$(id -u)
mkdir -p "$folder"
while :; do
  for ((slot = 0; slot < slots; slot++)); do
    exec {lock}>>"$folder/$slot"
    if flock -n "$lock"; then
      "$@" {lock}>&-
      exit
    fi
    exec {lock}>&-
  done
  sleep 0.2
done
