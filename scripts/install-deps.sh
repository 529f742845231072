#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, run and test the editor.
set -euo pipefail

packages=(
    cmake make g++ pkg-config
    juce-modules-source            # JUCE 7.0.5 modules, CMake config and juceaide
    xvfb fonts-dejavu-core         # a virtual display, and fonts so text shows at all
    libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev       # the fuzz target (libFuzzer)
    xdotool imagemagick            # driving and photographing the real window
    openssl ca-certificates        # the test CAs of the local HTTPS firmware servers (python3 below)
    x11-utils                      # xwininfo, xprop: window sizes and titles
    openbox icewm                  # window managers the smoke tests start the editor under (openbox in CI)
    llvm                           # llvm-symbolizer: readable sanitizer reports
    python3                        # the smoke test reads the settings file it left; the firmware servers
    qemu-system-x86                # tests/vm: a small machine with a real ALSA sequencer (no /dev/snd here)
    linux-image-amd64              # tests/vm: the machine's kernel and its sound and 9p modules
    busybox-static                 # tests/vm: the machine's initramfs (shell, insmod, mount, cpio)
    xz-utils                       # tests/vm: unpacking the kernel beforehand halves the emulated boot
    libasound2-dev                 # alsa-lib for the simulated unit in the sequencer (juce-modules-source pulls it too)
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
