// The C# binding (packaging/sdk/csharp/VornUvc.cs) under mono, against the
// native library and the simulated camera: every P/Invoke declaration is
// compared with the header, then the Camera class works a camera.
//   mono csharp_binding_test.exe <vorn_uvc.h> <scenario file>
// Prints one line per check; exits with the number of failed checks.
using System;
using System.Collections.Generic;
using System.IO;
using System.Linq;
using System.Reflection;
using System.Runtime.InteropServices;
using System.Text.RegularExpressions;
using Vorn.Uvc;

static class Simulator
{
    [DllImport("SonixCamera", CallingConvention = CallingConvention.StdCall)]
    public static extern int SonixSim_LoadScenarioFile(string path);
    [DllImport("SonixCamera", CallingConvention = CallingConvention.StdCall)]
    public static extern int SonixSim_SetFaults(string rules);
}

static class BindingTest
{
    static int failures;

    static void Check(bool ok, string what)
    {
        Console.Out.WriteLine((ok ? "ok   - " : "FAIL - ") + what);
        Console.Out.Flush();
        if (!ok) ++failures;
    }

    static void Equal<T>(T expected, T actual, string what)
    {
        bool ok = EqualityComparer<T>.Default.Equals(expected, actual);
        Check(ok, ok ? what : what + ": expected " + expected + ", got " + actual);
    }

    static void Throws(int code, string function, Action action, string what)
    {
        try
        {
            action();
            Check(false, what + ": nothing thrown");
        }
        catch (VornException e)
        {
            Check(e.Code == code && e.Function == function && e.Message.Contains(function),
                  what + " (" + e.Message + ")");
        }
    }

    // --- the declarations against the header ------------------------------

    // C type in the header -> what the declaration must say for it.
    static readonly Dictionary<string, Type> CTypes = new Dictionary<string, Type>
    {
        { "int", typeof(int) }, { "int*", typeof(int).MakeByRefType() },
        { "bool", typeof(bool) }, { "bool*", typeof(bool).MakeByRefType() },
        { "char*", typeof(byte[]) }, { "uint8_t*", typeof(byte[]) },
        { "float", typeof(float) }, { "void*", typeof(IntPtr) }, { "VORN_HWND", typeof(IntPtr) },
        { "DeviceRecord*", typeof(DeviceRecord[]) }, { "ResolutionInfo*", typeof(ResolutionInfo).MakeByRefType() },
        { "FrameCallbackProc", typeof(FrameCallbackProc) }, { "BurnProgressProc", typeof(BurnProgressProc) },
    };

    static List<string> ParameterTypes(string parameters)
    {
        var types = new List<string>();
        foreach (var p in parameters.Split(','))
        {
            var words = p.Replace("*", " * ").Split(new[] { ' ', '\t', '\n', '\r' }, StringSplitOptions.RemoveEmptyEntries)
                         .Where(w => w != "const").ToList();
            if (words.Count == 0 || (words.Count == 1 && words[0] == "void")) continue;
            if (words.Count > 1 && words[words.Count - 1] != "*") words.RemoveAt(words.Count - 1);
            types.Add(string.Concat(words));
        }
        return types;
    }

    static bool IsOneByteBool(ParameterInfo p)
    {
        var m = p.GetCustomAttributes(typeof(MarshalAsAttribute), false).Cast<MarshalAsAttribute>().FirstOrDefault();
        return m != null && m.Value == UnmanagedType.I1;
    }

