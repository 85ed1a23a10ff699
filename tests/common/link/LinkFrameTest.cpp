#include "common/link/LinkFrame.h"

#include <gtest/gtest.h>

using namespace calyx_link;

namespace {

std::string Header(std::string_view magic, uint32_t dwData, uint32_t cbData) {
  std::string header(magic);
  for (uint32_t value : {dwData, cbData}) {
    for (int i = 0; i < 4; ++i) header += static_cast<char>((value >> (8 * i)) & 0xff);
  }
  return header;
}

}  // namespace

TEST(LinkFrame, CarriesTheTextWithItsTerminatingZero) {
  const std::string text(300, 'x');
  const std::string frame = EncodeFrame(text);
  // cbData counts the zero: 301 = 0x12d, least significant byte first.
  EXPECT_EQ(frame.substr(0, kHeaderSize), Header("MLNK", 0, 301));
  EXPECT_EQ(frame.substr(8, 4), std::string("\x2d\x01\x00\x00", 4));
  EXPECT_EQ(frame.size(), kHeaderSize + 301);
  EXPECT_EQ(frame.back(), '\0');
  EXPECT_EQ(ParseHeader(frame.substr(0, kHeaderSize)), 301u);
  EXPECT_EQ(TextOfPayload(frame.substr(kHeaderSize)), text);

  const std::string empty = EncodeFrame("");
  EXPECT_EQ(ParseHeader(empty.substr(0, kHeaderSize)), 1u);
  EXPECT_EQ(TextOfPayload(empty.substr(kHeaderSize)), "");
}

TEST(LinkFrame, TextsAtOrAboveTheCapAreNotFramed) {
  EXPECT_EQ(EncodeFrame(std::string(kMaxData, 'a')), "");
  const std::string largest = EncodeFrame(std::string(kMaxData - 1, 'a'));
  EXPECT_EQ(largest.size(), kHeaderSize + kMaxData);
  EXPECT_EQ(ParseHeader(largest.substr(0, kHeaderSize)), kMaxData);
}

TEST(LinkFrame, ForeignOrOversizedHeadersAreRefused) {
  EXPECT_EQ(ParseHeader(Header("MLNX", 0, 5)), std::nullopt);
  EXPECT_EQ(ParseHeader(Header("MLNK", 7, 5)), std::nullopt);  // dwData is always 0
  EXPECT_EQ(ParseHeader(Header("MLNK", 0, 0)), std::nullopt);  // not even the zero
  EXPECT_EQ(ParseHeader(Header("MLNK", 0, kMaxData + 1)), std::nullopt);
  EXPECT_EQ(ParseHeader(Header("MLNK", 0, 0xffffffffu)), std::nullopt);
  EXPECT_EQ(ParseHeader(Header("MLNK", 0, 5).substr(0, 11)), std::nullopt);
  EXPECT_EQ(ParseHeader(Header("MLNK", 0, 5) + "x"), std::nullopt);
  EXPECT_EQ(ParseHeader("hello world!"), std::nullopt);
}

TEST(LinkFrame, ReceiverReadsUpToTheFirstZero) {
  EXPECT_EQ(TextOfPayload(std::string("ab\0cd\0", 6)), "ab");
  EXPECT_EQ(TextOfPayload("no zero"), "no zero");  // cut to cbData anyway
  EXPECT_EQ(TextOfPayload(std::string("\0x", 2)), "");
}

TEST(LinkFrame, AcknowledgementIsRecognisedExactly) {
  EXPECT_TRUE(IsAck(EncodeAck()));
  EXPECT_EQ(EncodeAck().size(), kAckSize);
  EXPECT_FALSE(IsAck(std::string("MACK\x01\0\0\0", 8)));
  EXPECT_FALSE(IsAck(std::string("MLNK\0\0\0\0", 8)));
  EXPECT_FALSE(IsAck(EncodeAck().substr(0, 7)));
}
