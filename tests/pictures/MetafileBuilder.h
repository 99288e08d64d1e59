// Small enhanced and Windows metafiles written record by record, for the player's tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <platform/pictures/MetafileRecords.h>
#include <string>
#include <vector>

namespace MetafileBuilder {

using TBytes = std::vector<std::uint8_t>;

inline void Put16(TBytes &bytes, std::uint32_t value) {
  bytes.push_back(static_cast<std::uint8_t>(value));
  bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void Put32(TBytes &bytes, std::uint32_t value) {
  Put16(bytes, value);
  Put16(bytes, value >> 16);
}

inline void Set32(TBytes &bytes, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4 && at + i < bytes.size(); ++i)
    bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// An enhanced metafile of w x h pixels on a 96 pixels-per-inch reference device, whose frame
// reads back as (0, 0)-(w-1, h-1).
class TEmf {
public:
  TEmf(int width, int height) {
    using namespace Platform::Emf;
    Put32(FBytes, EMR_HEADER);
    Put32(FBytes, Header::BaseSize);
    for (std::int32_t v : {0, 0, width - 1, height - 1})
      Put32(FBytes, static_cast<std::uint32_t>(v));
    // 960 pixels on 254 mm is 96 pixels per inch; the frame is in 0.01 mm.
    for (std::int32_t v : {0, 0, (width - 1) * 25400 / 960, (height - 1) * 25400 / 960})
      Put32(FBytes, static_cast<std::uint32_t>(v));
    for (std::uint32_t v :
         {Header::SignatureValue, Header::VersionValue, 0u, 0u, 0u, 0u, 0u, 0u, 960u, 960u, 254u, 254u})
      Put32(FBytes, v);
  }
  // A record of 32-bit parameters.
  TEmf &Add(std::uint32_t type, std::initializer_list<std::int64_t> params) {
    TBytes body;
    for (std::int64_t v : params)
      Put32(body, static_cast<std::uint32_t>(v));
    return Raw(type, body);
  }
  // A record of the given parameter bytes.
  TEmf &Raw(std::uint32_t type, const TBytes &body) {
    Put32(FBytes, type);
    Put32(FBytes, static_cast<std::uint32_t>(8 + body.size()));
    FBytes.insert(FBytes.end(), body.begin(), body.end());
    ++FRecords;
    return *this;
  }
  TBytes Finish(std::uint16_t handles = 16) {
    using namespace Platform::Emf;
    Add(EMR_EOF, {0, 16, 20});
    TBytes bytes = FBytes;
    Set32(bytes, Header::Bytes, static_cast<std::uint32_t>(bytes.size()));
    Set32(bytes, Header::Records, FRecords + 1);
    bytes[Header::Handles] = static_cast<std::uint8_t>(handles);
    bytes[Header::Handles + 1] = static_cast<std::uint8_t>(handles >> 8);
    return bytes;
  }

private:
  TBytes FBytes;
  std::uint32_t FRecords = 1;
};

// A Windows metafile with a placeable header boxing (0, 0)-(width, height) logical units, at
// `inch` units per inch.
class TWmf {
public:
  TWmf(int width, int height, int inch) {
    using namespace Platform::Wmf;
    Put32(FBytes, Placeable::KeyValue);
    for (std::uint32_t v : {0u, 0u, 0u, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
                            static_cast<std::uint32_t>(inch), 0u, 0u, 0u})
      Put16(FBytes, v);
    for (std::uint32_t v : {1u, 9u, 0x300u, 0u, 0u, 0u, 0u, 0u, 0u})
      Put16(FBytes, v);
  }
  // A record of 16-bit parameters, in the order the file holds them.
  TWmf &Add(std::uint16_t function, std::initializer_list<std::int32_t> params) {
    Put32(FBytes, static_cast<std::uint32_t>(3 + params.size()));
    Put16(FBytes, function);
    for (std::int32_t v : params)
      Put16(FBytes, static_cast<std::uint32_t>(v));
    return *this;
  }
  TBytes Finish(std::uint16_t objects = 8) {
    Add(Platform::Wmf::META_EOF, {});
    TBytes bytes = FBytes;
    const std::size_t header = Platform::Wmf::Placeable::Size;
    bytes[header + Platform::Wmf::Header::Objects] = static_cast<std::uint8_t>(objects);
    return bytes;
  }

private:
  TBytes FBytes;
};

} // namespace MetafileBuilder
