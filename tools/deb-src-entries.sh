#!/bin/bash
# Prints deb-src entries (deb822 stanzas) that mirror the machine's own deb
# entries for one suite, so source packages come from the archive the
# machine already installs from:
#   tools/deb-src-entries.sh SUITE [SOURCE-FILE...]
# Without files it reads /etc/apt/sources.list and sources.list.d/*.list,
# *.sources. Only entries of SUITE are mirrored: other archives (updates,
# third parties) often publish no source indexes, and a missing index fails
# apt-get update.
set -euo pipefail
suite=$1; shift
if [ $# -eq 0 ]; then
  shopt -s nullglob
  set -- /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources
fi
files=()
for f in "$@"; do [ -r "$f" ] && files+=("$f"); done
[ ${#files[@]} -gt 0 ] || exit 0

awk -v suite="$suite" '
function has_word(list, word,    n, i, w) {
  n = split(list, w, /[ \t]+/)
  for (i = 1; i <= n; i++) if (w[i] == word) return 1
  return 0
}
function emit(uris, components, signedBy, trusted) {
  if (printed++) print ""
  print "Types: deb-src"
  print "URIs: " uris
  print "Suites: " suite
  print "Components: " components
  if (signedBy != "") print "Signed-By: " signedBy
  if (trusted != "") print "Trusted: " trusted
}
# One-line entries: deb [option=value ...] URI SUITE COMPONENT...
function one_line_entry(line,    options, n, opt, i, j, kv, signedBy, trusted, w, components) {
  sub(/#.*/, "", line)
  if (line !~ /^[ \t]*deb[ \t]/) return
  sub(/^[ \t]*deb[ \t]+/, "", line)
  if (line ~ /^\[/) {
    options = substr(line, 2, index(line, "]") - 2)
    line = substr(line, index(line, "]") + 1)
    n = split(options, opt, /[ \t]+/)
    for (i = 1; i <= n; i++) {
      if (split(opt[i], kv, "=") != 2) continue
      if (kv[1] == "signed-by") signedBy = kv[2]
      if (kv[1] == "trusted") trusted = kv[2]
    }
  }
  n = split(line, w, /[ \t]+/)
  i = (w[1] == "") ? 2 : 1
  if (n < i + 2 || w[i + 1] != suite) return
  components = w[i + 2]
  for (j = i + 3; j <= n; j++) if (w[j] != "") components = components " " w[j]
  emit(w[i], components, signedBy, trusted)
}
function flush_stanza() {
  if (has_word(field["types"], "deb") && has_word(field["suites"], suite) && tolower(field["enabled"]) != "no" \
      && field["uris"] != "")
    emit(field["uris"], field["components"], field["signed-by"], field["trusted"])
  split("", field)
  last = ""
}
FNR == 1 { flush_stanza() }
FILENAME !~ /\.sources$/ { one_line_entry($0); next }
/^#/ { next }
/^[ \t]*$/ { flush_stanza(); next }
/^[ \t]/ { if (last != "") field[last] = field[last] "\n" $0; next }
{
  name = tolower(substr($0, 1, index($0, ":") - 1))
  value = substr($0, index($0, ":") + 1)
  sub(/^[ \t]+/, "", value); sub(/[ \t]+$/, "", value)
  field[name] = value
  last = name
}
END { flush_stanza() }
' "${files[@]}"
