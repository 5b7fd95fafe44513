#!/bin/bash
# Regenerates the seeds of fuzz_skin_source: our default skin's source and
# a few small sources that reach what it does not use (old versions, the
# header lines, menu bars, custom values of every kind, every part of the
# structured values, escapes). Each seed is the text, a NUL, then the BMP
# that every "file = ..." line reads.
#   fuzz/corpus/make_skin_source_seeds.sh
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
art=$here/../../skins/default
out=$here/skin_source
mkdir -p "$out"

seed() {  # name: the text on standard input
  { cat; printf '\0'; cat "$art/pw.bmp"; } > "$out/$1"
}

seed default < "$art/skin.txt"

seed v7-frame <<'SKIN'
skin 1.7
builder "Fuzz \"seed\" \x41\tB\\"
object FrameSkin "Frame"
  ACTIVEFRAME.TOPLEFT = { bitmap "pw.bmp" rect 0 0 8 8 mode 1 pad 3 }
  CAPTIONFONT = { face "Tahoma" height -11 width 0 escapement 1 orientation 2 weight 700 italic 1 underline 0 strikeout 1 charset 136 outprecision 3 clipprecision 2 quality 1 pitchandfamily 34 color #FF00FF }
  child CaptionButtonSkin "Close"
    placement = 2 2 18 18
    image = { bitmap "pw.bmp" rect 0 0 16 16 }
  end
  menubar "Bar"
    mdiButton[0] = { bitmap "pw.bmp" rect 0 0 4 4 }
  end
end
object ButtonSkin "Button"
  FONT = none
  FONT = { face "Arial" }
end
object SkinInfo "Info"
end
image "pw.bmp"
  file = "pw.bmp"
end
image "empty"
end
SKIN

seed v11-custom <<'SKIN'
skin 1.11
object CustomPropertySkin "Custom"
  custom Int "Margin"
    value = 0x7FFFFFFF
    text = "four"
    defaulttext = "\xa5\x7c"
  end
  custom Bool "On"
    value = 1
  end
  custom 21 "Small"
    value = <ff>
  end
  custom Colour "Back"
    value = #10FF8000
  end
  custom String "Face"
    value = "MingLiU"
  end
  custom Font "Label"
    value = { face "PMingLiU" height 12 }
  end
  custom TextEffect "Glow"
    value = { color #FFFFFF shadow #000000 offset -1 127 flags 0x8005 reserved 7 11 offsethigh 2 }
  end
  custom Image "Picture"
    value = { bitmap "pw.bmp" rect 0 0 86 30 mode 2 }
  end
  custom FrameImage "Panel"
    value = { bitmap "pw.bmp" rect 0 0 75 23 margins 3 3 3 3 stretch 5 }
  end
  custom 55 "Raw"
    value = <01 02 03>
    text = <41 00 42>
  end
end
extra "Extra"
end
SKIN

seed v5-header <<'SKIN'
skin 1.5
count 7
skip 77
object EditSkin "Edit"
  placement = 1 2 3 4 ; a comment "with a quote
end
object ComboBoxSkin "Combo"
  child EditSkin "Edit"
    skip 1
    child StaticSkin "Static"
    end
  end
end
object TabSkin "Tab"
end
object TrackBarSkin "Slider"
end
object ScrollBarSkin "Scroll"
end
SKIN
