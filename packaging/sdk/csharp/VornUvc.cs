// Vorn camera control library (vorn_uvc) for C#: the P/Invoke declarations
// of every export, and a small Camera class over them.
//
// Add this file to your project and put vorn_uvc.dll and the camera's
// SonixCamera.dll beside your program (or run it in the Vorn Controls
// program folder). vorn_uvc.dll is 32-bit: build for x86, not AnyCPU.
//
//   using (var cam = new Vorn.Uvc.Camera())      // init, first camera, open
//   {
//       cam.Brightness = 10;
//       Console.WriteLine(cam.Brightness + " " + cam.Range(Vorn.Uvc.Setting.Brightness));
//       byte[] jpeg = cam.Snapshot(TimeSpan.FromSeconds(30));
//   }
//
// The flat calls in NativeMethods return the library's code (0 success,
// 1 a camera call failed, 5 an argument out of range); Camera throws
// VornException with the code and the function's name instead. The
// reference of every call is docs/sdk.md.
using System;
using System.Collections.Generic;
using System.Runtime.InteropServices;
using System.Text;
using System.Threading;

namespace Vorn.Uvc
{
    /// <summary>One entry of the device table (4104 bytes).</summary>
    [StructLayout(LayoutKind.Sequential)]
    public struct DeviceRecord
    {
        [MarshalAs(UnmanagedType.ByValArray, SizeConst = 4096)]
        public byte[] DevicePath;
        public int DeviceIndex;
        public byte Present;
        [MarshalAs(UnmanagedType.ByValArray, SizeConst = 3)]
        public byte[] Reserved;

        public static DeviceRecord[] NewTable()
        {
            var table = new DeviceRecord[NativeMethods.MaxDevices];
            for (int i = 0; i < table.Length; ++i)
            {
                table[i].DevicePath = new byte[4096];
                table[i].Reserved = new byte[3];
            }
            return table;
        }

        public string Path
        {
            get { return NativeMethods.Text(DevicePath); }
        }
    }

    /// <summary>A preview resolution; only width and height are relied upon.</summary>
    [StructLayout(LayoutKind.Sequential)]
    public struct ResolutionInfo
    {
        public int Width;
        public int Height;
        public int FormatIndex;
        public int FrameRate;

        public override string ToString()
        {
            return Width + "x" + Height;
        }
    }

    /// <summary>Called by the camera once per frame (one JPEG image), on a
    /// thread of its own; data is valid only during the call.</summary>
    [UnmanagedFunctionPointer(CallingConvention.StdCall)]
    public delegate int FrameCallbackProc(IntPtr data, int length);

    /// <summary>Called during a burn with the fraction done, 0.0 to 1.0.</summary>
    [UnmanagedFunctionPointer(CallingConvention.Cdecl)]
    public delegate int BurnProgressProc(IntPtr context, float done);

    /// <summary>Every export of vorn_uvc, as the header declares it.</summary>
    public static class NativeMethods
    {
        /// <summary>vorn_uvc.dll on Windows (libvorn_uvc.so elsewhere).</summary>
        public const string Library = "vorn_uvc";
        public const int MaxDevices = 5;
        public const int Ok = 0;
        public const int Failed = 1;
        public const int OutOfRange = 5;

        // Session
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_init();
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_unInit();
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_getEnumDevice([In, Out] DeviceRecord[] records, out int count);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_selectDevice(int index);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_restartDevice();
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_openCamera(IntPtr window, int arg, FrameCallbackProc callback);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_closeCamera();
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_isOpenCamera([MarshalAs(UnmanagedType.I1)] out bool open);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_IsPreviewing([MarshalAs(UnmanagedType.I1)] out bool previewing);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_StartPreview();
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_PausePreview();
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_StopPreview();

        // Identity, formats, firmware
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_get_FW_version([Out] byte[] buf, int size, int mode);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_get_product([Out] byte[] buf, int size);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_get_interface([Out] byte[] buf, int size);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_getVidPid([Out] byte[] buf, int size);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_getPreviewResolutionCount(out int count);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_getPreviewResolutionInfo(int index, out ResolutionInfo info);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_getCurrentPreviewResolutionInfo(out ResolutionInfo info);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_setVideoFormat(int format, int resolutionIndex);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_BurnerFW([In] byte[] image, int length, BurnProgressProc progress,
                                                   IntPtr context, int fullVerify);

