# Sourced by the Windows scripts. Wine's environment for Navelo: a private prefix under build/, no
# Mono or Gecko prompts, and (navelo_wine_japanese) a Japanese locale with Japanese fonts.
navelo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$navelo_root/build/wineprefix}"
export WINEDEBUG=-all
# Navelo needs neither Mono nor Gecko.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Wine takes its ANSI code page from the locale: code page 932 behaves as on Windows only under a
# Japanese one, generated here once, privately, when the system has none.
navelo_wine_locale() {
  local dir="$navelo_root/build/locale"
  if [ ! -d "$dir/ja_JP.UTF-8" ]; then
    mkdir -p "$dir"
    localedef -i ja_JP -f UTF-8 "$dir/ja_JP.UTF-8" >/dev/null 2>&1 || true
  fi
  if [ -d "$dir/ja_JP.UTF-8" ]; then
    export LOCPATH="$dir"
    # (bash itself warns that it cannot use the new locale; Wine can.)
    { export LC_ALL=ja_JP.UTF-8; } 2>/dev/null
  else
    echo "wine-env.sh: no Japanese locale; code page 932 may not behave as on Windows" >&2
  fi
}

# The Japanese fonts the forms ask for are Windows' own; Wine draws them with the IPA gothics, whose
# line height is one em as in Windows' gothics (so text wraps and fits as it would there), and the
# Japanese in its menu bar (Tahoma) with Noto CJK. Wine rewrites these keys when it starts under
# another code page, so this runs after any such start; setting them again changes nothing.
navelo_wine_fonts() {
  local key='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion'
  local mono='IPAGothic' sans='IPAPGothic'
  local links
  # A multi-string value: each entry and a final terminator, UTF-16LE, as comma-separated bytes.
  link() { printf '%s\0' "$@" | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 | tr -s ' \n' ',' |
    sed 's/^,//; s/$/00,00/'; }
  links="$(link "NotoSansCJK-Regular.ttc,Noto Sans CJK JP" "NotoSansCJK-Regular.ttc,Noto Sans Mono CJK JP")"
  local reg="$WINEPREFIX/navelo-fonts.reg"
  mkdir -p "$WINEPREFIX"
  {
    printf '\xff\xfe'
    {
      printf 'Windows Registry Editor Version 5.00\r\n\r\n[%s\\FontSubstitutes]\r\n' "$key"
      printf '"%s"="%s"\r\n' "ＭＳ ゴシック" "$mono" "MS Gothic" "$mono" \
        "ＭＳ Ｐゴシック" "$sans" "MS PGothic" "$sans" "MS UI Gothic" "$sans"
      printf '\r\n[%s\\FontLink\\SystemLink]\r\n"Tahoma"=hex(7):%s\r\n' "$key" "$links"
    } | iconv -f UTF-8 -t UTF-16LE
  } >"$reg"
  wine regedit /S "$(printf 'Z:%s' "$reg" | tr / '\\')" >/dev/null 2>&1
  # Wine draws the caption buttons with Marlett's glyphs (a close box is its "r"): Debian's
  # fonts-wine has the font, which Wine takes up from the prefix's own font folder.
  if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp -f /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  fi
}
