#!/usr/bin/env bash
# Set-up command 2: installs whatever is missing, builds, and runs every test suite,
# the desktop program's GUI suites included (offscreen, no display needed).
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps
exec make test
