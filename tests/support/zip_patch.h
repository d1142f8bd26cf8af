// Makes a well-formed zip archive lie: the uncompressed size an entry's local
// and central headers state is overwritten, the data left as it is.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace zantrel::test {

inline void PatchStatedSize(const std::filesystem::path& archive, const std::string& entry, std::uint32_t size) {
  std::string bytes;
  {
    std::ifstream in(archive, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  auto u16 = [&](std::size_t at) { return std::size_t(uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8); };
  auto u32 = [&](std::size_t at) { return uint32_t(u16(at)) | uint32_t(u16(at + 2)) << 16; };
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = char(v >> (8 * i));
  };
  bool found = false;
  for (std::size_t at = 0; (at = bytes.find("PK\x01\x02", at)) != std::string::npos; at += 4) {
    if (bytes.compare(at + 46, u16(at + 28), entry) != 0 || u16(at + 28) != entry.size()) continue;
    put32(at + 24, size);           // central directory: uncompressed size
    put32(u32(at + 42) + 22, size);  // local header: uncompressed size
    found = true;
  }
  if (!found) throw std::runtime_error("no entry " + entry + " in " + archive.string());
  std::ofstream(archive, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace zantrel::test
