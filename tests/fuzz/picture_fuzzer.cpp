// Feeds arbitrary bytes through picture decoding into a view, then separates and
// reads out what loaded, as the window would.
#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <array>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <vector>

#include "analysis/channel_separation.h"
#include "analysis/pixel_readout.h"
#include "analysis/total_ink.h"
#include "colour/press_separation.h"
#include "document/picture_colours.h"
#include "document/zoom_levels.h"
#include "io/formats/decode_by_content.h"
#include "io/formats/raw_mosaic.h"
#include "io/picture_loader.h"
#include "render/display_colours.h"
#include "render/frame_renderer.h"
#include "views/view_state.h"

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_LOGGING_RULES", "qt.gui.imageio=false");
  // Qt keeps argc and argv for the application's life, which outlasts the fuzzer's main.
  static int argc = 1;
  static char name[] = "picture_fuzzer";
  static char* argv[] = {name, nullptr};
  static const QGuiApplication application(argc, argv);
  return 0;
}

namespace {

// Splitting and drawing take time in proportion to the decoded picture: a legal one near
// the loader's limit takes a minute under the sanitizers. The fuzzer looks for faults, not
// slow legal work, so larger pictures are left to the hostile-picture tests.
constexpr std::int64_t kPixelBudget = 1'000'000;

// Room for the budget's pixels at 16 bits per component.
constexpr int kProbeAllocationMiB = 8;

bool WithinBudget(int width, int height) { return std::int64_t{width} * height <= kPixelBudget; }

// Whether the input decodes to no more than the budget, found without decoding more.
// Headers understate what decodes (a GIF's small first frame in a logical screen of a
// gigabyte), so Qt's readers decode it under an allocation limit the budget's size. The
// loader sets its own limit before it reads.
bool DecodesWithinBudget(const QByteArray& bytes, std::span<const std::uint8_t> input) {
  // The formats decoded without Qt, as the loader decodes them, refuse a picture over the
  // budget before decoding it.
  if (const auto decoded = irobunkai::DecodeWithoutQt(input, irobunkai::Progress(), kPixelBudget)) {
    const auto* error = std::get_if<irobunkai::FormatError>(&*decoded);
    return error == nullptr || *error != irobunkai::FormatError::TooLarge;
  }
  QImageReader::setAllocationLimit(kProbeAllocationMiB);
  QBuffer buffer;
  buffer.setData(bytes);
  QImage probe;
  return QImageReader(&buffer).read(&probe) && WithinBudget(probe.width(), probe.height());
}

// The second component of a colour model the input picks, drawn in its look (the S of
// HSV and HSL tinted by the hue plane) from its own zoom levels.
void SplitIntoAModel(const irobunkai::PictureView& source, const irobunkai::MipPyramid* levels,
                     double scale, std::size_t pick, const irobunkai::ProfileLab* lab) {
  using namespace irobunkai;
  static const std::array looks = [] {
    std::array<std::shared_ptr<const ComponentLooks>, kColourModels.size()> all;
    for (std::size_t i = 0; i < all.size(); ++i) {
      all[i] = std::make_shared<const ComponentLooks>(kColourModels[i]);
    }
    return all;
  }();
  const std::size_t chosen = pick % kColourModels.size();
  const Separation components =
      SeparateChannels(source, {.model = kColourModels[chosen], .lab = lab});
  PictureView second(188, 179, 0);
  second.DrawPlane(components.planes[Channel::Green], PlaneLook(looks[chosen], 1),
                   components.planes[Channel::Red]);
  std::optional<std::array<MipPyramid, 4>> componentLevels;
  if (levels != nullptr) {
    componentLevels = MipPyramid::ComponentsOf(*levels, kColourModels[chosen], lab);
  }
  static_cast<void>(RenderFrame(
      second, {scale, 0.0, 0.0}, {188, 179}, 1.0,
      FrameSources{componentLevels ? &(*componentLevels)[1] : nullptr,
                   componentLevels ? &(*componentLevels)[0] : nullptr, ChannelLook::Tinted}));
}

// A profile is a parser's input like any file: the bytes themselves as one, and as a press's,
// then the picture's own, which paints its frame for an sRGB display.
irobunkai::PictureColours ReadProfiles(std::span<const std::uint8_t> input,
                                       const irobunkai::ColourDescription& own) {
  using namespace irobunkai;
  static_cast<void>(PictureColours::Of({{input.begin(), input.end()}, {}, {}}));
  static_cast<void>(PressProfile::Of(input));
  return PictureColours::Of(own);
}

// The press's four plates through Debian's press profile, or a CMYK picture's own inks; the
// total ink counted as the window counts it. Sampling the press's table for each picture's own
// profile would take most of a run: the picture is taken as sRGB.
void SplitIntoPlates(const irobunkai::PictureView& source) {
  using namespace irobunkai;
  static const auto plates = []() -> std::shared_ptr<const PressSeparation> {
    std::ifstream file("/usr/share/color/icc/ghostscript/default_cmyk.icc", std::ios::binary);
    const std::vector<std::uint8_t> icc(std::istreambuf_iterator<char>(file), {});
    const auto press = PressProfile::Of(icc);
    return press ? PressSeparation::Make(nullptr, *press, PressIntent::RelativeColorimetric)
                 : nullptr;
  }();
  if (!plates) {
    return;
  }
  const Separation four =
      SeparateChannels(source, {.model = ColourModel::CMYK, .press = plates.get()});
  static_cast<void>(CountOverInkLimit(source, *plates, 300));
  const float lastX = source.ScaleWidth() - 1;
  const float lastY = source.ScaleHeight() - 1;
  const InkLevels inks = InksAt(source, {static_cast<int>(lastX), static_cast<int>(lastY)},
                                source.Point(lastX, lastY), *plates);
  if (four.planes[Channel::Black]->At(static_cast<int>(lastX), static_cast<int>(lastY)) !=
      inks[3]) {
    __builtin_trap();  // the plates must agree with the readout
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace irobunkai;
  const std::span<const std::uint8_t> input(data, size);
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  static_cast<void>(RawMosaic(input, kPixelBudget));
  if (!DecodesWithinBudget(bytes, input)) {
    return 0;
  }
  LoadResult result = DecodePicture(bytes);
  const auto* loaded = std::get_if<LoadedPicture>(&result);
  const Image* image = loaded != nullptr ? &loaded->image : nullptr;
  if (image == nullptr || !WithinBudget(image->Width(), image->Height())) {
    return 0;
  }
  const PictureColours colours = ReadProfiles(input, loaded->colour);
  PictureView source(188, 179, 0x0000FF);
  source.SetPicture(*image);
  const std::optional<MipPyramid> levels = SourceLevels(source);
  const Separation planes = SeparateChannels(source);
  PictureView blue(188, 179, 0xFF0000);
  blue.DrawPlane(planes.planes[Channel::Blue], Channel::Blue);
  const float lastX = source.ScaleWidth() - 1;
  const float lastY = source.ScaleHeight() - 1;
  const PixelReadout corner = ReadOut(ShownColor(source, lastX, lastY));
  if (corner.hex.empty() || ShownColor(blue, lastX, lastY) !=
                                ChannelColor(Channel::Blue, BlueOf(source.Point(lastX, lastY)))) {
    __builtin_trap();  // the channel views must agree with the source
  }
  // The default view, drawn as the window draws it.
  const double scale = FitScale(188, 179, source.AreaWidth(), source.AreaHeight());
  Frame frame = RenderFrame(source, {scale, 0.0, 0.0}, {188, 179}, 1.0,
                            FrameSources{levels ? &*levels : nullptr});
  ConvertForDisplay(frame, DisplayColours().From(colours.profile));
  SplitIntoAModel(source, levels ? &*levels : nullptr, scale, size, colours.Lab());
  SplitIntoPlates(source);
  return 0;
}
