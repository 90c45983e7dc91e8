#!/bin/sh
# Makes res/archive/res/Pinatrove.ttf, the UI's display font: Comfortaa
# Regular from Debian's fonts-comfortaa (SIL OFL 1.1), cut down to printable
# ASCII. The OFL reserves the name "Comfortaa" for the original, so the cut-down
# font is named "Pinatrove" (the copyright and licence entries of its name table
# stay); the licence travels beside it as Pinatrove.LICENSE.
# Needs: apt-get install fonts-comfortaa python3-fonttools
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
src=/usr/share/fonts/truetype/comfortaa/Comfortaa-Regular.ttf
out=$root/res/archive/res/Pinatrove.ttf
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

[ -f "$src" ] || { echo "make_font: $src missing (apt-get install fonts-comfortaa)" >&2; exit 1; }

/usr/bin/python3 -m fontTools.subset "$src" --output-file="$tmp/subset.ttf" \
    --unicodes=U+0020-007E --layout-features='kern,liga' --no-hinting \
    --name-IDs='0,1,2,3,4,5,6,13,14' --name-languages=0x409 --drop-tables+=DSIG

/usr/bin/python3 - "$tmp/subset.ttf" "$out" <<'PY'
import sys
from fontTools.ttLib import TTFont

font = TTFont(sys.argv[1])
family = "Pinatrove"
names = font["name"]
for rec in list(names.names):
    if rec.nameID in (1, 16):
        names.setName(family, rec.nameID, rec.platformID, rec.platEncID, rec.langID)
    elif rec.nameID == 3:
        names.setName(family + " Regular; ASCII subset", 3, rec.platformID, rec.platEncID, rec.langID)
    elif rec.nameID == 4:
        names.setName(family, 4, rec.platformID, rec.platEncID, rec.langID)
    elif rec.nameID == 6:
        names.setName("Pinatrove-Regular", 6, rec.platformID, rec.platEncID, rec.langID)
# Reproducible output: no build-time stamp in the header.
font["head"].modified = font["head"].created
font.save(sys.argv[2], reorderTables=True)
PY

gzip -dc /usr/share/doc/fonts-comfortaa/OFL.txt.gz > "$root/res/archive/res/Pinatrove.LICENSE"
ls -l "$out"
