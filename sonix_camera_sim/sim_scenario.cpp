#include "sim_scenario.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace sonix_sim {

CameraSetup::CameraSetup() {
    // value, min, max, step, default, flags (1 auto, 2 manual)
    properties[0] = {0, -64, 64, 1, 0, 2};        // brightness
    properties[1] = {32, 0, 95, 1, 32, 2};        // contrast
    properties[3] = {64, 0, 100, 1, 64, 2};       // saturation
    properties[4] = {3, 0, 7, 1, 3, 2};           // sharpness
    properties[5] = {100, 72, 500, 1, 100, 2};    // gamma
    properties[7] = {4600, 2800, 6500, 1, 4600, 1};  // white balance, Kelvin
    properties[8] = {128, 0, 255, 1, 128, 1};     // AEC target
    controls[0] = {256, 0, 1023, 1, 256, 2};      // colour gain blue (10-bit register value)
    controls[1] = {256, 0, 1023, 1, 256, 2};      // colour gain red
    controls[2] = {0, 0, 3, 3, 0, 2};             // rotation: 0 upright, 3 turned
    controls[4] = {-6, -13, -1, 1, -6, 1};        // exposure step
    controls[6] = {1, 0, 1, 1, 1, 0};             // illumination: 0 on, 1 off
    resolutions = {{1280, 800}, {1280, 720}, {800, 600}, {640, 480}, {320, 240}};
}

Scenario DefaultScenario() {
    Scenario s;
    s.cameras.emplace_back();
    return s;
}

namespace {

struct VendorName {
    const char* name;
    bool intFirstArg;
};

constexpr VendorName kVendorFunctions[] = {
    {"SonixCam_Init", true},
    {"SonixCam_UnInit", false},
    {"SonixCam_EnumDevice", false},
    {"SonixCam_SelectDevice", true},
    {"SonixCam_RestartDevice", false},
    {"SonixCam_OpenCamera", false},
    {"SonixCam_IsOpenCamera", false},
    {"SonixCam_CloseCamera", false},
    {"SonixCam_IsPreviewing", false},
    {"SonixCam_StartPreview", false},
    {"SonixCam_PausePreview", false},
    {"SonixCam_StopPreview", false},
    {"SonixCam_GetFwVersion", false},
    {"SonixCam_GetProduct", false},
    {"SonixCam_GetInterface", false},
    {"SonixCam_GetVidPid", false},
    {"SonixCam_GetPreviewResolutionCount", false},
    {"SonixCam_GetPreviewResolutionInfo", true},
    {"SonixCam_GetCurrentPreviewResolutionInfo", false},
    {"SonixCam_SetVideoFormat", true},
    {"SonixCam_PropertyGet", true},
    {"SonixCam_PropertySet", true},
    {"SonixCam_PropertyGetRange", true},
    {"SonixCam_ControlGet", true},
    {"SonixCam_ControlSet", true},
    {"SonixCam_AsicRegisterRead", true},
    {"SonixCam_AsicRegisterWrite", true},
    {"SonixCam_GetSerialFlashType", false},
    {"SonixCam_BurnerFW", false},
};

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

std::vector<std::string> Words(const std::string& s) {
    std::vector<std::string> out;
    std::istringstream in(s);
    std::string w;
    while (in >> w) out.push_back(w);
    return out;
}

// Decimal or 0x-hex, optionally negative; the whole word must be a number.
bool ParseInt(const std::string& w, long& out) {
    if (w.empty()) return false;
    const char* p = w.c_str();
    bool neg = false;
    if (*p == '-' || *p == '+') {
        neg = *p == '-';
        ++p;
    }
    int base = 10;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        base = 16;
        p += 2;
    }
    if (!*p || !std::isxdigit(static_cast<unsigned char>(*p))) return false;
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(p, &end, base);
    if (*end || errno == ERANGE || v > 0x7fffffffLL) return false;
    out = static_cast<long>(neg ? -v : v);
    return true;
}

bool ParseInt32(const std::string& w, int& out) {
    long v;
    if (!ParseInt(w, v)) return false;
    out = static_cast<int>(v);
    return true;
}

