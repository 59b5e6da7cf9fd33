#!/usr/bin/env bash
# The wheel of the build installed into a fresh venv (with Debian's numpy,
# pandas and pytest from the system's site-packages) and the Python tests run
# there against the installed package, not the build tree.
#     run_in_venv.sh PYTHON DIST_DIR TESTS_DIR
set -euo pipefail
python=$1 dist=$2 tests=$3
wheel=$(ls "$dist"/telmor-*.whl)
venv=$(mktemp -d)
trap 'rm -rf "$venv"' EXIT
"$python" -m venv --system-site-packages "$venv"
"$venv/bin/python" -m pip install --quiet --no-index --no-deps "$wheel"
unset PYTHONPATH
cd "$venv"
"$venv/bin/python" -c "import telmor, sys; sys.exit(0 if telmor.__file__.startswith('$venv') else 'not the installed telmor: ' + telmor.__file__)"
exec "$venv/bin/python" -m pytest -q -p no:cacheprovider "$tests"
