#include "colour/colour_profile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "profile_test_support.h"

namespace irobunkai {
namespace {

using namespace test;

std::shared_ptr<const ColourProfile> OfIcc(const std::vector<std::uint8_t>& icc) {
  return ColourProfile::Of(WithIcc(icc));
}

std::shared_ptr<const ColourProfile> OfCoded(int primaries, int transfer) {
  return ColourProfile::Of(WithCoded(primaries, transfer));
}

std::string NameInIcc(const std::vector<std::uint8_t>& icc) {
  const Profile p(cmsOpenProfileFromMem(icc.data(), static_cast<cmsUInt32Number>(icc.size())));
  std::array<char, 256> name{};
  cmsGetProfileInfoASCII(p.get(), cmsInfoDescription, "en", "US", name.data(), name.size());
  return name.data();
}

TEST(ColourProfile, EmbeddedProfilesAreReadAndNamedAsTheirDescriptionSays) {
  for (const auto& [path, name] : std::vector<std::pair<std::string, std::string>>{
           {kCompatibleAdobe, "Compatible with Adobe RGB (1998)"},
           {kAdobe, "Compatible with Adobe RGB (1998)"},
           {kProPhoto, "ProPhoto RGB"},
           {kSwapped, "Swapped Red and Green"}}) {
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    const auto profile = OfIcc(bytes);
    ASSERT_NE(profile, nullptr) << path;
    EXPECT_EQ(profile->Name(), name) << path;
    EXPECT_EQ(profile->Icc(), bytes) << path;
    EXPECT_FALSE(profile->IsGrey()) << path;
    EXPECT_NE(profile->Handle(), nullptr) << path;
  }
  const auto grey = OfIcc(ReadBytes(kGrey));
  ASSERT_NE(grey, nullptr);
  EXPECT_TRUE(grey->IsGrey());
  EXPECT_EQ(OfIcc(TableProfileBytes())->Name(), "Tables of Adobe RGB");
}

TEST(ColourProfile, SrgbInAnyFormIsNull) {
  const Profile builtIn(cmsCreate_sRGBProfile());
  for (const auto& icc : {ReadBytes(kIcc + "sRGB.icc"), ReadBytes(kIcc + "colord/sRGB.icc"),
                          ReadBytes(kIcc + "ghostscript/srgb.icc"), Saved(builtIn.get())}) {
    ASSERT_FALSE(icc.empty());
    EXPECT_EQ(OfIcc(icc), nullptr) << NameInIcc(icc);
  }
  EXPECT_EQ(ColourProfile::Of({}), nullptr);
  EXPECT_EQ(OfCoded(1, 13), nullptr);
  EXPECT_EQ(OfCoded(2, 2), nullptr);
  EXPECT_EQ(ColourProfile::Of(WithPng(true, 1 / 1.8)), nullptr);
  EXPECT_EQ(ColourProfile::Of(WithPng(false, std::nullopt)), nullptr);
  // The embedded profile outranks the code points.
  EXPECT_EQ(ColourProfile::Of(WithIcc(Saved(builtIn.get()), CodedColour{12, 13, 2, true})),
            nullptr);
}

TEST(ColourProfile, BrokenOrUnfitProfilesAreIgnored) {
  const std::vector<std::uint8_t> adobe = ReadBytes(kAdobe);
  const std::vector<std::uint8_t> truncated(adobe.begin(), adobe.begin() + 200);
  std::vector<std::uint8_t> garbage(4000);
  for (std::size_t i = 0; i < garbage.size(); ++i) {
    garbage[i] = static_cast<std::uint8_t>(i * 7919 % 251);
  }
  // The header intact, every tag's data overwritten.
  std::vector<std::uint8_t> scrambled = adobe;
  for (std::size_t i = 300; i < scrambled.size(); ++i) {
    scrambled[i] = static_cast<std::uint8_t>(i * 31);
  }
  for (const auto& icc : {truncated, garbage, scrambled, ReadBytes(kCmyk)}) {
    EXPECT_EQ(OfIcc(icc), nullptr);
  }
  // What else the file says still counts.
  const auto p3 = ColourProfile::Of(WithIcc(garbage, CodedColour{12, 13, 2, true}));
  ASSERT_NE(p3, nullptr);
  EXPECT_EQ(p3->Name(), "Display P3");
}

TEST(ColourProfile, CodePointsMakeProfilesNamedByTheirValues) {
  for (const auto& [primaries, transfer, name] :
       std::vector<std::tuple<int, int, std::string>>{{12, 13, "Display P3"},
                                                      {9, 1, "Rec. 2020"},
                                                      {9, 14, "Rec. 2020"},
                                                      {11, 17, "DCI-P3"},
                                                      {1, 1, "BT.709"},
                                                      {9, 16, "Rec. 2020 PQ"},
                                                      {9, 18, "Rec. 2020 HLG"},
                                                      {12, 8, "Display P3 linear"},
                                                      {1, 4, "BT.709 gamma 2.2"}}) {
    const auto profile = OfCoded(primaries, transfer);
    ASSERT_NE(profile, nullptr) << name;
    EXPECT_EQ(profile->Name(), name);
    // Saved pictures carry it: the bytes are a profile of that name.
    EXPECT_EQ(NameInIcc(profile->Icc()), name);
    EXPECT_FALSE(profile->IsGrey());
  }
}

TEST(ColourProfile, PngChunksMakeProfilesOfTheirGammaAndPrimaries) {
  const auto gamma18 = ColourProfile::Of(WithPng(false, 1 / 1.8));
  ASSERT_NE(gamma18, nullptr);
  EXPECT_EQ(gamma18->Name(), "gamma 1.8");
  const std::array<double, 8> own = {0.3127, 0.3290, 0.68, 0.32, 0.265, 0.69, 0.15, 0.06};
  const auto withPrimaries = ColourProfile::Of(WithPng(false, 0.45455, own));
  ASSERT_NE(withPrimaries, nullptr);
  EXPECT_EQ(withPrimaries->Name(), "gamma 2.2 with its own primaries");
  EXPECT_EQ(NameInIcc(withPrimaries->Icc()), "gamma 2.2 with its own primaries");
  // What ImageMagick and GIMP write into every sRGB PNG is sRGB, as browsers take it.
  const std::array<double, 8> srgb = {0.3127, 0.3290, 0.64, 0.33, 0.30, 0.60, 0.15, 0.06};
  EXPECT_EQ(ColourProfile::Of(WithPng(false, 0.45455, srgb)), nullptr);
  EXPECT_EQ(ColourProfile::Of(WithPng(false, 0.45455)), nullptr);
  ASSERT_NE(ColourProfile::Of(WithPng(false, 0.5, srgb)), nullptr) << "gamma 2, not sRGB";
  // Values no profile can be made of.
  EXPECT_EQ(ColourProfile::Of(WithPng(false, 0.0)), nullptr);
  EXPECT_EQ(ColourProfile::Of(WithPng(false, 0.45, std::array<double, 8>{})), nullptr);
}

TEST(ColourProfile, DisplayProfilesAreRgbProfilesOtherThanSrgb) {
  const auto adobe = ColourProfile::OfDisplay(ReadBytes(kAdobe));
  ASSERT_NE(adobe, nullptr);
  EXPECT_EQ(adobe->Name(), "Compatible with Adobe RGB (1998)");
  const Profile srgb(cmsCreate_sRGBProfile());
  EXPECT_EQ(ColourProfile::OfDisplay(Saved(srgb.get())), nullptr);
  EXPECT_EQ(ColourProfile::OfDisplay(ReadBytes(kGrey)), nullptr);
  EXPECT_EQ(ColourProfile::OfDisplay(ReadBytes(kCmyk)), nullptr);
  EXPECT_EQ(ColourProfile::OfDisplay({}), nullptr);
  const std::vector<std::uint8_t> adobeBytes = ReadBytes(kAdobe);
  EXPECT_EQ(ColourProfile::OfDisplay(std::span(adobeBytes).first(128)), nullptr);
}

}  // namespace
}  // namespace irobunkai
