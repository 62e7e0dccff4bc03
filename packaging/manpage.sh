#!/bin/sh
# Builds vemro-cli(1) from its template and the program's own --help text, so the page
# lists exactly the commands and options the program has.
#   manpage.sh HELP.txt TEMPLATE.1.in OUTPUT.1 VERSION
set -eu
help=$1 template=$2 output=$3 version=$4
roff() { sed -e 's/\\/\\e/g' -e 's/-/\\-/g' -e "s/^[.']/\\\\\\&&/"; }
commands=$(awk '
  /^Befehle:/ { on = 1; next }
  on && /^  [^ ]/ { sub(/^  /, ""); usage = $0; next }
  on && /^      / { sub(/^      /, ""); printf ".TP\n.B %s\n%s\n", usage, $0 }
' "$help" | sed -e 's/\\/\\e/g' -e 's/-/\\-/g')
options=$(sed -n 's/^Optionen: //p' "$help" | roff)
link=$(sed -n 's/^Verbindung (Befehle mit \[Verbindung\]): //p' "$help" | roff)
[ -n "$commands" ] && [ -n "$options" ] && [ -n "$link" ] || {
  echo "manpage.sh: $help hat nicht die erwartete Form" >&2; exit 1; }
tmp=$output.new
awk -v commands="$commands" -v options="$options" -v link="$link" -v version="$version" '
  /^@COMMANDS@$/ { print commands; next }
  /^@OPTIONS@$/ { print options; next }
  /^@LINK@$/ { print link; next }
  { gsub(/@VERSION@/, version); print }
' "$template" > "$tmp"
mv "$tmp" "$output"
