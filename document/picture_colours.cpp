#include "document/picture_colours.h"

namespace irobunkai {

PictureColours PictureColours::Of(const ColourDescription& description) {
  PictureColours colours;
  colours.profile = ColourProfile::Of(description);
  if (colours.profile) {
    colours.lab = std::make_shared<const ProfileLab>(colours.profile);
  }
  return colours;
}

}  // namespace irobunkai
