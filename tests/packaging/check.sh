#!/usr/bin/env bash
# Checks the installed layout and the Debian package.
#
#   check.sh icons   ICON_TOOL SOURCE_DIR          committed PNGs == fresh ones
#   check.sh install BUILD_DIR SOURCE_DIR          cmake --install into a temp prefix
#   check.sh deb     BUILD_DIR SOURCE_DIR VERSION  cpack -G DEB into a temp folder,
#                                                  then lintian: no errors
#
# Everything is written under a temporary folder that is removed at the end;
# the build folder is only read (cpack's install step runs from it).
set -euo pipefail

mode=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
need() {
    command -v "$1" >/dev/null || { echo "FAIL: $1 missing (scripts/setup.sh installs it)" >&2; exit 1; }
}

# png_size FILE: prints "WIDTHxHEIGHT" from the IHDR chunk, or nothing when
# FILE does not start with a PNG signature and an IHDR chunk.
png_size() {
    local sig ihdr
    sig=$(od -An -tx1 -N8 "$1" | tr -d ' \n')
    ihdr=$(od -An -c -j12 -N4 "$1" | tr -d ' \n')
    [ "$sig" = 89504e470d0a1a0a ] && [ "$ihdr" = IHDR ] || return 0
    local w h
    w=$(od -An -tu1 -j16 -N4 "$1" | awk '{ print ((($1 * 256 + $2) * 256 + $3) * 256 + $4) }')
    h=$(od -An -tu1 -j20 -N4 "$1" | awk '{ print ((($1 * 256 + $2) * 256 + $3) * 256 + $4) }')
    echo "${w}x${h}"
}

# desktop_field FILE KEY: the value of KEY in the [Desktop Entry] group.
desktop_field() {
    awk -v key="$2" '
        /^\[/ { group = $0; next }
        group == "[Desktop Entry]" && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }
    ' "$1"
}

sizes=(32 128 256)

case $mode in
icons)
    tool=$2 src=$3
    for s in "${sizes[@]}"; do
        "$tool" "$s" "$tmp/$s.png"
        cmp -s "$tmp/$s.png" "$src/data/icons/glimmerdeep-$s.png" ||
            fail "data/icons/glimmerdeep-$s.png differs from the icon in host/icon.cpp;" \
                "regenerate: glimmerdeep-icon-png $s data/icons/glimmerdeep-$s.png"
        [ "$(png_size "$tmp/$s.png")" = "${s}x${s}" ] || fail "$s.png: size $(png_size "$tmp/$s.png")"
    done
    # Bad sizes are refused without writing anything.
    for bad in 0 31 33 2048 x; do
        if "$tool" "$bad" "$tmp/bad.png" 2>/dev/null; then fail "size $bad accepted"; fi
        [ ! -e "$tmp/bad.png" ] || fail "size $bad wrote a file"
    done
    ;;

