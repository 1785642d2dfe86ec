// Snapshots of the main window against the simulated camera's live JPEG
// frames: the files each format writes (read back with the image library),
// their names, never replacing a file, failures, and choosing the folder by
// chooser and by drop.
#include <objidl.h>
#include <gdiplus.h>
#include <shlobj.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>

#include "camera_test_support.h"

namespace vorn::test {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

struct Decoded {
    bool ok = false;
    UINT width = 0;
    UINT height = 0;
    GUID format{};
};

// Reads a file back with the image library, as a viewer would.
Decoded DecodeFile(const fs::path& path) {
    Decoded d;
    Gdiplus::GpImage* image = nullptr;
    if (Gdiplus::DllExports::GdipLoadImageFromFile(path.wstring().c_str(), &image) != Gdiplus::Ok || !image)
        return d;
    d.ok = Gdiplus::DllExports::GdipGetImageWidth(image, &d.width) == Gdiplus::Ok &&
           Gdiplus::DllExports::GdipGetImageHeight(image, &d.height) == Gdiplus::Ok &&
           Gdiplus::DllExports::GdipGetImageRawFormat(image, &d.format) == Gdiplus::Ok;
    Gdiplus::DllExports::GdipDisposeImage(image);
    return d;
}

// An HDROP as the shell builds it for dropped paths.
HDROP MakeDrop(const std::vector<std::wstring>& paths) {
    size_t chars = 1;
    for (const auto& p : paths) chars += p.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    auto* text = reinterpret_cast<wchar_t*>(reinterpret_cast<uint8_t*>(drop) + sizeof(DROPFILES));
    for (const auto& p : paths) {
        std::copy(p.begin(), p.end(), text);
        text += p.size() + 1;
    }
    *text = 0;
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

class SnapshotTest : public CameraWindowTest {
protected:
    fs::path Images() const { return fs::path(ProgramFolder()) / L"images"; }

    std::set<fs::path> Files(const fs::path& folder) const {
        std::set<fs::path> files;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(folder, ec)) files.insert(e.path());
        return files;
    }

    // Presses Save and gives the files it added to the folder.
    std::vector<fs::path> Save(const fs::path& folder) {
        auto before = Files(folder);
        Click(IDC_SNAPSHOT_SAVE);
        std::vector<fs::path> added;
        for (const auto& f : Files(folder))
            if (!before.count(f)) added.push_back(f);
        return added;
    }

    void StartRunning(const std::string& extra = "") {
        LoadScenario(std::string(kCameraScenario) + extra);
        ASSERT_TRUE(Start());
        Click(IDC_START_CAMERA);
        ASSERT_EQ(CaptionOfStart(), L"Stop Camera");
    }

    void Drop(const std::vector<std::wstring>& paths) {
        SendMessageW(Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
        Pump();
    }
};

std::string Stamp(std::time_t t) {
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%d_%H%M%S", std::localtime(&t));
    return buf;
}

TEST_F(SnapshotTest, EachFormatWritesAValidPictureOfTheFramesSizeWithATimeStampedName) {
    StartRunning();
    ASSERT_TRUE(WaitForFrame());
    EXPECT_TRUE(Dlg().m_bmpEncoderFound);
    EXPECT_TRUE(Dlg().m_pngEncoderFound);
    EXPECT_EQ(Dlg().m_fileType, 1);
    struct Format {
        int button;
        int fileType;
        const char* ext;
        GUID format;
    } formats[] = {
        {IDC_FILETYPE_BMP, 0, "bmp", Gdiplus::ImageFormatBMP},
        {IDC_FILETYPE_JPG, 1, "jpg", Gdiplus::ImageFormatJPEG},
        {IDC_FILETYPE_PNG, 2, "png", Gdiplus::ImageFormatPNG},
    };
    for (const Format& f : formats) {
        SCOPED_TRACE(f.ext);
        Click(f.button);
        EXPECT_EQ(Dlg().m_fileType, f.fileType);
        std::time_t before = std::time(nullptr);
        auto added = Save(Images());
        std::time_t after = std::time(nullptr);
        ASSERT_EQ(added.size(), 1u);
        const std::string name = added[0].filename().string();
        std::smatch m;
        ASSERT_TRUE(std::regex_match(name, m, std::regex(R"((\d{8}_\d{6})_(0|[1-9]\d{0,2})\.)" + std::string(f.ext))))
            << name;
        EXPECT_TRUE(m[1] == Stamp(before) || m[1] == Stamp(after)) << name;
        Decoded d = DecodeFile(added[0]);
        ASSERT_TRUE(d.ok) << name;
        EXPECT_EQ(d.width, 1280u);
        EXPECT_EQ(d.height, 800u);
        EXPECT_TRUE(IsEqualGUID(d.format, f.format));
    }
    // Success is silent.
    EXPECT_TRUE(Prompts().Messages().empty());
    EXPECT_EQ(Dlg().m_statusText.find(L"snapshot"), std::wstring::npos);
}

TEST_F(SnapshotTest, AJpgSnapshotHoldsExactlyTheLastFramesBytes) {
    StartRunning();
    ASSERT_TRUE(WaitForFrame());
    // After the stop no frame follows, so the last one stays put.
    Click(IDC_START_CAMERA);
    vorn::Frame last = Dlg().LatestFrame();
    ASSERT_TRUE(last);
    auto added = Save(Images());
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(ReadFile(added[0]), std::vector<uint8_t>(last.data(), last.data() + last.size));
}

// Presses in a row never lose a picture, whatever the tick count did
// between them (the choice of the name itself is tested natively).
TEST_F(SnapshotTest, PressesInARowGiveOneFileEach) {
    StartRunning();
    ASSERT_TRUE(WaitForFrame());
    Click(IDC_START_CAMERA);
    vorn::Frame last = Dlg().LatestFrame();
    std::set<fs::path> names;
    for (int i = 0; i < 20; ++i) {
        auto added = Save(Images());
        ASSERT_EQ(added.size(), 1u) << "press " << i;
        names.insert(added[0]);
    }
    EXPECT_EQ(names.size(), 20u);
    for (const auto& f : names) EXPECT_EQ(fs::file_size(f), static_cast<uintmax_t>(last.size)) << f;
}

TEST_F(SnapshotTest, WithoutAPictureNothingIsWrittenAndTheStatusSaysSo) {
    struct Case {
        const char* name;
        const char* faults;
    } cases[] = {
        {"no frame arrives", "[faults]\nframe.drop = always\n"},
        {"only empty frames", "[faults]\nframe.empty = always\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartRunning(c.faults);
        Pump(std::chrono::milliseconds(300));
        for (int button : {IDC_FILETYPE_JPG, IDC_FILETYPE_BMP}) {
            Click(button);
            const size_t before = Dlg().m_statusText.size();
            EXPECT_TRUE(Save(Images()).empty());
            EXPECT_EQ(Dlg().m_statusText.substr(before), L"No picture to save yet.\r\n");
        }
        EXPECT_TRUE(Prompts().Messages().empty());
        TearDown();
        SetUp();
    }
}

TEST_F(SnapshotTest, FailuresNameThePathAndWriteNoFile) {
    StartRunning();
    ASSERT_TRUE(WaitForFrame());
    Click(IDC_START_CAMERA);
    const std::wstring missing = ProgramFolder() + L"\\no such folder";
    Prompts().QueuePath(missing);
    Click(IDC_BROWSE_FOLDER);
    ASSERT_EQ(Dlg().m_snapshotFolder, missing);

    // JPG: a box that names the file.
    Click(IDC_FILETYPE_JPG);
    Click(IDC_SNAPSHOT_SAVE);
    auto boxes = Prompts().Messages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"ERROR");
    EXPECT_NE(boxes[0].text.find(missing + L"\\"), std::wstring::npos) << std::string(boxes[0].text.begin(), boxes[0].text.end());
    // BMP and PNG: a status line that names it.
    for (int button : {IDC_FILETYPE_BMP, IDC_FILETYPE_PNG}) {
        Click(button);
        const size_t before = Dlg().m_statusText.size();
        Click(IDC_SNAPSHOT_SAVE);
        const std::wstring line = Dlg().m_statusText.substr(before);
        EXPECT_NE(line.find(L"Can't save"), std::wstring::npos);
        EXPECT_NE(line.find(missing + L"\\"), std::wstring::npos);
    }
    EXPECT_FALSE(fs::exists(missing));

    // A frame the image library can't read: no BMP, a status line; the JPG
    // still keeps the bytes as they came.
    Prompts().QueuePath(Images().wstring());
    Click(IDC_BROWSE_FOLDER);
    const uint8_t garbage[] = {0xFF, 0xD8, 0x00, 0x11, 0x22, 0x33, 0x44};
    ASSERT_TRUE(Dlg().StoreFrame(garbage, sizeof garbage));
    Click(IDC_FILETYPE_BMP);
    const size_t before = Dlg().m_statusText.size();
    EXPECT_TRUE(Save(Images()).empty());
    EXPECT_NE(Dlg().m_statusText.find(L"Can't decode the picture for '" + Images().wstring() + L"\\", before),
              std::wstring::npos);
    EXPECT_EQ(Prompts().Messages().size(), 1u);
}

TEST_F(SnapshotTest, TheFolderChooserSetsTheFolderAndACancelKeepsIt) {
    StartRunning();
    const std::wstring original = Dlg().m_snapshotFolder;
    Prompts().QueuePath(std::nullopt);
    Click(IDC_BROWSE_FOLDER);
    EXPECT_EQ(Dlg().m_snapshotFolder, original);
    auto records = Prompts().Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].kind, ui::PromptRecord::Kind::Folder);
    EXPECT_EQ(records[0].text, L"Select a folder/directory for saving snapshots");
    EXPECT_EQ(records[0].owner, Hwnd());

