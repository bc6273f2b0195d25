// Identifiers of the dialog fields that the engine writes: the Newton monitor and the seven
// results. Plain macros, no C++, so that the resource script can include this file too.
#pragma once

#define IDC_MONITOR_M 1010
#define IDC_MONITOR_G 1011
#define IDC_RESULT_M 1012
#define IDC_RESULT_T0 1013
#define IDC_RESULT_GAMMA 1014
#define IDC_RESULT_MU 1015
#define IDC_RESULT_XI 1016
#define IDC_RESULT_TM 1017
#define IDC_RESULT_SIGMA2 1018
