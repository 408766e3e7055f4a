#!/usr/bin/env bash
# The Wine set-up of wine-env.sh for programs that do not source it (ctest's
# fixture, the e2e harness):
#
#   prefix.sh template DIR       make the template prefix in DIR, once
#   prefix.sh copy TEMPLATE DIR  copy it to the new prefix DIR
#   prefix.sh install DIR FILE..  put files into the prefix's system folder for
#                                TARVELIMUNDE_WINE's architecture
#   prefix.sh run COMMAND..      become the command, run as every Wine program is
set -eu
. "$(dirname "$0")/wine-env.sh"
case "$1" in
    template) wine_env_template "$2" ;;
    copy) wine_env_copy "$2" "$3" ;;
    install) WINEPREFIX=$2; shift 2; wine_env_install "$@" ;;
    run) shift; wine_env_quiet_command; exec "${WINE_ENV_QUIET[@]}" "$@" ;;
    *) echo "usage: prefix.sh template DIR | copy TEMPLATE DIR | install DIR FILE.. | run COMMAND.." >&2; exit 2 ;;
esac
