// Resource ids shared by mirravox.rc and the code.
#pragma once

// ---- Templates, menus, icons and bitmaps ----
// Dialog templates are named: MIRRAVOX (the main window), ABOUTBOX.
#define IDR_MAINMENU 107
#define IDI_PLAYBACK 108
#define IDI_STOP 109
#define IDI_RECORD 110
#define IDB_ABOUT 106
#define IDB_BADGE_IN 122
#define IDB_BADGE_OUT 123

// ---- Main window controls ----
#define IDC_GROUP_FORMAT 1058
#define IDC_LABEL_RATE 1020
#define IDC_RATE 1021
#define IDC_LABEL_CHANNELS 1023
#define IDC_CHANNELS 1024
#define IDC_LABEL_RESOLUTION 1025
#define IDC_RESOLUTION 1026
#define IDC_LABEL_REQUESTED 1027
#define IDC_REQUESTED 1028
#define IDC_LABEL_ACTUAL_IN 1039
#define IDC_ACTUAL_IN 1040
#define IDC_LABEL_AVERAGE_IN 1041
#define IDC_AVERAGE_IN 1042
#define IDC_LABEL_ACTUAL_OUT 1051
#define IDC_ACTUAL_OUT 1048
#define IDC_LABEL_AVERAGE_OUT 1049
#define IDC_AVERAGE_OUT 1050
#define IDC_LABEL_VIEW 1030
#define IDC_VIEW 1029
#define IDC_LABEL_FRAME_RATE 1044
#define IDC_FRAME_SPEED 1043
#define IDC_TRIGGER 1066
#define IDC_LABEL_SIZE 1032
#define IDC_BUFFER_SIZE 1031
#define IDC_LABEL_FILL_IN 1047
#define IDC_FILL_IN 1046
#define IDC_LABEL_FILL_OUT 1053
#define IDC_FILL_OUT 1052
#define IDC_RECORD 1007
#define IDC_PLAYBACK 1010
#define IDC_STOP 1008
#define IDC_AMPLITUDE 1037
#define IDC_DISPLAY 1009
#define IDC_ZOOM 1038
#define IDC_STORE_SCROLL 1059

// Command ids that no control of the main template carries.
#define IDC_ALT_EXIT 1000
#define IDC_ALT_HELP 9
#define IDC_ALT_ABOUT 1022

// ---- About box ----
#define IDC_ABOUT_NOTICE 1037
#define IDC_ABOUT_VISIT 1038
#define IDC_ABOUT_VERSION 1039
#define IDC_ABOUT_WEB 1040
#define IDC_ABOUT_PICTURE 1050

// ---- Menu commands ----
#define IDM_RECORD 40001
#define IDM_PLAYBACK 40002
#define IDM_EXIT 40004
#define IDM_HELP 40005
#define IDM_ABOUT 40006
#define IDM_STOP 40007
#define IDM_SINE_1K 40009
#define IDM_CLEAR 40010
#define IDM_SAW_1K 40011
#define IDM_DEVICE_SELECTION 40017
#define IDM_CREATE_TONE 40018
#define IDM_SQUARE_1K 40019
#define IDM_WHITE_NOISE 40020
#define IDM_MIXER 40022
#define IDM_WAVE_CAPS 40023
#define IDM_DS_CAPS 40024
#define IDM_DISPLAY_SETTINGS 40031
#define IDM_3D_SOUND 40033
#define IDM_AUDIO_FX 40034
#define IDM_SAVE_RECORDING 40035

// ---- Create tone, wave capabilities and device selection ----
// Dialog templates: CREATETONE, CAPABILITIES, DEVICESELECTION.
// Wave-shape pictures of the create-tone list (80 x 20, 16 colours).
#define IDB_SHAPE_SAW 112
#define IDB_SHAPE_SINE 113
#define IDB_SHAPE_SQUARE 114
#define IDB_SHAPE_SPIKE 116
#define IDB_SHAPE_WHITE_NOISE 117
#define IDB_SHAPE_PINK_NOISE 126

// Create tone (Cancel is IDCANCEL).
#define IDC_TONE_AMPLITUDE 1046
#define IDC_TONE_FREQUENCY 1047
#define IDC_TONE_SECONDS 1048
#define IDC_TONE_SHAPES 1049
#define IDC_TONE_PLAY 1051
#define IDC_TONE_SAVE 1052

// Wave capabilities (OK is IDOK).
#define IDC_CAPS_MANUFACTURER 1024
#define IDC_CAPS_DRIVER_VERSION 1025
#define IDC_CAPS_PRODUCT 1026
#define IDC_CAPS_CHANNELS 1027
#define IDC_CAPS_KIND 1052
#define IDC_CAPS_FORMATS 1053
#define IDC_CAPS_DEVICE 1054
#define IDC_CAPS_ADDITIONAL 1055

// Device selection (OK is IDOK, Cancel IDCANCEL).
#define IDC_SELECT_INPUT 1033
#define IDC_SELECT_OUTPUT 1034
// ---- DirectSound capabilities (DSCAPABILITIES) ----
#define IDC_DSCAPS_RATES 1028
#define IDC_DSCAPS_MIX_ALL 1029
#define IDC_DSCAPS_MIX_STATIC 1030
#define IDC_DSCAPS_MIX_STREAM 1031
#define IDC_DSCAPS_MIX_ALL_FREE 1032
#define IDC_DSCAPS_MIX_STATIC_FREE 1033
#define IDC_DSCAPS_MIX_STREAM_FREE 1034
#define IDC_DSCAPS_3D_ALL 1035
#define IDC_DSCAPS_3D_STATIC 1036
#define IDC_DSCAPS_3D_STREAM 1037
#define IDC_DSCAPS_3D_ALL_FREE 1038
#define IDC_DSCAPS_3D_STATIC_FREE 1039
#define IDC_DSCAPS_3D_STREAM_FREE 1040
#define IDC_DSCAPS_MEMORY 1041
#define IDC_DSCAPS_MEMORY_FREE 1042
#define IDC_DSCAPS_DEVICE 1054
#define IDC_DSCAPS_INFO 1055

// ---- Audio effects dialog (template DSAUDIOFX) ----
// Parameter page: six rows of five controls from 1000 + 5 x row:
// name, value, slider, minimum, maximum.
#define IDC_FX_ROW_FIRST 1000
#define IDC_FX_ROW_LAST 1029
#define IDC_FX_TRIANGLE 1101
#define IDC_FX_SQUARE 1102
#define IDC_FX_SINE 1103
#define IDC_FX_ADJUST_FIRST 1201 // 1201..1208: adjust Chorus..Reverb
#define IDC_FX_ADJUST_LAST 1208
#define IDC_FX_ENABLE_FIRST 1211 // 1211..1218: enable Chorus..Reverb
#define IDC_FX_ENABLE_LAST 1218
#define IDC_FX_OPEN 1301
#define IDC_FX_STATUS 1302
#define IDC_FX_FILENAME 1303
#define IDC_FX_LOOP 1304
#define IDC_FX_PLAY 1305
#define IDC_FX_STOP 1306
#define IDC_FX_PAGE_TITLE 1307
#define IDC_FX_WAVEFORM_GROUP 1309
#define IDC_FX_PHASE_FIRST 1310 // 1310..1314: -180, -90, 0, 90, 180 degrees
#define IDC_FX_PHASE_LAST 1314
#define IDC_FX_PHASE_GROUP 1315
#define IDC_FX_HELP 1316
