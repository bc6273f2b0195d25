// The check of the dialog's inputs that precedes every Calculate.
#pragma once

// Empties the monitor and result fields, then checks the data-file path, the gamma field (unless
// Auto Gamma is ticked) and the initial-m field. Returns 0 with the inputs stored in the estimation
// state, or the id of the first invalid field (IDC_DATA_FILE, IDC_GAMMA, IDC_INITIAL_M) with the
// estimation state untouched.
int validateInputs();

// 1 when `path` holds "?" or "*", else 0.
int hasWildcard(const char* path);
