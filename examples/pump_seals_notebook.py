# Notebook-style example of the Python package: field returns of pump seals, read with pandas,
# fitted per part number, tabled with B10 lives and their bounds, and plotted. Each "# %%" starts a
# cell, as a notebook or an editor's cell mode runs them; as a script it writes the figure to the
# file named by its argument (default pump_seals.png):
#     build-python/venv/bin/python examples/pump_seals_notebook.py [FIGURE.png]

# %% The records: one row per failure or suspension record, with a count of identical units.
import sys
from pathlib import Path

import matplotlib

if __name__ == "__main__":
    matplotlib.use("Agg")  # a script draws into a file; a notebook keeps its own backend
import matplotlib.pyplot as plt
import pandas as pd

import varnel

records = pd.read_csv(Path(__file__).with_name("pump_seals.csv"), comment="#")
records.head()

# %% One fit per part number: the columns go in as they are, without copies.
fits = {part: varnel.fit(group["time"], states=group["state"], counts=group["count"], b_lives=[10])
        for part, group in records.groupby("part")}

# %% A table of the two-parameter fits, with the B10 life and its likelihood-ratio bounds.
def summary(fit):
    two = fit.two_parameter
    b10 = two.b_lives[0]
    return {"failures": fit.data.failures, "suspended": fit.data.suspensions, "m": two.m, "eta": two.eta,
            "B10": b10.estimate, "B10 lower": b10.likelihood_ratio.lower, "B10 upper": b10.likelihood_ratio.upper,
            "3P status": fit.three_parameter.status}

table = pd.DataFrame({part: summary(fit) for part, fit in fits.items()}).T
print(table.to_string(float_format=lambda x: f"{x:.4g}"))

# %% The Weibull plots side by side.
figure, axes = plt.subplots(1, len(fits), figsize=(5 * len(fits), 4.5), sharey=True)
for ax, (part, fit) in zip(axes, fits.items()):
    varnel.plot(fit, ax=ax)
    ax.set_title(part)
figure.tight_layout()

if __name__ == "__main__":
    figure.savefig(sys.argv[1] if len(sys.argv) > 1 else "pump_seals.png", dpi=90)
