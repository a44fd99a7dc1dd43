#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "document/progress.h"
#include "io/channel_files.h"
#include "views/channel_plane.h"

namespace irobunkai {

/// Four plates' stored cells (ChannelPlane: StoredWidth/StoredHeight/Row(y)), C, M, Y, K, all
/// of one size.
struct InkPlates {
  std::array<std::shared_ptr<const ChannelPlane>, 4> plates;
};

/// `path` as a CMYK TIFF is written: with ".tif" added when it has no extension.
QString CmykTiffPathWithExtension(const QString& path);

/// Writes `plates` to `path` as a CMYK TIFF with `icc` (the press profile; empty: none)
/// embedded. ".tif" is added when the path has no extension; an extension other than
/// .tif/.tiff is refused with a message.
///
/// 8 bits per ink, the inks as stored (0 none, 255 full), interleaved, LZW-compressed with
/// the horizontal predictor, as layout programs read it. The file appears whole or not at all:
/// an existing file is only replaced by a complete new one. Reports the rows written and stops
/// at the next strip once `progress` is cancelled, leaving the path as it was.
SaveResult SaveCmykTiff(const InkPlates& plates, std::span<const std::uint8_t> icc,
                        const QString& path, const Progress& progress = Progress());

}  // namespace irobunkai
