#!/bin/sh
# Compiles the C template by hand with the flags of the installed
# tarvel-component.pc, and lets the installed tarvel-check judge it at quick.
#   build_with_pkg_config.sh PREFIX TEMPLATE_DIR OUTPUT_DIR
set -eu
prefix=$1 source=$2 out=$3
command -v pkg-config >/dev/null 2>&1 || { echo "pkg-config is not installed: skipped"; exit 77; }
mkdir -p "$out"
flags=$(PKG_CONFIG_PATH="$prefix/share/pkgconfig" pkg-config --cflags --libs tarvel-component)
case "$flags" in
*"$prefix/include"*"$prefix/share/tarvel/exports.map"*) ;;
*) echo "pkg-config tarvel-component: $flags (expected -I$prefix/include and $prefix/share/tarvel/exports.map)"; exit 1 ;;
esac
cc -std=c11 -Wall -Wextra -Werror -fPIC -shared -fvisibility=hidden -Wl,-z,defs \
    -o "$out/libmycrypto_pc.so" "$source"/*.c $flags
exported=$(nm -D --defined-only "$out/libmycrypto_pc.so" | awk '{print $3}' | sort | tr '\n' ' ')
if [ "$exported" != "DllCanUnloadNow DllGetClassObject " ]; then
    echo "exported symbols: $exported(expected the two entry points only)"
    exit 1
fi
exec "$prefix/bin/tarvel-check" --level quick --quiet --component "$out/libmycrypto_pc.so"
