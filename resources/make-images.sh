#!/bin/sh
# Draws the editor's pictures: the maker's logo and one name badge per model.
# They are compiled into the editor, so the output must not change from run to
# run: the date chunks are left out and every input is fixed.
# Needs ImageMagick (Debian's /usr/bin/convert) and fonts-dejavu-core.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
convert=/usr/bin/convert
fonts=/usr/share/fonts/truetype/dejavu
bold=$fonts/DejaVuSans-Bold.ttf
condensedBold=$fonts/DejaVuSansCondensed-Bold.ttf
regular=$fonts/DejaVuSans.ttf

deterministic="-strip -define png:exclude-chunks=date,time +set date:create +set date:modify"

# The logo: the maker's name in dark slate with a thin accent bar below,
# on a transparent ground; the editor draws it at half size on light grey.
"$convert" -size 175x51 xc:none \
    -font "$condensedBold" -pointsize 27 -kerning 1 -fill '#1f2a36' \
    -gravity north -annotate +0+6 'ZEVOSONIC' \
    -fill '#d2452b' -draw 'roundrectangle 36,38 138,41 2,2' \
    $deterministic PNG32:"$here/logo.png"

# badge WIDTH HEIGHT NAME SUBTITLE FILE: the model's name and a subtitle on a
# rounded dark plate with a thin light rim; the corners stay transparent.
badge()
{
    width=$1 height=$2 name=$3 subtitle=$4 file=$5
    right=$((width - 1)) bottom=$((height - 1))
    "$convert" -size "${width}x${height}" xc:none \
        -fill '#23272d' -stroke '#8a949e' -strokewidth 1 \
        -draw "roundrectangle 0,0 $right,$bottom 9,9" \
        -stroke none -fill '#f2f2f2' -font "$bold" -pointsize 24 -kerning 2 \
        -gravity north -annotate +0+3 "$name" \
        -fill '#e0a030' -font "$regular" -pointsize 9 -kerning 1.5 \
        -gravity south -annotate +0+5 "$subtitle" \
        $deterministic PNG32:"$here/$file"
}

badge 165 54 'DOLMAR' 'CONTROL SURFACE' badge-dolmar.png
badge 177 58 'DOLMET' 'EXTENDER' badge-dolmet.png
