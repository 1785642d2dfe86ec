// The per-user store of settings that follow the camera: where its files
// are, the whole-file replacement, which remembered files can be used, and
// the rule that never lets a camera's power-up values replace what the user
// had.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>

#include "config/remembered_settings.h"
#include "config/replace_file.h"
#include "log_capture.h"
#include "sonix_sim.h"
#include "temp_dir.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vorn::config {
namespace {

namespace fs = std::filesystem;

const char kSaved[] =
    "PropName,Value,DataType\r\nBRIGHTNESS,17,int\r\nCONTRAST,30,int\r\nSATURATION,55,int\r\nSHARPNESS,4,int\r\n"
    "GAMMA,90,int\r\nAUTO_EXPOSURE,TRUE,bool\r\nAEC_TARGET,77,int\r\nAUTO_WHITE_BALANCE,TRUE,bool\r\n";

std::vector<std::string> FilesIn(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) names.push_back(files::PathToUtf8(entry.path().filename()));
  std::sort(names.begin(), names.end());
  return names;
}

// Sets or clears a variable for the rest of the test, and puts it back.
class ScopedEnvironment {
public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Set(value);
  }
  ~ScopedEnvironment() { Set(old_ ? old_->c_str() : nullptr); }

private:
  void Set(const char* value) {
#ifdef _WIN32
    // The store asks the system's block; the C runtime's copy follows.
    SetEnvironmentVariableA(name_, value);
    _putenv_s(name_, value ? value : "");
#else
    if (value) setenv(name_, value, 1);
    else unsetenv(name_);
#endif
  }
  const char* name_;
  std::optional<std::string> old_;
};

TEST(UserStore, NamesTheFilesAfterTheCameraIdentity) {
  const std::uint8_t ids[] = {0x56, 0x4f, 0x52, 0x4e, 0xff, 0x01};
  EXPECT_EQ(CameraIdentityText(ids, sizeof ids), "564f524e");
  const std::uint8_t zeros[4] = {};
  EXPECT_EQ(CameraIdentityText(zeros, 4), "00000000");
  EXPECT_EQ(CameraIdentityText(ids, 3), "");

  const UserStore store(fs::path("base"));
  EXPECT_EQ(store.PreferencesFile(), fs::path("base") / "preferences.ini");
  const struct {
    const char* id;
    bool accepted;
  } cases[] = {
      {"564f524e", true}, {"00000000", true}, {"564F524E", false}, {"564f524", false}, {"564f524e0", false},
      {"../../x1", false}, {"564f524g", false}, {"", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(IsCameraIdentity(c.id), c.accepted);
    EXPECT_EQ(store.CameraFile(c.id),
              c.accepted ? fs::path("base") / "cameras" / (std::string(c.id) + ".csv") : fs::path());
  }
  // Without a folder nothing has a place.
  EXPECT_EQ(UserStore().CameraFile("564f524e"), fs::path());
  EXPECT_EQ(UserStore().PreferencesFile(), fs::path());
}

TEST(UserStore, FolderFollowsTheEnvironment) {
  struct Case {
    const char* name;
    const char* appData;
    const char* xdg;
    const char* home;
    const char* folder;  // nullptr: none
  };
#ifdef _WIN32
  const Case cases[] = {
      {"APPDATA", "C:\\Users\\ann\\AppData\\Roaming", "C:\\x", "C:\\h",
       "C:\\Users\\ann\\AppData\\Roaming\\Vorn Controls"},
  };
#else
  const Case cases[] = {
      {"APPDATA first", "/data/app", "/data/xdg", "/home/ann", "/data/app/Vorn Controls"},
      {"XDG_CONFIG_HOME next", nullptr, "/data/xdg", "/home/ann", "/data/xdg/Vorn Controls"},
      {"then the home folder", nullptr, nullptr, "/home/ann", "/home/ann/.config/Vorn Controls"},
      {"an empty variable counts as unset", "", "", "/home/ann", "/home/ann/.config/Vorn Controls"},
      {"none", nullptr, nullptr, nullptr, nullptr},
  };
#endif
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScopedEnvironment appData("APPDATA", c.appData), xdg("XDG_CONFIG_HOME", c.xdg), home("HOME", c.home);
    EXPECT_EQ(DefaultUserFolder(), c.folder ? fs::path(c.folder) : fs::path());
  }
}