bool ParseHexByte(const std::string& w, uint8_t& out) {
    std::string d = w;
    if (d.size() > 2 && d[0] == '0' && (d[1] == 'x' || d[1] == 'X')) d = d.substr(2);
    if (d.empty() || d.size() > 2) return false;
    for (char c : d)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    out = static_cast<uint8_t>(std::strtoul(d.c_str(), nullptr, 16));
    return true;
}

bool ParseBool(const std::string& w, bool& out) {
    if (w == "true" || w == "yes" || w == "1") {
        out = true;
        return true;
    }
    if (w == "false" || w == "no" || w == "0") {
        out = false;
        return true;
    }
    return false;
}

bool ParseFaultValue(const std::string& v, FaultRule& rule, std::string& why) {
    if (v == "always") {
        rule.always = true;
        return true;
    }
    if (v == "once") {
        rule.nth = {1};
        return true;
    }
    std::string item;
    std::istringstream in(v);
    while (std::getline(in, item, ',')) {
        item = Trim(item);
        long n;
        if (!ParseInt(item, n) || n < 1) {
            why = "expected always, once or call numbers from 1 (got '" + v + "')";
            return false;
        }
        rule.nth.push_back(n);
    }
    if (rule.nth.empty()) {
        why = "expected always, once or call numbers from 1";
        return false;
    }
    return true;
}

class Parser {
public:
    Parser(const std::string& source, Scenario& s) : source_(source), s_(s) {}
    // Lines of the [faults] section alone.
    static Parser FaultsOnly(const std::string& source, Scenario& s) {
        Parser p(source, s);
        p.section_ = "faults";
        p.onlyFaults_ = true;
        return p;
    }

    bool Line(int number, const std::string& raw, std::string& error) {
        line_ = number;
        std::string text = StripComment(raw);
        if (text.empty()) return true;
        if (text.front() == '[') {
            if (text.back() != ']') return Fail(error, "section header without ']'");
            std::string name = Trim(text.substr(1, text.size() - 2));
            if (onlyFaults_ && name != "faults") return Fail(error, "only [faults] rules can be set here");
            if (name == "sim" || name == "faults") {
                section_ = name;
            } else if (name == "camera") {
                if (static_cast<int>(s_.cameras.size()) >= kMaxCameras)
                    return Fail(error, "more than " + std::to_string(kMaxCameras) + " cameras");
                s_.cameras.emplace_back();
                section_ = name;
            } else {
                return Fail(error, "unknown section [" + name + "]");
            }
            return true;
        }
        size_t eq = text.find('=');
        if (eq == std::string::npos) return Fail(error, "expected 'key = value'");
        std::string key = Trim(text.substr(0, eq));
        std::string value = Trim(text.substr(eq + 1));
        if (key.empty()) return Fail(error, "missing key before '='");
        std::string why;
        bool ok;
        if (section_ == "sim")
            ok = SimKey(key, value, why);
        else if (section_ == "camera")
            ok = CameraKey(s_.cameras.back(), key, value, why);
        else if (section_ == "faults")
            ok = FaultKey(key, value, why);
        else
            ok = (why = "key '" + key + "' outside any section", false);
        return ok ? true : Fail(error, why);
    }

private:
    // '#' starts a comment at the beginning of a line or after a blank, so
    // texts such as "Cam#2" survive.
    static std::string StripComment(const std::string& raw) {
        std::string t = raw;
        if (!t.empty() && t.back() == '\r') t.pop_back();
        for (size_t i = 0; i < t.size(); ++i) {
            if (t[i] == '#' && (i == 0 || std::isspace(static_cast<unsigned char>(t[i - 1])))) {
                t.resize(i);
                break;
            }
        }
        return Trim(t);
    }

    bool Fail(std::string& error, const std::string& what) {
        error = source_ + ":" + std::to_string(line_) + ": " + what;
        return false;
    }

    bool SimKey(const std::string& key, const std::string& value, std::string& why) {
        if (key == "trace") {
            s_.tracePath = value;
            return true;
        }
        if (key == "burn_ms") {
            int n;
            if (!ParseInt32(value, n) || n < 0 || n > 600000) return (why = "burn_ms must be 0 to 600000", false);
            s_.burnMs = n;
            return true;
        }
        if (key == "fps") {
            int n;
            if (!ParseInt32(value, n) || n < 1 || n > 240) return (why = "fps must be 1 to 240", false);
            s_.fps = n;
            return true;
        }
        why = "unknown key '" + key + "' in [sim]";
        return false;
    }

