// The dialog's two states, idle and running, expressed only by what is enabled.
#pragma once

// 1: idle, inputs and commands available; 0: running, only Stop (and help) available.
void setIdleState(int idle);

// True while a run is going. The dialog has no state variable: Stop is enabled exactly then.
bool runInProgress();