TEST(ReplaceWhole, TheOldFileSurvivesEveryFailure) {
  const std::error_code refused = std::make_error_code(std::errc::permission_denied);
  struct Case {
    const char* name;
    bool oldFile;
    std::function<bool(const fs::path&)> write;
    bool renameFails;
    bool ok;
    std::optional<std::string> after;  // nullopt: no file
  };
  const auto writes = [](std::string text) {
    return [text](const fs::path& temp) { return WriteBytes(temp, text); };
  };
  const Case cases[] = {
      {"replaced", true, writes("new"), false, true, "new"},
      {"created", false, writes("new"), false, true, "new"},
      {"half written, then the disk was full", true,
       [](const fs::path& temp) { return WriteBytes(temp, "ne") && false; }, false, false, "old"},
      {"nothing could be created", true, [](const fs::path&) { return false; }, false, false, "old"},
      {"the rename refused", true, writes("new"), true, false, "old"},
      {"the rename refused, no old file", false, writes("new"), true, false, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const fs::path target = dir.path() / "cam.csv";
    if (c.oldFile) {
      ASSERT_TRUE(WriteBytes(target, "old"));
    }
    files::RenameOver rename = files::RenameReplacing;
    if (c.renameFails) rename = [&](const fs::path&, const fs::path&) { return refused; };
    EXPECT_EQ(files::ReplaceWhole(target, c.write, rename), c.ok);
    if (c.after) {
      EXPECT_EQ(ReadBytes(target), *c.after);
    }
    // No temporary file is left beside it.
    EXPECT_EQ(FilesIn(dir.path()), c.after ? std::vector<std::string>{"cam.csv"} : std::vector<std::string>{});
  }
}

TEST(ReadRemembered, TakesWhatLoadConfigTakesAndNoUnknownName) {
  struct Case {
    const char* name;
    std::optional<std::string> content;  // nullopt: no file
    RememberedStatus status;
    size_t rows;
    std::string reason;  // the start of it
  };
  const Case cases[] = {
      {"no file", std::nullopt, RememberedStatus::Missing, 0, ""},
      {"a saved file", std::string(kSaved), RememberedStatus::Ok, 8, ""},
      {"rows missing", "PropName,Value,DataType\nGAMMA,90,int\n", RememberedStatus::Ok, 1, ""},
      {"an empty file", "", RememberedStatus::Ok, 0, ""},
      {"an unknown name after good rows", "PropName,Value,DataType\nGAMMA,90,int\nZOOM,2,int\n",
       RememberedStatus::Unreadable, 0, "Cannot find property ZOOM"},
      {"bad bytes", "PropName,Value,DataType\nGAMMA,9\x01,int\n", RememberedStatus::Unreadable, 0, "Binary data"},
      {"a row with a field too many", "PropName,Value,DataType\nGAMMA,90,int,x\n", RememberedStatus::Unreadable, 0,
       "Saw 4 columns"},
      {"a header alone", "PropName,Value,DataType\n", RememberedStatus::Unreadable, 0, "No column named"},
      {"far too large", std::string(CSV_reader::kMaxFileBytes + 1, 'a'), RememberedStatus::Unreadable, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const fs::path file = dir.path() / "564f524e.csv";
    if (c.content) {
      ASSERT_TRUE(WriteBytes(file, *c.content));
    }
    vorn::test::LogCapture quiet;  // the reader's trace of a file it can't open
    const RememberedSettings r = ReadRemembered(file);
    quiet.stop();
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.rows.size(), c.rows);
    EXPECT_EQ(r.reason.rfind(c.reason, 0), 0u) << r.reason;
    if (c.content) {
      EXPECT_EQ(ReadBytes(file), *c.content);
    }
  }
  // A folder where the file should be.
  TempDir dir;
  fs::create_directories(dir.path() / "564f524e.csv");
  EXPECT_EQ(ReadRemembered(dir.path() / "564f524e.csv").status, RememberedStatus::Unreadable);
  EXPECT_EQ(ForgetRemembered(dir.path() / "564f524e.csv"), ForgetResult::Failed);
  EXPECT_TRUE(fs::is_directory(dir.path() / "564f524e.csv"));
}

// A target that only counts, over a camera that refuses what the test says.
class CountingTarget : public ConfigTarget {
public:
  std::vector<std::string> lines;
  std::optional<int> LastApplied(int) override { return std::nullopt; }
  void IntApplied(int, int) override {}
  std::optional<bool> AecOn() override { return std::nullopt; }
  void AecSwitched(bool) override {}
  void AwbSwitched(bool) override {}
  bool RotateSupported() override { return true; }
  void RotateSwitched(bool) override {}
  bool IlluminationAvailable() override { return true; }
  void IlluminationSwitched(bool) override {}
  void Status(const std::string& line) override { lines.push_back(line); }
};

class RememberRuleTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(SonixSim_ResetDefault(), 0);
    ASSERT_EQ(SonixCam_Init(0), 0);
    ASSERT_EQ(SonixCam_SelectDevice(0), 0);
  }
  void TearDown() override { SonixSim_ResetDefault(); }
};

