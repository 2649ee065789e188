# Sourced by run.sh, test.sh and the generated wine-run.sh: the Wine environment of one build
# folder. Everything it makes (prefix, locales, virtual display) lives in that folder, is made
# once under a lock and kept.

# Locales the UI-language tests switch to. Wine takes the UI language from LANG only when the
# glibc locale exists, so they are compiled into the build folder.
HLM_LOCALES="en_US en_GB ko_KR zh_CN zh_HK zh_TW pt_PT pt_BR cs_CZ de_DE ja_JP sr_RS hr_HR fr_FR es_ES it_IT nl_NL ru_RU th_TH el_GR"

# HLM_PREFIX_NAME picks the prefix inside the build folder: the tests use "wineprefix", the
# run command its own simulated notebook.
hlm_wine_env() {
    export WINEPREFIX="$1/${HLM_PREFIX_NAME:-wineprefix}"
    # Wine's own messages stay off unless HLM_WINEDEBUG asks for some (e.g. +timestamp,+debugstr).
    export WINEDEBUG=${HLM_WINEDEBUG:--all}
    # No Mono or Gecko install prompts, no desktop menu entries.
    export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
    export LOCPATH="$1/locales"
    export LANG="${HLM_LANG:-en_US.UTF-8}"
    unset LC_ALL LANGUAGE
}

hlm_make_locales() {
    local dir="$1/locales" l
    # The marker names the locales made, so adding one to the list makes the missing ones.
    [ "$(cat "$dir/.done" 2>/dev/null)" = "$HLM_LOCALES" ] && return 0
    mkdir -p "$dir"
    for l in $HLM_LOCALES; do
        [ -d "$dir/$l.UTF-8" ] || localedef -i "$l" -f UTF-8 "$dir/$l.UTF-8" >/dev/null 2>&1 ||
            { echo "localedef $l failed" >&2; return 1; }
    done
    echo "$HLM_LOCALES" >"$dir/.done"
}

hlm_make_prefix() {
    [ -f "$WINEPREFIX/.hlm-ready" ] && return 0
    rm -rf "$WINEPREFIX"
    # The lock's descriptor (9) is closed for Wine: a wineserver that inherited it would hold
    # the lock for as long as it lives.
    wineboot -i >/dev/null 2>&1 </dev/null 9>&-
    # A crashing test must end, not wait for someone to close the crash dialog.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        >/dev/null 2>&1 9>&-
    wine reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d win7 /f >/dev/null 2>&1 9>&-
    # Windows' own fonts (Tahoma, Marlett for caption buttons), as Wine ships them.
    cp -f /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    # The virtual display has no window manager: Wine draws title bars and frames itself and
    # does not wait for a manager's answer (2 s) whenever an active window is hidden.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f \
        >/dev/null 2>&1 9>&-
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
        >/dev/null 2>&1 9>&-
    wineserver -w 9>&-
    touch "$WINEPREFIX/.hlm-ready"
}

# Keeps one wineserver alive between test programs; starting one per program costs ~0.5 s.
hlm_wineserver() {
    wineserver -p >/dev/null 2>&1 </dev/null || true
}

hlm_wine_init() {
    hlm_wine_env "$1"
    mkdir -p "$1"
    (
        flock 9
        hlm_make_locales "$1" && hlm_make_prefix
    ) 9>"$1/wine.lock" || return 1
    hlm_wineserver
}

# A virtual display of this build folder (Xvfb), started once and shared by the UI tests.
hlm_display() {
    local state="$1/xvfb.display" n pid
    exec 8>"$1/xvfb.lock"
    flock 8
    if [ -f "$state" ]; then
        read -r n pid <"$state"
        if kill -0 "$pid" 2>/dev/null; then
            export DISPLAY=":$n"
            exec 8>&-
            return 0
        fi
    fi
    for n in $(seq 90 140); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
    done
    setsid -f Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$1/xvfb.log" 2>&1 </dev/null 8>&-
    for _ in $(seq 1 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && [ -s "/tmp/.X$n-lock" ] && break
        sleep 0.05
    done
    pid=$(tr -d ' ' <"/tmp/.X$n-lock" 2>/dev/null)
    [ -n "$pid" ] || { echo "Xvfb :$n did not start (see $1/xvfb.log)" >&2; exec 8>&-; return 1; }
    echo "$n $pid" >"$state"
    export DISPLAY=":$n"
    exec 8>&-
}

# Ends what hlm_wine_init and hlm_display left running for this build folder.
hlm_wine_stop() {
    hlm_wine_env "$1"
    wineserver -k >/dev/null 2>&1 || true
    if [ -f "$1/xvfb.display" ]; then
        local n pid
        read -r n pid <"$1/xvfb.display"
        kill "$pid" 2>/dev/null || true
        rm -f "$1/xvfb.display"
    fi
}
