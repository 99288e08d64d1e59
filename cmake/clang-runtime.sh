#!/bin/sh
# Prints the Debian package of the sanitizer and libFuzzer runtime that matches the installed clang,
# whatever its version.
set -eu
major=$(clang -dumpversion | cut -d. -f1)
echo "libclang-rt-$major-dev"
