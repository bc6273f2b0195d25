"""Fleets on Dask: ``fit_groups`` for a dask DataFrame, on one machine or a dask.distributed cluster.
dask is imported only when called. Each partition is fitted by ``varnel.fit_groups`` on the worker
that holds it, after a shuffle has put every group's rows into one partition; the options travel
to the workers as a pickled FitOptions, so a worker's numbers are the bits of one process's."""
from .fleet import _options, fit_groups as _fit_groups_of_frame


def fit_groups(ddf, by, time, state=None, count=None, upper=None, threads=None, errors="raise", **fit_options):
    """``varnel.fit_groups`` for a dask DataFrame: the same arguments and columns, one row per
    group, as a dask DataFrame to compute (``.compute()``). Its rows come partition by partition;
    ``.compute().sort_values(by)`` puts them in fit_groups's order. ``threads``: groups analysed at
    a time within each partition's task (default one per hardware thread of its worker)."""
    import dask.dataframe  # noqa: F401  (the DataFrame methods used below)

    options = _options(fit_options)
    keys = [by] if isinstance(by, str) or not isinstance(by, (list, tuple)) else list(by)
    arguments = dict(by=keys, time=time, state=state, count=count, upper=upper, threads=threads, errors=errors,
                     options=options)
    # The columns, from the frame's empty model: checks the arguments before any task runs.
    meta = _fit_groups_of_frame(ddf._meta, **arguments)
    shuffled = ddf.shuffle(on=keys[0] if len(keys) == 1 else keys)
    return shuffled.map_partitions(_fit_groups_of_frame, **arguments, meta=meta)
