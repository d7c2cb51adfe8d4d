#!/bin/sh
# Builds the page, its faults page and the site from the sources as they are
# now, in the browser build (configured first where it has not been), so that
# the browser tests never open a page older than its sources. Nothing to do
# is one pass of ninja. Usage: web_build.sh SOURCE_DIR CMAKE
set -eu
cd "$1"
cmake=$2
[ -f build/web/build.ninja ] || "$cmake" --preset web
exec "$cmake" --build --preset web --target springlattice_page springlattice_faults_page springlattice_site
