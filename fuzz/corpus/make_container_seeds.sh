#!/bin/bash
# Regenerates the seeds of fuzz_container: the default skin as a container
# and a few small skins (older versions, every kind of entry) as unpacked
# streams, which the harness packs itself. Needs an x86_64 build's skinc:
#   fuzz/corpus/make_container_seeds.sh build/x86_64/bin/skinc.exe
set -euo pipefail
skinc=$(realpath "$1")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$here/../..
run() { "$root/cmake/wine-exec.sh" "$skinc" "$@"; }
out=$here/container
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

run build "$root/skins/default/skin.txt" -o "$out/default.skin"
cp "$root/skins/default/pw.bmp" "$work/"

cat > "$work/v7.txt" <<'SKIN'
skin 1.7
object FrameSkin "Frame"
  ACTIVEFRAME.TOPLEFT = { bitmap "pw.bmp" rect 0 0 8 8 mode 1 }
  child CaptionButtonSkin "Close"
    placement = 2 2 18 18
    image = { bitmap "pw.bmp" rect 0 0 16 16 }
  end
  menubar "Bar"
    mdiButton[0] = { bitmap "pw.bmp" rect 0 0 4 4 }
  end
end
object ButtonSkin "Button"
  FONT = { face "Arial" }
end
object SkinInfo "Info"
end
image "pw.bmp"
  file = "pw.bmp"
end
SKIN

cat > "$work/v11.txt" <<'SKIN'
skip 77
object CustomPropertySkin "Custom"
  custom Int "Margin"
    value = 4
    text = "four"
  end
  custom 55 "Raw"
    value = <01 02 03>
  end
end
object ComboBoxSkin "Combo"
  child EditSkin "Edit"
    skip 1
    child StaticSkin "Static"
    end
  end
end
object PopupMenuSkin "Menu"
end
extra "Extra"
end
SKIN

cat > "$work/v5.txt" <<'SKIN'
skin 1.5
object EditSkin "Edit"
  placement = 1 2 3 4
end
object CheckBoxSkin "Check"
end
object TabSkin "Tab"
end
object TrackBarSkin "Slider"
end
object ScrollBarSkin "Scroll"
end
SKIN

for name in v5 v7 v11; do
  run build "$work/$name.txt" -o "$work/$name.skin"
  run unpack "$work/$name.skin" -o "$out/$name.stream"
done
