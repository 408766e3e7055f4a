#!/usr/bin/env bash
# The emulator through which ctest runs each Windows test program: a fresh
# Wine prefix (copied from the build tree's template) on its own display,
# with the doubles named in TARVELIMUNDE_SYSTEM_DOUBLES (a ;-list) in its
# system folder. Its exit code is the program's.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../wine/wine-env.sh"

template=${TARVELIMUNDE_WINE_TEMPLATE:-${TMPDIR:-/tmp}/tarvelimunde-wine-template-$(id -u)}
trap wine_env_cleanup EXIT
wine_env_template "$template" || exit 125
wine_env_prefix "$template" || exit 125
IFS=';' read -r -a doubles <<<"${TARVELIMUNDE_SYSTEM_DOUBLES:-}"
wine_env_install "${doubles[@]}" || exit 125
# A screen of its own, never the desktop's: tests side by side take no focus from each other.
unset DISPLAY
wine_env_display 24 || exit 125
wine_env_run "$@"
