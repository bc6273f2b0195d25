#!/usr/bin/env bash
# The installed program: install_test.sh BUILD_DIR EXAMPLES
# Installs the build into a staging folder (DESTDIR) and builds the Debian package, then runs the
# installed program from each on an example and checks the manual page as `man` formats it.
set -u
build=$1
examples=$2
varnel=$build/varnel
. "$(dirname "$0")/../cli/checks.sh"

# installed_program_runs PROGRAM WHERE: the installed copy gives the built program's results exactly.
installed_program_runs() {
    timeout 60 "$1" --json "$examples/ball_bearings.dat" >"$work/installed.json" 2>"$work/installed.err" ||
        fail "$2: the installed varnel failed: $(head -c 300 "$work/installed.err")"
    timeout 60 "$varnel" --json "$examples/ball_bearings.dat" >"$work/built.json" 2>/dev/null
    cmp -s "$work/installed.json" "$work/built.json" || fail "$2: the installed varnel gives other results"
}

# manual_page_reads PAGE WHERE: man formats it without a warning and it has its sections.
manual_page_reads() {
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=w -l "$1" >"$work/man.txt" 2>"$work/man.err" ||
        fail "$2: man -l $1 failed"
    expect_text "$work/man.err" EMPTY "$2: warnings of man -l"
    for section in NAME SYNOPSIS OPTIONS 'DATA FILE' 'EXIT STATUS' EXAMPLES; do
        grep -q "^$section\$" "$work/man.txt" || fail "$2: the manual page lacks the section $section"
    done
    for option in --gamma --rank --initial-m --report --plot --json --time-limit --quiet --mle --life --method \
                  --two-parameter --threads --confidence --b-life --at --bounds --bootstrap --seed; do
        grep -q -- "$option" "$work/man.txt" || fail "$2: the manual page does not describe $option"
    done
}

# copyright_is_machine_readable FILE: the package's terms where Debian looks for them, in the
# machine-readable format: its header, and a Files paragraph with its Copyright and License.
copyright_is_machine_readable() {
    [ -f "$1" ] || { fail "the package has no $1"; return; }
    head -1 "$1" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
        fail "$1 does not start with the machine-readable Format line"
    for field in 'Upstream-Name: varnel' 'Files: \*' 'Copyright: .+' 'License: .+'; do
        grep -qxE "$field" "$1" || fail "$1 lacks a line /$field/"
    done
}

DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 ||
    fail "cmake --install into DESTDIR: $(tail -5 "$work/install.log")"
[ -x "$work/stage/usr/bin/varnel" ] || fail "no /usr/bin/varnel in the staging folder"
installed_program_runs "$work/stage/usr/bin/varnel" DESTDIR
manual_page_reads "$work/stage/usr/share/man/man1/varnel.1.gz" DESTDIR

if (cd "$build" && cpack -G DEB -B "$work/package") >"$work/cpack.log" 2>&1; then
    deb=$(ls "$work"/package/varnel_*.deb 2>/dev/null | head -1)
    if [ -z "$deb" ]; then
        fail "cpack wrote no varnel_*.deb: $(ls "$work/package")"
    else
        dpkg-deb -f "$deb" Depends | grep -q libc6 || fail "the package does not depend on libc6"
        dpkg-deb -x "$deb" "$work/unpacked"
        installed_program_runs "$work/unpacked/usr/bin/varnel" "Debian package"
        manual_page_reads "$work/unpacked/usr/share/man/man1/varnel.1.gz" "Debian package"
        copyright_is_machine_readable "$work/unpacked/usr/share/doc/varnel/copyright"
    fi
else
    fail "cpack -G DEB: $(tail -5 "$work/cpack.log")"
fi

[ "$failures" -eq 0 ] || exit 1
echo "all install checks passed"
