#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Platform {

// The whole content of a regular file of at most maxBytes. Raises EInvalidGraphic ("<format>:
// ...") when it cannot be opened, is no regular file or is larger, and EOutOfMemory when the heap
// cannot hold it.
std::vector<std::uint8_t> ReadPictureFile(const std::string &fileName, std::uint64_t maxBytes, const char *format);

} // namespace Platform
