#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Validates the desktop files, installs the build into a temporary prefix and runs the installed
# command-line program on the example file.
#   packaging/check.sh CMAKE BUILD_DIR SOURCE_DIR
set -euo pipefail
cmake_bin=$1 build=$2 source=$3
desktop-file-validate "$source/packaging/io.kivspc.Kivspc.desktop"
appstreamcli validate --no-net --pedantic "$source/packaging/io.kivspc.Kivspc.metainfo.xml"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
"$cmake_bin" --install "$build" --prefix "$prefix" > /dev/null
for f in bin/kivspc bin/kivspc-cli share/applications/io.kivspc.Kivspc.desktop \
    share/metainfo/io.kivspc.Kivspc.metainfo.xml share/mime/packages/io.kivspc.Kivspc.xml \
    share/icons/hicolor/scalable/apps/io.kivspc.Kivspc.svg; do
    [ -e "$prefix/$f" ] || { echo "not installed: $f" >&2; exit 1; }
done
QT_QPA_PLATFORM=offscreen "$prefix/bin/kivspc-cli" capability "$source/examples/bearing-diameters.kivs" \
    --measures 3 --distribution normal 2> /dev/null | grep -q "^Cpk	"
echo "packaging: valid, installed and run"
