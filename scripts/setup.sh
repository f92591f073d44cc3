#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need (only those missing).
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
vux_setup
