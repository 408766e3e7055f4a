#!/usr/bin/env bash
# Runs a suite that starts servers (Wine, X, a browser) in one of 2 x cores slots (or
# TARVELIMUNDE_SUITE_SLOTS) across every ctest at once; the suite's processes never hold the lock.
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
