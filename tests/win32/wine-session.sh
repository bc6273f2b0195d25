# Sourced by scripts/test-win32 and scripts/screenshot: starts one Xvfb display and one persistent
# wineserver for a Wine prefix inside the build folder, and stops exactly those two, by their process
# ids, when the sourcing script exits.
# Expects `build_dir`; exports DISPLAY, WINEPREFIX and the quiet Wine settings.

wine_session_xvfb=
wine_session_server=
wineserver_bin=$(command -v wineserver || command -v wineserver-stable || echo /usr/lib/wine/wineserver)

stop_wine_session() {
    if [ -n "$wine_session_server" ]; then
        # Ends the Wine processes of this prefix (the program's own background services included),
        # then the server itself.
        timeout 30 "$wineserver_bin" --kill >/dev/null 2>&1 || true
        kill "$wine_session_server" 2>/dev/null || true
        wait "$wine_session_server" 2>/dev/null || true
    fi
    if [ -n "$wine_session_xvfb" ]; then
        kill "$wine_session_xvfb" 2>/dev/null || true
        wait "$wine_session_xvfb" 2>/dev/null || true
    fi
}
trap stop_wine_session EXIT

start_wine_session() {
    local display_file settings
    display_file=$(mktemp)
    # -displayfd lets Xvfb pick a free display number and report it once it accepts connections.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
    wine_session_xvfb=$!
    for _ in $(seq 100); do
        [ -s "$display_file" ] && break
        sleep 0.1
    done
    if [ ! -s "$display_file" ]; then
        echo "Xvfb did not start" >&2
        rm -f "$display_file"
        return 1
    fi
    export DISPLAY=":$(head -n 1 "$display_file")"
    rm -f "$display_file"

    export WINEPREFIX="$build_dir/wineprefix"
    export WINEARCH=win32
    export WINEDEBUG=-all
    # No Mono or Gecko installer prompts when the prefix is created.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    mkdir -p "$WINEPREFIX"
    "$wineserver_bin" --foreground --persistent &
    wine_session_server=$!

    # The first program of a fresh wineserver starts Wine's own background processes, which keep
    # that program's output open; run a throwaway one so that they never hold a test's pipes.
    wine cmd /c exit >/dev/null 2>&1 || true

    # Wine's own fonts (Debian's fonts-wine): Marlett draws the buttons of the title bar, without it
    # they show as the letters 0, 1 and r. Debian puts them in /usr/share/wine/fonts, where this Wine
    # does not find them, so they are copied into the prefix's Fonts folder, which it searches.
    if [ -d /usr/share/wine/fonts ]; then
        cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    fi

    # Settings of the prefix. All windows live in one Wine virtual desktop, so activation and
    # keyboard focus are Wine's alone: with bare X windows and no window manager, X focus changes
    # arrive late and can hand the activation to the desktop after a message box closes. Windows are
    # not handed to an X window manager (there is none), so destroying one does not wait two seconds
    # for a manager's answer. And dialog units follow the dialog font: the IPA P Gothic font has the
    # metrics of the Japanese system font that the dialog names, so the layout comes out as on
    # Windows. That name is not ASCII, so the settings go in as a UTF-16 registry file.
    settings="$WINEPREFIX/test-settings.reg"
    {
        printf 'Windows Registry Editor Version 5.00\r\n\r\n'
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="Default"\r\n\r\n'
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Default"="800x600"\r\n\r\n'
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n\r\n'
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"%s"="IPAPGothic"\r\n' \
            'ＭＳ Ｐゴシック'
    } | iconv -f UTF-8 -t UTF-16 >"$settings"
    wine regedit /S "$(winepath -w "$settings" 2>/dev/null)" >/dev/null 2>&1 || true
}
