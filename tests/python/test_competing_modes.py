"""varnel.fit(modes=...): the document of `varnel --life --modes` to the bit, and labels that a data
file could not hold refused."""
import numpy as np
import pytest

import varnel
from conftest import EXAMPLES

MGUS2 = EXAMPLES / "mgus2_competing_modes.dat"


def _mode_labels(path):
    """The mode word of each record of a data file, "" for a suspension or a line without one."""
    labels = []
    for line in open(path):
        fields = line.split()
        if not fields or not fields[0][0].isdigit():
            continue
        labels.append(fields[-1] if fields[-1][0].isalpha() and fields[-1] not in "FSIfsi" else "")
    return labels


@pytest.mark.parametrize("model, arguments", [("2p", ("--modes",)), ("3p", ("--modes", "3p"))])
def test_the_document_is_the_command_lines_to_the_bit(varnel_json, model, arguments):
    expected = varnel_json("--life", *arguments, "--at", 12, MGUS2)
    records = varnel.read_data(MGUS2)
    result = varnel.fit(*records, at=(12,), modes=_mode_labels(MGUS2), modes_model=model).to_dict()
    assert result == expected
    assert [mode["mode"] for mode in result["modes"]] == ["death", "pcm"]


def test_labels_that_a_data_file_could_not_hold_are_refused():
    times = np.array([10.0, 12.0, 15.0])
    with pytest.raises(varnel.DataError, match="record 2: a suspension has no failure mode"):
        varnel.fit(times, states=["F", "S", "F"], modes=["wear", "wear", None])
    with pytest.raises(varnel.DataError, match="record 1: a mode label"):
        varnel.fit(times, modes=["F", "wear", "wear"])
    with pytest.raises(varnel.DataError, match="2 labels for 3 records"):
        varnel.fit(times, modes=["wear", "leak"])
    with pytest.raises(ValueError, match="modes_model"):
        varnel.fit(times, modes=["wear", "wear", "leak"], modes_model="4p")
