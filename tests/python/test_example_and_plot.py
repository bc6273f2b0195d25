"""varnel.plot and the notebook-style example, headless."""
import json
import os
import subprocess
import sys

import numpy as np
import pytest

import varnel
from conftest import EXAMPLES


def test_importing_the_package_does_not_import_matplotlib():
    done = subprocess.run([sys.executable, "-c", "import sys, varnel; print('matplotlib' in sys.modules)"],
                          capture_output=True, text=True, check=True)
    assert done.stdout.strip() == "False"


def test_the_plot_draws_the_failures_and_the_fitted_models():
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    figure, ax = plt.subplots()
    fit = varnel.fit(*varnel.read_data(EXAMPLES / "ovarian_suspensions.dat"))
    assert varnel.plot(fit, ax=ax) is ax
    points, line = ax.lines[0], ax.lines[1]
    # 12 deaths among 26 patients: 12 points, the suspensions only move them.
    assert len(points.get_xdata()) == 12
    x = np.asarray(line.get_xdata())
    assert np.allclose(line.get_ydata(), fit.two_parameter.m * np.log(x / fit.two_parameter.eta))
    assert ax.get_legend_handles_labels()[1][2] == "likelihood-ratio band, 95%"
    plt.close(figure)
    with pytest.raises(TypeError, match="plot takes the result of varnel.fit"):
        varnel.plot(fit.to_dict())


def test_without_a_two_parameter_estimate_the_plot_draws_what_exists():
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    # A fit whose two-parameter search did not converge, as the command line writes it: nulls and a status.
    fit = varnel.fit(*varnel.read_data(EXAMPLES / "ball_bearings.dat"))
    document = fit.to_dict()
    document["twoParameter"] = {key: None for key in ("m", "eta", "gamma", "t0", "logLikelihood")}
    document["twoParameter"]["status"] = "not converged"
    unconverged = varnel.Fit(json.dumps(document), fit.records)

    figure, ax = plt.subplots()
    assert varnel.plot(unconverged, ax=ax) is ax
    labels = ax.get_legend_handles_labels()[1]
    assert labels[0] == "failures (adjusted ranks)" and labels[1].startswith("three parameters")
    assert len(labels) == 2
    # The failures at their own times, since there is no location to shift them by.
    assert np.array_equal(ax.lines[0].get_xdata(), np.sort(fit.records.times))
    assert ax.get_xlabel() == "t"
    plt.close(figure)


def test_a_rank_regression_draws_its_own_line_and_no_band():
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    figure, ax = plt.subplots()
    fit = varnel.fit(*varnel.read_data(EXAMPLES / "ball_bearings.dat"), method="rry")
    varnel.plot(fit, ax=ax)
    line = ax.lines[1]
    x = np.asarray(line.get_xdata())
    assert np.allclose(line.get_ydata(), fit.two_parameter.m * np.log(x / fit.two_parameter.eta))
    labels = ax.get_legend_handles_labels()[1]
    assert labels[1].startswith("two parameters (rank regression on Y): m = 2.181")
    assert not any("band" in label for label in labels)
    plt.close(figure)


def test_the_notebook_example_runs_headless(tmp_path):
    figure = tmp_path / "seals.png"
    done = subprocess.run([sys.executable, str(EXAMPLES / "pump_seals_notebook.py"), str(figure)],
                          capture_output=True, text=True, timeout=300, env={**os.environ, "MPLBACKEND": "Agg"})
    assert done.returncode == 0, done.stderr
    assert [line.split()[0] for line in done.stdout.splitlines()[1:]] == ["P-1001", "P-1002", "P-2040"]
    assert figure.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
