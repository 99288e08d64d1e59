#!/bin/sh
# Installs the Debian packages the build needs that are missing, and any named as arguments;
# as a non-root user it prints the command instead.
set -eu
packages="cmake ninja-build g++ pkgconf libfreetype-dev libfontconfig-dev fonts-liberation2 libpng-dev
libjpeg62-turbo-dev libcairo2-dev libgtest-dev libgmock-dev libbenchmark-dev poppler-utils
libsdl2-dev xvfb xdotool x11-apps $*"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" = 0 ]; then
  echo "Installing:$missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends $missing
else
  echo "Missing packages:$missing"
  echo "Install them with: sudo apt-get install -y$missing"
  exit 1
fi
