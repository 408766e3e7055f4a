# The Wine set-up of everything that runs the saver (ctest's programs, the
# e2e tests, the benchmarks, tools/run.sh): a template prefix made once, a
# throwaway copy of it per run, and an Xvfb display when none is given.
# Source this file, then:
#
#   wine_env_template DIR        make (once, under a lock) a ready prefix in DIR
#   wine_env_copy TEMPLATE DIR   copy TEMPLATE to the new prefix DIR
#   wine_env_prefix TEMPLATE     copy TEMPLATE to a fresh temporary prefix, removed
#                                by wine_env_cleanup; exports WINEPREFIX
#   wine_env_display [DEPTH [WxH]]  export DISPLAY: keep a working one, else start
#                                Xvfb WxHxDEPTH (default 640x480x24) on a free number
#                                (the tests unset DISPLAY: each has a screen of its own)
#   wine_env_install FILE..      copy files (test doubles) into the prefix's system
#                                folder of the programs' architecture, never
#                                through a link into the template
#   wine_env_run PROGRAM ARGS..  run a Windows program, return its code
#                                (WINEDLLOVERRIDES from the caller is passed on)
#   wine_env_quiet COMMAND..     run any command as every Wine program runs, with
#                                Wine quiet and no address randomisation (the
#                                Python harness: prefix.sh run, which execs it)
#   wine_env_cleanup             stop the prefix's wineserver, the Xvfb started
#                                here, and remove the prefix; safe to call twice
#
# The prefix is a 64-bit one, which runs both builds. TARVELIMUNDE_WINE names
# the loader for the programs: /usr/lib/wine/wine64 (the default) or, for
# 32-bit programs, /usr/lib/wine/wine, whose system folder is syswow64.
#
# Every prefix has: no window manager needed (Managed=N), and no debugger that
# UnhandledExceptionFilter could start. Wine 8's filter starts the AeDebug
# "Debugger" (winedbg by default, which takes the crashed program over), and
# with "Auto" at "0" it first asks in a message box, which nobody answers
# here. So "Auto" is "1" and "Debugger" names a program that does not exist:
# the start fails and the filter answers EXCEPTION_EXECUTE_HANDLER, as
# Windows does when no debugger is registered.

WINE_ENV_BOOT=/usr/lib/wine/wine64
WINE_ENV_WINE=${TARVELIMUNDE_WINE:-$WINE_ENV_BOOT}
WINE_ENV_SERVER=${WINE_ENV_SERVER:-/usr/lib/wine/wineserver}
WINE_ENV_XVFB_PID=
WINE_ENV_OWN_PREFIX=

# No Mono or Gecko to install, no menu entries or file associations for the
# desktop; overrides already in WINEDLLOVERRIDES are kept, after ours. Wine programs
# start without the kernel's address randomisation: Debian's 64-bit loader has
# no preloader and sits at 0x7d000000, and the kernel puts its heap anywhere
# in the gigabyte above it. About one start in 6000 that heap covers
# 0x7ffe0000, where Wine must map the shared user data, and the program ends at
# once with code 1 and no word ("failed to map the shared user data" is an
# err trace). Programs that Wine starts inherit the setting.
wine_env_quiet_command() {
    WINE_ENV_QUIET=(env "WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
                    WINEDEBUG=-all setarch -R)
}

wine_env_quiet() {
    wine_env_quiet_command
    "${WINE_ENV_QUIET[@]}" "$@"
}

wine_env_template() {
    local template=$1
    mkdir -p "$(dirname "$template")"
    (
        flock 9
        [ -f "$template/.ready" ] && exit 0
        rm -rf "$template"
        export WINEPREFIX=$template
        # Wine wants its display from the first command in a prefix on.
        trap wine_env_cleanup EXIT
        wine_env_display 24 || exit 1
        wine_env_quiet "$WINE_ENV_BOOT" wineboot -i >/dev/null 2>&1
        wine_env_quiet "$WINE_ENV_BOOT" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        # 32-bit programs read the key's own copy under Wow6432Node.
        local view
        for view in 'Microsoft' 'Wow6432Node\Microsoft'; do
            wine_env_quiet "$WINE_ENV_BOOT" reg add "HKLM\\Software\\$view\\Windows NT\\CurrentVersion\\AeDebug" /v Auto /d 1 /f >/dev/null 2>&1
            wine_env_quiet "$WINE_ENV_BOOT" reg add "HKLM\\Software\\$view\\Windows NT\\CurrentVersion\\AeDebug" /v Debugger /d 'C:\windows\no-debugger.exe %ld %ld' /f >/dev/null 2>&1
        done
        "$WINE_ENV_SERVER" -w
        [ -f "$template/system.reg" ] || exit 1
        touch "$template/.ready"
    ) 9>"$template.lock"
}

# Hard links keep the copy cheap (a prefix holds over a gigabyte of DLLs);
# the registry hives, which Wine rewrites, are the copy's own.
wine_env_copy() {
    local template=$1 prefix=$2 hive
    mkdir -p "$prefix" && cp -al "$template/." "$prefix/" || return 1
    rm -f "$prefix/.ready"
    for hive in "$template"/*.reg; do
        cp --remove-destination -p "$hive" "$prefix/" || return 1
    done
}

wine_env_prefix() {
    WINE_ENV_OWN_PREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tarvelimunde-wine.XXXXXX")
    wine_env_copy "$1" "$WINE_ENV_OWN_PREFIX" || return 1
    export WINEPREFIX=$WINE_ENV_OWN_PREFIX
}

wine_env_display() {
    local depth=${1:-24} size=${2:-640x480}
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    # Xvfb picks a free number itself and writes it once it takes connections,
    # so two suites started side by side never share a display; the read ends
    # with the number, or with Xvfb's end.
    local pipe number=
    exec {pipe}< <(exec Xvfb -displayfd 1 -screen 0 "${size}x$depth" -nolisten tcp 2>/dev/null)
    WINE_ENV_XVFB_PID=$!
    read -r number <&"$pipe"
    exec {pipe}<&-
    if [ -n "$number" ]; then
        export DISPLAY=":$number"
        return 0
    fi
    WINE_ENV_XVFB_PID=
    echo "wine-env: no X display" >&2
    return 1
}

wine_env_system_folder() {
    case "$(basename "$WINE_ENV_WINE")" in
        wine64) echo "$WINEPREFIX/drive_c/windows/system32" ;;
        *) echo "$WINEPREFIX/drive_c/windows/syswow64" ;;
    esac
}

wine_env_install() {
    [ $# -eq 0 ] || cp --remove-destination "$@" "$(wine_env_system_folder)/"
}

wine_env_run() {
    wine_env_quiet "$WINE_ENV_WINE" "$@"
}

wine_env_cleanup() {
    if [ -n "$WINE_ENV_OWN_PREFIX" ]; then
        WINEPREFIX=$WINE_ENV_OWN_PREFIX "$WINE_ENV_SERVER" -k >/dev/null 2>&1
        rm -rf "$WINE_ENV_OWN_PREFIX"
        WINE_ENV_OWN_PREFIX=
    fi
    if [ -n "$WINE_ENV_XVFB_PID" ]; then
        kill "$WINE_ENV_XVFB_PID" 2>/dev/null
        wait "$WINE_ENV_XVFB_PID" 2>/dev/null
        WINE_ENV_XVFB_PID=
    fi
}
