#include "colour/profile_lab.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "colour/cie_lab.h"
#include "colour/component_grey.h"
#include "colour/lab_rows.h"
#include "profile_test_support.h"

namespace irobunkai {
namespace {

using namespace test;

// littleCMS's L*a*b* of `colour` under `icc`: to XYZ, Bradford to D65, L*a*b* on D65.
Components Reference(cmsHTRANSFORM t, bool grey, ColorValue colour) {
  const std::array<std::uint8_t, 3> rgb = {static_cast<std::uint8_t>(RedOf(colour)),
                                           static_cast<std::uint8_t>(GreenOf(colour)),
                                           static_cast<std::uint8_t>(BlueOf(colour))};
  cmsCIEXYZ pcs{};
  cmsDoTransform(t, grey ? &rgb[2] : rgb.data(), &pcs, 1);
  const cmsCIEXYZ d65 = {CieLab::kWhite[0], CieLab::kWhite[1], CieLab::kWhite[2]};
  cmsCIEXYZ adapted{};
  cmsAdaptToIlluminant(&adapted, cmsD50_XYZ(), &d65, &pcs);
  cmsCIELab lab{};
  cmsXYZ2Lab(&d65, &lab, &adapted);
  return {lab.L, lab.a, lab.b};
}

struct Case {
  std::string name;
  std::vector<std::uint8_t> icc;
  bool fast;
};

std::vector<Case> Cases() {
  return {{"Adobe RGB", ReadBytes(kAdobe), true}, {"ProPhoto", ReadBytes(kProPhoto), true},
          {"swapped", ReadBytes(kSwapped), true}, {"grey", ReadBytes(kGrey), true},
          {"Display P3", DisplayP3Bytes(), true}, {"tables", TableProfileBytes(), false}};
}

TEST(ProfileLab, TheIssuesAdobeRgbExample) {
  const ProfileLab lab(ColourProfile::Of(WithIcc(ReadBytes(kAdobe))));
  const Components v = lab.Of(RGB(200, 40, 40));
  EXPECT_NEAR(v[0], 50.24, 0.005);
  EXPECT_NEAR(v[1], 70.92, 0.005);
  EXPECT_NEAR(v[2], 51.28, 0.005);
  const ProfileLab compatible(ColourProfile::Of(WithIcc(ReadBytes(kCompatibleAdobe))));
  EXPECT_NEAR(compatible.Of(RGB(200, 40, 40))[1], 70.92, 0.05);
}

TEST(ProfileLab, SrgbIsExactlyTheLabModel) {
  const ProfileLab lab(nullptr);
  const std::vector<ColorValue> grid = Grid(15);
  for (const ColorValue c : grid) {
    const Components expected = LabOfSrgb(RedOf(c), GreenOf(c), BlueOf(c));
    ASSERT_EQ(lab.Of(c), expected);
  }
  std::vector<std::uint8_t> l(grid.size()), a(grid.size()), b(grid.size());
  std::vector<std::uint8_t> sl(grid.size()), sa(grid.size()), sb(grid.size());
  lab.SplitRow(grid, {l.data(), a.data(), b.data()});
  SplitLabRow(grid, {sl.data(), sa.data(), sb.data()});
  EXPECT_EQ(l, sl);
  EXPECT_EQ(a, sa);
  EXPECT_EQ(b, sb);
}

TEST(ProfileLab, ReadoutsAndRowsAgreeWithLittleCms) {
  const std::vector<ColorValue> grid = Grid(15);
  for (const Case& c : Cases()) {
    const ProfileLab lab(ColourProfile::Of(WithIcc(c.icc)));
    const Profile in(
        cmsOpenProfileFromMem(c.icc.data(), static_cast<cmsUInt32Number>(c.icc.size())));
    const Profile xyz(cmsCreateXYZProfile());
    const bool grey = cmsGetColorSpace(in.get()) == cmsSigGrayData;
    cmsHTRANSFORM t = cmsCreateTransform(in.get(), grey ? TYPE_GRAY_8 : TYPE_RGB_8, xyz.get(),
                                         TYPE_XYZ_DBL, INTENT_RELATIVE_COLORIMETRIC, 0);
    EXPECT_EQ(lab.Fast(), c.fast) << c.name;
    std::vector<std::uint8_t> l(grid.size()), a(grid.size()), b(grid.size());
    lab.SplitRow(grid, {l.data(), a.data(), b.data()});
    double worstReadout = 0;
    int worstLevel = 0;
    for (std::size_t i = 0; i < grid.size(); ++i) {
      const Components expected = Reference(t, grey, grid[i]);
      const Components got = lab.Of(grid[i]);
      const std::array<std::uint8_t, 3> levels = {l[i], a[i], b[i]};
      for (int k = 0; k < 3; ++k) {
        const auto ku = static_cast<std::size_t>(k);
        worstReadout = std::max(worstReadout, std::abs(got[ku] - expected[ku]));
        worstLevel = std::max(worstLevel,
                              std::abs(levels[ku] - GreyLevel(ColourModel::Lab, k, expected[ku])));
      }
    }
    cmsDeleteTransform(t);
    EXPECT_LE(worstReadout, 0.05) << c.name;
    EXPECT_LE(worstLevel, 1) << c.name;
  }
}

}  // namespace
}  // namespace irobunkai
