#!/usr/bin/env bash
# The Debian package as a user gets it: made by cpack from the build tree,
# unpacked into a scratch root, and the installed programs and manual pages
# run from there.
#   tests/package/deb_test.sh BUILD_DIR VERSION
set -uo pipefail
tests="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "$1" && pwd)"
version="$2"
work="$(mktemp -d /tmp/benchcom-deb-XXXXXX)"
trap 'rm -rf "$work"' EXIT
cd "$work"
. "$tests/support/checks.sh"
has() { grep -qE -- "$2" "$1"; }

(cd "$build" && cpack -G DEB -B "$work/out") > cpack.txt 2>&1
check "cpack makes the package" test $? -eq 0
deb="$(ls out/benchcom_"$version"_*.deb 2> /dev/null)"
if [ ! -f "$deb" ]; then
    cat cpack.txt
    check "cpack names the package benchcom_${version}_ARCH.deb" false
    finish package
    exit
fi

dpkg-deb -f "$deb" > control.txt
check "the package's name and version" has control.txt "^Package: benchcom$"
check "the package's version is the project's" has control.txt "^Version: $version$"
# Versioned, as dpkg-shlibdeps writes them from the programs' libraries.
check "dependencies computed from the programs" \
    has control.txt '^Depends: .*libc6 \(>= [0-9.]+\).*libstdc\+\+6 \(>= [0-9.]+\)'
check "apt can install it here" bash -c "apt-get -s install '$PWD/$deb' 2>&1 | grep -q '^Inst benchcom '"

dpkg-deb -c "$deb" | awk '{print $6}' > contents.txt
check "everything installs under /usr" test -z "$(grep -v '^\./usr/' contents.txt)"
dpkg-deb -x "$deb" root
for f in bin/benchcom bin/benchcom-run bin/benchcom-sim bin/benchcom-bench \
    share/man/man1/benchcom.1.gz share/man/man1/benchcom-run.1.gz share/man/man1/benchcom-sim.1.gz \
    share/benchcom/viewer/index.html share/doc/benchcom/README.md share/bash-completion/completions/benchcom-run; do
    check "installs /usr/$f" test -s "root/usr/$f"
done

bin="$work/root/usr/bin"
for program in benchcom-run benchcom-sim benchcom-bench; do
    "$bin/$program" --version > version.txt
    check "$program --version names the version" \
        has version.txt "^$program $version( \(git [^()]+\))?$"
done
# A routine from the installed programs on the simulated bench.
BENCHCOM_PORT=sim "$bin/benchcom-run" issVersion > routine.txt 2> /dev/null
check "the installed benchcom-run runs a routine" has routine.txt "^ISS:5A-01:ver: 07 05 40 $"

# The installed bash completion, in a real bash: a routine's name completed.
bash --norc -c "source root/usr/share/bash-completion/completions/benchcom-run; COMP_WORDS=(benchcom-run issSer)
    COMP_CWORD=1; _benchcom_run; printf '%s\n' \"\${COMPREPLY[@]}\"" > completion.txt
check "the installed bash completion completes a routine's name" has completion.txt "^issSerialNumber$"

# Each page renders without a warning from groff or man.
for page in benchcom benchcom-run benchcom-sim; do
    MANWIDTH=80 man --warnings -l "root/usr/share/man/man1/$page.1.gz" > page.txt 2> warnings.txt
    check "man -l $page.1.gz renders" has page.txt "^NAME"
    check "$page.1.gz renders without warnings" test ! -s warnings.txt
    [ -s warnings.txt ] && cat warnings.txt
done

finish package
