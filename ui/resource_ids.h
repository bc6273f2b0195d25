/* Identifiers of the dialog controls, the menu commands and the icon, shared by varnel.rc and the
   code. Plain macros only, so that the resource compiler can read this file. The monitor and result
   fields come from the engine's own list because the engine writes them. */
#pragma once

#include "field_ids.h"

#define IDI_VARNEL 101

#define IDC_BROWSE 1000
#define IDC_STOP 1001
#define IDC_CALCULATE 1002
#define IDC_SAVE 1003
#define IDC_EXIT 1004
#define IDC_HELP_BUTTON 1005
#define IDC_AUTO_GAMMA 1006
#define IDC_DATA_FILE 1007
#define IDC_INITIAL_M 1008
#define IDC_GAMMA 1009
#define IDC_RANK_MEAN 1019
#define IDC_RANK_END_POINT 1020
#define IDC_RANK_MEDIAN 1021
#define IDC_RANK_MID_POINT 1022

#define IDM_CALCULATE 40001
#define IDM_SAVE 40002
#define IDM_STOP 40003
#define IDM_EXIT 40004
#define IDM_CONTENTS 40005
#define IDM_HELP_ON_HELP 40006
#define IDM_ABOUT 40007
