// Prompts for GUI tests: every prompt is recorded and answered from a queue
// the test fills beforehand. Safe to use from a worker thread.
#pragma once

#include "ui/prompts.h"

#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace ui {

struct PromptRecord {
    enum class Kind { Message, OpenFile, SaveFile, Folder };
    Kind kind = Kind::Message;
    HWND owner = nullptr;
    std::wstring text;     // message text, or the folder chooser's title
    std::wstring caption;  // message boxes only
    UINT flags = 0;        // MB_* for messages, OFN_* for file choosers
    std::wstring defaultExt;
    std::wstring filter;
    int answer = 0;        // what a message box returned
};

class ScriptedPrompts : public Prompts {
public:
    // Answers of the next message boxes, in order. Without a queued answer a
    // box returns its default button, as if the user pressed Enter.
    void QueueAnswer(int button);
    // Answers of the next choosers (any kind), in order; nullopt is a cancel.
    // Without a queued path a chooser is cancelled.
    void QueuePath(std::optional<std::wstring> path);

    std::vector<PromptRecord> Records() const;
    std::vector<PromptRecord> Messages() const;  // message boxes only
    size_t Count() const;
    void Clear();  // records and queues

    int MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption,
                   UINT flags) override;
    std::optional<std::wstring> OpenFile(HWND owner, const FileChooser& chooser) override;
    std::optional<std::wstring> SaveFile(HWND owner, const FileChooser& chooser) override;
    std::optional<std::wstring> ChooseFolder(HWND owner, const std::wstring& title) override;

private:
    std::optional<std::wstring> NextPath(PromptRecord record);

    mutable std::mutex mutex_;
    std::deque<int> answers_;
    std::deque<std::optional<std::wstring>> paths_;
    std::vector<PromptRecord> records_;
};

// The button a message box of these MB_* flags returns when Enter is pressed.
int DefaultButton(UINT flags);

}  // namespace ui