    static void DeclarationsFollowTheHeader(string headerPath)
    {
        string header = Regex.Replace(File.ReadAllText(headerPath), @"/\*.*?\*/", " ", RegexOptions.Singleline);
        var exports = Regex.Matches(header, @"VORN_UVC_API\s+int\s+VORN_CDECL\s+(\w+)\s*\(([^)]*)\)\s*;")
                           .Cast<Match>().ToDictionary(m => m.Groups[1].Value, m => ParameterTypes(m.Groups[2].Value));
        var declared = typeof(NativeMethods).GetMethods(BindingFlags.Public | BindingFlags.Static)
                           .Where(m => m.GetCustomAttributes(typeof(DllImportAttribute), false).Length > 0)
                           .ToDictionary(m => m.Name);
        Check(exports.Count >= 69, "the header declares the 60 exports and the additions (" + exports.Count + ")");
        var missing = exports.Keys.Where(n => !declared.ContainsKey(n)).ToList();
        var extra = declared.Keys.Where(n => !exports.ContainsKey(n)).ToList();
        Check(missing.Count == 0 && extra.Count == 0,
              "NativeMethods declares exactly the header's exports (missing: " + string.Join(" ", missing) +
              "; not in the header: " + string.Join(" ", extra) + ")");
        var wrong = new List<string>();
        foreach (var export in exports)
        {
            MethodInfo method;
            if (!declared.TryGetValue(export.Key, out method)) continue;
            var import = (DllImportAttribute)method.GetCustomAttributes(typeof(DllImportAttribute), false)[0];
            var parameters = method.GetParameters();
            bool ok = import.Value == NativeMethods.Library && import.CallingConvention == CallingConvention.Cdecl &&
                      method.ReturnType == typeof(int) && parameters.Length == export.Value.Count;
            for (int i = 0; ok && i < parameters.Length; ++i)
            {
                Type want;
                ok = CTypes.TryGetValue(export.Value[i], out want) && parameters[i].ParameterType == want &&
                     (!export.Value[i].StartsWith("bool") || IsOneByteBool(parameters[i]));
            }
            if (!ok) wrong.Add(export.Key);
        }
        Check(wrong.Count == 0, "each declaration is cdecl with the header's types (wrong: " + string.Join(" ", wrong) + ")");

        var frame = typeof(FrameCallbackProc);
        var burn = typeof(BurnProgressProc);
        Func<Type, CallingConvention> convention = t =>
            ((UnmanagedFunctionPointerAttribute)t.GetCustomAttributes(typeof(UnmanagedFunctionPointerAttribute), false)[0]).CallingConvention;
        Func<Type, string> signature = t => string.Join(",", t.GetMethod("Invoke").GetParameters().Select(p => p.ParameterType.Name)) +
                                            "->" + t.GetMethod("Invoke").ReturnType.Name;
        Check(Regex.IsMatch(header, @"typedef\s+int\s*\(\s*VORN_STDCALL\s*\*\s*FrameCallbackProc\s*\)\s*\(\s*const\s+uint8_t\s*\*\s*\w+\s*,\s*int\s+\w+\s*\)") &&
              convention(frame) == CallingConvention.StdCall && signature(frame) == "IntPtr,Int32->Int32",
              "FrameCallbackProc is stdcall (data, length) -> int, as the header says");
        Check(Regex.IsMatch(header, @"typedef\s+int\s*\(\s*VORN_CDECL\s*\*\s*BurnProgressProc\s*\)\s*\(\s*void\s*\*\s*\w+\s*,\s*float\s+\w+\s*\)") &&
              convention(burn) == CallingConvention.Cdecl && signature(burn) == "IntPtr,Single->Int32",
              "BurnProgressProc is cdecl (context, done) -> int, as the header says");
        Equal(4104, Marshal.SizeOf(typeof(DeviceRecord)), "DeviceRecord is 4104 bytes");
        Equal(16, Marshal.SizeOf(typeof(ResolutionInfo)), "ResolutionInfo is 16 bytes");
    }

    // --- the Camera class at work ------------------------------------------

    static byte[] FirmwareImage(string version)
    {
        var image = Enumerable.Repeat((byte)0xFF, 65536).ToArray();
        var record = System.Text.Encoding.ASCII.GetBytes("VVER" + version + "\0");
        Array.Copy(record, 0, image, 0x100, record.Length);
        return image;
    }

