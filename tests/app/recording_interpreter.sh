#!/bin/sh
# Test stand-in for the command interpreter: records the command line it was
# given (one line per run) in $ZORVANE_COMSPEC_LOG, prints it, and ends.
printf '%s\n' "$*" >> "$ZORVANE_COMSPEC_LOG"
echo "ran $*"
