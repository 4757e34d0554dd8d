#!/bin/sh
# Installs the build into a fresh prefix and checks what a desktop needs:
# both programs, the component folder found from anywhere, the help, the
# menu entry, the file type, the icons and the manual page.
set -eu
build=$1
source=$2
prefix=$(mktemp -d)
elsewhere=$(mktemp -d)
packages=$(mktemp -d)
trap 'rm -rf "$prefix" "$elsewhere" "$packages"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/vantor bin/vantor-cli \
         share/vantor/help/index.html share/vantor/help/about.html \
         share/applications/vantor.desktop share/mime/packages/vantor.xml \
         share/icons/hicolor/scalable/apps/vantor.svg \
         share/icons/hicolor/scalable/mimetypes/application-x-vantor-design.svg \
         share/man/man1/vantor-cli.1.gz; do
    [ -s "$prefix/$f" ] || fail "$f is not installed"
done
[ -x "$prefix/bin/vantor" ] && [ -x "$prefix/bin/vantor-cli" ] || fail "programs are not executable"

# The installed component folder holds what the source folder holds.
want=$(find "$source/Database" -type f | wc -l)
have=$(find "$prefix/share/vantor/Database" -type f | wc -l)
[ "$want" -eq "$have" ] || fail "share/vantor/Database has $have files, the source $want"

# From a working folder without Database the installed one is read.
sets=$(cd "$elsewhere" &&  "$prefix/bin/vantor-cli" database 2>/dev/null | sed -n 's/^S-Parameter-Sätze: //p')
[ "$sets" -gt 0 ] || fail "installed vantor-cli finds no component sets from $elsewhere"

desktop-file-validate "$prefix/share/applications/vantor.desktop" || fail "desktop file refused"
grep -qx 'Exec=vantor %f' "$prefix/share/applications/vantor.desktop" || fail "desktop file: Exec"
grep -qx 'MimeType=application/x-vantor-design;' "$prefix/share/applications/vantor.desktop" || fail "desktop file: MimeType"

mime=$prefix/share/mime/packages/vantor.xml
xmllint --noout "$mime" || fail "MIME file is not well-formed"
q() { xmllint --xpath "string($1)" "$mime"; }
[ "$(q '//*[local-name()="mime-type"]/@type')" = application/x-vantor-design ] || fail "MIME type name"
[ "$(q '//*[local-name()="glob"]/@pattern')" = '*.vnt' ] || fail "MIME glob"
[ "$(q '//*[local-name()="comment"][1]')" = 'Vantor für Windows Datei' ] || fail "MIME comment"

for svg in "$prefix"/share/icons/hicolor/scalable/*/*.svg; do
    xmllint --noout "$svg" || fail "$svg is not well-formed"
done
zcat "$prefix/share/man/man1/vantor-cli.1.gz" | grep -q database || fail "manual page lacks the commands"
# The Debian package holds the same files under /usr and names its needs.
(cd "$build" && cpack -G DEB --config CPackConfig.cmake -B "$packages" >/dev/null)
deb=$(ls "$packages"/vantor_*.deb)
listing=$(dpkg-deb --contents "$deb")
for f in usr/bin/vantor usr/bin/vantor-cli usr/share/vantor/help/index.html usr/share/applications/vantor.desktop \
         usr/share/mime/packages/vantor.xml usr/share/icons/hicolor/scalable/apps/vantor.svg \
         usr/share/man/man1/vantor-cli.1.gz usr/share/vantor/Database/README.md; do
    printf '%s\n' "$listing" | grep -q " ./$f\$" || fail "package lacks /$f"
done
depends=$(dpkg-deb --field "$deb" Depends)
for d in libqt6widgets6 libumfpack5 qt6-qpa-plugins shared-mime-info; do
    printf '%s' "$depends" | grep -q "$d" || fail "package does not depend on $d"
done
echo "install ok: $have component files, $sets sets"
