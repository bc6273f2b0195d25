"""varnel.fit(shape=...) and varnel.plan: the command line's documents to the bit, and bad arguments."""
import math

import pytest

import varnel
from conftest import EXAMPLES


@pytest.mark.parametrize("name", ["ovarian_suspensions.dat", "salinity_intervals.dat"])
def test_a_known_shape_is_the_command_lines(varnel_json, name):
    path = EXAMPLES / name
    result = varnel.fit(*varnel.read_data(path), shape=1.5, at=(300,))
    assert result.to_dict() == varnel_json("--mle", "--shape", 1.5, "--at", 300, path)
    assert result.two_parameter.shape_fixed is True


def test_weibayes_without_failures():
    # S = 5 * 100^2 + 3 * 200^2 = 170000; chi2.isf(0.05, 2) = 5.991464547107983 (scipy 1.10.1).
    result = varnel.fit([100, 200], states=["S", "S"], counts=[5, 3], shape=2)
    two = result.two_parameter
    assert two.status == "zero failures: only a lower bound"
    assert two.eta is None
    assert math.isclose(two.eta_lower_one_sided, math.sqrt(340000 / 5.991464547107983), rel_tol=1e-13)
    assert result.to_dict()["twoParameter"]["bounds"]["eta"]["chiSquare"]["upperText"] == "unbounded"


def test_the_plot_of_a_known_shape_has_its_line_and_no_band():
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    figure, ax = plt.subplots()
    result = varnel.fit([620, 810, 940, 1000], states=["F", "F", "F", "S"], counts=[1, 1, 1, 17], shape=2)
    varnel.plot(result, ax=ax)
    labels = ax.get_legend_handles_labels()[1]
    assert labels[1].startswith("two parameters (m known): m = 2, eta = 2512")
    assert not any("band" in label for label in labels)
    plt.close(figure)


def test_plan_is_the_command_lines(varnel_json):
    common = dict(shape=2, reliability=0.9, at=500, confidence=0.9)
    assert varnel.plan(**common, test_time=1000)["units"] == 6
    for keywords, words in [({"units": 13, "failures_allowed": 2}, ("--units", 13, "--failures-allowed", 2)),
                            ({"test_time": 1000}, ("--test-time", 1000))]:
        expected = varnel_json("--plan", "--shape", 2, "--reliability", 0.9, "--at", 500, "--confidence", 0.9, *words)
        assert varnel.plan(**common, **keywords) == expected


@pytest.mark.parametrize("keywords, error", [
    ({"units": 6, "test_time": 100}, ValueError),
    ({}, ValueError),
    ({"units": 6, "reliability": 1.0}, varnel.DataError),
    ({"units": 2.5}, TypeError),
    ({"units": 3, "failures_allowed": 3}, varnel.DataError),
    ({"test_time": -1}, ValueError),
])
def test_plan_refuses_bad_values(keywords, error):
    arguments = dict(shape=2, reliability=0.9, at=500, confidence=0.9)
    arguments.update(keywords)
    with pytest.raises(error):
        varnel.plan(**arguments)


def test_fit_refuses_a_bad_shape():
    with pytest.raises(ValueError):
        varnel.fit([1.0, 2.0, 3.0], shape=0)
    with pytest.raises(ValueError):
        varnel.fit([1.0, 2.0, 3.0], shape=2, model="3p")
    with pytest.raises(ValueError, match="shape needs method 'mle'"):
        varnel.fit([1.0, 2.0, 3.0], shape=2, method="rry")
