#!/usr/bin/env bash
# Checks the built camera library's binary interface: it exports exactly the
# 60 public names and the additions after them, undecorated, and (on Windows) imports from SonixCamera.dll
# only undecorated SonixCam_* vendor names.
# Usage: check_abi.sh <library file> [objdump]
set -euo pipefail
lib=$1
objdump=${2:-i686-w64-mingw32-objdump}

expected_exports="vorn_uvc_BurnerFW vorn_uvc_IsPreviewing vorn_uvc_PausePreview vorn_uvc_StartPreview
vorn_uvc_StopPreview vorn_uvc_closeCamera vorn_uvc_getAEC_Target vorn_uvc_getAEC_TargetRange
vorn_uvc_getBrightness vorn_uvc_getBrightnessRange vorn_uvc_getContrast vorn_uvc_getContrastRange
vorn_uvc_getCurrentPreviewResolutionInfo vorn_uvc_getEnumDevice vorn_uvc_getExposureValueThruReg
vorn_uvc_getGamma vorn_uvc_getGammaRange vorn_uvc_getManualExposureValue vorn_uvc_getPreviewResolutionCount
vorn_uvc_getPreviewResolutionInfo vorn_uvc_getSaturation vorn_uvc_getSaturationRange vorn_uvc_getSharpness
vorn_uvc_getSharpnessRange vorn_uvc_getVidPid vorn_uvc_get_AWB_Gain_Blue vorn_uvc_get_AWB_Gain_Green
vorn_uvc_get_AWB_Gain_Red vorn_uvc_get_FW_version vorn_uvc_get_interface vorn_uvc_get_product vorn_uvc_init
vorn_uvc_isAECModeOn vorn_uvc_isIlluminationOn vorn_uvc_isOpenCamera vorn_uvc_is_RegAEC_On vorn_uvc_is_RegAWB_On
vorn_uvc_openCamera vorn_uvc_restartDevice vorn_uvc_rotate180 vorn_uvc_selectDevice vorn_uvc_setAEC_Mode
vorn_uvc_setAEC_Target vorn_uvc_setAWB_Mode vorn_uvc_setBrightness vorn_uvc_setContrast
vorn_uvc_setExposureValueThruReg vorn_uvc_setGamma vorn_uvc_setIllumination vorn_uvc_setManualExposureValue
vorn_uvc_setSaturation vorn_uvc_setSharpness vorn_uvc_setVideoFormat vorn_uvc_set_AWB_Gain_Blue
vorn_uvc_set_AWB_Gain_Blue_ThruReg vorn_uvc_set_AWB_Gain_Red vorn_uvc_set_AWB_Gain_Red_ThruReg
vorn_uvc_set_RegAEC_Mode vorn_uvc_set_RegAWB_Mode vorn_uvc_unInit"

# Exports added after the 60; the 60 stay exactly as they are.
added_exports="vorn_uvc_getBrightnessDefault vorn_uvc_getContrastDefault vorn_uvc_getSaturationDefault
vorn_uvc_getSharpnessDefault vorn_uvc_getGammaDefault vorn_uvc_getAEC_TargetDefault
vorn_uvc_isAWBModeOn vorn_uvc_isRotate180On vorn_uvc_getSerialFlashType"

vendor_functions="SonixCam_Init SonixCam_UnInit SonixCam_EnumDevice SonixCam_SelectDevice SonixCam_RestartDevice
SonixCam_OpenCamera SonixCam_IsOpenCamera SonixCam_CloseCamera SonixCam_IsPreviewing SonixCam_StartPreview
SonixCam_PausePreview SonixCam_StopPreview SonixCam_GetFwVersion SonixCam_GetProduct SonixCam_GetInterface
SonixCam_GetVidPid SonixCam_GetPreviewResolutionCount SonixCam_GetPreviewResolutionInfo
SonixCam_GetCurrentPreviewResolutionInfo SonixCam_SetVideoFormat SonixCam_PropertyGet SonixCam_PropertySet
SonixCam_PropertyGetRange SonixCam_ControlGet SonixCam_ControlSet SonixCam_AsicRegisterRead
SonixCam_AsicRegisterWrite SonixCam_GetSerialFlashType SonixCam_BurnerFW"

fail=0
want=$(tr ' ' '\n' <<<"$expected_exports" | grep -v '^$' | sort)
[ "$(wc -l <<<"$want")" -eq 60 ] || { echo "expected list is not 60 names"; exit 1; }
want=$( (echo "$want"; tr ' ' '\n' <<<"$added_exports" | grep -v '^$') | sort)

case "$lib" in
*.dll)
  dump=$("$objdump" -p "$lib")
  # Export name table: lines "[ n] name" between the name-pointer header and
  # the next blank line.
  got=$(awk '/\[Ordinal\/Name Pointer\] Table/ {on=1; next} on && /^[[:space:]]*$/ {on=0} on {print $NF}' <<<"$dump" | sort)
  # Import names of SonixCamera.dll: the hint/name lines after its DLL Name.
  imports=$(awk '
    /DLL Name:/ {dll=$NF; next}
    dll == "SonixCamera.dll" && /^[[:space:]]*$/ {if (seen) dll=""; next}
    dll == "SonixCamera.dll" && /^[[:space:]]+[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+[^[:space:]]+$/ {seen=1; print $NF}
  ' <<<"$dump" | sort -u)
  if [ -z "$imports" ]; then
    echo "no imports from SonixCamera.dll found"; fail=1
  fi
  while read -r name; do
    [ -z "$name" ] && continue
    if ! grep -qx "$name" <<<"$(tr ' ' '\n' <<<"$vendor_functions")"; then
      echo "unexpected import from SonixCamera.dll: $name"; fail=1
    fi
  done <<<"$imports"
  # The runtime is linked in statically; nothing but system DLLs and the
  # vendor library may be needed at run time.
  others=$(grep 'DLL Name:' <<<"$dump" | awk '{print $NF}' | grep -viE '^(SonixCamera|KERNEL32|msvcrt|USER32|api-ms-win-.*)\.dll$' || true)
  if [ -n "$others" ]; then
    echo "unexpected DLL dependencies: $others"; fail=1
  fi
  ;;
*)
  got=$(nm -D --defined-only "$lib" | awk '$2 == "T" {print $3}' | sort)
  ;;
esac

if [ "$got" != "$want" ]; then
  echo "exports differ from the 60 public names and the additions:"
  diff <(echo "$want") <(echo "$got") || true
  fail=1
fi
[ "$fail" -eq 0 ] && echo "ABI check passed: $(wc -l <<<"$got") exports"
exit "$fail"
