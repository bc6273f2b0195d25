"""Ctrl-C during varnel.fit: the analysis stops within moments and KeyboardInterrupt is raised, in
the long bounds' searches and in the bootstrap alike; the next fit is unaffected."""
import os
import signal
import threading
import time

import numpy as np
import pytest

import varnel
from conftest import EXAMPLES

# Uninterrupted, either fit takes well over a minute on two threads.
LONG_FITS = {
    "three-parameter bounds": {"b_lives": tuple(range(1, 40)), "bootstrap": 0},
    "bootstrap": {"bounds": "none", "bootstrap": 200},
}


@pytest.mark.parametrize("stage", LONG_FITS)
def test_ctrl_c_cancels_a_long_fit_promptly(stage):
    times = 10 + 100 * np.random.default_rng(7).weibull(1.8, 300_000)
    sent = []

    def interrupt():
        sent.append(time.monotonic())
        os.kill(os.getpid(), signal.SIGINT)

    timer = threading.Timer(1.0, interrupt)
    timer.start()
    try:
        with pytest.raises(KeyboardInterrupt):
            varnel.fit(times, threads=2, **LONG_FITS[stage])
    finally:
        timer.cancel()
    # A refit or a likelihood evaluation of 300,000 values takes a fraction of a second.
    assert sent and time.monotonic() - sent[0] < 5

    path = EXAMPLES / "ball_bearings.dat"
    assert varnel.fit(*varnel.read_data(path)).to_dict() == varnel.fit(*varnel.read_data(path)).to_dict()
