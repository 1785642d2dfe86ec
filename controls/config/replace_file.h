// Replacing a file as a whole: the new content goes to a temporary file
// beside it, reaches the disk, and is then renamed over the old one. A crash,
// a full disk or a refused rename leaves the old file as it was, never half
// a file.
#pragma once

#include <filesystem>
#include <functional>
#include <system_error>

namespace vorn::files {

// Writes the whole content to the file it is given; false when it could not.
using ContentWriter = std::function<bool(const std::filesystem::path& temp)>;
// Renames `from` over `to`, replacing it.
using RenameOver = std::function<std::error_code(const std::filesystem::path& from, const std::filesystem::path& to)>;

// The system's rename, replacing an existing file in one step.
std::error_code RenameReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

// False when anything failed; the temporary file is gone either way, also
// when the writer throws (the exception goes on). The folder must exist.
bool ReplaceWhole(const std::filesystem::path& target, const ContentWriter& write,
                 const RenameOver& rename = RenameReplacing);

}  // namespace vorn::files