    static bool Numbers(const std::string& value, std::vector<int>& out) {
        out.clear();
        for (const auto& w : Words(value)) {
            int n;
            if (!ParseInt32(w, n)) return false;
            out.push_back(n);
        }
        return true;
    }

    static bool SettingId(const std::string& key, const char* prefix, int& id) {
        std::string p = prefix;
        if (key.compare(0, p.size(), p) != 0) return false;
        return ParseInt32(key.substr(p.size()), id);
    }

    static bool CheckSetting(const Setting& st, std::string& why) {
        if (st.min > st.max) return (why = "minimum above maximum", false);
        if (st.step < 1) return (why = "step must be at least 1", false);
        if (st.value < st.min || st.value > st.max) return (why = "value outside its range", false);
        if (st.def < st.min || st.def > st.max) return (why = "default outside its range", false);
        if (st.flags < 0 || st.flags > 3) return (why = "flags must be 0 to 3", false);
        return true;
    }

    bool CameraKey(CameraSetup& cam, const std::string& key, const std::string& value, std::string& why) {
        if (key == "product") return cam.product = value, true;
        if (key == "interface") return cam.interfaceText = value, true;
        if (key == "firmware") {
            if (value.size() > 255) return (why = "firmware text longer than 255 characters", false);
            cam.firmware = value;
            return true;
        }
        if (key == "vid_pid") {
            std::vector<uint8_t> bytes;
            for (const auto& w : Words(value)) {
                uint8_t b;
                if (!ParseHexByte(w, b)) return (why = "vid_pid wants hex bytes, got '" + w + "'", false);
                bytes.push_back(b);
            }
            if (bytes.size() < 4 || bytes.size() > 16) return (why = "vid_pid wants 4 to 16 hex bytes", false);
            cam.vidPid = bytes;
            return true;
        }
        if (key == "flash_type") {
            if (!ParseInt32(value, cam.flashType) || cam.flashType < 0)
                return (why = "flash_type must be a number from 0", false);
            return true;
        }
        if (key == "selectable") return ParseBool(value, cam.selectable) || (why = "expected true or false", false);
        if (key == "product_query")
            return ParseBool(value, cam.productQuery) || (why = "expected true or false", false);
        if (key == "resolutions") {
            std::vector<Resolution> list;
            for (const auto& w : Words(value)) {
                size_t x = w.find('x');
                int wd, ht;
                if (x == std::string::npos || !ParseInt32(w.substr(0, x), wd) || !ParseInt32(w.substr(x + 1), ht) ||
                    wd < 16 || ht < 16 || wd > 4096 || ht > 4096)
                    return (why = "resolutions wants WIDTHxHEIGHT words (16 to 4096), got '" + w + "'", false);
                list.push_back({wd, ht});
            }
            cam.resolutions = list;
            return true;
        }
        if (key == "resolution_count") {
            int n;
            if (!ParseInt32(value, n) || n < 0) return (why = "resolution_count must be a number from 0", false);
            cam.resolutionCount = n;
            return true;
        }
        if (key == "awb_gains") {
            std::vector<int> n;
            if (!Numbers(value, n) || n.size() != 3) return (why = "awb_gains wants three gains", false);
            for (int i = 0; i < 3; ++i) {
                if (n[i] < 0 || n[i] > 1023) return (why = "a gain is 0 to 1023", false);
                cam.awbGains[i] = n[i];
            }
            return true;
        }
        if (key == "unplug_after_ms" || key == "replug_after_ms") {
            int n;
            if (!ParseInt32(value, n) || n < 0 || n > 3600000)
                return (why = key + " must be 0 to 3600000", false);
            (key[0] == 'u' ? cam.unplugAfterMs : cam.replugAfterMs) = n;
            if (cam.unplugAfterMs && cam.replugAfterMs && *cam.replugAfterMs <= *cam.unplugAfterMs)
                return (why = "replug_after_ms must be later than unplug_after_ms", false);
            return true;
        }
        int id;
        if (SettingId(key, "property.", id)) {
            auto it = cam.properties.find(id);
            if (it == cam.properties.end()) return (why = "no property " + std::to_string(id), false);
            std::vector<int> n;
            if (!Numbers(value, n) || (n.size() != 1 && n.size() != 6))
                return (why = "property wants <value> [<min> <max> <step> <default> <flags>]", false);
            Setting st = it->second;
            st.value = n[0];
            if (n.size() == 6) st = {n[0], n[1], n[2], n[3], n[4], n[5]};
            if (!CheckSetting(st, why)) return false;
            it->second = st;
            return true;
        }
        if (SettingId(key, "control.", id)) {
            auto it = cam.controls.find(id);
            if (it == cam.controls.end()) return (why = "no control " + std::to_string(id), false);
            std::vector<int> n;
            if (!Numbers(value, n) || (n.size() != 1 && n.size() != 2))
                return (why = "control wants <value> [<flags>]", false);
            Setting st = it->second;
            st.value = n[0];
            if (n.size() == 2) st.flags = n[1];
            if (!CheckSetting(st, why)) return false;
            it->second = st;
            return true;
        }
        if (key.compare(0, 9, "register.") == 0) {
            long address;
            if (!ParseInt(key.substr(9), address) || address < 0 || address >= kRegisterSpace)
                return (why = "register address must be 0 to 0xFFFF", false);
            std::vector<uint8_t> bytes;
            for (const auto& w : Words(value)) {
                uint8_t b;
                if (!ParseHexByte(w, b)) return (why = "register wants hex bytes, got '" + w + "'", false);
                bytes.push_back(b);
            }
            if (bytes.empty()) return (why = "register wants at least one byte", false);
            if (address + static_cast<long>(bytes.size()) > kRegisterSpace)
                return (why = "register bytes run past 0xFFFF", false);
            cam.registers.emplace_back(static_cast<int>(address), bytes);
            return true;
        }
        why = "unknown key '" + key + "' in [camera]";
        return false;
    }

