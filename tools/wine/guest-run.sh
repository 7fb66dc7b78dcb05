#!/bin/sh
# Inside the virtual machine of tools/guest.sh: the suites on the i686
# build, as a machine that runs 32-bit code would run them. The binaries'
# static check needs the cross tools, and the install test this host's
# shell: those ran on the host (label "host").
set -u
top=$(pwd)
export ZORVEX_SANDBOX_TMP=/tmp
echo "guest: $(uname -srm), $(/usr/lib/wine/wine --version), 32-bit Wine"
ctest --test-dir "$top/build/i686" --output-on-failure -LE '^host$'
