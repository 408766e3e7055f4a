#!/usr/bin/env bash
# Makes the Wine prefix that every test of one build tree copies (wineboot
# takes a while): ctest's fixture, and the e2e suites when run alone.
set -eu
. "$(dirname "$0")/wine-env.sh"
wine_env_template "$1"
