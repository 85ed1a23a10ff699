// The bytes of one link message on a local socket, and of its acknowledgement.
// Pure functions: no sockets here, so the parser can be tested on its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace calyx_link {

// A message: "MLNK", dwData (u32, always 0), cbData (u32: text bytes plus the
// terminating zero), then cbData bytes. All numbers little-endian.
inline constexpr std::string_view kFrameMagic = "MLNK";
inline constexpr size_t kHeaderSize = 12;
// Sent by the receiver once its handler has returned: "MACK" and a u32 0.
inline constexpr std::string_view kAckMagic = "MACK";
inline constexpr size_t kAckSize = 8;
// Largest cbData either side accepts; the editor's texts are a few KiB, the
// largest answers (completion lists) well under this.
inline constexpr uint32_t kMaxData = 1u << 20;

// The whole frame for `text`; "" when the text does not fit under kMaxData.
std::string EncodeFrame(std::string_view text);

// cbData of a header, or nothing when the header is not one of ours: wrong
// magic, dwData not 0, cbData 0 or above kMaxData.
std::optional<uint32_t> ParseHeader(std::string_view header);

// The text a receiver takes from the payload: up to the first zero byte, the
// way a zero-terminated string cut to cbData is read.
std::string TextOfPayload(std::string_view payload);

std::string EncodeAck();
bool IsAck(std::string_view bytes);

}  // namespace calyx_link