install)
    build=$2 src=$3
    need desktop-file-validate
    root=$tmp/root
    cmake --install "$build" --prefix "$root" >"$tmp/install.log" || { cat "$tmp/install.log"; exit 1; }

    expected=(games/glimmerdeep share/applications/glimmerdeep.desktop share/man/man6/glimmerdeep.6.gz
              share/doc/glimmerdeep/copyright share/doc/glimmerdeep/changelog.gz
              games/glimmerdeep-term share/man/man6/glimmerdeep-term.6.gz)
    for s in "${sizes[@]}"; do expected+=("share/icons/hicolor/${s}x${s}/apps/glimmerdeep.png"); done
    diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$root" && find . -type f | sed 's|^\./||' | sort) ||
        fail "installed files differ from the list above (< expected, > installed)"

    [ -x "$root/games/glimmerdeep" ] || fail "games/glimmerdeep is not executable"
    cmp -s "$root/games/glimmerdeep" "$build/glimmerdeep" || fail "games/glimmerdeep is not the built program"
    cmp -s "$root/games/glimmerdeep-term" "$build/glimmerdeep-term" ||
        fail "games/glimmerdeep-term is not the built program"
    cmp -s "$root/share/doc/glimmerdeep/copyright" "$src/data/copyright" || fail "copyright differs from data/copyright"
    gzip -dc "$root/share/doc/glimmerdeep/changelog.gz" | cmp -s - "$src/data/changelog" ||
        fail "changelog.gz is not data/changelog"

    entry=$root/share/applications/glimmerdeep.desktop
    out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $out"
    [ -z "$out" ] || fail "desktop-file-validate warns: $out"
    [ "$(desktop_field "$entry" Type)" = Application ] || fail "Type is not Application"
    [ "$(desktop_field "$entry" Name)" = "The Mystery of the Glimmerdeep" ] || fail "Name: $(desktop_field "$entry" Name)"
    exec_line=$(desktop_field "$entry" Exec)
    [ "$exec_line" = glimmerdeep ] || fail "Exec: $exec_line"
    [ -x "$root/games/${exec_line%% *}" ] || fail "Exec names no installed program"
    [ "$(desktop_field "$entry" Terminal)" = false ] || fail "Terminal is not false"
    case ";$(desktop_field "$entry" Categories)" in *";Game;"*) ;; *) fail "Categories lack Game" ;; esac
    icon=$(desktop_field "$entry" Icon)
    [ "$icon" = glimmerdeep ] || fail "Icon: $icon"
    for s in "${sizes[@]}"; do
        f=$root/share/icons/hicolor/${s}x${s}/apps/$icon.png
        [ "$(png_size "$f")" = "${s}x${s}" ] || fail "$f: PNG size '$(png_size "$f")', want ${s}x${s}"
    done

    man=$root/share/man/man6/glimmerdeep.6.gz
    page=$(gzip -dc "$man") || fail "man page is not gzip data"
    grep -q '^\.TH GLIMMERDEEP 6 ' <<<"$page" || fail "man page has no .TH GLIMMERDEEP 6 line"
    grep -q '^glimmerdeep \\- ' <<<"$page" || fail "man page NAME line missing"
    grep -q 'SDL12COMPAT_WINDOW_SCALING=2' <<<"$page" || fail "man page does not tell about window scaling"
    term_page=$(gzip -dc "$root/share/man/man6/glimmerdeep-term.6.gz") || fail "terminal man page is not gzip data"
    grep -q '^\.TH GLIMMERDEEP-TERM 6 ' <<<"$term_page" || fail "terminal man page has no .TH line"
    grep -q 'ssh \\-t host glimmerdeep\\-term' <<<"$term_page" || fail "terminal man page does not tell about SSH"
    if command -v man >/dev/null; then
        for m in "$man" "$root/share/man/man6/glimmerdeep-term.6.gz"; do
            warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$m" 2>&1 >/dev/null) || fail "man failed"
            [ -z "$warnings" ] || fail "man page warnings ($m): $warnings"
        done
    fi
    ;;

