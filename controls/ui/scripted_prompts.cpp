#include "ui/scripted_prompts.h"

namespace ui {

int DefaultButton(UINT flags) {
    static const int kButtons[][3] = {
        {IDOK, 0, 0},                           // MB_OK
        {IDOK, IDCANCEL, 0},                    // MB_OKCANCEL
        {IDABORT, IDRETRY, IDIGNORE},           // MB_ABORTRETRYIGNORE
        {IDYES, IDNO, IDCANCEL},                // MB_YESNOCANCEL
        {IDYES, IDNO, 0},                       // MB_YESNO
        {IDRETRY, IDCANCEL, 0},                 // MB_RETRYCANCEL
        {IDCANCEL, IDTRYAGAIN, IDCONTINUE},     // MB_CANCELTRYCONTINUE
    };
    const UINT type = flags & MB_TYPEMASK;
    const auto& row = type < 7 ? kButtons[type] : kButtons[0];
    const UINT which = (flags & MB_DEFMASK) >> 8;  // 0, 1, 2 for DEFBUTTON1..3
    if (which < 3 && row[which] != 0) return row[which];
    return row[0];
}

void ScriptedPrompts::QueueAnswer(int button) {
    std::lock_guard lock(mutex_);
    answers_.push_back(button);
}

void ScriptedPrompts::QueuePath(std::optional<std::wstring> path) {
    std::lock_guard lock(mutex_);
    paths_.push_back(std::move(path));
}

std::vector<PromptRecord> ScriptedPrompts::Records() const {
    std::lock_guard lock(mutex_);
    return records_;
}

std::vector<PromptRecord> ScriptedPrompts::Messages() const {
    std::lock_guard lock(mutex_);
    std::vector<PromptRecord> out;
    for (const auto& r : records_)
        if (r.kind == PromptRecord::Kind::Message) out.push_back(r);
    return out;
}

size_t ScriptedPrompts::Count() const {
    std::lock_guard lock(mutex_);
    return records_.size();
}

void ScriptedPrompts::Clear() {
    std::lock_guard lock(mutex_);
    answers_.clear();
    paths_.clear();
    records_.clear();
}

int ScriptedPrompts::MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption,
                                UINT flags) {
    std::lock_guard lock(mutex_);
    PromptRecord r;
    r.kind = PromptRecord::Kind::Message;
    r.owner = owner;
    r.text = text;
    r.caption = caption;
    r.flags = flags;
    if (!answers_.empty()) {
        r.answer = answers_.front();
        answers_.pop_front();
    } else {
        r.answer = DefaultButton(flags);
    }
    records_.push_back(r);
    return r.answer;
}

std::optional<std::wstring> ScriptedPrompts::NextPath(PromptRecord record) {
    std::lock_guard lock(mutex_);
    std::optional<std::wstring> path;
    if (!paths_.empty()) {
        path = std::move(paths_.front());
        paths_.pop_front();
    }
    records_.push_back(std::move(record));
    return path;
}

std::optional<std::wstring> ScriptedPrompts::OpenFile(HWND owner, const FileChooser& chooser) {
    PromptRecord r;
    r.kind = PromptRecord::Kind::OpenFile;
    r.owner = owner;
    r.text = chooser.fileName;
    r.flags = chooser.flags;
    r.defaultExt = chooser.defaultExt;
    r.filter = chooser.filter;
    return NextPath(std::move(r));
}

std::optional<std::wstring> ScriptedPrompts::SaveFile(HWND owner, const FileChooser& chooser) {
    PromptRecord r;
    r.kind = PromptRecord::Kind::SaveFile;
    r.owner = owner;
    r.text = chooser.fileName;
    r.flags = chooser.flags;
    r.defaultExt = chooser.defaultExt;
    r.filter = chooser.filter;
    return NextPath(std::move(r));
}

std::optional<std::wstring> ScriptedPrompts::ChooseFolder(HWND owner, const std::wstring& title) {
    PromptRecord r;
    r.kind = PromptRecord::Kind::Folder;
    r.owner = owner;
    r.text = title;
    return NextPath(std::move(r));
}

}  // namespace ui
