"""varnel.fit(distributions=...): the command line's comparison of distributions to the bit, and the
arguments it refuses."""
import pytest

import varnel
from conftest import EXAMPLES


def test_all_distributions_are_the_command_lines():
    path = EXAMPLES / "salinity_intervals.dat"
    result = varnel.fit(*varnel.read_data(path), distributions="all", at=(30,), b_lives=(10,))
    document = result.to_dict()
    assert set(document) == {"method", "data", "distributions", "nonParametric"}
    ranks = [entry["rank"] for entry in document["distributions"] if entry["rank"] is not None]
    assert ranks == list(range(1, len(ranks) + 1))


def test_named_distributions_are_the_command_lines(varnel_json):
    path = EXAMPLES / "ovarian_suspensions.dat"
    result = varnel.fit(*varnel.read_data(path), distributions=("sev", "lognormal2", "weibull3"), at=500)
    assert result.to_dict() == varnel_json("--life", "--distribution", "lognormal2", "--distribution", "sev",
                                           "--distribution", "weibull3", "--at", 500, path)
    assert [d.name for d in result.distributions] == ["lognormal2", "sev", "weibull3"]
    assert result.distributions[2].rank is None


def test_all_is_every_distribution_on_the_command_line_too(varnel_json):
    path = EXAMPLES / "salinity_intervals.dat"
    result = varnel.fit(*varnel.read_data(path), distributions="all", at=(30,), b_lives=(10,))
    assert result.to_dict() == varnel_json("--life", "--distribution", "all", "--at", 30, "--b-life", 10, path)


def test_refused_arguments():
    data = varnel.read_data(EXAMPLES / "ovarian_suspensions.dat")
    with pytest.raises(ValueError, match="unknown distribution 'weibull'"):
        varnel.fit(*data, distributions="weibull")
    with pytest.raises(ValueError, match="maximum-likelihood"):
        varnel.fit(*data, distributions="all", method="rrx")
    with pytest.raises(TypeError):
        varnel.fit(*data, distributions=("lognormal2", 3))
