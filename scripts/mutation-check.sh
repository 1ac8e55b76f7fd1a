#!/usr/bin/env bash
# Mutation check, run by hand: plants each fault of scripts/mutations.txt in a scratch copy of
# the tree, builds it, runs the tests and reports which faults they caught. Options: --help.
set -euo pipefail
exec python3 "$(dirname "$0")/mutation_check.py" "$@"
