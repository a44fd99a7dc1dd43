#pragma once

// Profiles from Debian's packages, profiles made with littleCMS, and littleCMS's own transicc
// as the reference the colour engine is held to.

#include <gtest/gtest.h>
#include <lcms2.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "colour/color_value.h"
#include "colour/colour_description.h"

namespace irobunkai::test {

inline const std::string kIcc = "/usr/share/color/icc/";
inline const std::string kAdobe = kIcc + "colord/AdobeRGB1998.icc";
inline const std::string kCompatibleAdobe = kIcc + "compatibleWithAdobeRGB1998.icc";
inline const std::string kProPhoto = kIcc + "colord/ProPhotoRGB.icc";
inline const std::string kSwapped = kIcc + "colord/SwappedRedAndGreen.icc";
inline const std::string kGrey = kIcc + "Gray.icc";
inline const std::string kCmyk = kIcc + "ghostscript/default_cmyk.icc";

inline std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct ProfileCloser {
  void operator()(void* p) const { cmsCloseProfile(p); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;

inline std::vector<std::uint8_t> Saved(cmsHPROFILE profile) {
  cmsUInt32Number size = 0;
  cmsSaveProfileToMem(profile, nullptr, &size);
  std::vector<std::uint8_t> bytes(size);
  cmsSaveProfileToMem(profile, bytes.data(), &size);
  return bytes;
}

/// Display P3 as Apple defines it: P3 primaries, D65, the sRGB curve.
inline std::vector<std::uint8_t> DisplayP3Bytes() {
  const cmsCIExyY white = {0.3127, 0.3290, 1};
  const cmsCIExyYTRIPLE primaries = {{0.680, 0.320, 1}, {0.265, 0.690, 1}, {0.150, 0.060, 1}};
  const std::array<double, 5> p = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
  cmsToneCurve* curve = cmsBuildParametricToneCurve(nullptr, 4, p.data());
  std::array<cmsToneCurve*, 3> curves = {curve, curve, curve};
  const Profile profile(cmsCreateRGBProfile(&white, &primaries, curves.data()));
  cmsFreeToneCurve(curve);
  return Saved(profile.get());
}

inline cmsInt32Number SampleThrough(const cmsUInt16Number in[], cmsUInt16Number out[],
                                    void* transform) {
  cmsDoTransform(transform, in, out, 1);
  return 1;
}

/// An RGB profile of tables alone (curves, a 3D table, curves; no matrix), which takes
/// colours as Adobe RGB does, to within its table's resolution.
inline std::vector<std::uint8_t> TableProfileBytes() {
  const Profile adobe(cmsOpenProfileFromFile(kAdobe.c_str(), "r"));
  const Profile lab(cmsCreateLab4Profile(nullptr));
  cmsHTRANSFORM toLab = cmsCreateTransform(adobe.get(), TYPE_RGB_16, lab.get(), TYPE_Lab_16,
                                           INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_NOOPTIMIZE);
  cmsPipeline* pipeline = cmsPipelineAlloc(nullptr, 3, 3);
  cmsStage* table = cmsStageAllocCLut16bit(nullptr, 33, 3, 3, nullptr);
  cmsStageSampleCLut16bit(table, SampleThrough, toLab, 0);
  cmsPipelineInsertStage(pipeline, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, nullptr));
  cmsPipelineInsertStage(pipeline, cmsAT_END, table);
  cmsPipelineInsertStage(pipeline, cmsAT_END, cmsStageAllocToneCurves(nullptr, 3, nullptr));
  const Profile made(cmsCreateProfilePlaceholder(nullptr));
  cmsSetProfileVersion(made.get(), 4.3);
  cmsSetDeviceClass(made.get(), cmsSigInputClass);
  cmsSetColorSpace(made.get(), cmsSigRgbData);
  cmsSetPCS(made.get(), cmsSigLabData);
  cmsWriteTag(made.get(), cmsSigAToB0Tag, pipeline);
  cmsWriteTag(made.get(), cmsSigMediaWhitePointTag, cmsD50_XYZ());
  cmsMLU* name = cmsMLUalloc(nullptr, 1);
  cmsMLUsetASCII(name, "en", "US", "Tables of Adobe RGB");
  cmsWriteTag(made.get(), cmsSigProfileDescriptionTag, name);
  cmsMLUfree(name);
  cmsPipelineFree(pipeline);
  cmsDeleteTransform(toLab);
  return Saved(made.get());
}

/// A file in the temporary directory holding `bytes`, removed with this.
struct TemporaryFile {
  TemporaryFile(const std::string& name, const std::vector<std::uint8_t>& bytes)
      : path((std::filesystem::temp_directory_path() /
              ("irobunkai-" + std::to_string(::getpid()) + "-" + name))
                 .string()) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  ~TemporaryFile() { std::filesystem::remove(path); }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  std::string path;
};

/// What transicc gives for `colours`, relative colorimetric and clipped: one line of values each.
/// The profiles are files, or transicc's built-ins such as "*sRGB". Grey input takes the blue.
inline std::vector<std::array<double, 3>> Transicc(const std::string& in, const std::string& out,
                                                   const std::vector<ColorValue>& colours,
                                                   bool greyIn = false) {
  std::ostringstream lines;
  for (const ColorValue c : colours) {
    if (greyIn) {
      lines << BlueOf(c) << '\n';
    } else {
      lines << RedOf(c) << ' ' << GreenOf(c) << ' ' << BlueOf(c) << '\n';
    }
  }
  const std::string text = lines.str();
  const TemporaryFile input("transicc-input.txt",
                            std::vector<std::uint8_t>(text.begin(), text.end()));
  const std::string command =
      "transicc -t1 -n -s -i'" + in + "' -o'" + out + "' < '" + input.path + "'";
  FILE* pipe = popen(command.c_str(), "r");
  EXPECT_NE(pipe, nullptr) << command;
  std::vector<std::array<double, 3>> results;
  std::array<double, 3> v{};
  while (pipe != nullptr && std::fscanf(pipe, "%lf %lf %lf", &v[0], &v[1], &v[2]) == 3) {
    results.push_back(v);
  }
  if (pipe != nullptr) {
    EXPECT_EQ(pclose(pipe), 0) << command;
  }
  EXPECT_EQ(results.size(), colours.size()) << command;
  return results;
}

inline ColourDescription WithIcc(std::vector<std::uint8_t> icc,
                                 std::optional<CodedColour> coded = std::nullopt) {
  ColourDescription d;
  d.icc = std::move(icc);
  d.coded = coded;
  return d;
}

inline ColourDescription WithCoded(int primaries, int transfer) {
  ColourDescription d;
  d.coded = CodedColour{primaries, transfer, 2, true};
  return d;
}

inline ColourDescription WithPng(bool srgb, std::optional<double> gamma,
                                 std::optional<std::array<double, 8>> chromaticities = {}) {
  ColourDescription d;
  d.png = PngColourChunks{srgb, gamma, chromaticities};
  return d;
}

/// A grid over the RGB cube, its corners included.
inline std::vector<ColorValue> Grid(int step) {
  std::vector<ColorValue> colours;
  for (int r = 0; r < 256; r += step) {
    for (int g = 0; g < 256; g += step) {
      for (int b = 0; b < 256; b += step) {
        colours.push_back(RGB(r, g, b));
      }
    }
  }
  return colours;
}

}  // namespace irobunkai::test
