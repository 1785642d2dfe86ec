// Snapshots of the live picture: the image encoders, saving the last frame
// as BMP, JPG or PNG, the file type, and choosing the folder.
#include <windows.h>

#include <objidl.h>  // before gdiplus.h, which needs PROPID
#include <gdiplus.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "config/new_file.h"
#include "imaging/gdiplus_codec.h"
#include "resources/resource.h"
#include "ui/prompts.h"
#include "window/main_dialog.h"
#include "window/snapshot_name.h"

namespace {

constexpr int kDropPathSize = 260;
const wchar_t* Extension(int fileType) {
    switch (fileType) {
    case 0: return L"bmp";
    case 2: return L"png";
    default: return L"jpg";
    }
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

ui::MessageMap CVornControlsDlg::SnapshotMap() {
    static const ui::MapEntry entries[] = {
        ui::OnBnClicked<&CVornControlsDlg::SaveSnapshot>(IDC_SNAPSHOT_SAVE),
        ui::OnBnClicked<&CVornControlsDlg::OnFileTypeBmp>(IDC_FILETYPE_BMP),
        ui::OnBnClicked<&CVornControlsDlg::OnFileTypeJpg>(IDC_FILETYPE_JPG),
        ui::OnBnClicked<&CVornControlsDlg::OnFileTypePng>(IDC_FILETYPE_PNG),
        ui::OnBnClicked<&CVornControlsDlg::OnBrowseFolder>(IDC_BROWSE_FOLDER),
        ui::OnDropFiles<&CVornControlsDlg::OnDropFiles>(),
    };
    return entries;
}

int CVornControlsDlg::GetEncoderClsid(const wchar_t* mimeType, CLSID* clsid) {
    return vorn::imaging::FindEncoder(mimeType, clsid);
}

void CVornControlsDlg::ReportSnapshot(const std::wstring& line) {
    AppendStatus(line);
    UpdateData(false);
    // The newest line in view.
    if (m_statusEdit.attached()) m_statusEdit.LineScroll(m_statusEdit.LineCount());
}

void CVornControlsDlg::SaveSnapshot() {
    const int number = static_cast<int>(GetTickCount() % 1000);
    std::time_t now = std::time(nullptr);
    char stamp[80] = {};
    if (const std::tm* local = std::localtime(&now)) std::strftime(stamp, sizeof stamp, "%Y%m%d_%H%M%S", local);

    const CLSID* encoder = nullptr;
    if (m_fileType == 0) {
        if (!m_bmpEncoderFound) return;
        encoder = &m_bmpEncoderClsid;
    } else if (m_fileType == 2) {
        if (!m_pngEncoderFound) return;
        encoder = &m_pngEncoderClsid;
    }

    // One whole frame, held until the file is written.
    const vorn::Frame frame = m_frameBuffer.Latest();
    if (!frame || frame.size <= 0) {
        // An empty file would be a corrupt picture.
        ReportSnapshot(L"No picture to save yet.\r\n");
        return;
    }

    // The stamp is ASCII digits and '_'.
    const std::wstring wideStamp(stamp, stamp + std::strlen(stamp));
    const wchar_t* ext = Extension(m_fileType);
    // An earlier snapshot of the same second and number is never replaced.
    // A JPG is created only if still new, so a name taken meanwhile moves
    // on to the next number.
    std::optional<std::wstring> path;
    for (int attempt = 0; attempt < 3; ++attempt) {
        path = vorn::FreeSnapshotPath(m_snapshotFolder, wideStamp, number, ext, Exists);
        if (!path) {
            ReportSnapshot(L"No free snapshot name in '" + m_snapshotFolder + L"'.\r\n");
            return;
        }
        if (encoder) break;
        const vorn::files::NewFileResult written =
            vorn::files::WriteNewFile(std::filesystem::path(*path), frame.data(), static_cast<size_t>(frame.size));
        if (written == vorn::files::NewFileResult::Written) return;
        if (written != vorn::files::NewFileResult::Exists) break;
    }
    if (!encoder) {
        ui::CurrentPrompts().MessageBox(hwnd(), L"Can't write the snapshot file '" + *path + L"'.", L"ERROR", MB_OK);
        return;
    }

    // BMP or PNG: the image library decodes the frame and encodes the file.
    IStream* stream = SHCreateMemStream(frame.data(), static_cast<UINT>(frame.size));
    Gdiplus::GpImage* image = nullptr;
    if (!stream || Gdiplus::DllExports::GdipLoadImageFromStream(stream, &image) != Gdiplus::Ok || !image) {
        if (stream) stream->Release();
        ReportSnapshot(L"Can't decode the picture for '" + *path + L"'.\r\n");
        return;
    }
    Gdiplus::Status saved = Gdiplus::DllExports::GdipSaveImageToFile(image, path->c_str(), encoder, nullptr);
    Gdiplus::DllExports::GdipDisposeImage(image);
    stream->Release();
    if (saved != Gdiplus::Ok) {
        DeleteFileW(path->c_str());
        ReportSnapshot(L"Can't save the snapshot '" + *path + L"'.\r\n");
    }
}

void CVornControlsDlg::SetFileType(int type) {
    m_fileType = type;
    UpdateData(false);
}

void CVornControlsDlg::OnFileTypeBmp() { SetFileType(0); }
void CVornControlsDlg::OnFileTypeJpg() { SetFileType(1); }
void CVornControlsDlg::OnFileTypePng() { SetFileType(2); }

void CVornControlsDlg::OnBrowseFolder() {
    std::optional<std::wstring> folder =
        ui::CurrentPrompts().ChooseFolder(hwnd(), L"Select a folder/directory for saving snapshots");
    if (!folder || folder->empty()) return;
    m_snapshotFolder = *folder;
    UpdateData(false);
}

void CVornControlsDlg::OnDropFiles(HDROP drop) {
    wchar_t buffer[kDropPathSize] = {};
    DragQueryFileW(drop, 0, buffer, kDropPathSize);
    // The drop is released whatever it held.
    DragFinish(drop);
    std::wstring path(buffer);
    if (path.empty()) return;
    if (PathIsDirectoryW(path.c_str())) {
        // The folder itself is taken over at the next UpdateData(true).
        SetDlgItemTextW(hwnd(), IDC_SNAPSHOT_FOLDER, path.c_str());
        return;
    }
    const std::wstring text = L"File '" + path + L"' is not a directory.\r\n";
    AppendStatus(text);
    UpdateData(false);
    ui::CurrentPrompts().MessageBox(hwnd(), text, L"ERROR", MB_OK);
}
