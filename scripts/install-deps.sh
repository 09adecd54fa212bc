#!/usr/bin/env bash
# Installs the Debian packages needed to build, run and test Orvell.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends \
    build-essential cmake ninja-build pkg-config \
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev \
    librtmidi-dev libasound2-dev libjack-jackd2-dev jackd2 \
    libsdl2-dev \
    libfluidsynth-dev libfluidsynth3 timgm6mb-soundfont \
    desktop-file-utils appstream libxml2-utils \
    libgtest-dev libgmock-dev libbenchmark-dev \
    xvfb xauth fonts-dejavu-core
