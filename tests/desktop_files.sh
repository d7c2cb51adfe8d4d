#!/bin/sh
# The installed tree and the .deb. Usage: desktop_files.sh CHECK BUILD_DIR TREE APP_ID [CONFIG]
#   install   installs the build into TREE, stripped as the package is
#   tree      TREE holds the program, its menu entry, metainfo, icons and copyright
#             file, nothing else; the entry's commands start the program; the
#             copyright file states the metainfo's licences
#   entry     desktop-file-validate has nothing to say about the desktop entry
#   metainfo  the metainfo passes appstreamcli validate, alone and with the tree,
#             with no error, warning or remark
#   manual    the manual page renders without a warning and names the options
#             and the environment
#   versions  the program's --version, the changelog's newest entry, the
#             metainfo's newest release and the manual page name one version
#   package   cpack builds a .deb that carries TREE and depends on Qt's runtime;
#             it is left at TREE.deb
#   lintian   lintian --pedantic, experimental tags and all, has nothing to say
#             about TREE.deb
# CMAKE and CPACK name the tools (default: from PATH).
set -u
check=$1 build=$2 tree=$3 id=${4:-} config=${5:-Release}
cmake=${CMAKE:-cmake}
cpack=${CPACK:-cpack}
skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }
need() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed (make test installs it)"
    done
}

entry=share/applications/$id.desktop
metainfo=share/metainfo/$id.metainfo.xml
copyright=share/doc/springlattice/copyright
changelog=share/doc/springlattice/changelog.gz
manual=share/man/man1/springlattice.1.gz
expected_files() {
    printf '%s\n' bin/springlattice "$entry" "$metainfo" "$copyright" "$changelog" "$manual" \
        "share/icons/hicolor/scalable/apps/$id.svg" \
        "share/icons/hicolor/48x48/apps/$id.png" \
        "share/icons/hicolor/256x256/apps/$id.png" | sort
}
files_under() { (cd "$1" && find . ! -type d | sed 's|^\./||' | sort); }
# Width x height from a PNG's header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }'; }
# A key of the entry's main group, [Desktop Entry], not of its actions.
key() { sed -n "/^\[Desktop Entry\]/,/^\[/ s/^$1=//p" "$tree/$entry"; }
# The version of the metainfo's newest release, the first listed.
newest_release() { sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$tree/$metainfo" | head -n 1; }
# The text of an element of the metainfo.
element() { sed -n "s|.*<$1>\(.*\)</$1>.*|\1|p" "$tree/$metainfo"; }
# The licence of the copyright file's paragraph for the files named.
licence_of() {
    awk -v files="$1" '/^Files: / { f = substr($0, 8) } /^License: / && f == files { print substr($0, 10); exit }' \
        "$tree/$copyright"
}

case $check in
install)
    rm -rf "$tree"
    "$cmake" --install "$build" --prefix "$tree" --config "$config" --strip || fail "cmake --install failed"
    ;;

tree)
    files_under "$tree" >"$tree.actual"
    expected_files | diff -u - "$tree.actual" || fail "the installed files differ from the list above"
    [ -x "$tree/bin/springlattice" ] || fail "bin/springlattice is not executable"
    for size in 48 256; do
        png=$tree/share/icons/hicolor/${size}x$size/apps/$id.png
        [ "$(od -An -tx1 -N8 "$png" | tr -d ' ')" = 89504e470d0a1a0a ] || fail "$png is not a PNG"
        [ "$(png_size "$png")" = "${size}x$size" ] || fail "$png is $(png_size "$png"), not ${size}x$size"
    done
    [ "$(key Name)" = "Spring Lattice" ] || fail "the entry's Name is '$(key Name)'"
    # The entry's command and each of its actions' start the installed
    # program with a command line it takes: it is still running a second on.
    sed -n 's/^Exec=//p' "$tree/$entry" >"$tree.commands"
    [ "$(wc -l <"$tree.commands")" -ge 2 ] || fail "the entry has no action"
    while read -r program arguments; do
        [ -x "$tree/bin/$program" ] || fail "the entry runs '$program', which is not installed in bin/"
        # shellcheck disable=SC2086 # the arguments as the menu splits them
        QT_QPA_PLATFORM=offscreen timeout 1 "$tree/bin/$program" $arguments >"$tree.log" 2>&1
        status=$?
        [ "$status" -eq 124 ] || fail "'$program $arguments' ended with status $status: $(cat "$tree.log")"
    done <"$tree.commands"
    [ "$(key Icon)" = "$id" ] || fail "the entry's icon is '$(key Icon)', not $id"
    grep -q "<id>$id</id>" "$tree/$metainfo" || fail "the metainfo's id is not $id"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$tree/$metainfo" \
        || fail "the metainfo does not launch $id.desktop"
    # Debian's machine-readable format: fields, continuation lines and blank
    # lines between paragraphs; the licences those of the metainfo.
    [ "$(head -n 1 "$tree/$copyright")" = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] \
        || fail "$copyright is not in the machine-readable format"
    grep -nvE '^([A-Za-z-]+: .+| .+|)$' "$tree/$copyright" && fail "$copyright has the lines above out of format"
    [ "$(licence_of '*')" = "$(element project_license)" ] \
        || fail "$copyright gives '$(licence_of '*')' for the program, the metainfo '$(element project_license)'"
    [ "$(licence_of "desktop/$id.metainfo.xml")" = "$(element metadata_license)" ] \
        || fail "$copyright gives '$(licence_of "desktop/$id.metainfo.xml")' for the metainfo, which says '$(element metadata_license)'"
    echo "installed tree: $(wc -l <"$tree.actual") files as expected"
    ;;

