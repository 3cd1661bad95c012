#!/bin/sh
# Test stand-in for the command interpreter, for runner tests that do not need
# zcmd: takes "/c" and a command line, drops the pair of double quotes around
# the line as the Windows interpreter does, and runs the rest with /bin/sh.
if [ "$1" != "/c" ]; then
  echo "fake_interpreter: expected /c" >&2
  exit 2
fi
shift
line="$*"
case $line in
  \"*\") line=${line#\"}; line=${line%\"} ;;
esac
exec /bin/sh -c "$line"
