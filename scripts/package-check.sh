#!/usr/bin/env bash
# Checks the Debian package the way a user meets it: Debian's own checkers (lintian,
# desktop-file-validate, appstreamcli, man), then the programs unpacked into a temporary
# root and run from there with a fresh home folder, as a new user would.
#   bash scripts/package-check.sh [PAKET.deb]     without a package it builds one first
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
deb=${1:-}
[ -n "$deb" ] || deb=$(bash scripts/package.sh)
deb=$(readlink -f "$deb")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "package-check: $*" >&2; exit 1; }

lintian --fail-on error "$deb"
dpkg-deb -x "$deb" "$work/root"
usr=$work/root/usr
desktop-file-validate "$usr"/share/applications/*.desktop
appstreamcli validate --no-net "$usr"/share/metainfo/*.metainfo.xml
for page in "$usr"/share/man/man1/*.1.gz; do
  warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) || fail "man $page"
  [ -z "$warnings" ] || fail "man $page: $warnings"
done
[ -f "$usr/share/vemro/um_de.pdf" ] || fail "Handbuch fehlt"

# vxsim(1) names every option vxsim has.
for option in $("$usr/bin/vxsim" --help | grep -o -- '--[a-z][a-z0-9-]*' | sort -u); do
  zcat "$usr/share/man/man1/vxsim.1.gz" | sed 's/\\-/-/g' | grep -q -- "$option" ||
    fail "vxsim(1) nennt $option nicht"
done

# As a new user: no VEMRO_HOME, an empty home folder.
run() { env -u VEMRO_HOME -u XDG_DATA_HOME HOME="$1" QT_QPA_PLATFORM=offscreen "${@:2}"; }
home=$work/home
mkdir "$home"
version=$(run "$home" "$usr/bin/vemro-cli" --version)
[ "$version" = "$(sed -n 's/^project(Vemro VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)" ] ||
  fail "vemro-cli --version: $version"
run "$home" "$usr/bin/vemro-cli" project new Probe >/dev/null
data=$home/.local/share/vemro
[ -f "$data/VEMRO.mdb" ] && [ -f "$data/Projekte/Probe.mdb" ] && ls "$data"/Hardware/*.mdb >/dev/null ||
  fail "Datenordner $data nicht eingerichtet"
run "$home" "$usr/bin/vemro-cli" ports >/dev/null
[ ! -e "$usr/bin/VEMRO.mdb" ] || fail "in usr/bin geschrieben"

# The window program seeds its own new user's folder and opens.
home2=$work/home2
mkdir "$home2"
out=$(run "$home2" env VEMRO_STARTUP_PROBE=quit timeout 60 "$usr/bin/vemro" 2>&1) ||
  fail "vemro startet nicht: $out"
grep -q "vemro: bereit" <<<"$out" || fail "vemro: $out"
[ -f "$home2/.local/share/vemro/VEMRO.mdb" ] && [ -d "$home2/.local/share/vemro/Projekte" ] ||
  fail "vemro hat den Datenordner nicht eingerichtet"

# Completion of the installed vemro-cli.
words=$(PATH=$usr/bin:$PATH bash -c "source '$usr/share/bash-completion/completions/vemro-cli'
  COMP_WORDS=(vemro-cli pro); COMP_CWORD=1; _vemro_cli; echo \${COMPREPLY[*]}
  COMP_WORDS=(vemro-cli project n); COMP_CWORD=2; _vemro_cli; echo \${COMPREPLY[*]}")
grep -qx project <<<"$(head -1 <<<"$words")" && grep -qw new <<<"$(tail -1 <<<"$words")" ||
  fail "Vervollständigung: $words"
echo "package-check: $(basename "$deb") in Ordnung"
