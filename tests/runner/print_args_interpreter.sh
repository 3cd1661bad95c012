#!/bin/sh
# Test stand-in for the command interpreter that only shows how it was started:
# its own path, then each argument in brackets, one a line.
printf '%s\n' "$0"
for arg in "$@"; do
  printf '[%s]\n' "$arg"
done
