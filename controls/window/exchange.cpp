// The main window's data exchange: the only place fields and controls meet.
#include "resources/resource.h"
#include "ui/data_exchange.h"
#include "window/main_dialog.h"

void CVornControlsDlg::DoDataExchange(ui::DataExchange& dx) {
    m_statusBox.Exchange(dx, IDC_STATUS, m_statusText);

    dx.Check(IDC_AUTO_EXPOSURE, m_aecOn);
    dx.Check(IDC_AUTO_WB, m_awbOn);
    dx.Check(IDC_ILLUMINATION, m_illuminationOn);
    dx.Check(IDC_ROTATE_180, m_rotate180);
    dx.Check(IDC_SHOW_STATUS, m_showStatus);

    dx.Int(IDC_AEC_TARGET_EDIT, m_aecTarget);
    dx.Int(IDC_MANUAL_EXPOSURE_EDIT, m_manualExposure);
    dx.Int(IDC_GAIN_BLUE_EDIT, m_gainBlue);
    dx.Int(IDC_GAIN_RED_EDIT, m_gainRed);
    dx.Int(IDC_BRIGHTNESS_EDIT, m_brightness);
    dx.Int(IDC_CONTRAST_EDIT, m_contrast);
    dx.Int(IDC_SATURATION_EDIT, m_saturation);
    dx.Int(IDC_SHARPNESS_EDIT, m_sharpness);
    dx.Int(IDC_GAMMA_EDIT, m_gamma);

    dx.Radio(IDC_FILETYPE_BMP, m_fileType);
    dx.Text(IDC_SNAPSHOT_FOLDER, m_snapshotFolder);

    // Warnings only, and only while reading the controls.
    ValidatePropertyRanges(dx);

    dx.SliderPos(IDC_AEC_TARGET_SLIDER, m_aecTargetPos);
    dx.SliderPos(IDC_MANUAL_EXPOSURE_SLIDER, m_manualExposurePos);
    dx.SliderPos(IDC_GAIN_BLUE_SLIDER, m_gainBluePos);
    dx.SliderPos(IDC_GAIN_RED_SLIDER, m_gainRedPos);
    dx.SliderPos(IDC_BRIGHTNESS_SLIDER, m_brightnessPos);
    dx.SliderPos(IDC_CONTRAST_SLIDER, m_contrastPos);
    dx.SliderPos(IDC_SATURATION_SLIDER, m_saturationPos);
    dx.SliderPos(IDC_SHARPNESS_SLIDER, m_sharpnessPos);
    dx.SliderPos(IDC_GAMMA_SLIDER, m_gammaPos);

    dx.Control(IDC_AEC_TARGET_SLIDER, m_aecTargetSlider);
    dx.Control(IDC_BRIGHTNESS_SLIDER, m_brightnessSlider);
    dx.Control(IDC_GAIN_BLUE_SLIDER, m_gainBlueSlider);
    dx.Control(IDC_GAIN_RED_SLIDER, m_gainRedSlider);
    dx.Control(IDC_CONTRAST_SLIDER, m_contrastSlider);
    dx.Control(IDC_GAMMA_SLIDER, m_gammaSlider);
    dx.Control(IDC_MANUAL_EXPOSURE_SLIDER, m_manualExposureSlider);
    dx.Control(IDC_SATURATION_SLIDER, m_saturationSlider);
    dx.Control(IDC_SHARPNESS_SLIDER, m_sharpnessSlider);
    dx.Control(IDC_STATUS, m_statusEdit);
    dx.Control(IDC_RESOLUTION, m_resolutionCombo);
    dx.Control(IDC_DEVICE, m_deviceCombo);
}