// Each step is what the window does at a start, at a picture's end, when
// the user changes a setting, or at Forget; the file is checked after each.
TEST_F(RememberRuleTest, PowerUpValuesNeverReplaceWhatTheUserHad) {
  enum class Do { Start, End, UserChange, Forget };
  struct Step {
    Do what;
    std::optional<std::string> fileAfter;  // nullopt: no file
    std::optional<StartApply> started = std::nullopt;
  };
  struct Case {
    const char* name;
    std::optional<std::string> file;
    const char* faults;
    std::vector<Step> steps;
  };
  // What the window writes at the end: the values it holds then.
  const std::string written =
      "PropName,Value,DataType\r\nBRIGHTNESS,1,int\r\nCONTRAST,2,int\r\nSATURATION,3,int\r\nSHARPNESS,4,int\r\n"
      "GAMMA,100,int\r\nAUTO_EXPOSURE,TRUE,bool\r\nAEC_TARGET,6,int\r\nAUTO_WHITE_BALANCE,TRUE,bool\r\n";
  const std::string unknown = "PropName,Value,DataType\r\nGAMMA,90,int\r\nZOOM,2,int\r\n";
  const std::string binary = std::string(kSaved) + "GAMMA,\x02,int\r\n";
  using S = RememberedStatus;
  const Case cases[] = {
      {"nothing remembered: the end writes", std::nullopt, "",
       {{Do::Start, std::nullopt, StartApply{S::Missing, 0}}, {Do::End, written}}},
      {"applied whole: the end writes", kSaved, "",
       {{Do::Start, kSaved, StartApply{S::Ok, 0}}, {Do::End, written}}},
      {"an unknown name: kept byte for byte until the user changes a setting", unknown, "",
       {{Do::Start, unknown, StartApply{S::Unreadable, 0}},
        {Do::End, unknown},
        {Do::Start, unknown, StartApply{S::Unreadable, 0}},
        {Do::End, unknown},
        {Do::UserChange, unknown},
        {Do::End, written}}},
      {"bad bytes: kept", binary, "", {{Do::Start, binary, StartApply{S::Unreadable, 0}}, {Do::End, binary}}},
      {"one row refused: the rest applied, nothing written until a change", kSaved,
       "SonixCam_PropertySet.5 = once\n",
       {{Do::Start, kSaved, StartApply{S::Ok, 1}}, {Do::End, kSaved}, {Do::UserChange, kSaved}, {Do::End, written}}},
      {"a later whole apply frees the file", kSaved, "SonixCam_PropertySet.5 = once\n",
       {{Do::Start, kSaved, StartApply{S::Ok, 1}},
        {Do::End, kSaved},
        {Do::Start, kSaved, StartApply{S::Ok, 0}},
        {Do::End, written}}},
      {"forgotten: the end does not bring it back", kSaved, "",
       {{Do::Start, kSaved, StartApply{S::Ok, 0}},
        {Do::Forget, std::nullopt},
        {Do::End, std::nullopt},
        {Do::UserChange, std::nullopt},
        {Do::End, written}}},
  };
  const SavedSettings values = {1, 2, 3, 4, 100, true, 6, -5, true, 128, 128, false, false, false, false};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const UserStore store(dir.path());
    const std::string id = "564f524e";
    const fs::path file = store.CameraFile(id);
    if (c.file) {
      fs::create_directories(file.parent_path());
      ASSERT_TRUE(WriteBytes(file, *c.file));
    }
    ASSERT_EQ(SonixSim_SetFaults(c.faults), 0);
    RememberGuard guard;
    for (size_t i = 0; i < c.steps.size(); ++i) {
      SCOPED_TRACE("step " + std::to_string(i));
      const Step& step = c.steps[i];
      vorn::test::LogCapture quiet;
      switch (step.what) {
        case Do::Start: {
          CountingTarget target;
          bool applied = false;
          const StartApply got = guard.ApplyAtStart(file, id, [&](const std::vector<ConfigRow>& rows) {
            applied = true;
            return ApplyRemembered(target, rows);
          });
          EXPECT_EQ(got.status, step.started->status);
          EXPECT_EQ(got.failedRows, step.started->failedRows);
          EXPECT_EQ(applied, got.status == S::Ok);
          break;
        }
        case Do::End: {
          const EndWrite w = guard.WriteAtEnd(file, id, BuildConfigTable(values));
          EXPECT_EQ(w, step.fileAfter == written ? EndWrite::Written : EndWrite::Held);
          break;
        }
        case Do::UserChange: guard.UserChanged(id); break;
        case Do::Forget: EXPECT_EQ(guard.Forget(file, id), ForgetResult::Forgotten); break;
      }
      quiet.stop();
      if (step.fileAfter) {
        EXPECT_EQ(ReadBytes(file), *step.fileAfter);
      } else {
        EXPECT_FALSE(fs::exists(file));
      }
    }
  }
}

TEST(RememberWrite, FoldersAreMadeAndAFailureLeavesNoTrace) {
  TempDir dir;
  const fs::path file = UserStore(dir.path() / "user").CameraFile("564f524e");
  const SavedSettings values = {1, 2, 3, 4, 100, true, 6, -5, true, 128, 128, false, false, false, false};
  ASSERT_TRUE(WriteRemembered(file, BuildConfigTable(values)));
  const std::string first = ReadBytes(file);
  EXPECT_EQ(first.rfind("PropName,Value,DataType\r\nBRIGHTNESS,1,int\r\n", 0), 0u);
  // A table that throws while written: the temporary file goes too.
  EXPECT_FALSE(WriteRemembered(file, CSV_reader()));
  EXPECT_EQ(ReadBytes(file), first);
  EXPECT_EQ(FilesIn(file.parent_path()), std::vector<std::string>{"564f524e.csv"});
  // A file where the cameras folder should be.
  TempDir other;
  ASSERT_TRUE(WriteBytes(other.path() / "cameras", "x"));
  EXPECT_FALSE(WriteRemembered(UserStore(other.path()).CameraFile("564f524e"), BuildConfigTable(values)));
}

}  // namespace
}  // namespace vorn::config