    bool FaultKey(const std::string& key, const std::string& value, std::string& why) {
        FaultRule rule;
        if (key == "frame.drop" || key == "frame.truncate" || key == "frame.empty" || key == "flash.corrupt") {
            rule.function = key;
        } else {
            std::string name = key;
            std::optional<long> arg;
            size_t dot = key.find('.');
            if (dot != std::string::npos) {
                name = key.substr(0, dot);
                long a;
                if (!ParseInt(key.substr(dot + 1), a)) return (why = "bad first argument in '" + key + "'", false);
                arg = a;
            }
            if (name.compare(0, 9, "SonixCam_") != 0) name = "SonixCam_" + name;
            bool intFirst = false;
            if (!IsVendorFunction(name, &intFirst)) return (why = "unknown function '" + key + "'", false);
            if (arg && !intFirst) return (why = name + " has no integer first argument", false);
            rule.function = name;
            rule.firstArg = arg;
        }
        if (!ParseFaultValue(value, rule, why)) return false;
        s_.faults.push_back(rule);
        return true;
    }

    std::string source_;
    Scenario& s_;
    std::string section_;
    bool onlyFaults_ = false;
    int line_ = 0;
};

}  // namespace

bool IsVendorFunction(const std::string& name, bool* intFirstArg) {
    for (const auto& f : kVendorFunctions) {
        if (name == f.name) {
            if (intFirstArg) *intFirstArg = f.intFirstArg;
            return true;
        }
    }
    return false;
}

namespace {

bool ParseLines(const std::string& text, Parser& parser, std::string& error) {
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        if (!parser.Line(++number, line, error)) return false;
    }
    return true;
}

}  // namespace

bool ParseScenario(const std::string& text, const std::string& source, Scenario& out, std::string& error) {
    Scenario s;  // starts with no camera: the file lists them all
    Parser parser(source, s);
    if (!ParseLines(text, parser, error)) return false;
    out = std::move(s);
    return true;
}

bool ParseFaultRules(const std::string& text, const std::string& source, std::vector<FaultRule>& out,
                     std::string& error) {
    Scenario s;
    Parser parser = Parser::FaultsOnly(source, s);
    if (!ParseLines(text, parser, error)) return false;
    out = std::move(s.faults);
    return true;
}

}  // namespace sonix_sim
