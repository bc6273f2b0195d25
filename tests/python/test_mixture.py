"""varnel.fit(mixture=True): the command line's --mixture document to the bit, and its refusals."""
import pytest

import varnel

from conftest import EXAMPLES


def test_the_mixture_is_the_command_lines_to_the_bit(varnel_json):
    path = EXAMPLES / "two_populations_generated.dat"
    result = varnel.fit(*varnel.read_data(path), model="2p", mixture=True, at=(500,))
    assert result.to_dict() == varnel_json("--life", "--two-parameter", "--mixture", "--at", 500, path)
    assert result.mixture.status == "ok"
    assert len(result.mixture.components) == 2
    assert 0 < result.mixture.bounds.p.fisher.lower < result.mixture.p < result.mixture.bounds.p.fisher.upper < 1


def test_without_a_mixture_the_document_has_none():
    assert "mixture" not in varnel.fit([1.0, 2.0, 3.5, 7.0]).to_dict()


@pytest.mark.parametrize("arguments, error", [
    ({"mixture": 1}, TypeError),
    ({"mixture": True, "gamma": 0.5}, ValueError),
    ({"mixture": True, "shape": 2.0}, ValueError),
    ({"mixture": True, "method": "rrx"}, ValueError),
])
def test_a_mixture_is_refused_where_it_is_not_defined(arguments, error):
    with pytest.raises(error):
        varnel.fit([1.0, 2.0, 3.5, 7.0, 9.0], **arguments)
