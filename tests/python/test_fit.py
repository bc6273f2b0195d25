"""varnel.read_data and varnel.fit: the command line's documents to the bit, the data file's errors,
records given as arrays, many fits at once, and bad arguments."""
import os
import subprocess
import sys
import threading

import numpy as np
import pandas as pd
import pytest

import varnel
from conftest import EXAMPLES
from varnel.arguments import number_array

LIFE_DATA = ["ball_bearings.dat", "glass_fibres.dat", "ovarian_suspensions.dat", "salinity_intervals.dat",
             "synthetic_extreme_value.dat", "synthetic_rising_to_smallest.dat"]


@pytest.mark.parametrize("name", LIFE_DATA)
def test_the_document_is_the_command_lines_to_the_bit(varnel_json, name):
    expected = varnel_json("--mle", EXAMPLES / name)
    assert varnel.fit(*varnel.read_data(EXAMPLES / name)).to_dict() == expected


@pytest.mark.parametrize("options, arguments", [
    ({"gamma": 10}, ("-g", 10)),
    ({"model": "2p", "threads": 1}, ("--two-parameter", "--threads", 1)),
])
def test_options_are_the_command_lines(varnel_json, options, arguments):
    path = EXAMPLES / "ovarian_suspensions.dat"
    assert varnel.fit(*varnel.read_data(path), **options).to_dict() == varnel_json("--mle", *arguments, path)


@pytest.mark.parametrize("method", ["mle", "rrx", "rry"])
def test_methods_are_the_command_lines(varnel_json, method):
    path = EXAMPLES / "ovarian_suspensions.dat"
    result = varnel.fit(*varnel.read_data(path), method=method)
    assert result.to_dict() == varnel_json("--life", "--method", method, path)
    assert result.method == method


def test_rank_regression_refuses_intervals_by_record():
    with pytest.raises(varnel.DataError, match="^record 2: rank regression needs exact failure times; "
                                               "use --method mle$"):
        varnel.fit([10.0, 20, 30], states=["F", "I", "F"], intervals=[10, 25, 30], method="rry")


def test_members_read_as_attributes_and_the_document_is_a_copy():
    result = varnel.fit(varnel.read_data(EXAMPLES / "ball_bearings.dat").times)
    document = result.to_dict()
    assert result.two_parameter.m == document["twoParameter"]["m"]
    assert result.likelihood_ratio.p_value == document["likelihoodRatio"]["pValue"]
    document["twoParameter"]["m"] = 0
    assert result.to_dict()["twoParameter"]["m"] == result.two_parameter.m


def test_records_given_as_arrays_are_the_files_records(tmp_path):
    path = tmp_path / "parts.csv"
    path.write_text("time,state,count\n10,F,2\n12,S\n5 8 I 3\n15\n17,F\n20,s,4\n")
    data = varnel.read_data(path)
    assert list(data.times) == [10, 12, 5, 15, 17, 20]
    assert list(data.states) == ["F", "S", "I", "F", "F", "S"]
    assert list(data.counts) == [2, 1, 3, 1, 1, 4]
    assert list(data.intervals) == [10, 12, 8, 15, 17, 20]
    by_hand = varnel.fit(pd.Series([10.0, 12, 5, 15, 17, 20]), states=["F", "S", "I", "f", "F", "S"],
                         counts=np.array([2, 1, 3, 1, 1, 4], dtype=np.int64),
                         intervals=[np.nan, np.nan, 8, np.nan, np.nan, np.nan])
    assert by_hand.to_dict() == varnel.fit(*data).to_dict()


def test_double_arrays_and_series_are_read_where_they_lie():
    values = np.linspace(1.0, 2.0, 5)
    assert number_array(values, "times") is values
    assert np.shares_memory(number_array(pd.Series(values), "times"), values)


