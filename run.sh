#!/usr/bin/env bash
# Installs what is missing, builds the program and its two tools (not the tests), prepares cddata.mdb
# and dbBak/ beside the program, starts Vorix.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
VORIX_TARGETS=(vorix vorix-initdb vorix-restore vorix-migrate prepare_shop)
setup_vorix build
exec build/vorix
