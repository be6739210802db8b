# wizard-lib.sh: sourced by the Wine checks that look at the setup program's windows. It holds
# the one definition of each thing they agree on:
#   what is showing  window-reader's read-back of the windows with a caption (their texts,
#                    states and screen places, as a Windows program sees them);
#   the frame        the window captioned with the wizard title that holds a page form (the
#                    background window and the message boxes have that caption too, no page);
#   the current page the caption of the frame's front page form ("首页", "安装协议", ...);
#   a blank picture  one whose grey levels have a standard deviation of at most 0.02;
#   the same picture one that differs from its reference by more than 12% (colour distance)
#                    in at most 40 pixels, after both are blurred by half a pixel: hinting and
#                    anti-aliasing move glyph edges by a fraction of a pixel and stay under it,
#                    a missing 32 x 32 icon, separator line or label does not.
# Before sourcing: wine_loader (wine-env.sh), WINEPREFIX, DISPLAY, and wizard_reader set to
# window-reader.exe inside the prefix's reach. Actions wait on conditions, never on a sleep
# alone; waits give up after 30 s. wizard_fail is called with a message on any failure (the
# caller defines it) and wizard_alive tells whether the setup program still runs.

wizard_pages='首页|安装协议|软件说明|开始菜单|选择组件|选择安装文件夹|附加任务|准备安装|开始安装|安装完成'
wizard_blank_deviation=0.02
wizard_fuzz=12%
wizard_blur=0x0.5
wizard_tolerance=40

# wizard_read CAPTION: the reader's lines for the windows captioned CAPTION.
wizard_read() { "$wine_loader" "$wizard_reader" "$1" 2>/dev/null | tr -d '\r'; }

# wizard_frame CAPTION: "PAGE LEFT TOP WIDTH HEIGHT" of the frame, from one read-back; fails
# when no window with that caption holds a page.
wizard_frame() {
  wizard_read "$1" | awk -v pages="^    [^ ]+ ($wizard_pages)( \\\\[[a-z]+\\\\])* @" '
    /^window / { split($NF, r, /[@,]/); place = r[2] " " r[3] " " r[4] " " r[5]; next }
    $0 ~ pages && place != "" {
      page = $0; sub(/^    [^ ]+ /, "", page); sub(/ .*/, "", page)
      print page " " place; found = 1; exit
    }
    END { exit !found }'
}

# wizard_current_page CAPTION: the caption of the frame's front page.
wizard_current_page() { wizard_frame "$1" | cut -d' ' -f1; }

# wizard_place CAPTION TEXT: "LEFT TOP WIDTH HEIGHT" of the first control whose read-back line
# holds TEXT (fixed string, any letter case).
wizard_place() {
  wizard_read "$1" | grep -iF -- "$2" | head -1 | sed -n -E 's/.* @(-?[0-9]+),(-?[0-9]+),([0-9]+),([0-9]+)$/\1 \2 \3 \4/p' |
    grep .
}

# wizard_click CAPTION TEXT [DX]: a click on the control found by TEXT, DX pixels from its left
# edge (a check box's mark) or in its middle.
wizard_click() {
  local place left top width height
  place=$(wizard_place "$1" "$2") || { wizard_fail "no control '$2' to click in '$1'"; return 1; }
  read -r left top width height <<<"$place"
  xdotool mousemove $((left + ${3:-$((width / 2))})) $((top + height / 2)) click 1
}

# wizard_key KEY: a key to the window in front (the modal loop gives it to the focused control).
wizard_key() { xdotool key --clearmodifiers "$1"; }

# wizard_wait DESCRIPTION COMMAND...: retries COMMAND every 0.2 s for up to 30 s.
wizard_wait() {
  local what=$1 deadline=$((SECONDS + 30))
  shift
  while [ "$SECONDS" -lt "$deadline" ]; do
    "$@" && return 0
    wizard_alive || { wizard_fail "the setup program ended while waiting for $what"; return 1; }
    sleep 0.2
  done
  wizard_fail "waited 30 s for $what"
  return 1
}

# wizard_has CAPTION TEXT: the read-back of CAPTION holds TEXT.
wizard_has() { wizard_read "$1" | grep -qF -- "$2"; }
wizard_lacks() { ! wizard_has "$@"; }
wizard_on_page() { [ "$(wizard_current_page "$1")" = "$2" ]; }
wizard_off_page() { [ "$(wizard_current_page "$1")" != "$2" ]; }

# wizard_blank FILE: the picture is blank (see above).
wizard_blank() {
  local deviation
  deviation=$(convert "$1" -colorspace gray -format '%[fx:standard_deviation]' info:) || return 0
  awk -v d="$deviation" -v limit="$wizard_blank_deviation" 'BEGIN { exit !(d <= limit) }'
}

# wizard_shoot LEFT TOP WIDTH HEIGHT FILE: the screen's rectangle as a person sees it, once two
# pictures taken one after the other agree (the window has finished painting).
wizard_shoot() {
  local previous=$5.previous.png
  for _ in $(seq 30); do
    import -window root -crop "$3x$4+$1+$2" +repage "$5" 2>/dev/null || return 1
    if [ -f "$previous" ] && [ "$(compare -metric AE "$5" "$previous" null: 2>&1)" = 0 ]; then
      rm -f "$previous"
      return 0
    fi
    cp "$5" "$previous"
    sleep 0.1
  done
  rm -f "$previous"
  return 0
}

# wizard_differing SHOT REFERENCE: how many pixels differ (see "the same picture"); fails when
# the sizes differ.
wizard_differing() {
  local size
  size=$(identify -format '%wx%h' "$1" 2>/dev/null)
  [ -n "$size" ] && [ "$size" = "$(identify -format '%wx%h' "$2" 2>/dev/null)" ] || return 1
  local count blurred
  blurred=$(mktemp -d) || return 1
  convert "$1" -blur "$wizard_blur" "$blurred/shot.png" &&
    convert "$2" -blur "$wizard_blur" "$blurred/reference.png" &&
    # compare exits 1 when the pictures differ at all; its count is what matters.
    count=$(compare -metric AE -fuzz "$wizard_fuzz" "$blurred/shot.png" "$blurred/reference.png" null: 2>&1)
  rm -rf "$blurred"
  count=${count%% *}
  [[ $count =~ ^[0-9.e+]+$ ]] || return 1
  printf '%.0f\n' "$count"
}

# wizard_same SHOT REFERENCE: the shot is the same picture as its reference.
wizard_same() {
  local count
  count=$(wizard_differing "$1" "$2") || return 1
  [ "$count" -le "$wizard_tolerance" ]
}
