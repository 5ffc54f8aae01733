#!/usr/bin/env bash
# Browser test of the waveform viewer (viewer/index.html) in headless Chromium.
#   tests/viewer/run.sh
#       makes sample captures with make_sample.mjs (Linux and Windows file formats) under
#       build/viewer-test/ and checks the viewer on each; screenshots go beside them
#   tests/viewer/run.sh CHART_JS CSV OUT_PNG [SINGLE_CHANNEL_CSV...]
#       checks the viewer on the given capture files
#   tests/viewer/run.sh --screen BENCHCOM_SIM BENCHCOM_RUN OUT_DIR
#       captures known signals on the simulated bench and checks the viewer's measurements,
#       zoom, cursors, exports, overlays and file drop (screen_test.mjs)
#   tests/viewer/run.sh --volts OUT_DIR
#       writes a capture as a real instrument makes it (a position on both channels) and checks
#       the volts the viewer finds against values worked out by hand (instrument_volts_test.mjs)
#   tests/viewer/run.sh --hostile OUT_DIR
#       opens hostile chart scripts and addresses and checks that nothing in them runs and that
#       no request leaves the page (hostile_files_test.mjs)
# Installs what is missing first: Chromium and Node.js from Debian's packages, playwright-core
# through npm ci (the version pinned in package-lock.json).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd -P)"
repo="$(cd "$here/../.." && pwd)"

install_packages() {
    local need=()
    [ -x /usr/bin/chromium ] || need+=(chromium)
    command -v node >/dev/null || need+=(nodejs)
    command -v npm >/dev/null || need+=(npm)
    "$repo/tools/scripts/apt-install" ${need[@]+"${need[@]}"}
}

# npm ci only when the pinned playwright-core is not the one installed.
install_modules() {
    local want have
    want="$(node -p "require('$here/package-lock.json').packages['node_modules/playwright-core'].version")"
    have="$(node -p "try { require('$here/node_modules/playwright-core/package.json').version } catch { '' }")"
    [ "$want" = "$have" ] && return
    (cd "$here" && npm ci --no-audit --no-fund)
}

install_packages
install_modules

if [ "${1:-}" = --screen ]; then
    shift
    exec node "$here/screen_test.mjs" "$@"
fi
if [ "${1:-}" = --volts ]; then
    shift
    exec node "$here/instrument_volts_test.mjs" "$@"
fi
if [ "${1:-}" = --hostile ]; then
    shift
    exec node "$here/hostile_files_test.mjs" "$@"
fi
if [ $# -gt 0 ]; then
    exec node "$here/viewer_test.mjs" "$@"
fi

out="$repo/build/viewer-test"
status=0
for format in linux windows; do
    flag=""
    [ "$format" = windows ] && flag=--windows
    node "$here/make_sample.mjs" "$out/$format" $flag
    echo "== viewer on sample captures, $format file format"
    node "$here/viewer_test.mjs" "$out/$format/gbookFtemp.js" "$out/$format/op_scope.csv" "$out/$format.png" \
        "$out/$format/op_scope1.csv" "$out/$format/op_scope2.csv" || status=1
done
exit $status
