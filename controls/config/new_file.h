// Writing a file that must not exist yet, so an earlier one is never
// replaced: created exclusively, written whole, and removed again when the
// write fails part way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace vorn::files {

enum class NewFileResult { Written, Exists, Failed };

NewFileResult WriteNewFile(const std::filesystem::path& path, const std::uint8_t* bytes, std::size_t size);

}  // namespace vorn::files
