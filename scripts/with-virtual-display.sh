#!/usr/bin/env bash
# Runs a command on a virtual display of its own (1280 x 1024, 24 bits) and
# stops the display after it; exits with the command's status.
#
# Usage: with-virtual-display.sh <command> [arguments...]
set -euo pipefail

source "$(dirname "$0")/virtual-display.sh"

start_virtual_display -screen 0 1280x1024x24
trap stop_virtual_display EXIT
"$@"
