#!/usr/bin/env bash
# Makes the Debian package in a folder of its own and checks it without installing it: the files
# it holds, its control fields (with the dependencies dpkg-shlibdeps found), its AppStream
# metainfo, its desktop entry and show file type, and that both programs it carries tell their version.
#   check_package.sh BUILD-DIR SOURCE-DIR VERSION APP-ID
set -euo pipefail
build=$1 source=$2 version=$3 app_id=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail cpack; }
deb="$work/out/kavrel_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $(basename "$deb") among: $(ls "$work/out")"

{
    printf '%s\n' /usr/bin/kavrel /usr/bin/kavrel-render /usr/share/applications/kavrel.desktop \
        /usr/share/icons/hicolor/scalable/apps/kavrel.svg "/usr/share/metainfo/$app_id.metainfo.xml" \
        /usr/share/mime/packages/kavrel.xml /usr/share/icons/hicolor/scalable/mimetypes/application-x-kavrel-show.svg \
        /usr/share/man/man1/kavrel.1.gz /usr/share/man/man1/kavrel-render.1.gz \
        /usr/share/doc/kavrel/copyright /usr/share/doc/kavrel/changelog.gz /usr/share/kavrel/blank.wav
    (cd "$source" && find help -type f -printf '/usr/share/kavrel/%p\n')
    (cd "$source" && find language -maxdepth 1 -name '*.ini' -printf '/usr/share/kavrel/%p\n')
} | sort >"$work/expected"
dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\./|/|' | grep -v '/$' | sort >"$work/held"
diff -u "$work/expected" "$work/held" || fail "the package's files differ from the list above (- missing, + unexpected)"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = kavrel ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
for library in libc6 libqt6widgets6 libqt6multimedia6 libavcodec libavformat libswscale libqt6svg6 libpng16 libjpeg62-turbo libpango-1.0-0 libpangocairo-1.0-0 libcairo2 libebur128-1 libaubio5 libdlib19.1 \
               fonts-noto-core fonts-noto-cjk fonts-noto-color-emoji; do
    field Depends | grep -q "$library" || fail "Depends lacks $library: $(field Depends)"
done
if field Depends | grep -q -- '-dev\b'; then fail "Depends names a development package: $(field Depends)"; fi

dpkg-deb -x "$deb" "$work/root"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/$app_id.metainfo.xml" || fail "metainfo"

# The desktop entry takes files and offers itself for the show type and the photo and music types.
entry="$work/root/usr/share/applications/kavrel.desktop"
desktop-file-validate "$entry" || fail "the desktop entry"
grep -qx 'Exec=kavrel %F' "$entry" || fail "the desktop entry passes no files: $(grep ^Exec= "$entry")"
for type in application/x-kavrel-show image/jpeg image/heif audio/mpeg audio/flac; do
    grep -q "^MimeType=.*$type;" "$entry" || fail "the desktop entry does not take $type"
done
# The show type, installed into a MIME database of its own beside the system's, names a show file
# by its name and, without one, by its first bytes.
mime="$work/root/usr/share/mime"
xmllint --noout "$mime/packages/kavrel.xml" || fail "the MIME type's XML"
cp /usr/share/mime/packages/freedesktop.org.xml "$mime/packages/"
update-mime-database "$mime" || fail "update-mime-database"
printf '{\n    "type": "kavrel-show",\n    "version": 1\n}\n' >"$work/holiday.kavrel"
cp "$work/holiday.kavrel" "$work/holiday"
for show in "$work/holiday.kavrel" "$work/holiday"; do
    type=$(XDG_DATA_HOME="$work/none" XDG_DATA_DIRS="$work/root/usr/share" gio info -a standard::content-type "$show" |
           sed -n 's/^ *standard::content-type: //p')
    [ "$type" = application/x-kavrel-show ] || fail "$(basename "$show") is taken for $type"
done
for program in kavrel kavrel-render; do
    said=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$work/root/usr/bin/$program" --version)
    [ "$said" = "$program $version" ] || fail "$program --version said: $said"
done
echo "kavrel_${version}: $(wc -l <"$work/held") files, Depends: $(field Depends)"