deb)
    build=$2 src=$3 version=$4
    need dpkg-deb
    need lintian
    (cd "$tmp" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1) ||
        { cat "$tmp/cpack.log"; exit 1; }
    arch=$(dpkg --print-architecture)
    deb=$tmp/out/glimmerdeep_${version}_${arch}.deb
    [ -f "$deb" ] || { ls "$tmp/out"; fail "no $deb"; exit 1; }

    field() { dpkg-deb -f "$deb" "$1"; }
    [ "$(field Package)" = glimmerdeep ] || fail "Package: $(field Package)"
    [ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
    [ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
    [ "$(field Section)" = games ] || fail "Section: $(field Section)"
    [ -n "$(field Maintainer)" ] || fail "no Maintainer"
    [ -n "$(field Description)" ] || fail "no Description"
    depends=$(field Depends)
    # One dependency per entry, alternatives kept together.
    mapfile -t deps < <(sed 's/, /\n/g' <<<"$depends")
    has_dep() {
        local d
        for d in "${deps[@]}"; do [[ $d == $1 ]] && return 0; done
        return 1
    }
    has_dep 'libsdl1.2-compat-shim | libsdl1.2debian*' ||
        fail "Depends lacks SDL 1.2 (libsdl1.2-compat-shim | libsdl1.2debian): $depends"
    has_dep 'libsdl-ttf2.0-0*' || fail "Depends lacks SDL_ttf 2 (libsdl-ttf2.0-0): $depends"
    has_dep 'libc6 (>= *)' || fail "Depends lacks libc6: $depends"
    has_dep 'libstdc++6*' || fail "Depends lacks libstdc++6: $depends"
    has_dep 'libncursesw6*' || fail "Depends lacks ncursesw (libncursesw6) for glimmerdeep-term: $depends"
    # SDL 1.2 is asked for once only: a second, plain libsdl1.2debian entry
    # would make apt pick the classic library over sdl12-compat.
    [ "$(grep -c 'libsdl1\.2debian' <<<"$(printf '%s\n' "${deps[@]}")")" = 1 ] ||
        fail "SDL 1.2 named more than once: $depends"

    dpkg-deb -c "$deb" | awk '{ print $1, $2, $6 }' >"$tmp/list"
    files=$(awk '$1 !~ /^d/ { print $3 }' "$tmp/list" | sort)
    want=$(printf '%s\n' ./usr/games/glimmerdeep ./usr/share/applications/glimmerdeep.desktop \
        ./usr/share/man/man6/glimmerdeep.6.gz ./usr/share/doc/glimmerdeep/{copyright,changelog.gz} \
        ./usr/games/glimmerdeep-term ./usr/share/man/man6/glimmerdeep-term.6.gz \
        ./usr/share/icons/hicolor/{32x32,128x128,256x256}/apps/glimmerdeep.png | sort)
    [ "$files" = "$want" ] || fail "package files:"$'\n'"$files"$'\n'"want:"$'\n'"$want"
    grep -q '^-rwxr-xr-x root/root \./usr/games/glimmerdeep$' "$tmp/list" ||
        fail "usr/games/glimmerdeep is not root-owned mode 755: $(grep games/glimmerdeep "$tmp/list")"
    grep -q '^-rwxr-xr-x root/root \./usr/games/glimmerdeep-term$' "$tmp/list" ||
        fail "usr/games/glimmerdeep-term is not root-owned mode 755"
    if grep -v '^d' "$tmp/list" | grep -v 'games/glimmerdeep' | grep -qv '^-rw-r--r-- root/root '; then
        fail "data files not root-owned mode 644"
    fi

    # The packaged files are the installed ones: same launcher entry and icons.
    mkdir "$tmp/x"
    dpkg-deb -x "$deb" "$tmp/x"
    cmp -s "$tmp/x/usr/share/applications/glimmerdeep.desktop" "$src/data/glimmerdeep.desktop" ||
        fail "packaged launcher entry differs from data/glimmerdeep.desktop"
    for s in "${sizes[@]}"; do
        cmp -s "$tmp/x/usr/share/icons/hicolor/${s}x${s}/apps/glimmerdeep.png" \
            "$src/data/icons/glimmerdeep-$s.png" || fail "packaged ${s}x${s} icon differs"
    done
    # The changelog's newest entry is this version.
    top=$(gzip -dc "$tmp/x/usr/share/doc/glimmerdeep/changelog.gz" | head -n 1)
    [ "$top" = "glimmerdeep ($version) unstable; urgency=medium" ] ||
        fail "data/changelog's newest entry is not version $version: $top"

    # Debian's package checker: no errors (warnings are printed).
    status=0
    lintian --no-tag-display-limit "$deb" >"$tmp/lintian.log" 2>&1 || status=$?
    grep -v 'running with root privileges' "$tmp/lintian.log" || true
    if grep -q '^E: ' "$tmp/lintian.log"; then
        fail "lintian reports errors"
    elif [ "$status" -ne 0 ]; then
        fail "lintian failed (status $status)"
    fi
    ;;
*)
    echo "usage: $0 icons|install|deb ..." >&2
    exit 2
    ;;
esac

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "packaging $mode: all checks passed"
