"""varnel.fit(stresses=..., stress_model=...): the command line's document to the bit, and bad arguments."""
import numpy as np
import pytest

import varnel
from conftest import EXAMPLES

MOTORETTE = EXAMPLES / "motorette_insulation.dat"


def motorette_records():
    # The example file's records, with their stresses (degrees Celsius) in the last column.
    rows = [line.split() for line in MOTORETTE.read_text().splitlines() if line and not line.startswith("#")]
    times = [float(r[0]) for r in rows]
    states = [r[1] for r in rows]
    counts = [int(r[2]) for r in rows]
    stresses = np.array([float(r[3]) for r in rows])
    return times, states, counts, stresses


def test_the_accelerated_model_is_the_command_lines(varnel_json):
    times, states, counts, stresses = motorette_records()
    result = varnel.fit(times, states=states, counts=counts, stresses=stresses, stress_model="arrhenius",
                        celsius=True, use_stress=(130,), at=(10000,), threads=3)
    assert result.to_dict() == varnel_json("--life", "--stress", "arrhenius", "--celsius", "--use-stress", 130,
                                           "--at", 10000, MOTORETTE)
    assert result.accelerated_life.status == "ok"


def test_bad_accelerated_arguments_are_refused():
    times, states, counts, stresses = motorette_records()
    with pytest.raises(ValueError, match="needs both stresses and stress_model"):
        varnel.fit(times, states=states, counts=counts, stresses=stresses)
    with pytest.raises(ValueError, match="stress_model must be"):
        varnel.fit(times, states=states, counts=counts, stresses=stresses, stress_model="eyring")
    with pytest.raises(ValueError, match="one stress per record"):
        varnel.fit(times, states=states, counts=counts, stresses=stresses[:-1], stress_model="power")
    only_170 = np.full(len(times), 170.0)
    only_170[1] = 171
    with pytest.raises(varnel.DataError, match="needs failures at two or more stresses"):
        varnel.fit(times, states=["S"] + states[1:2] + ["S"] * (len(times) - 2), counts=counts, stresses=only_170,
                   stress_model="power")
