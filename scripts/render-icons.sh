#!/usr/bin/env bash
# Renders the program's pictures from their drawings in artwork/ into Icons/, where the
# program reads them: each icon as NAME.png and, for screens of double density,
# NAME@2x.png; the background as Background.png. The disabled icons are the enabled
# drawings in quiet greys, made here first so the two never drift apart.
# Needs rsvg-convert (Debian: librsvg2-bin) and python3. The results are committed, so a
# build needs neither.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
art="$root/artwork"
out="$root/Icons"

for name in Load Sync File Delete; do
  python3 - "$art/icons/$name.svg" "$art/icons/${name}Disabled.svg" <<'PY'
import re, sys
source, target = sys.argv[1], sys.argv[2]
def grey(match):
    h = match.group(1)
    if len(h) == 3:
        h = "".join(c * 2 for c in h)
    r, g, b = (int(h[i:i + 2], 16) for i in (0, 2, 4))
    light = 0.299 * r + 0.587 * g + 0.114 * b
    # Lighter and of less contrast than the original, as a control that cannot be used.
    v = round(255 - (255 - light) * 0.5)
    return "#%02x%02x%02x" % (v, v, v)
text = open(source, encoding="utf-8").read()
text = re.sub(r"#([0-9a-fA-F]{6}|[0-9a-fA-F]{3})\b", grey, text)
open(target, "w", encoding="utf-8").write(text)
PY
done

render() { # svg, png, size
  rsvg-convert -w "$3" -h "$3" -o "$2" "$1"
}
for svg in "$art"/icons/*.svg; do
  name="$(basename "$svg" .svg)"
  size="$(sed -n 's/.*<svg [^>]*width="\([0-9]*\)".*/\1/p' "$svg" | head -n 1)"
  render "$svg" "$out/$name.png" "$size"
  render "$svg" "$out/$name@2x.png" "$((size * 2))"
done
rsvg-convert -w 1600 -h 1000 -o "$out/Background.png" "$art/background.svg"
