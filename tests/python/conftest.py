"""Shared by the tests of the Python package: the repository's examples and the command-line
program they are compared with (VARNEL_PROGRAM, default build/varnel)."""
import json
import os
import subprocess
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parents[2]
EXAMPLES = ROOT / "examples"


@pytest.fixture(scope="session")
def varnel_json():
    """Runs the command-line program with --json and returns its document."""
    program = Path(os.environ.get("VARNEL_PROGRAM", ROOT / "build" / "varnel"))
    if not program.exists():
        pytest.fail(f"the command-line program {program} is not built")

    def run(*arguments):
        done = subprocess.run([str(program), "-q", "--json", *map(str, arguments)], capture_output=True,
                              text=True, timeout=120)
        if not done.stdout:
            pytest.fail(f"varnel {' '.join(map(str, arguments))} failed: {done.stderr}")
        return json.loads(done.stdout)

    return run
