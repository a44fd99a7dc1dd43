#include "colour/profile_lab.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "colour/cie_lab.h"
#include "colour/lab_levels.h"
#include "colour/lab_rows.h"
#include "colour/lcms_support.h"
#include "colour/row_lanes.h"

namespace irobunkai {
namespace {

using lanes::kStretch;
using Matrix = ProfileLab::Matrix;
using Tables = ProfileLab::Tables;

constexpr cmsCIEXYZ kD65 = {CieLab::kWhite[0], CieLab::kWhite[1], CieLab::kWhite[2]};

cmsCIEXYZ Adapted(const cmsCIEXYZ& xyz) {
  cmsCIEXYZ adapted{};
  cmsAdaptToIlluminant(&adapted, cmsD50_XYZ(), &kD65, &xyz);
  return adapted;
}

// XYZ to XYZ over the D65 white, the Bradford adaptation being linear: its columns are
// the adapted unit vectors, and `columns` are taken through it.
Matrix RelativeMatrix(const std::array<cmsCIEXYZ, 3>& columns) {
  Matrix m{};
  for (std::size_t c = 0; c < 3; ++c) {
    const cmsCIEXYZ a = Adapted(columns[c]);
    m[0][c] = static_cast<float>(a.X / kD65.X);
    m[1][c] = static_cast<float>(a.Y / kD65.Y);
    m[2][c] = static_cast<float>(a.Z / kD65.Z);
  }
  return m;
}

Matrix AdaptationMatrix() { return RelativeMatrix({{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}); }

bool HasTables(cmsHPROFILE profile) {
  for (const cmsTagSignature tag : {cmsSigAToB0Tag, cmsSigAToB1Tag, cmsSigAToB2Tag, cmsSigDToB0Tag,
                                    cmsSigDToB1Tag, cmsSigDToB2Tag}) {
    if (cmsIsTag(profile, tag)) {
      return true;
    }
  }
  return false;
}

bool Linearise(const cmsToneCurve* curve, std::array<float, 256>& table) {
  if (curve == nullptr) {
    return false;
  }
  for (std::size_t level = 0; level < 256; ++level) {
    table[level] = cmsEvalToneCurveFloat(curve, static_cast<float>(level) / 255.0f);
  }
  return true;
}

// What littleCMS itself takes a matrix-and-curves profile to be, as tables; nothing for
// profiles whose tables it would use instead.
std::optional<Tables> TablesOf(cmsHPROFILE profile) {
  if (!cmsIsMatrixShaper(profile) || HasTables(profile)) {
    return std::nullopt;
  }
  Tables t{};
  if (cmsGetColorSpace(profile) == cmsSigGrayData) {
    // Grey lies on the white, the PCS's D50; its level is the blue component's.
    const auto* curve = static_cast<const cmsToneCurve*>(cmsReadTag(profile, cmsSigGrayTRCTag));
    const bool read = Linearise(curve, t.linear[0]) && Linearise(curve, t.linear[1]) &&
                      Linearise(curve, t.linear[2]);
    t.toXyz = RelativeMatrix({{{0, 0, 0}, {0, 0, 0}, *cmsD50_XYZ()}});
    return read ? std::optional(t) : std::nullopt;
  }
  const std::array colorants = {cmsSigRedColorantTag, cmsSigGreenColorantTag,
                                cmsSigBlueColorantTag};
  const std::array curves = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};
  std::array<cmsCIEXYZ, 3> columns{};
  for (std::size_t c = 0; c < 3; ++c) {
    const auto* xyz = static_cast<const cmsCIEXYZ*>(cmsReadTag(profile, colorants[c]));
    const auto* curve = static_cast<const cmsToneCurve*>(cmsReadTag(profile, curves[c]));
    if (xyz == nullptr || !Linearise(curve, t.linear[c])) {
      return std::nullopt;
    }
    columns[c] = *xyz;
  }
  t.toXyz = RelativeMatrix(columns);
  return t;
}

double ExactF(double t) {
  return t > CieLab::kEpsilon ? std::cbrt(t) : (CieLab::kKappa * t + 16.0) / 116.0;
}

Components LabOfRelative(const std::array<double, 3>& xyz) {
  const double fx = ExactF(xyz[0]);
  const double fy = ExactF(xyz[1]);
  const double fz = ExactF(xyz[2]);
  return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

Components LabOfTables(const Tables& t, ColorValue colour) {
  const lanes::Bytes c = lanes::BytesOf(colour);
  const std::array<double, 3> linear = {t.linear[0][static_cast<std::size_t>(c.r)],
                                        t.linear[1][static_cast<std::size_t>(c.g)],
                                        t.linear[2][static_cast<std::size_t>(c.b)]};
  std::array<double, 3> xyz{};
  for (std::size_t i = 0; i < 3; ++i) {
    xyz[i] = t.toXyz[i][0] * linear[0] + t.toXyz[i][1] * linear[1] + t.toXyz[i][2] * linear[2];
  }
  return LabOfRelative(xyz);
}

inline void XyzOfTables(const Tables& t, const ColorValue* colours, std::size_t n,
                        lanes::XyzStretch& xyz) {
  for (std::size_t i = 0; i < n; ++i) {
    const lanes::Bytes c = lanes::BytesOf(colours[i]);
    const float r = t.linear[0][static_cast<std::size_t>(c.r)];
    const float g = t.linear[1][static_cast<std::size_t>(c.g)];
    const float b = t.linear[2][static_cast<std::size_t>(c.b)];
    xyz.x[i] = t.toXyz[0][0] * r + t.toXyz[0][1] * g + t.toXyz[0][2] * b;
    xyz.y[i] = t.toXyz[1][0] * r + t.toXyz[1][1] * g + t.toXyz[1][2] * b;
    xyz.z[i] = t.toXyz[2][0] * r + t.toXyz[2][1] * g + t.toXyz[2][2] * b;
  }
}

IROBUNKAI_ROW_LOOP void SplitRowByTables(const Tables& t, std::span<const ColorValue> colours,
                                         GreyRows out) {
  lanes::XyzStretch xyz;
  for (std::size_t start = 0; start < colours.size(); start += kStretch) {
    const std::size_t count = std::min(kStretch, colours.size() - start);
    XyzOfTables(t, colours.data() + start, count, xyz);
    lanes::LabOf(xyz, count, lanes::From(out, start));
  }
}

}  // namespace

void ProfileLab::Deleter::operator()(void* transform) const { cmsDeleteTransform(transform); }

ProfileLab::ProfileLab(std::shared_ptr<const ColourProfile> profile)
    : profile_(std::move(profile)), adapt_(AdaptationMatrix()) {
  if (!profile_) {
    return;
  }
  const ColourProfile::Owned xyz(cmsCreateXYZProfile());
  const cmsUInt32Number in = profile_->IsGrey() ? TYPE_GRAY_8 : TYPE_RGB_8;
  readout_.reset(cmsCreateTransform(profile_->Handle(), in, xyz.get(), TYPE_XYZ_DBL,
                                    INTENT_RELATIVE_COLORIMETRIC,
                                    lcms::kSharedFlags | cmsFLAGS_NOOPTIMIZE));
  rows_.reset(cmsCreateTransform(profile_->Handle(), profile_->IsGrey() ? TYPE_GRAY_8 : TYPE_RGBA_8,
                                 xyz.get(), TYPE_XYZ_FLT, INTENT_RELATIVE_COLORIMETRIC,
                                 lcms::kSharedFlags));
  fast_ = TablesOf(profile_->Handle());
  // The tables stand for the profile only as long as they agree with littleCMS.
  for (int r = 0; fast_ && r < 256; r += 17) {
    for (int g = 0; fast_ && g < 256; g += 17) {
      for (int b = 0; fast_ && b < 256; b += 17) {
        const Components exact = Of(RGB(r, g, b));
        const Components table = LabOfTables(*fast_, RGB(r, g, b));
        for (std::size_t i = 0; i < 3; ++i) {
          if (std::abs(exact[i] - table[i]) > 0.05) {
            fast_.reset();
            break;
          }
        }
      }
    }
  }
}

Components ProfileLab::Of(ColorValue colour) const {
  const lanes::Bytes c = lanes::BytesOf(colour);
  if (!profile_ || !readout_) {
    return LabOfSrgb(c.r, c.g, c.b);
  }
  const std::array<std::uint8_t, 3> rgb = {static_cast<std::uint8_t>(c.r),
                                           static_cast<std::uint8_t>(c.g),
                                           static_cast<std::uint8_t>(c.b)};
  cmsCIEXYZ xyz{};
  cmsDoTransform(readout_.get(), profile_->IsGrey() ? &rgb[2] : rgb.data(), &xyz, 1);
  const cmsCIEXYZ adapted = Adapted(xyz);
  cmsCIELab lab{};
  cmsXYZ2Lab(&kD65, &lab, &adapted);
  return {lab.L, lab.a, lab.b};
}

void ProfileLab::SplitRow(std::span<const ColorValue> colours, GreyRows out) const {
  if (!profile_ || !rows_) {
    SplitLabRow(colours, out);
  } else if (fast_) {
    SplitRowByTables(*fast_, colours, out);
  } else {
    std::array<float, 3 * kStretch> pcs{};
    std::array<std::uint8_t, kStretch> grey{};
    lanes::XyzStretch xyz;
    for (std::size_t start = 0; start < colours.size(); start += kStretch) {
      const std::size_t count = std::min(kStretch, colours.size() - start);
      const void* in = colours.data() + start;
      if (profile_->IsGrey()) {
        for (std::size_t i = 0; i < count; ++i) {
          grey[i] = static_cast<std::uint8_t>(lanes::BytesOf(colours[start + i]).b);
        }
        in = grey.data();
      }
      cmsDoTransform(rows_.get(), in, pcs.data(), static_cast<cmsUInt32Number>(count));
      for (std::size_t i = 0; i < count; ++i) {
        const float* v = &pcs[3 * i];
        xyz.x[i] = adapt_[0][0] * v[0] + adapt_[0][1] * v[1] + adapt_[0][2] * v[2];
        xyz.y[i] = adapt_[1][0] * v[0] + adapt_[1][1] * v[1] + adapt_[1][2] * v[2];
        xyz.z[i] = adapt_[2][0] * v[0] + adapt_[2][1] * v[1] + adapt_[2][2] * v[2];
      }
      lanes::LabOf(xyz, count, lanes::From(out, start));
    }
  }
}

}  // namespace irobunkai