    static void CameraAtWork(string scenario)
    {
        Simulator.SonixSim_LoadScenarioFile(scenario);
        using (var cam = new Camera(1))
        {
            Equal(2, cam.Devices.Length, "two cameras enumerated");
            Equal("Vorn UC-21 Bench Camera", cam.Product, "the second camera's product");
            Equal("Vorn-Corvanith-220301B-1.4", cam.FirmwareVersion, "its firmware version");
            Equal("VORO", System.Text.Encoding.ASCII.GetString(cam.VidPid), "its identity bytes");
            Equal(3, cam.FlashType, "its flash type");
        }

        try
        {
            new Camera(2);
            Check(false, "a third camera is refused");
        }
        catch (ArgumentOutOfRangeException)
        {
            bool open;
            Check(NativeMethods.vorn_uvc_isOpenCamera(out open) == 1, "a third camera is refused, the library left uninitialised");
        }

        Simulator.SonixSim_LoadScenarioFile(scenario);
        using (var cam = new Camera())
        {
            cam.AutoWhiteBalance = false;  // the camera's own balance would rewrite the gains
            var settings = new[] {
                new { S = Setting.Brightness, Min = -64, Max = 64, Default = 0 },
                new { S = Setting.Contrast, Min = 0, Max = 95, Default = 32 },
                new { S = Setting.Saturation, Min = 0, Max = 100, Default = 64 },
                new { S = Setting.Sharpness, Min = 0, Max = 7, Default = 3 },
                new { S = Setting.Gamma, Min = 72, Max = 500, Default = 100 },
                new { S = Setting.AecTarget, Min = 0, Max = 255, Default = 128 },
            };
            foreach (var s in settings)
            {
                var range = cam.Range(s.S);
                Check(range.Min == s.Min && range.Max == s.Max && cam.Default(s.S) == s.Default,
                      s.S + ": range " + range + ", default " + s.Default);
                int value = s.Min + (s.Max - s.Min) / 3;
                cam.Set(s.S, value);
                Equal(value, cam.Get(s.S), s.S + " reads back the value set");
            }
            cam.Brightness = 10;
            Equal(10, cam.Brightness, "Brightness as a property");
            Throws(1, "vorn_uvc_setBrightness", () => cam.Brightness = 65, "a brightness the camera refuses throws code 1");
            cam.Exposure = -7;
            Equal(-7, cam.Exposure, "Exposure reads back -7");
            Throws(5, "vorn_uvc_setManualExposureValue", () => cam.Exposure = 0, "exposure 0 throws code 5");
            cam.RedGain = 300;
            cam.BlueGain = 512;
            Check(cam.RedGain == 300 && cam.BlueGain == 512, "the colour gains read back");
            Throws(5, "vorn_uvc_set_AWB_Gain_Red", () => cam.RedGain = 513, "red gain 513 throws code 5");
            Check(cam.Range(Setting.Exposure).Min == -13 && cam.Range(Setting.BlueGain).Max == 512, "the library's fixed ranges");

            foreach (var on in new[] { true, false, true })
            {
                cam.AutoExposure = on;
                cam.AutoWhiteBalance = on;
                cam.Rotate180 = on;
                cam.Illumination = on;
                Check(cam.AutoExposure == on && cam.AutoWhiteBalance == on && cam.Rotate180 == on && cam.Illumination == on,
                      "the four modes read back " + on);
            }

            Simulator.SonixSim_SetFaults("SonixCam_PropertyGet.1 = once");
            Throws(1, "vorn_uvc_getContrast", () => { var c = cam.Contrast; }, "a failed camera call throws code 1");

            Equal("1280x800 1280x720 800x600 640x480 320x240", string.Join(" ", cam.Resolutions),
                  "the five resolutions");
            cam.SetResolution(3);
            Equal("640x480", cam.CurrentResolution.ToString(), "the chosen resolution");
            var jpeg = cam.Snapshot(TimeSpan.FromSeconds(30));
            Check(jpeg.Length > 4 && jpeg[0] == 0xFF && jpeg[1] == 0xD8 && jpeg[jpeg.Length - 2] == 0xFF &&
                  jpeg[jpeg.Length - 1] == 0xD9, "a snapshot is one whole JPEG image (" + jpeg.Length + " bytes)");
            Check(!cam.Previewing, "the snapshot stopped the preview it started");

            var done = new List<float>();
            const string version = "Vorn-Corvanith-230101Z-2.0";
            cam.Burn(FirmwareImage(version), done.Add, true);
            Check(done.Count > 2 && done[0] == 0.0f && done[done.Count - 1] == 1.0f &&
                  done.Zip(done.Skip(1), (a, b) => a <= b).All(x => x), "burn progress runs from 0 to 1");
            cam.Restart(TimeSpan.Zero);
            Equal(version, cam.FirmwareVersion, "after the restart the camera runs the new firmware");
        }
    }

    static int Main(string[] args)
    {
        try
        {
            DeclarationsFollowTheHeader(args[0]);
            CameraAtWork(args[1]);
        }
        catch (Exception e)
        {
            Check(false, "unexpected " + e);
        }
        Console.Out.WriteLine(failures == 0 ? "csharp binding: all checks passed" : "csharp binding: " + failures + " check(s) failed");
        return failures;
    }
}
