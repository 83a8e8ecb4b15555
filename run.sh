#!/usr/bin/env bash
# Installs what is missing, builds, prepares cddata.mdb and dbBak/ beside the program, starts Vorix.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
setup_vorix build
exec build/vorix