def test_fits_from_two_threads_give_the_results_of_one_after_another():
    samples = [varnel.read_data(EXAMPLES / name) for name in LIFE_DATA]
    expected = [varnel.fit(*data).to_dict() for data in samples]
    results = [None, None]

    def fit_all(slot):
        results[slot] = [varnel.fit(*data).to_dict() for data in samples for _ in range(3)]

    threads = [threading.Thread(target=fit_all, args=(slot,)) for slot in range(2)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert results[0] == results[1] == [document for document in expected for _ in range(3)]


def test_data_errors_carry_the_command_lines_texts(tmp_path):
    path = tmp_path / "bad.dat"
    path.write_text("10\n12 X\n")
    with pytest.raises(varnel.DataError, match=f"^{path}:2: "):
        varnel.read_data(path)
    with pytest.raises(varnel.DataError, match="missing.dat: no such file$"):
        varnel.read_data(tmp_path / "missing.dat")
    with pytest.raises(ValueError, match="null character"):
        varnel.read_data(f"{EXAMPLES / 'ball_bearings.dat'}\0.bad")
    with pytest.raises(varnel.DataError, match="^no failures"):
        varnel.fit([1.0, 2.0], states=["S", "S"])


@pytest.mark.parametrize("arguments, error, message", [
    ({"counts": [1, -2, 1]}, ValueError, "record 2: a count outside 1 to 2147483647"),
    ({"counts": [1, 2.5, 1]}, ValueError, "record 2: a count that is not a whole number"),
    ({"counts": ["1", "2", "3"]}, TypeError, "counts must be whole numbers"),
    ({"counts": [1, 2]}, ValueError, "counts has 2 entries, times has 3"),
    ({"states": ["F", "X", "F"]}, ValueError, "record 2: a state must be F, S or I"),
    ({"states": ["F", None, "F"]}, TypeError, "record 2: a state must be the text F, S or I"),
    ({"states": ["F", "I", "F"]}, ValueError, "record 2: an interval needs its upper end"),
    ({"times": [1.0, float("nan"), 3.0]}, ValueError, "record 2: a time that is not a finite number"),
    ({"times": ["1", "2", "3"]}, TypeError, "times must be numbers"),
    ({"model": "4p"}, ValueError, "model must be 'both', '2p' or '3p'"),
    ({"method": "lsq"}, ValueError, "^method must be 'mle', 'rrx' or 'rry', not 'lsq'$"),
    ({"method": None}, TypeError, "method must be a str"),
    ({"model": "3p", "gamma": 1.0}, ValueError, "gamma fixes the location"),
    ({"threads": 0}, ValueError, "threads must be at least 1"),
    ({"threads": 1025}, ValueError, "^threads must be at most 1024, not 1025$"),
    ({"seed": 2**64}, ValueError, "^seed must be at most 18446744073709551615, not 18446744073709551616$"),
    ({"seed": -1}, ValueError, "^seed must be at least 0, not -1$"),
    ({"bootstrap": 2**40}, ValueError, "^bootstrap must be at most 1000000, not 1099511627776$"),
    ({"bounds": "some"}, ValueError, "bounds must be"),
    ({"confidence": 1.5}, ValueError, "confidence must be from 0.5 to 0.9999"),
])
def test_bad_arguments_raise_clear_exceptions(arguments, error, message):
    arguments.setdefault("times", [10.0, 20.0, 30.0])
    with pytest.raises(error, match=message):
        varnel.fit(**arguments)


def test_the_largest_seed_is_taken_and_ends_what_the_smallest_does_not():
    data = varnel.read_data(EXAMPLES / "ball_bearings.dat")
    largest = varnel.fit(*data, bootstrap=20, seed=2**64 - 1, bounds="none").two_parameter.goodness_of_fit
    smallest = varnel.fit(*data, bootstrap=20, seed=0, bounds="none").two_parameter.goodness_of_fit
    assert largest.bootstrap_samples == smallest.bootstrap_samples == 20
    assert largest.p_value != smallest.p_value


def test_only_regular_files_are_read():
    # /dev/zero never ends: reading it would hang, deaf to Ctrl-C; so the call runs in a process of its own.
    done = subprocess.run([sys.executable, "-c", "import varnel; varnel.read_data('/dev/zero')"],
                          capture_output=True, text=True, timeout=60)
    assert done.returncode != 0
    assert done.stderr.splitlines()[-1] == "varnel._varnel.DataError: /dev/zero: not a regular file"
    with pytest.raises(varnel.DataError, match=r"^\.: is a directory$"):
        varnel.read_data(".")


def test_a_pipe_is_refused_without_blocking(tmp_path):
    fifo = tmp_path / "fifo"
    os.mkfifo(fifo)
    with pytest.raises(varnel.DataError, match="fifo: not a regular file$"):
        varnel.read_data(fifo)
