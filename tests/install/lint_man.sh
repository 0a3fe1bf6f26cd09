#!/bin/sh
# Renders each manual page as man(1) would and fails on any warning.
command -v groff >/dev/null 2>&1 || { echo "groff is not installed: skipped"; exit 77; }
status=0
for page in "$@"; do
    [ -f "$page" ] || { echo "$page: missing"; status=1; continue; }
    warnings=$(groff -ww -man -z "$page" 2>&1)
    if [ -n "$warnings" ]; then
        printf '%s:\n%s\n' "$page" "$warnings"
        status=1
    fi
done
exit $status
