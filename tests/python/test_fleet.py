"""fit_groups against one fit per group (same bits), its errors, threads and pickling, and the same
on Dask's worker processes."""
import math
import pickle

import numpy as np
import pandas as pd
import pytest

import varnel


def fleet(groups, seed=7, per_group=12):
    """A generated fleet: failures, suspensions with counts and intervals, keys not in row order."""
    rng = np.random.default_rng(seed)
    n = groups * per_group
    time = np.round(100 * rng.weibull(1.8, n), 3)
    state = rng.choice(np.array(["F", "S", "I"]), n, p=[0.7, 0.2, 0.1])
    upper = np.where(state == "I", time + 20, np.nan)
    return pd.DataFrame({"part": rng.permutation(np.repeat([f"P{g:05d}" for g in range(groups)], per_group)),
                         "time": time, "state": state, "count": rng.integers(1, 4, n), "upper": upper})


def same(a, b):
    """Equal to the bit, nulls (None, NaN, pd.NA) alike."""
    missing = lambda v: v is None or v is pd.NA or (isinstance(v, float) and math.isnan(v))  # noqa: E731
    if missing(a) or missing(b):
        return missing(a) and missing(b)
    return type(a)(a) == b and np.float64(a).tobytes() == np.float64(b).tobytes() if isinstance(b, float) else a == b


def expected_row(result):
    """fit's numbers under fit_groups's column names."""
    row = {key: result.data[key] for key in ("failures", "suspensions", "intervals", "units")}
    for prefix, model in (("2p_", result.two_parameter), ("3p_", result.three_parameter)):
        for name in ("m", "eta", "gamma", "log_likelihood", "status"):
            row[prefix + name] = model[varnel.results._json_name(name)]
        for life in model.get("bLives", []):
            row[f"{prefix}B{life['percent']:g}"] = life["estimate"]
            for kind, short in (("fisher", "fisher"), ("likelihoodRatio", "lr")):
                for side in ("lower", "upper"):
                    row[f"{prefix}B{life['percent']:g}_{short}_{side}"] = life[kind][side]
        for r in model.get("reliability", []):
            row[f"{prefix}R{r['at']:g}"] = r["estimate"]
            row[f"{prefix}R{r['at']:g}_lr_lower"] = r["likelihoodRatio"]["lower"]
    ratio = result.likelihood_ratio or {}
    row["lr_statistic"] = ratio.get("statistic")
    row["lr_p_value"] = ratio.get("pValue")
    return row


def test_each_row_is_the_bits_of_its_own_fit_and_threads_change_nothing():
    frame = fleet(15)
    options = dict(b_lives=(10,), at=(50,))
    table = varnel.fit_groups(frame, "part", "time", "state", "count", "upper", threads=1, errors="record", **options)
    assert list(table.columns[:9]) == ["part", "failures", "suspensions", "intervals", "units", "2p_m", "2p_eta",
                                       "2p_gamma", "2p_log_likelihood"]
    assert {"2p_status", "2p_B10_fisher_lower", "2p_B10_lr_upper", "3p_R50_lr_lower", "lr_p_value", "error"} <= set(
        table.columns)
    assert list(table.part) == sorted(frame.part.unique())
    assert table.error.isna().all()
    for got in table.to_dict("records"):
        rows = frame[frame.part == got["part"]]
        result = varnel.fit(rows.time, rows.state, rows["count"], rows.upper, **options)
        for name, value in expected_row(result).items():
            assert same(got[name], value), (got["part"], name, got[name], value)
    for threads in (2, 3):
        again = varnel.fit_groups(frame, "part", "time", "state", "count", "upper", threads=threads, errors="record",
                                  **options)
        pd.testing.assert_frame_equal(again, table, check_exact=True)


