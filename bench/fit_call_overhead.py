"""The cost of calling varnel.fit from Python on 20 values, beside the analysis it runs.

Runs, in one go on the same machine state: the analysis alone in C++ (varnel_bench's fitCall
benchmarks: the analysis and its JSON text), the extension's own entry point, varnel.fit, and
varnel.fit with one number read from its result (which reads the whole document), each with the
default request and with bounds="none". The call's overhead is varnel.fit less the analysis alone.

    python bench/fit_call_overhead.py BUILD/bench/varnel_bench
"""
import json
import subprocess
import sys
import timeit
from pathlib import Path

import varnel
from varnel import _varnel

# The machine is shared: other work only ever adds time, so the least of many repetitions is the
# steadiest figure of each, in C++ and in Python alike.
REPETITIONS = 15
EXAMPLES = Path(__file__).resolve().parents[1] / "examples"


def analysis_alone(bench_program):
    """Least microseconds per analysis of each fitCall benchmark, by its bounds."""
    done = subprocess.run([bench_program, "--benchmark_filter=^fitCall/", f"--benchmark_repetitions={REPETITIONS}",
                           "--benchmark_min_time=0.05", "--benchmark_format=json"],
                          capture_output=True, text=True, check=True)
    least = {}
    for run in json.loads(done.stdout)["benchmarks"]:
        if run.get("run_type") == "iteration":
            bounds = run["run_name"].split("bounds:")[1].split("/")[0]
            least[bounds] = min(least.get(bounds, float("inf")), run["real_time"])
    return least


def per_call(call):
    """Least microseconds per call over REPETITIONS timings of about 0.2 s each."""
    number, _ = timeit.Timer(call).autorange()
    return min(timeit.repeat(call, number=number, repeat=REPETITIONS)) / number * 1e6


def main():
    times = varnel.read_data(EXAMPLES / "ball_bearings.dat").times[:20].copy()
    alone = analysis_alone(sys.argv[1])
    print(f"{'request':<8} {'analysis alone':>15} {'_varnel._fit':>13} {'varnel.fit':>11} {'overhead':>9}"
          f" {'fit, read m':>12} {'overhead':>9}")
    for bounds in ("both", "none"):
        options = _varnel._FitOptions("both", None, 0.95, [1.0, 10.0], [], bounds, 0, None, 0)
        extension = per_call(lambda: _varnel._fit(times, None, None, None, options))
        python = per_call(lambda: varnel.fit(times, bounds=bounds))
        reading = per_call(lambda: varnel.fit(times, bounds=bounds).two_parameter.m)
        print(f"{bounds:<8} {alone[bounds]:>12.1f} us {extension:>10.1f} us {python:>8.1f} us "
              f"{python - alone[bounds]:>6.1f} us {reading:>9.1f} us {reading - alone[bounds]:>6.1f} us")


if __name__ == "__main__":
    main()
