# Wine test environment: a template prefix made once, a throwaway copy of it
# per run, and an Xvfb display when none is given. Source this file, then:
#
#   wine_env_template DIR        make (once, under a lock) a ready prefix in DIR
#   wine_env_prefix TEMPLATE     copy TEMPLATE to a fresh prefix; exports WINEPREFIX
#   wine_env_display [DEPTH]     export DISPLAY: keep a working one, else start
#                                Xvfb 640x480xDEPTH (default 24) on a free number
#   wine_env_run PROGRAM ARGS..  run a Windows program with wine64, return its code
#   wine_env_cleanup             stop the prefix's wineserver, the Xvfb started
#                                here, and remove the prefix; safe to call twice
#
# Every prefix has: no window manager needed (Managed=N), and no debugger that
# UnhandledExceptionFilter could start: the AeDebug "Debugger" is removed and
# "Auto" is "0", so Wine 8's filter answers EXCEPTION_EXECUTE_HANDLER itself
# instead of launching winedbg.

WINE_ENV_WINE=${WINE_ENV_WINE:-/usr/lib/wine/wine64}
WINE_ENV_SERVER=${WINE_ENV_SERVER:-/usr/lib/wine/wineserver}
WINE_ENV_XVFB_PID=
WINE_ENV_OWN_PREFIX=

wine_env_quiet() {
    WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all "$@"
}

wine_env_template() {
    local template=$1
    mkdir -p "$(dirname "$template")"
    (
        flock 9
        [ -f "$template/.ready" ] && exit 0
        rm -rf "$template"
        export WINEPREFIX=$template
        wine_env_quiet "$WINE_ENV_WINE" wineboot -i >/dev/null 2>&1
        wine_env_quiet "$WINE_ENV_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        wine_env_quiet "$WINE_ENV_WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 0 /f >/dev/null 2>&1
        wine_env_quiet "$WINE_ENV_WINE" reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f >/dev/null 2>&1
        "$WINE_ENV_SERVER" -w
        touch "$template/.ready"
    ) 9>"$template.lock"
}

wine_env_prefix() {
    local template=$1
    WINE_ENV_OWN_PREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tarvelimunde-wine.XXXXXX")
    cp -a "$template/." "$WINE_ENV_OWN_PREFIX/"
    rm -f "$WINE_ENV_OWN_PREFIX/.ready"
    export WINEPREFIX=$WINE_ENV_OWN_PREFIX
}

wine_env_display() {
    local depth=${1:-24}
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    local n
    for n in $(seq 90 189); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 "640x480x$depth" -nolisten tcp >/dev/null 2>&1 &
        WINE_ENV_XVFB_PID=$!
        local tries
        for tries in $(seq 50); do
            if DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
                export DISPLAY=":$n"
                return 0
            fi
            kill -0 "$WINE_ENV_XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill "$WINE_ENV_XVFB_PID" 2>/dev/null
        wait "$WINE_ENV_XVFB_PID" 2>/dev/null
        WINE_ENV_XVFB_PID=
    done
    echo "wine-env: no free X display" >&2
    return 1
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
