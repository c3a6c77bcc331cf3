"""What the comparison benchmarks share: one command timed, its output thrown away."""
import subprocess
import time

def timed(cmd, env=None):
    """Wall seconds of one run of `cmd`; a failing run ends the benchmark with its message."""
    begin = time.perf_counter()
    result = subprocess.run(cmd, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    elapsed = time.perf_counter() - begin
    if result.returncode != 0:
        raise SystemExit("%s failed (%d): %s" % (cmd, result.returncode, result.stderr[-500:]))
    return elapsed
