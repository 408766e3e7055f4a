#!/usr/bin/env bash
# The Wine set-up of wine-env.sh for programs that do not source it (ctest's
# fixture, the e2e harness):
#
#   prefix.sh template DIR       make the template prefix in DIR, once
#   prefix.sh copy TEMPLATE DIR  copy it to the new prefix DIR
set -eu
. "$(dirname "$0")/wine-env.sh"
case "$1" in
    template) wine_env_template "$2" ;;
    copy) wine_env_copy "$2" "$3" ;;
    *) echo "usage: prefix.sh template DIR | copy TEMPLATE DIR" >&2; exit 2 ;;
esac
