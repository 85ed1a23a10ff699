#include "common/link/LinkFrame.h"

namespace calyx_link {

namespace {

void PutU32(std::string& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xff);
}

uint32_t GetU32(std::string_view bytes) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
  return value;
}

}  // namespace

std::string EncodeFrame(std::string_view text) {
  if (text.size() >= kMaxData) return {};
  const auto cbData = static_cast<uint32_t>(text.size() + 1);
  std::string frame;
  frame.reserve(kHeaderSize + cbData);
  frame += kFrameMagic;
  PutU32(frame, 0);
  PutU32(frame, cbData);
  frame += text;
  frame += '\0';
  return frame;
}

std::optional<uint32_t> ParseHeader(std::string_view header) {
  if (header.size() != kHeaderSize || header.substr(0, 4) != kFrameMagic) return std::nullopt;
  if (GetU32(header.substr(4, 4)) != 0) return std::nullopt;
  const uint32_t cbData = GetU32(header.substr(8, 4));
  if (cbData == 0 || cbData > kMaxData) return std::nullopt;
  return cbData;
}

std::string TextOfPayload(std::string_view payload) {
  return std::string(payload.substr(0, payload.find('\0')));
}

std::string EncodeAck() {
  std::string ack(kAckMagic);
  PutU32(ack, 0);
  return ack;
}

bool IsAck(std::string_view bytes) {
  return bytes.size() == kAckSize && bytes.substr(0, 4) == kAckMagic && GetU32(bytes.substr(4)) == 0;
}

}  // namespace calyx_link
