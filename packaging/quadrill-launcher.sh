#!/bin/sh
# Starts Quadrill from the folder it was unpacked in, where its textures are,
# whatever folder it is started from.
here=$(dirname "$(readlink -f "$0")") || exit 1
cd "$here" || exit 1
exec "$here/bin/quadrill" "$@"
