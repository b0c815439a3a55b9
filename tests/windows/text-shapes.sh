#!/usr/bin/env bash
# Reads the first line of text inside a rectangle of a screenshot (dark text on a light ground)
# and prints how many glyphs it holds and how many different shapes they take: "glyphs shapes".
# A glyph is a run of columns with ink; its shape is its bitmap. Text the font can't draw is a
# row of identical boxes, one shape; a drawn line of Japanese has about as many shapes as glyphs.
#
#   text-shapes.sh IMAGE LEFT TOP WIDTH HEIGHT
set -euo pipefail
(($# == 5)) || { echo "usage: $0 IMAGE LEFT TOP WIDTH HEIGHT" >&2; exit 2; }
convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -colorspace gray -threshold 50% \
  -compress none pbm:- |
  awk '
    /^#/ { next }
    !magic { magic = 1; next }
    !width { width = $1; height = $2; next }
    {
      gsub(/[^01]/, "")
      for (i = 1; i <= length($0); i++) { ink[n % width, int(n / width)] = substr($0, i, 1); n++ }
    }
    function row_has_ink(y,   x) {
      for (x = 0; x < width; x++) if (ink[x, y] == 1) return 1
      return 0
    }
    END {
      for (top = 0; top < height && !row_has_ink(top); top++) {}
      for (bottom = top; bottom < height && row_has_ink(bottom); bottom++) {}
      glyphs = shapes = 0
      shape = ""
      for (x = 0; x <= width; x++) {
        column = ""
        for (y = top; x < width && y < bottom; y++) column = column ink[x, y]
        if (column ~ /1/) {
          shape = shape column "/"
        } else if (shape != "") {
          glyphs++
          if (!(shape in seen)) { seen[shape] = 1; shapes++ }
          shape = ""
        }
      }
      print glyphs, shapes
    }'
