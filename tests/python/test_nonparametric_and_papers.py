"""The non-parametric estimate and the probability papers of the Python package, against the
command line, and the plot's curves, steps and straight lines."""
import numpy as np
import pytest

import varnel
from conftest import EXAMPLES


def test_nonparametric_is_the_command_lines(varnel_json):
    for name in ("ovarian_suspensions.dat", "salinity_intervals.dat"):
        path = EXAMPLES / name
        result = varnel.fit(*varnel.read_data(path), nonparametric=True, confidence=0.9)
        expected = varnel_json("--life", "--nonparametric", "--confidence", 0.9, path)
        assert result.to_dict() == expected
    assert "nonParametric" not in varnel.fit(*varnel.read_data(EXAMPLES / "ovarian_suspensions.dat"))
    with pytest.raises(TypeError, match="nonparametric must be True or False"):
        varnel.fit([1.0, 2.0, 3.0], nonparametric="yes")


def _axis():
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    return plt.subplots()


def test_each_paper_draws_the_steps_and_its_own_family_straight():
    import matplotlib.pyplot as plt

    result = varnel.fit(*varnel.read_data(EXAMPLES / "salinity_intervals.dat"),
                        distributions=("weibull2", "lognormal2", "normal", "exponential1"))
    assert result.non_parametric.method == "turnbull"
    own = {"weibull": "weibull2", "lognormal": "lognormal2", "normal": "normal", "exponential": "exponential1"}
    for paper, name in own.items():
        figure, ax = _axis()
        varnel.plot(result, ax=ax, paper=paper)
        lines = {line.get_label(): line for line in ax.lines}
        steps = lines["Turnbull"]
        assert len(steps.get_xdata()) == 2 * len(result.non_parametric.steps)
        curve = next(line for label, line in lines.items() if label.endswith(". " + name))
        x = np.asarray(curve.get_xdata())
        y = np.asarray(curve.get_ydata())
        keep = np.isfinite(y)
        x = np.log(x[keep]) if paper in ("weibull", "lognormal") else x[keep]
        slope = (y[keep][-1] - y[keep][0]) / (x[-1] - x[0])
        assert np.allclose(y[keep], y[keep][0] + slope * (x - x[0]), rtol=1e-9, atol=1e-9), paper
        best = [line for line in ax.lines if line.get_linewidth() > 2]
        assert [line.get_label() for line in best] == [f"1. {result.distributions[0].name}"]
        plt.close(figure)
    with pytest.raises(ValueError, match="paper must be one of weibull, lognormal, normal, exponential"):
        varnel.plot(result, paper="gumbel")


def test_the_weibull_models_follow_the_paper():
    import matplotlib.pyplot as plt

    result = varnel.fit(*varnel.read_data(EXAMPLES / "ovarian_suspensions.dat"), nonparametric=True)
    figure, ax = _axis()
    varnel.plot(result, ax=ax, paper="lognormal")
    line = ax.lines[1]
    x = np.asarray(line.get_xdata())
    F = -np.expm1(-(x / result.two_parameter.eta) ** result.two_parameter.m)
    from statistics import NormalDist
    assert np.allclose(line.get_ydata(), [NormalDist().inv_cdf(f) for f in F])
    assert ax.get_xscale() == "log"
    assert ax.lines[-1].get_label() == "Kaplan-Meier"
    plt.close(figure)
