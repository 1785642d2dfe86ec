// Resource ids of Vorn_Controls. Shared by the .rc files (windres) and the C++
// code, so it holds plain #defines only.
#ifndef VORN_CONTROLS_RESOURCE_H
#define VORN_CONTROLS_RESOURCE_H

// Dialog templates, menu, icon, strings
#define IDD_ABOUTBOX                100   // short About box of the system menu
#define IDS_ABOUTBOX                101   // "&About Vorn_Controls..."
#define IDR_MAINFRAME               128   // program icon
#define IDD_UPDATE_FIRMWARE         130   // firmware update dialog
#define IDR_MAIN_MENU               132   // window menu
#define IDD_HELP_ABOUT              133   // Help > About box
#define IDD_VORN_CONTROLS_DIALOG    1024  // main window

// System menu command of the short About box (low four bits must stay clear)
#define IDM_ABOUTBOX                0x0010

// Main window: buttons 1 and 2 are the dialog's OK and Cancel
#define IDC_START_CAMERA            1
#define IDC_EXIT                    2

#define IDC_EXPOSURE_GROUP          1001
#define IDC_AUTO_EXPOSURE           1002
#define IDC_PICTURE_GROUP           1003
#define IDC_WB_GROUP                1004
#define IDC_AUTO_WB                 1005
#define IDC_AEC_TARGET_EDIT         1006
#define IDC_AEC_TARGET_SLIDER       1007
#define IDC_MANUAL_EXPOSURE_EDIT    1008
#define IDC_MANUAL_EXPOSURE_SLIDER  1009
#define IDC_GAIN_BLUE_EDIT          1010
#define IDC_GAIN_BLUE_SLIDER        1011
#define IDC_GAIN_RED_EDIT           1012
#define IDC_GAIN_RED_SLIDER         1013
#define IDC_BRIGHTNESS_EDIT         1014
#define IDC_BRIGHTNESS_SLIDER       1015
#define IDC_CONTRAST_EDIT           1016
#define IDC_CONTRAST_SLIDER         1017
#define IDC_SATURATION_EDIT         1018
#define IDC_SATURATION_SLIDER       1019
#define IDC_SHARPNESS_EDIT          1020
#define IDC_SHARPNESS_SLIDER        1021
#define IDC_GAMMA_EDIT              1022
#define IDC_GAMMA_SLIDER            1023
#define IDC_STATUS                  1024
#define IDC_PREVIEW                 1025
#define IDC_ROTATE_180              1026
#define IDC_SNAPSHOT_SAVE           1029
#define IDC_FILETYPE_BMP            1030
#define IDC_FILETYPE_JPG            1031
#define IDC_FILETYPE_PNG            1032
#define IDC_FILETYPE_GROUP          1034
#define IDC_SHOW_STATUS             1047
#define IDC_RESOLUTION              1048
#define IDC_SNAPSHOT_FOLDER         1049
#define IDC_BROWSE_FOLDER           1050
#define IDC_ILLUMINATION            1051
#define IDC_DEVICE                  1052
#define IDC_DEVICE_LABEL            1054  // "Camera:", shown with the device box

// Firmware update dialog (template 130)
#define IDC_FW_SOURCE_PATH          1027
#define IDC_FW_FULL_VERIFY          1035
#define IDC_FW_BROWSE               1036
#define IDC_FW_VIDPID               1037
#define IDC_FW_UPDATE               1038
#define IDC_FW_PROGRESS             1044
#define IDC_FW_CANCEL               1046
#define IDC_FW_VERSION              1053  // the camera's firmware version, read-only

// Help > About box (template 133)
#define IDC_ABOUT_VERSION           1039
#define IDC_ABOUT_FIRMWARE          1040
#define IDC_ABOUT_PRODUCT           1041
#define IDC_ABOUT_VIDPID            1042

// Window menu
#define ID_FILE_SAVE_CONFIG         32771
#define ID_FILE_LOAD_CONFIG         32772
#define ID_TOOLS_BURN_FIRMWARE      32773
#define ID_HELP_ABOUT               32774
#define ID_TOOLS_RESTORE_DEFAULTS   32775
#define ID_TOOLS_REMEMBER_SETTINGS  32776  // check item: settings follow the camera
#define ID_TOOLS_FORGET_SETTINGS    32777
// File menu: the recent configuration files, added at run time under a
// separator of their own after Load Config.
#define ID_FILE_RECENT_FIRST        32778
#define ID_FILE_RECENT_LAST         32781
#define ID_FILE_RECENT_SEPARATOR    32782

#ifndef IDC_STATIC
#define IDC_STATIC                  (-1)
#endif

#endif
