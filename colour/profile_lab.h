#pragma once

#include <array>
#include <memory>
#include <optional>
#include <span>

#include "colour/color_value.h"
#include "colour/colour_model.h"
#include "colour/colour_profile.h"
#include "colour/model_rows.h"

namespace irobunkai {

/// L*a*b* of a picture's colours through its profile: relative colorimetric to XYZ (D50,
/// the PCS), adapted by Bradford to the D65 white of CieLab, then CIE 1976 L*a*b* with that
/// white. A null profile is sRGB, and gives what LabOfSrgb and SplitLabRow give. A grey
/// profile takes a colour's grey level from its blue component.
class ProfileLab {
 public:
  explicit ProfileLab(std::shared_ptr<const ColourProfile> profile);

  /// For readouts: as littleCMS works it out, in double precision.
  [[nodiscard]] Components Of(ColorValue colour) const;
  /// Splits whole pictures into the L*a*b* model's grey levels, scaled as SplitLabRow's.
  /// Matrix-and-curves profiles go through the profile's own curves as tables and its
  /// matrix; others through littleCMS. Allocates nothing; may run on many threads at once.
  void SplitRow(std::span<const ColorValue> colours, GreyRows out) const;

  /// Whether SplitRow takes the table-driven path.
  [[nodiscard]] bool Fast() const { return fast_.has_value(); }

  using Matrix = std::array<std::array<float, 3>, 3>;
  /// A matrix-and-curves profile: each channel's level to linear light, then to XYZ over
  /// the white (rows X, Y, Z).
  struct Tables {
    std::array<std::array<float, 256>, 3> linear;
    Matrix toXyz;
  };

  struct Deleter {
    void operator()(void* transform) const;
  };

 private:
  std::shared_ptr<const ColourProfile> profile_;
  std::unique_ptr<void, Deleter> readout_;
  std::unique_ptr<void, Deleter> rows_;
  /// From the PCS's XYZ to XYZ over the D65 white, for rows through littleCMS.
  Matrix adapt_{};
  std::optional<Tables> fast_;
};

}  // namespace irobunkai