entry)
    need desktop-file-validate
    out=$(desktop-file-validate "$tree/$entry" 2>&1) || fail "desktop-file-validate: $out"
    # Not even a hint.
    [ -z "$out" ] || fail "desktop-file-validate: $out"
    echo "desktop entry valid"
    ;;

metainfo)
    need appstreamcli
    out=$(appstreamcli validate --no-net "$tree/$metainfo" 2>&1) || fail "appstreamcli validate: $out"
    echo "$out"
    # Errors, warnings and infos are reported; pedantic notes only counted.
    echo "$out" | grep -E '^[EWI]: |(errors|warnings|infos): [0-9]' >/dev/null \
        && fail "appstreamcli validate reports the above"
    # The tree as a whole: the launchable entry and the icon are where the
    # metainfo says.
    appstreamcli validate-tree --no-net "$tree" || fail "appstreamcli validate-tree"
    ;;

manual)
    need man
    rendered=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$tree/$manual" 2>"$tree.warnings") \
        || fail "man -l $manual failed: $(cat "$tree.warnings")"
    [ -s "$tree.warnings" ] && fail "man --warnings: $(cat "$tree.warnings")"
    for section in NAME SYNOPSIS DESCRIPTION OPTIONS ENVIRONMENT "EXIT STATUS" "SEE ALSO"; do
        echo "$rendered" | grep -qx "$section" || fail "the manual page has no $section section"
    done
    for named in --steps-per-second --help --version QT_QPA_PLATFORM DISPLAY WAYLAND_DISPLAY; do
        echo "$rendered" | grep -q -- "$named" || fail "the manual page does not name $named"
    done
    echo "manual page: $(echo "$rendered" | wc -l) lines, no warning"
    ;;

versions)
    need dpkg-parsechangelog
    program=$("$tree/bin/springlattice" --version) || fail "springlattice --version failed"
    version=${program#springlattice }
    gzip -dc "$tree/$changelog" >"$tree.changelog" || fail "$changelog is not gzip"
    changes=$(dpkg-parsechangelog -l "$tree.changelog" -S Version) || fail "dpkg-parsechangelog cannot read $changelog"
    released=$(newest_release)
    paged=$(gzip -dc "$tree/$manual" | sed -n 's/^\.TH .*"springlattice \([^"]*\)".*/\1/p')
    echo "--version: $version; changelog: $changes; metainfo: $released; manual page: $paged"
    [ "$program" = "springlattice $version" ] && [ -n "$version" ] || fail "--version printed '$program'"
    [ "$changes" = "$version" ] && [ "$released" = "$version" ] && [ "$paged" = "$version" ] \
        || fail "the versions differ"
    ;;

package)
    need dpkg-deb dpkg-shlibdeps file
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    "$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 \
        || fail "cpack: $(cat "$work/cpack.log")"
    set -- "$work"/*.deb
    [ $# -eq 1 ] && [ -f "$1" ] || fail "cpack made no single .deb: $(ls "$work")"
    deb=$1
    echo "$(basename "$deb")"
    dpkg-deb -x "$deb" "$work/root" || fail "dpkg-deb -x $deb"
    files_under "$work/root/usr" >"$work/packaged"
    files_under "$tree" | diff -u - "$work/packaged" || fail "the package's files under /usr differ from the installed tree"
    while read -r file; do
        cmp -s "$tree/$file" "$work/root/usr/$file" || fail "$file in the package differs from the installed one"
    done <"$work/packaged"

    depends=$(dpkg-deb -f "$deb" Depends)
    echo "Depends: $depends"
    for lib in libc6 libqt6core6 libqt6gui6 libqt6widgets6; do
        echo "$depends" | tr ',' '\n' | grep -Eq "^ *$lib( |\$)" || fail "the package does not depend on $lib"
    done
    echo "$depends" | tr ',' '\n' | grep -E -- '-dev( |$)|gtest|gmock|benchmark' \
        && fail "the package depends on build tools"
    recommends=$(dpkg-deb -f "$deb" Recommends)
    echo "Recommends: $recommends"
    echo "$recommends" | tr ',' '\n' | grep -Eq "^ *qt6-wayland( |\$)" || fail "the package does not recommend qt6-wayland"
    version=$(dpkg-deb -f "$deb" Version)
    released=$(newest_release)
    [ "$version" = "$released" ] \
        || fail "the package is version $version but the metainfo's newest release is '$released'"
    cp "$deb" "$tree.deb"
    ;;

lintian)
    need lintian
    [ -f "$tree.deb" ] || fail "no package at $tree.deb: Desktop.PackageCarriesTree makes it"
    # As root lintian adds a line of advice on standard error, not a tag.
    lintian -I -E --pedantic "$tree.deb" >"$tree.lintian" 2>"$tree.lintian-err" \
        || fail "lintian failed: $(cat "$tree.lintian" "$tree.lintian-err")"
    grep -v '^running with root privileges is not recommended!$' "$tree.lintian-err" >>"$tree.lintian"
    [ -s "$tree.lintian" ] && fail "lintian -I -E --pedantic: $(cat "$tree.lintian")"
    echo "lintian -I -E --pedantic: no tag"
    ;;

*)
    fail "unknown check '$check'"
    ;;
esac
