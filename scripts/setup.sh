#!/usr/bin/env bash
# Installs the Debian packages the project needs to build, test and run its
# demo. Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev
  unixodbc unixodbc-dev odbc-postgresql
  postgresql postgresql-client
  libpam0g-dev
  libsystemd-dev systemd
  qt6-base-dev
  xvfb trayer x11-utils
  libcurl4-openssl-dev
  python3 python3-aiosmtpd openssl
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