def test_a_failing_group_raises_with_its_key_or_is_recorded():
    frame = pd.DataFrame({"line": ["a", "a", "a", "b", "b", "c", "c", "c"], "shift": [1, 1, 1, 1, 1, 2, 2, 2],
                          "t": [10.0, 20, 35, 5, 7, 12, 18, 30], "s": ["F", "F", "S", "S", "S", "F", "F", "F"]})
    with pytest.raises(varnel.DataError, match=r"^group 'b': no failures"):
        varnel.fit_groups(frame, "line", "t", "s", model="2p")
    with pytest.raises(varnel.DataError, match=r"^group \('b', 1\): no failures"):
        varnel.fit_groups(frame, ["line", "shift"], "t", "s", model="2p")
    table = varnel.fit_groups(frame, ["line", "shift"], "t", "s", model="2p", errors="record")
    assert list(table.columns[:3]) == ["line", "shift", "failures"]
    failed = table.iloc[1]
    assert failed.error == "no failures: the Weibull parameters cannot be estimated"
    assert failed.failures is pd.NA and math.isnan(failed["2p_m"]) and failed["2p_status"] is None
    assert table.error[[0, 2]].isna().all() and table.failures.tolist() == [2, pd.NA, 3]
    # A null key is a group of its own, not lost rows.
    frame.loc[0:2, "line"] = None
    assert varnel.fit_groups(frame, "line", "t", "s", model="2p", errors="record").line.isna().sum() == 1


def test_arguments_are_checked_before_any_fit():
    frame = fleet(3)
    with pytest.raises(TypeError, match="unexpected keyword argument 'modle'"):
        varnel.fit_groups(frame, "part", "time", modle="2p")
    with pytest.raises(ValueError, match="errors must be 'raise' or 'record'"):
        varnel.fit_groups(frame, "part", "time", errors="ignore")
    with pytest.raises(ValueError, match="model must be"):
        varnel.fit_groups(frame, "part", "time", model="4p")
    with pytest.raises(TypeError, match="times is a column of the records"):
        varnel.FitOptions(times=[1, 2])
    # A group's columns hold no stresses or modes, so their options would be silently lost.
    with pytest.raises(TypeError, match="stresses is a column of the records"):
        varnel.FitOptions(stresses=[1, 2])
    with pytest.raises(TypeError, match="stress_model is not an option of the fit of a group"):
        varnel.fit_groups(frame, "part", "time", stress_model="power")
    with pytest.raises(KeyError):
        varnel.fit_groups(frame, "no such column", "time")


def test_options_and_results_pickle():
    options = varnel.FitOptions(model="2p", b_lives=(5, 50), bounds="lr")
    back = pickle.loads(pickle.dumps(options))
    assert back == options and back.keywords == {"model": "2p", "b_lives": (5, 50), "bounds": "lr"}
    frame = fleet(5)
    assert varnel.fit_groups(frame, "part", "time", options=back).equals(
        varnel.fit_groups(frame, "part", "time", model="2p", b_lives=(5, 50), bounds="lr"))
    result = varnel.fit([10.0, 20, 35, 50], ["F", "S", "F", "F"], model="2p")
    copy = pickle.loads(pickle.dumps(result))
    assert copy.to_dict() == result.to_dict() and copy.two_parameter.m == result.two_parameter.m
    assert np.array_equal(copy.records.times, result.records.times)


def test_dask_worker_processes_give_the_bits_of_one_process():
    # Installed by scripts/install-python: a missing package fails here, it is never skipped.
    import dask.dataframe as dd
    import distributed

    import varnel.dask

    frame = fleet(2000, seed=11, per_group=8)
    options = dict(model="2p", b_lives=(10,), bounds="fisher")
    local = varnel.fit_groups(frame, "part", "time", "state", "count", "upper", errors="record", **options)
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, \
            distributed.Client(cluster) as client:
        assert len(client.scheduler_info()["workers"]) == 2
        ddf = dd.from_pandas(frame, npartitions=6)
        lazy = varnel.dask.fit_groups(ddf, "part", "time", "state", "count", "upper", errors="record", **options)
        remote = lazy.compute().sort_values("part").reset_index(drop=True)
    pd.testing.assert_frame_equal(remote, local, check_exact=True)
