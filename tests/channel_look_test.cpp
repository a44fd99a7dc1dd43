#include <gtest/gtest.h>

#include "views/plane_look.h"

namespace irobunkai {
namespace {

constexpr Channel kChannels[] = {Channel::Red, Channel::Green, Channel::Blue};

// How an RGB channel view and its saved file show `value` of `channel`.
ColorValue LookColor(Channel channel, ChannelLook look, int value) {
  return PlaneLook::Of(channel).At(static_cast<std::uint8_t>(value), 0, look);
}

TEST(ChannelLook, TintedIsThePureChannelColour) {
  for (const Channel channel : kChannels) {
    for (int v = 0; v < 256; ++v) {
      EXPECT_EQ(LookColor(channel, ChannelLook::Tinted, v), ChannelColor(channel, v)) << v;
    }
  }
  EXPECT_EQ(LookColor(Channel::Red, ChannelLook::Tinted, 200), 200);
  EXPECT_EQ(LookColor(Channel::Green, ChannelLook::Tinted, 200), 200 * 256);
  EXPECT_EQ(LookColor(Channel::Blue, ChannelLook::Tinted, 200), 200 * 65536);
}

TEST(ChannelLook, GreyIsTheSameValueInAllThreeComponents) {
  for (const Channel channel : kChannels) {
    for (int v = 0; v < 256; ++v) {
      const ColorValue c = LookColor(channel, ChannelLook::Grey, v);
      EXPECT_EQ(RedOf(c), v);
      EXPECT_EQ(GreenOf(c), v);
      EXPECT_EQ(BlueOf(c), v);
    }
  }
  EXPECT_EQ(LookColor(Channel::Blue, ChannelLook::Grey, 255), kWhite);
  EXPECT_EQ(LookColor(Channel::Green, ChannelLook::Grey, 0), 0);
}

}  // namespace
}  // namespace irobunkai
