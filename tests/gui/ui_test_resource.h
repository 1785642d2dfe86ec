// Ids of the framework tests' own dialog templates.
#pragma once
#define IDD_UI_TEST      900
#define IDD_UI_VISIBLE   901
#define IDC_T_FIRST      910
#define IDC_T_SECOND     911
#define IDC_T_NAME       912
#define IDC_T_CHECK      913
#define IDC_T_RADIO_A    914
#define IDC_T_RADIO_B    915
#define IDC_T_RADIO_C    916
#define IDC_T_SLIDER     917
#define IDC_T_LOG        918
#define IDC_T_BUTTON     919
#define IDC_T_COMBO      920
#define IDC_T_AFTER      921
