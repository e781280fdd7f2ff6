# shellcheck shell=bash
# Sourced by the Windows test stage: a fresh Wine prefix set up as the tests
# need it. Expects WINEPREFIX to name an empty or missing folder.
#   - no Mono/Gecko prompts (mscoree, mshtml disabled), no debug chatter;
#   - unmanaged X11 windows: no stall at exit, no window-manager decoration;
#   - the Windows faces mapped onto Debian's: 楷体 -> AR PL KaitiM GB,
#     微软雅黑 -> Noto Sans CJK SC, and the dialog's SimSun / MS Shell Dlg
#     -> a CJK sans, so the Chinese texts have glyphs.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

wine_prefix_setup() {
  mkdir -p "$WINEPREFIX"
  timeout 120 wineboot -i >/dev/null 2>&1
  local reg="$WINEPREFIX/orbidial-test.reg"
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n"Decorated"="N"\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    printf '"楷体"="AR PL KaitiM GB"\r\n"微软雅黑"="Noto Sans CJK SC"\r\n'
    printf '"SimSun"="Noto Sans CJK SC"\r\n"宋体"="Noto Sans CJK SC"\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
    printf '"MS Shell Dlg"="Noto Sans CJK SC"\r\n"MS Shell Dlg 2"="Noto Sans CJK SC"\r\n\r\n'
  } | iconv -f UTF-8 -t UTF-16 > "$reg"
  timeout 60 wine regedit /S "$reg"
  timeout 60 wineserver -w
}