    const fs::path chosen = fs::path(ProgramFolder()) / L"shots";
    fs::create_directories(chosen);
    Prompts().QueuePath(chosen.wstring());
    Click(IDC_BROWSE_FOLDER);
    EXPECT_EQ(Dlg().m_snapshotFolder, chosen.wstring());
    EXPECT_EQ(Text(IDC_SNAPSHOT_FOLDER), chosen.wstring());
    ASSERT_TRUE(WaitForFrame());
    EXPECT_EQ(Save(chosen).size(), 1u);
}

TEST_F(SnapshotTest, DroppingAFolderSetsTheEditAndDroppingAFileIsRefused) {
    StartRunning();
    ASSERT_TRUE(WaitForFrame());
    const std::wstring original = Dlg().m_snapshotFolder;
    const fs::path first = fs::path(ProgramFolder()) / L"first";
    const fs::path second = fs::path(ProgramFolder()) / L"second";
    fs::create_directories(first);
    fs::create_directories(second);

    // Two folders: the edit takes the first; the field waits for the next
    // read of the controls, so Save still writes into the old folder.
    Drop({first.wstring(), second.wstring()});
    EXPECT_EQ(Text(IDC_SNAPSHOT_FOLDER), first.wstring());
    EXPECT_EQ(Dlg().m_snapshotFolder, original);
    EXPECT_EQ(Save(Images()).size(), 1u);
    EXPECT_TRUE(Files(first).empty());
    Dlg().UpdateData(true);
    EXPECT_EQ(Dlg().m_snapshotFolder, first.wstring());
    EXPECT_EQ(Save(first).size(), 1u);
    EXPECT_TRUE(Prompts().Messages().empty());

    // A file: reported in the status text and a box; the folder stays.
    const fs::path file = first / L"note.txt";
    std::ofstream(file) << "x";
    Drop({file.wstring()});
    const std::wstring text = L"File '" + file.wstring() + L"' is not a directory.\r\n";
    auto boxes = Prompts().Messages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, text);
    EXPECT_EQ(boxes[0].caption, L"ERROR");
    EXPECT_TRUE(Dlg().m_statusText.ends_with(text));
    EXPECT_EQ(Dlg().m_snapshotFolder, first.wstring());
    EXPECT_EQ(Text(IDC_SNAPSHOT_FOLDER), first.wstring());
}

}  // namespace
}  // namespace vorn::test
