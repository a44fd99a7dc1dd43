#include "colour/press_separation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "colour/press_profile.h"
#include "colour/proof_conversion.h"
#include "profile_test_support.h"

namespace irobunkai {
namespace {

using namespace test;

const std::string kPsCmyk = kIcc + "ghostscript/ps_cmyk.icc";
const std::string kSrgbFile = kIcc + "colord/sRGB.icc";
constexpr std::array kIntents = {PressIntent::RelativeColorimetric, PressIntent::Perceptual};

std::shared_ptr<const PressProfile> Press(const std::string& path) {
  return PressProfile::Of(ReadBytes(path));
}

const char* NameOf(PressIntent intent) {
  return intent == PressIntent::Perceptual ? "perceptual" : "relative";
}

/// What littleCMS's floating-point transform gives, as levels 0..255 not yet rounded.
std::vector<std::array<double, 4>> ExactLevels(const ColourProfile* source,
                                               const PressProfile& press, PressIntent intent,
                                               bool compensated,
                                               const std::vector<ColorValue>& colours) {
  const Profile srgb(cmsCreate_sRGBProfile());
  const bool grey = source != nullptr && source->IsGrey();
  cmsHTRANSFORM t = cmsCreateTransform(
      source != nullptr ? source->Handle() : srgb.get(), grey ? TYPE_GRAY_DBL : TYPE_RGB_DBL,
      press.Handle(), TYPE_CMYK_DBL,
      intent == PressIntent::Perceptual ? INTENT_PERCEPTUAL : INTENT_RELATIVE_COLORIMETRIC,
      compensated ? cmsFLAGS_BLACKPOINTCOMPENSATION : 0);
  EXPECT_NE(t, nullptr);
  std::vector<double> in;
  for (const ColorValue c : colours) {
    if (grey) {
      in.push_back(BlueOf(c) / 255.0);
    } else {
      in.insert(in.end(), {RedOf(c) / 255.0, GreenOf(c) / 255.0, BlueOf(c) / 255.0});
    }
  }
  std::vector<std::array<double, 4>> out(colours.size());
  cmsDoTransform(t, in.data(), out.data(), static_cast<cmsUInt32Number>(colours.size()));
  cmsDeleteTransform(t);
  for (auto& inks : out) {
    for (double& ink : inks) {
      ink = std::clamp(ink * 2.55, 0.0, 255.0);
    }
  }
  return out;
}

int Difference(const std::array<std::uint8_t, 4>& got, const std::array<double, 4>& exact) {
  int worst = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    worst = std::max(worst, std::abs(got[i] - static_cast<int>(std::lround(exact[i]))));
  }
  return worst;
}

/// The plates of `colours` as SplitRow gives them, pixel by pixel.
std::vector<std::array<std::uint8_t, 4>> Plates(const PressSeparation& separation,
                                                const std::vector<ColorValue>& colours) {
  std::array<std::vector<std::uint8_t>, 4> rows;
  for (auto& row : rows) {
    row.resize(colours.size());
  }
  separation.SplitRow(colours, rows[0].data(), rows[1].data(), rows[2].data(), rows[3].data());
  std::vector<std::array<std::uint8_t, 4>> plates(colours.size());
  for (std::size_t i = 0; i < colours.size(); ++i) {
    plates[i] = {rows[0][i], rows[1][i], rows[2][i], rows[3][i]};
  }
  return plates;
}

int Spread(ColorValue c) {
  return std::max({RedOf(c), GreenOf(c), BlueOf(c)}) - std::min({RedOf(c), GreenOf(c), BlueOf(c)});
}

TEST(PressProfileTest, TakesCmykOutputProfilesAndRefusesOthersWithAReason) {
  const auto swop = Press(kCmyk);
  ASSERT_NE(swop, nullptr);
  EXPECT_EQ(swop->Name(), "Artifex CMYK SWOP Profile");
  EXPECT_EQ(swop->Icc(), ReadBytes(kCmyk));
  EXPECT_NE(swop->Handle(), nullptr);
  const auto ps = Press(kPsCmyk);
  ASSERT_NE(ps, nullptr);
  EXPECT_FALSE(ps->Name().empty());

  std::string why;
  EXPECT_EQ(PressProfile::Of(ReadBytes(kSrgbFile), &why), nullptr);
  EXPECT_NE(why.find("CMYK"), std::string::npos) << why;
  why.clear();
  const std::vector<std::uint8_t> garbage(300, 0x5A);
  EXPECT_EQ(PressProfile::Of(garbage, &why), nullptr);
  EXPECT_FALSE(why.empty());
  why.clear();
  EXPECT_EQ(PressProfile::Of({}, &why), nullptr);
  EXPECT_FALSE(why.empty());
  // A CMYK profile cut short reads its header but not its tables.
  std::vector<std::uint8_t> cut = ReadBytes(kCmyk);
  cut.resize(cut.size() / 2);
  EXPECT_EQ(PressProfile::Of(cut), nullptr);
}

struct Accuracy {
  double withinOne;
  int worst;
};

// Every colour of a 64 x 64 x 64 grid against littleCMS's own floating-point transform.
Accuracy AccuracyOf(const ColourProfile* source, const PressProfile& press, PressIntent intent) {
  std::vector<ColorValue> colours;
  for (int r = 0; r < 64; ++r) {
    for (int g = 0; g < 64; ++g) {
      for (int b = 0; b < 64; ++b) {
        colours.push_back(RGB((r * 255 + 31) / 63, (g * 255 + 31) / 63, (b * 255 + 31) / 63));
      }
    }
  }
  const auto separation = PressSeparation::Make(source, press, intent);
  EXPECT_NE(separation, nullptr);
  const auto exact =
      ExactLevels(source, press, intent, intent == PressIntent::RelativeColorimetric, colours);
  const auto plates = Plates(*separation, colours);
  std::size_t close = 0;
  int worst = 0;
  for (std::size_t i = 0; i < colours.size(); ++i) {
    const int d = Difference(plates[i], exact[i]);
    close += d <= 1 ? 1 : 0;
    worst = std::max(worst, d);
    if (i % 997 == 0) {
      EXPECT_EQ(separation->Levels(colours[i]), plates[i]);
    }
  }
  return {static_cast<double>(close) / static_cast<double>(colours.size()), worst};
}

TEST(PressSeparationTest, PlatesAgreeWithLittleCmsOverTheCube) {
  const auto adobe = ColourProfile::Of(WithIcc(ReadBytes(kAdobe)));
  ASSERT_NE(adobe, nullptr);
  // Both presses' tables take L*a*b* through curves with many small kinks, which a grid over
  // RGB could not follow this closely: the presses' own curves and grids are evaluated.
  const struct {
    std::string path;
    Accuracy target;
  } presses[] = {{kPsCmyk, {0.999, 2}}, {kCmyk, {0.999, 2}}};
  for (const auto& p : presses) {
    const auto press = Press(p.path);
    ASSERT_NE(press, nullptr);
    for (const ColourProfile* source : {static_cast<const ColourProfile*>(nullptr), adobe.get()}) {
      for (const PressIntent intent : kIntents) {
        const Accuracy a = AccuracyOf(source, *press, intent);
        std::printf("%s from %s, %s: %.3f %% within one level, worst %d\n", p.path.c_str(),
                    source != nullptr ? "Adobe RGB" : "sRGB", NameOf(intent), 100.0 * a.withinOne,
                    a.worst);
        EXPECT_GE(a.withinOne, p.target.withinOne) << p.path << ' ' << NameOf(intent);
        EXPECT_LE(a.worst, p.target.worst) << p.path << ' ' << NameOf(intent);
      }
    }
  }
}

cmsInt32Number SampleInks(const cmsFloat32Number in[], cmsFloat32Number out[], void* transform) {
  cmsDoTransform(transform, in, out, 1);
  for (int i = 0; i < 4; ++i) {
    out[i] /= 100.0f;
  }
  return 1;
}

/// A press that takes XYZ, with Debian's press's inks sampled into its tables: littleCMS
/// interpolates its grid tetrahedrally. With `floats`, also a table of floating-point inks
/// alone, which littleCMS prefers and the press's chain can't take.
std::vector<std::uint8_t> XyzPressBytes(bool floats) {
  const Profile press(cmsOpenProfileFromFile(kCmyk.c_str(), "r"));
  const Profile xyz(cmsCreateXYZProfile());
  const auto table = [](cmsHTRANSFORM t, cmsUInt32Number points, cmsUInt32Number in,
                        cmsUInt32Number out) {
    cmsPipeline* pipeline = cmsPipelineAlloc(nullptr, in, out);
    cmsStage* grid = cmsStageAllocCLut16bit(nullptr, points, in, out, nullptr);
    cmsStageSampleCLut16bit(grid, SampleThrough, t, 0);
    cmsPipelineInsertStage(pipeline, cmsAT_END, cmsStageAllocToneCurves(nullptr, in, nullptr));
    cmsPipelineInsertStage(pipeline, cmsAT_END, grid);
    cmsPipelineInsertStage(pipeline, cmsAT_END, cmsStageAllocToneCurves(nullptr, out, nullptr));
    cmsDeleteTransform(t);
    return pipeline;
  };
  cmsPipeline* toXyz = table(cmsCreateTransform(press.get(), TYPE_CMYK_16, xyz.get(), TYPE_XYZ_16,
                                                INTENT_RELATIVE_COLORIMETRIC, 0),
                             9, 4, 3);
  cmsPipeline* toInks = table(cmsCreateTransform(xyz.get(), TYPE_XYZ_16, press.get(), TYPE_CMYK_16,
                                                 INTENT_RELATIVE_COLORIMETRIC, 0),
                              17, 3, 4);
  const Profile made(cmsCreateProfilePlaceholder(nullptr));
  cmsSetProfileVersion(made.get(), 2.1);
  cmsSetDeviceClass(made.get(), cmsSigOutputClass);
  cmsSetColorSpace(made.get(), cmsSigCmykData);
  cmsSetPCS(made.get(), cmsSigXYZData);
  cmsWriteTag(made.get(), cmsSigAToB0Tag, toXyz);
  cmsWriteTag(made.get(), cmsSigBToA0Tag, toInks);
  cmsWriteTag(made.get(), cmsSigMediaWhitePointTag, cmsD50_XYZ());
  if (floats) {
    cmsHTRANSFORM t = cmsCreateTransform(xyz.get(), TYPE_XYZ_FLT, press.get(), TYPE_CMYK_FLT,
                                         INTENT_RELATIVE_COLORIMETRIC, 0);
    cmsPipeline* inks = cmsPipelineAlloc(nullptr, 3, 4);
    cmsStage* grid = cmsStageAllocCLutFloat(nullptr, 17, 3, 4, nullptr);
    cmsStageSampleCLutFloat(grid, SampleInks, t, 0);
    cmsPipelineInsertStage(inks, cmsAT_END, grid);
    cmsWriteTag(made.get(), cmsSigBToD0Tag, inks);
    cmsPipelineFree(inks);
    cmsDeleteTransform(t);
  }
  cmsPipelineFree(toXyz);
  cmsPipelineFree(toInks);
  return Saved(made.get());
}

TEST(PressSeparationTest, PressesOfOtherTablesAgreeWithLittleCms) {
  for (const bool floats : {false, true}) {
    const auto press = PressProfile::Of(XyzPressBytes(floats));
    ASSERT_NE(press, nullptr);
    for (const PressIntent intent : kIntents) {
      const Accuracy a = AccuracyOf(nullptr, *press, intent);
      std::printf("XYZ press%s, %s: %.3f %% within one level, worst %d\n",
                  floats ? " of floats" : "", NameOf(intent), 100.0 * a.withinOne, a.worst);
      // Only the chain follows a press's own grid this closely; the table over RGB stands in
      // for the floating-point one, which littleCMS takes for perceptual only.
      const bool chain = !floats || intent == PressIntent::RelativeColorimetric;
      EXPECT_GE(a.withinOne, chain ? 0.999 : 0.99) << floats << NameOf(intent);
      EXPECT_LE(a.worst, chain ? 2 : 4) << floats << NameOf(intent);
    }
  }
}

/// transicc's inks in percent for sRGB colours, intent and compensation as given.
std::vector<std::array<double, 4>> TransiccInks(const std::string& press, PressIntent intent,
                                                const std::vector<ColorValue>& colours) {
  std::string lines;
  for (const ColorValue c : colours) {
    lines += std::to_string(RedOf(c)) + ' ' + std::to_string(GreenOf(c)) + ' ' +
             std::to_string(BlueOf(c)) + '\n';
  }
  const TemporaryFile input("press-input.txt",
                            std::vector<std::uint8_t>(lines.begin(), lines.end()));
  const bool relative = intent == PressIntent::RelativeColorimetric;
  const std::string command = std::string("transicc -n ") + (relative ? "-t1 -b" : "-t0") +
                              " -i'*sRGB' -o'" + press + "' < '" + input.path + "' 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  EXPECT_NE(pipe, nullptr) << command;
  std::vector<std::array<double, 4>> inks;
  std::array<double, 4> v{};
  while (pipe != nullptr && std::fscanf(pipe, "%lf %lf %lf %lf", &v[0], &v[1], &v[2], &v[3]) == 4) {
    inks.push_back(v);
  }
  if (pipe != nullptr) {
    pclose(pipe);
  }
  EXPECT_EQ(inks.size(), colours.size()) << command;
  return inks;
}

TEST(PressSeparationTest, ChosenColoursAgreeWithTransicc) {
  const std::vector<ColorValue> colours = {kWhite,           RGB(0, 0, 0),     RGB(0, 174, 239),
                                           RGB(236, 0, 140), RGB(255, 242, 0), RGB(128, 128, 128),
                                           RGB(90, 40, 20)};
  for (const std::string& path : {kCmyk, kPsCmyk}) {
    const auto press = Press(path);
    ASSERT_NE(press, nullptr);
    for (const PressIntent intent : kIntents) {
      const auto separation = PressSeparation::Make(nullptr, *press, intent);
      ASSERT_NE(separation, nullptr);
      const auto outside = TransiccInks(path, intent, colours);
      for (std::size_t i = 0; i < std::min(outside.size(), colours.size()); ++i) {
        const auto levels = separation->Levels(colours[i]);
        for (std::size_t ink = 0; ink < 4; ++ink) {
          EXPECT_NEAR(levels[ink], outside[i][ink] * 2.55, 2.0)
              << path << ' ' << NameOf(intent) << " colour " << Hex(colours[i]) << " ink " << ink;
        }
      }
      EXPECT_EQ(separation->Levels(kWhite), (std::array<std::uint8_t, 4>{0, 0, 0, 0})) << path;
      // SWOP prints black mostly with black ink; the PostScript profile with the other three.
      const auto black = separation->Levels(RGB(0, 0, 0));
      EXPECT_GT(path == kCmyk ? black[3] : black[0] + black[1] + black[2], 180) << path;
      const auto cyan = separation->Levels(RGB(0, 174, 239));
      EXPECT_GT(cyan[0], 150) << path;
      EXPECT_GT(cyan[0], cyan[1] + 50) << path;
      EXPECT_GT(cyan[0], cyan[2] + 50) << path;
      EXPECT_LT(cyan[3], 40) << path;
    }
  }
}

TEST(PressSeparationTest, BlackPointCompensationMovesTheDarkColours) {
  const auto press = Press(kCmyk);
  ASSERT_NE(press, nullptr);
  const std::vector<ColorValue> darks = {RGB(0, 0, 0), RGB(12, 12, 12), RGB(30, 20, 40)};
  const auto compensated =
      PressSeparation::Make(nullptr, *press, PressIntent::RelativeColorimetric);
  const auto perceptual = PressSeparation::Make(nullptr, *press, PressIntent::Perceptual);
  ASSERT_NE(compensated, nullptr);
  ASSERT_NE(perceptual, nullptr);
  const auto with = ExactLevels(nullptr, *press, PressIntent::RelativeColorimetric, true, darks);
  const auto without =
      ExactLevels(nullptr, *press, PressIntent::RelativeColorimetric, false, darks);
  int moved = 0;
  int apart = 0;
  for (std::size_t i = 0; i < darks.size(); ++i) {
    const auto levels = compensated->Levels(darks[i]);
    EXPECT_LE(Difference(levels, with[i]), 1) << Hex(darks[i]);
    moved = std::max(moved, Difference(levels, without[i]));
    const auto other = perceptual->Levels(darks[i]);
    for (std::size_t ink = 0; ink < 4; ++ink) {
      apart = std::max(apart, std::abs(levels[ink] - other[ink]));
    }
  }
  EXPECT_GE(moved, 5);
  EXPECT_GE(apart, 5);
}

TEST(PressSeparationTest, GreyPicturesTakeTheirLevelFromBlue) {
  const auto grey = ColourProfile::Of(WithIcc(ReadBytes(kGrey)));
  const auto press = Press(kCmyk);
  ASSERT_NE(grey, nullptr);
  ASSERT_TRUE(grey->IsGrey());
  ASSERT_NE(press, nullptr);
  const auto separation =
      PressSeparation::Make(grey.get(), *press, PressIntent::RelativeColorimetric);
  ASSERT_NE(separation, nullptr);
  std::vector<ColorValue> levels;
  for (int level = 0; level < 256; level += 5) {
    // The other bytes are not looked at.
    levels.push_back(RGB(255 - level, 7, level));
  }
  const auto exact =
      ExactLevels(grey.get(), *press, PressIntent::RelativeColorimetric, true, levels);
  const auto plates = Plates(*separation, levels);
  for (std::size_t i = 0; i < levels.size(); ++i) {
    EXPECT_EQ(Difference(plates[i], exact[i]), 0) << BlueOf(levels[i]);
  }
  EXPECT_EQ(separation->Levels(RGB(0, 0, 255)), (std::array<std::uint8_t, 4>{0, 0, 0, 0}));
}

TEST(PressSeparationTest, InkLooksAreEachInkAloneOnThePaper) {
  for (const std::string& path : {kCmyk, kPsCmyk}) {
    const auto press = Press(path);
    ASSERT_NE(press, nullptr);
    const auto separation = PressSeparation::Make(nullptr, *press, PressIntent::Perceptual);
    ASSERT_NE(separation, nullptr);
    const auto& looks = separation->InkLooks();
    for (std::size_t ink = 0; ink < 4; ++ink) {
      EXPECT_EQ(looks[ink][0], kWhite) << path << " ink " << ink;
      // More ink, darker.
      EXPECT_LT(GreenOf(looks[ink][255]) + RedOf(looks[ink][255]) + BlueOf(looks[ink][255]),
                GreenOf(looks[ink][128]) + RedOf(looks[ink][128]) + BlueOf(looks[ink][128]));
    }
    const ColorValue cyan = looks[0][255];
    EXPECT_LT(RedOf(cyan), 100) << Hex(cyan);
    EXPECT_GT(GreenOf(cyan), 120) << Hex(cyan);
    EXPECT_GT(BlueOf(cyan), 180) << Hex(cyan);
    EXPECT_LT(GreenOf(looks[1][255]), 100) << Hex(looks[1][255]);
    EXPECT_LT(BlueOf(looks[2][255]), 100) << Hex(looks[2][255]);
    const ColorValue black = looks[3][255];
    EXPECT_LT(RedOf(black), 110) << Hex(black);
    EXPECT_LE(Spread(black), 15) << Hex(black);
  }
  // SWOP's black ink on its paper is a dark grey; the PostScript profile's is black itself.
  const auto swop = PressSeparation::Make(nullptr, *Press(kCmyk), PressIntent::Perceptual);
  ASSERT_NE(swop, nullptr);
  EXPECT_GT(RedOf(swop->InkLooks()[3][255]), 25) << Hex(swop->InkLooks()[3][255]);
}

/// The proof worked out in two floating-point steps: into the press, then out of it; kNoColor
/// where the print lies outside the display's gamut, as clipping there is done differently
/// by a transform of bytes.
std::vector<ColorValue> TwoStepProofs(const ColourProfile* from, const PressProfile& press,
                                      PressIntent intent, const ColourProfile* display,
                                      const std::vector<ColorValue>& colours) {
  const std::vector<std::array<double, 4>> levels =
      ExactLevels(from, press, intent, intent == PressIntent::RelativeColorimetric, colours);
  const Profile srgb(cmsCreate_sRGBProfile());
  cmsHTRANSFORM out = cmsCreateTransform(press.Handle(), TYPE_CMYK_DBL,
                                         display != nullptr ? display->Handle() : srgb.get(),
                                         TYPE_RGB_DBL, INTENT_RELATIVE_COLORIMETRIC, 0);
  std::vector<ColorValue> proofs;
  for (const auto& inks : levels) {
    const std::array<double, 4> percent = {inks[0] / 2.55, inks[1] / 2.55, inks[2] / 2.55,
                                           inks[3] / 2.55};
    std::array<double, 3> rgb{};
    cmsDoTransform(out, percent.data(), rgb.data(), 1);
    const auto byte = [&](std::size_t i) {
      return static_cast<ColorValue>(std::lround(std::clamp(rgb[i], 0.0, 1.0) * 255.0));
    };
    const bool shown =
        std::all_of(rgb.begin(), rgb.end(), [](double v) { return v >= -0.001 && v <= 1.001; });
    proofs.push_back(shown ? RGB(byte(0), byte(1), byte(2)) : kNoColor);
  }
  cmsDeleteTransform(out);
  return proofs;
}

TEST(ProofConversionTest, ShowsThePrintAsTwoStepsThroughThePressWould) {
  const auto adobe = ColourProfile::Of(WithIcc(ReadBytes(kAdobe)));
  const auto p3 = ColourProfile::OfDisplay(DisplayP3Bytes());
  ASSERT_NE(adobe, nullptr);
  ASSERT_NE(p3, nullptr);
  const std::vector<ColorValue> colours = Grid(15);
  for (const std::string& path : {kCmyk, kPsCmyk}) {
    const auto press = Press(path);
    ASSERT_NE(press, nullptr);
    for (const PressIntent intent : kIntents) {
      for (const auto& [from, display] :
           {std::pair<const ColourProfile*, const ColourProfile*>{nullptr, nullptr},
            {adobe.get(), nullptr},
            {nullptr, p3.get()}}) {
        const auto proof = ProofConversion(from, *press, intent, display);
        ASSERT_NE(proof, nullptr);
        const std::vector<ColorValue> want = TwoStepProofs(from, *press, intent, display, colours);
        int worst = 0;
        std::size_t close = 0;
        std::size_t shown = 0;
        for (std::size_t i = 0; i < colours.size(); ++i) {
          if (want[i] == kNoColor) {
            continue;
          }
          ++shown;
          const ColorValue got = proof->Convert(colours[i]);
          const int d = std::max({std::abs(RedOf(got) - RedOf(want[i])),
                                  std::abs(GreenOf(got) - GreenOf(want[i])),
                                  std::abs(BlueOf(got) - BlueOf(want[i]))});
          close += d <= 2 ? 1 : 0;
          worst = std::max(worst, d);
        }
        std::printf("proof %s %s%s%s: %zu of %zu within two levels, worst %d\n", path.c_str(),
                    NameOf(intent), from ? " from Adobe RGB" : "", display ? " to Display P3" : "",
                    close, shown, worst);
        EXPECT_GT(shown, colours.size() / 2);
        // A byte transform's table is coarse at the toe of the display's curve, where a
        // saturated colour's weakest component lies: a few of those are further out.
        EXPECT_GE(static_cast<double>(close), 0.98 * static_cast<double>(shown))
            << path << ' ' << NameOf(intent) << (from ? " from Adobe RGB" : "")
            << (display ? " to Display P3" : "");
        EXPECT_LE(worst, 16);
      }
    }
  }
}

TEST(ProofConversionTest, PaperStaysWhiteBrightColoursDullAndBlackIsTheInksGrey) {
  for (const std::string& path : {kCmyk, kPsCmyk}) {
    const auto press = Press(path);
    ASSERT_NE(press, nullptr);
    for (const PressIntent intent : kIntents) {
      const auto proof = ProofConversion(nullptr, *press, intent, nullptr);
      ASSERT_NE(proof, nullptr);
      const ColorValue white = proof->Convert(kWhite);
      EXPECT_GE(std::min({RedOf(white), GreenOf(white), BlueOf(white)}), 250) << Hex(white);
      for (const ColorValue bright : {RGB(0, 0, 255), RGB(0, 255, 0)}) {
        EXPECT_LT(Spread(proof->Convert(bright)), Spread(bright) - 20)
            << path << ' ' << Hex(proof->Convert(bright));
      }
      const ColorValue black = proof->Convert(RGB(0, 0, 0));
      // The press's black, compensated into the display's no more: SWOP's is a dark grey.
      EXPECT_GE(std::min({RedOf(black), GreenOf(black), BlueOf(black)}), path == kCmyk ? 30 : 5)
          << path << ' ' << NameOf(intent) << ' ' << Hex(black);
      EXPECT_LE(RedOf(black), 90) << Hex(black);
      EXPECT_LE(Spread(black), 20) << Hex(black);
    }
  }
  // A grey picture's proof is its levels through the same two steps.
  const auto grey = ColourProfile::Of(WithIcc(ReadBytes(kGrey)));
  const auto press = Press(kCmyk);
  ASSERT_NE(grey, nullptr);
  const auto proof =
      ProofConversion(grey.get(), *press, PressIntent::RelativeColorimetric, nullptr);
  ASSERT_NE(proof, nullptr);
  for (int level = 0; level < 256; level += 15) {
    const ColorValue got = proof->Convert(RGB(level, level, level));
    const ColorValue want = TwoStepProofs(grey.get(), *press, PressIntent::RelativeColorimetric,
                                          nullptr, {RGB(level, level, level)})[0];
    EXPECT_LE(std::abs(GreenOf(got) - GreenOf(want)), 2) << level;
  }
}

}  // namespace
}  // namespace irobunkai
