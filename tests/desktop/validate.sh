#!/usr/bin/env bash
# Runs the desktop's own validator over the installed menu entry or metadata. Exit status 77
# (the test is skipped) when the validator is not installed.
#   validate.sh desktop-entry|metainfo PREFIX APP-ID
set -euo pipefail
kind=$1 prefix=$2 id=$3
case $kind in
desktop-entry)
    tool=desktop-file-validate package=desktop-file-utils
    command=(desktop-file-validate "$prefix/share/applications/$id.desktop")
    ;;
metainfo)
    tool=appstreamcli package=appstream
    command=(appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml")
    ;;
esac
if ! command -v "$tool" >/dev/null; then
    echo "$tool is not installed (Debian package $package): the $kind is not validated"
    exit 77
fi
"${command[@]}"
