#!/bin/sh
# Runs a validator, or skips the test (exit 77) where it is not installed.
command -v "$1" >/dev/null 2>&1 || { echo "$1 is not installed: skipped"; exit 77; }
exec "$@"
