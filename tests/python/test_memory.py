"""Running out of memory on any of the fit's threads is a MemoryError, never a dead interpreter."""
import subprocess
import sys

# Bootstrap samples of 6.4 billion units cannot be held in 400 MB more than the interpreter has, with
# helper threads at work beside the calling one.
SCRIPT = """
import resource
import varnel
size = next(int(line.split()[1]) for line in open("/proc/self/status") if line.startswith("VmSize:")) * 1024
resource.setrlimit(resource.RLIMIT_AS, (size + (400 << 20), resource.getrlimit(resource.RLIMIT_AS)[1]))
try:
    varnel.fit([10.0, 20.0, 30.0], counts=[2147483647] * 3, bounds="none", bootstrap=20, threads=4)
except MemoryError:
    print("MemoryError")
"""


def test_a_bootstrap_out_of_memory_raises_memory_error():
    for _ in range(3):
        done = subprocess.run([sys.executable, "-c", SCRIPT], capture_output=True, text=True, timeout=100)
        assert (done.returncode, done.stdout) == (0, "MemoryError\n"), done.stderr