        // Picture properties and modes
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_getBrightness(out int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_getContrast(out int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_getSaturation(out int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_getSharpness(out int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_getGamma(out int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_getAEC_Target(out int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_setBrightness(int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_setContrast(int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_setSaturation(int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_setSharpness(int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_setGamma(int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_setAEC_Target(int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_getBrightnessRange(out int min, out int max);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_getContrastRange(out int min, out int max);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_getSaturationRange(out int min, out int max);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_getSharpnessRange(out int min, out int max);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_getGammaRange(out int min, out int max);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_getAEC_TargetRange(out int min, out int max);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_setAEC_Mode([MarshalAs(UnmanagedType.I1)] bool on);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_setAWB_Mode([MarshalAs(UnmanagedType.I1)] bool on);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_isAECModeOn([MarshalAs(UnmanagedType.I1)] out bool on);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_getManualExposureValue(out int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_setManualExposureValue(int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_set_AWB_Gain_Red(int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_set_AWB_Gain_Blue(int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_rotate180([MarshalAs(UnmanagedType.I1)] bool on);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_isIlluminationOn([MarshalAs(UnmanagedType.I1)] out bool on);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_setIllumination([MarshalAs(UnmanagedType.I1)] bool on);

        // Image processor registers
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_set_RegAWB_Mode([MarshalAs(UnmanagedType.I1)] bool on);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_set_RegAEC_Mode([MarshalAs(UnmanagedType.I1)] bool on);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_is_RegAWB_On([MarshalAs(UnmanagedType.I1)] out bool on);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_is_RegAEC_On([MarshalAs(UnmanagedType.I1)] out bool on);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_get_AWB_Gain_Red(out int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_get_AWB_Gain_Green(out int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_get_AWB_Gain_Blue(out int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_set_AWB_Gain_Red_ThruReg(int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_set_AWB_Gain_Blue_ThruReg(int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_getExposureValueThruReg(out int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_setExposureValueThruReg(int value);

        // Additions after the 60
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_getBrightnessDefault(out int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_getContrastDefault(out int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_getSaturationDefault(out int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_getSharpnessDefault(out int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_getGammaDefault(out int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_getAEC_TargetDefault(out int value);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_isAWBModeOn([MarshalAs(UnmanagedType.I1)] out bool on);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_isRotate180On([MarshalAs(UnmanagedType.I1)] out bool on);
        [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
        public static extern int vorn_uvc_getSerialFlashType(out int type);

        /// <summary>The zero-terminated text in a buffer the library filled.</summary>
        public static string Text(byte[] buffer)
        {
            int end = Array.IndexOf(buffer, (byte)0);
            return Encoding.ASCII.GetString(buffer, 0, end < 0 ? buffer.Length : end);
        }
    }

    /// <summary>A library call returned 1 (a camera call failed) or 5 (an
    /// argument out of range).</summary>
    public class VornException : Exception
    {
        public int Code { get; private set; }
        public string Function { get; private set; }

        public VornException(int code, string function)
            : base(function + " returned " + code +
                   (code == NativeMethods.OutOfRange ? " (an argument is out of range)" : " (a camera call failed)"))
        {
            Code = code;
            Function = function;
        }

        public static void Check(int code, string function)
        {
            if (code != NativeMethods.Ok) throw new VornException(code, function);
        }
    }

    /// <summary>The nine picture settings.</summary>
    public enum Setting { Brightness, Contrast, Saturation, Sharpness, Gamma, AecTarget, Exposure, RedGain, BlueGain }

    public struct SettingRange
    {
        public int Min;
        public int Max;

        public SettingRange(int min, int max)
        {
            Min = min;
            Max = max;
        }

        public override string ToString()
        {
            return Min + " to " + Max;
        }
    }

    /// <summary>One camera. The constructor initialises the library, selects
    /// the camera numbered device (0 for the first) and opens it with a frame
    /// callback of its own; Dispose stops the preview, closes the camera and
    /// uninitialises the library.</summary>
    public sealed class Camera : IDisposable
    {
        private delegate int GetInt(out int value);
        private delegate int GetRange(out int min, out int max);

        // Failures name the export: the delegates' methods carry its name.
        private struct Accessors
        {
            public GetInt Get;
            public Func<int, int> Set;
            public GetRange Range;
            public GetInt Default;
        }

        // In the order of Setting. The last three have the library's fixed ranges.
        private static readonly Accessors[] Settings =
        {
            new Accessors { Get = NativeMethods.vorn_uvc_getBrightness, Set = NativeMethods.vorn_uvc_setBrightness,
                            Range = NativeMethods.vorn_uvc_getBrightnessRange, Default = NativeMethods.vorn_uvc_getBrightnessDefault },
            new Accessors { Get = NativeMethods.vorn_uvc_getContrast, Set = NativeMethods.vorn_uvc_setContrast,
                            Range = NativeMethods.vorn_uvc_getContrastRange, Default = NativeMethods.vorn_uvc_getContrastDefault },
            new Accessors { Get = NativeMethods.vorn_uvc_getSaturation, Set = NativeMethods.vorn_uvc_setSaturation,
                            Range = NativeMethods.vorn_uvc_getSaturationRange, Default = NativeMethods.vorn_uvc_getSaturationDefault },
            new Accessors { Get = NativeMethods.vorn_uvc_getSharpness, Set = NativeMethods.vorn_uvc_setSharpness,
                            Range = NativeMethods.vorn_uvc_getSharpnessRange, Default = NativeMethods.vorn_uvc_getSharpnessDefault },
            new Accessors { Get = NativeMethods.vorn_uvc_getGamma, Set = NativeMethods.vorn_uvc_setGamma,
                            Range = NativeMethods.vorn_uvc_getGammaRange, Default = NativeMethods.vorn_uvc_getGammaDefault },
            new Accessors { Get = NativeMethods.vorn_uvc_getAEC_Target, Set = NativeMethods.vorn_uvc_setAEC_Target,
                            Range = NativeMethods.vorn_uvc_getAEC_TargetRange, Default = NativeMethods.vorn_uvc_getAEC_TargetDefault },
            new Accessors { Get = NativeMethods.vorn_uvc_getManualExposureValue,
                            Set = NativeMethods.vorn_uvc_setManualExposureValue },
            new Accessors { Get = NativeMethods.vorn_uvc_get_AWB_Gain_Red, Set = NativeMethods.vorn_uvc_set_AWB_Gain_Red },
            new Accessors { Get = NativeMethods.vorn_uvc_get_AWB_Gain_Blue, Set = NativeMethods.vorn_uvc_set_AWB_Gain_Blue },
        };

        private static readonly SettingRange ExposureRange = new SettingRange(-13, -1);
        private static readonly SettingRange GainRange = new SettingRange(128, 512);

        private readonly int device;
        private readonly FrameCallbackProc frameCallback;  // kept alive while the camera may call it
        private readonly object frameLock = new object();
        private byte[] lastFrame;
        private long frameCount;
        private bool initialised;
        private bool open;
        private bool previewing;

        public string[] Devices { get; private set; }

        public Camera(int device = 0)
        {
            this.device = device;
            frameCallback = OnFrame;
            try
            {
                Init();
                if (device < 0 || device >= Devices.Length)
                    throw new ArgumentOutOfRangeException("device", "no camera " + device + ": " + Devices.Length + " camera(s) found");
                SelectAndOpen();
            }
            catch
            {
                Dispose();
                throw;
            }
        }

        /// <summary>Stops, closes and uninitialises whatever the constructor
        /// or Restart got to; failures on the way are not thrown.</summary>
        public void Dispose()
        {
            if (previewing) NativeMethods.vorn_uvc_StopPreview();
            previewing = false;
            if (open) NativeMethods.vorn_uvc_closeCamera();
            open = false;
            if (initialised) NativeMethods.vorn_uvc_unInit();
            initialised = false;
            GC.KeepAlive(frameCallback);
        }

        private void Init()
        {
            VornException.Check(NativeMethods.vorn_uvc_init(), "vorn_uvc_init");
            initialised = true;
            Devices = Enumerate();
        }

        private static string[] Enumerate()
        {
            var table = DeviceRecord.NewTable();
            int count;
            VornException.Check(NativeMethods.vorn_uvc_getEnumDevice(table, out count), "vorn_uvc_getEnumDevice");
            var paths = new string[Math.Max(0, Math.Min(count, table.Length))];
            for (int i = 0; i < paths.Length; ++i) paths[i] = table[i].Path;
            return paths;
        }

        private void SelectAndOpen()
        {
            VornException.Check(NativeMethods.vorn_uvc_selectDevice(device), "vorn_uvc_selectDevice");
            VornException.Check(NativeMethods.vorn_uvc_openCamera(IntPtr.Zero, 0, frameCallback), "vorn_uvc_openCamera");
            open = true;
        }

        private static string Text(Func<byte[], int, int> call, int size, string function)
        {
            var buf = new byte[size];
            VornException.Check(call(buf, size), function);
            return NativeMethods.Text(buf);
        }

        private static bool Flag(GetBool get, string function)
        {
            bool on;
            VornException.Check(get(out on), function);
            return on;
        }

        private delegate int GetBool(out bool on);

        // --- identity ------------------------------------------------------

        public string Product
        {
            get { return Text(NativeMethods.vorn_uvc_get_product, 100, "vorn_uvc_get_product"); }
        }

        public string Interface
        {
            get { return Text(NativeMethods.vorn_uvc_get_interface, 100, "vorn_uvc_get_interface"); }
        }

        public string FirmwareVersion
        {
            get { return Text((b, n) => NativeMethods.vorn_uvc_get_FW_version(b, n, 1), 60, "vorn_uvc_get_FW_version"); }
        }

        /// <summary>The first four identity bytes (vendor and product ids).</summary>
        public byte[] VidPid
        {
            get
            {
                var buf = new byte[16];
                VornException.Check(NativeMethods.vorn_uvc_getVidPid(buf, buf.Length), "vorn_uvc_getVidPid");
                var ids = new byte[4];
                Array.Copy(buf, ids, 4);
                return ids;
            }
        }

        public int FlashType
        {
            get
            {
                int type;
                VornException.Check(NativeMethods.vorn_uvc_getSerialFlashType(out type), "vorn_uvc_getSerialFlashType");
                return type;
            }
        }

        // --- picture settings ---------------------------------------------

        public int Get(Setting setting)
        {
            var a = Settings[(int)setting];
            int value;
            VornException.Check(a.Get(out value), a.Get.Method.Name);
            return value;
        }

        public void Set(Setting setting, int value)
        {
            var a = Settings[(int)setting];
            VornException.Check(a.Set(value), a.Set.Method.Name);
        }

        /// <summary>The camera's range of the first six settings, the
        /// library's fixed one of the exposure step and the two gains.</summary>
        public SettingRange Range(Setting setting)
        {
            if (setting == Setting.Exposure) return ExposureRange;
            if (setting == Setting.RedGain || setting == Setting.BlueGain) return GainRange;
            var a = Settings[(int)setting];
            int min, max;
            VornException.Check(a.Range(out min, out max), a.Range.Method.Name);
            return new SettingRange(min, max);
        }

        /// <summary>The camera's default of one of the first six settings.</summary>
        public int Default(Setting setting)
        {
            var a = Settings[(int)setting];
            if (a.Default == null) throw new ArgumentException(setting + " has no camera default", "setting");
            int value;
            VornException.Check(a.Default(out value), a.Default.Method.Name);
            return value;
        }

        public int Brightness { get { return Get(Setting.Brightness); } set { Set(Setting.Brightness, value); } }
        public int Contrast { get { return Get(Setting.Contrast); } set { Set(Setting.Contrast, value); } }
        public int Saturation { get { return Get(Setting.Saturation); } set { Set(Setting.Saturation, value); } }
        public int Sharpness { get { return Get(Setting.Sharpness); } set { Set(Setting.Sharpness, value); } }
        public int Gamma { get { return Get(Setting.Gamma); } set { Set(Setting.Gamma, value); } }
        public int AecTarget { get { return Get(Setting.AecTarget); } set { Set(Setting.AecTarget, value); } }
        /// <summary>The exposure step, -13 to -1 (read in either mode).</summary>
        public int Exposure { get { return Get(Setting.Exposure); } set { Set(Setting.Exposure, value); } }
        public int RedGain { get { return Get(Setting.RedGain); } set { Set(Setting.RedGain, value); } }
        public int BlueGain { get { return Get(Setting.BlueGain); } set { Set(Setting.BlueGain, value); } }

        // --- modes --------------------------------------------------------

        public bool AutoExposure
        {
            get { return Flag(NativeMethods.vorn_uvc_isAECModeOn, "vorn_uvc_isAECModeOn"); }
            set { VornException.Check(NativeMethods.vorn_uvc_setAEC_Mode(value), "vorn_uvc_setAEC_Mode"); }
        }

        public bool AutoWhiteBalance
        {
            get { return Flag(NativeMethods.vorn_uvc_isAWBModeOn, "vorn_uvc_isAWBModeOn"); }
            set { VornException.Check(NativeMethods.vorn_uvc_setAWB_Mode(value), "vorn_uvc_setAWB_Mode"); }
        }

        public bool Rotate180
        {
            get { return Flag(NativeMethods.vorn_uvc_isRotate180On, "vorn_uvc_isRotate180On"); }
            set { VornException.Check(NativeMethods.vorn_uvc_rotate180(value), "vorn_uvc_rotate180"); }
        }

        public bool Illumination
        {
            get { return Flag(NativeMethods.vorn_uvc_isIlluminationOn, "vorn_uvc_isIlluminationOn"); }
            set { VornException.Check(NativeMethods.vorn_uvc_setIllumination(value), "vorn_uvc_setIllumination"); }
        }

        // --- resolutions and the picture -----------------------------------

        public IList<ResolutionInfo> Resolutions
        {
            get
            {
                int count;
                VornException.Check(NativeMethods.vorn_uvc_getPreviewResolutionCount(out count),
                                    "vorn_uvc_getPreviewResolutionCount");
                var list = new List<ResolutionInfo>();
                for (int i = 0; i < count; ++i)
                {
                    ResolutionInfo info;
                    VornException.Check(NativeMethods.vorn_uvc_getPreviewResolutionInfo(i, out info),
                                        "vorn_uvc_getPreviewResolutionInfo");
                    list.Add(info);
                }
                return list;
            }
        }

        public ResolutionInfo CurrentResolution
        {
            get
            {
                ResolutionInfo info;
                VornException.Check(NativeMethods.vorn_uvc_getCurrentPreviewResolutionInfo(out info),
                                    "vorn_uvc_getCurrentPreviewResolutionInfo");
                return info;
            }
        }

        /// <summary>Chooses Resolutions[index] for the next start; not while previewing.</summary>
        public void SetResolution(int index)
        {
            VornException.Check(NativeMethods.vorn_uvc_setVideoFormat(0, index), "vorn_uvc_setVideoFormat");
        }

        public bool Previewing
        {
            get { return Flag(NativeMethods.vorn_uvc_IsPreviewing, "vorn_uvc_IsPreviewing"); }
        }

        public void Start()
        {
            VornException.Check(NativeMethods.vorn_uvc_StartPreview(), "vorn_uvc_StartPreview");
            previewing = true;
        }

        public void Stop()
        {
            VornException.Check(NativeMethods.vorn_uvc_StopPreview(), "vorn_uvc_StopPreview");
            previewing = false;
        }

        // On the camera's thread: the bytes are valid only during the call,
        // so they are copied before it returns.
        private int OnFrame(IntPtr data, int length)
        {
            var frame = new byte[Math.Max(0, length)];
            if (data != IntPtr.Zero && length > 0) Marshal.Copy(data, frame, 0, length);
            lock (frameLock)
            {
                lastFrame = frame;
                ++frameCount;
                Monitor.PulseAll(frameLock);
            }
            return 0;
        }

        public long FramesReceived
        {
            get { lock (frameLock) return frameCount; }
        }

        /// <summary>The next whole frame (a JPEG image) after this call. Starts
        /// the preview for it when it is not running.</summary>
        public byte[] Snapshot(TimeSpan timeout)
        {
            bool startedHere = !previewing;
            if (startedHere) Start();
            try
            {
                var deadline = DateTime.UtcNow + timeout;
                lock (frameLock)
                {
                    long seen = frameCount;
                    while (frameCount == seen)
                    {
                        var left = deadline - DateTime.UtcNow;
                        if (left <= TimeSpan.Zero) throw new TimeoutException("no frame within " + timeout);
                        Monitor.Wait(frameLock, left);
                    }
                    return lastFrame;
                }
            }
            finally
            {
                if (startedHere) Stop();
            }
        }

        // --- firmware -----------------------------------------------------

        /// <summary>Writes a firmware image into the camera's flash; progress
        /// gets the fraction done (0.0 to 1.0) on this thread. The preview is
        /// stopped first. Afterwards call Restart.</summary>
        public void Burn(byte[] image, Action<float> progress, bool fullVerify)
        {
            if (previewing) Stop();
            Exception raised = null;
            BurnProgressProc report = (context, done) =>
            {
                if (progress != null && raised == null)
                {
                    try { progress(done); }
                    catch (Exception e) { raised = e; }  // thrown once the burn returns
                }
                return 0;
            };
            int code = NativeMethods.vorn_uvc_BurnerFW(image, image.Length, report, IntPtr.Zero, fullVerify ? 1 : 0);
            GC.KeepAlive(report);
            if (raised != null) throw raised;
            VornException.Check(code, "vorn_uvc_BurnerFW");
        }

        /// <summary>Boots the camera from its flash (after a burn) and opens it
        /// again: restart, pause, uninitialise, pause, initialise, select, open.</summary>
        public void Restart(TimeSpan settle)
        {
            previewing = false;
            open = false;
            VornException.Check(NativeMethods.vorn_uvc_restartDevice(), "vorn_uvc_restartDevice");
            Thread.Sleep(settle);
            initialised = false;
            VornException.Check(NativeMethods.vorn_uvc_unInit(), "vorn_uvc_unInit");
            Thread.Sleep(settle);
            Init();
            SelectAndOpen();
        }
    }
}
