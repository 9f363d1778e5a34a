#!/usr/bin/env bash
# Set-up command 1: installs whatever is missing (make and the compiler included),
# builds, and starts the desktop program on the bundled example competition.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps
exec make run
