// The separate button: small pictures are split at once, large ones off the GUI thread.
#include "window/busy_cursor.h"
#include "window/error_reports.h"
#include "window/form1.h"

namespace irobunkai {
namespace {

// Split at once below this: the window would not be felt to wait.
constexpr std::int64_t kQuickSeparationPixels = 2'000'000;

const QString kWhat = QStringLiteral("色分解 (separation)");

}  // namespace

void Form1::Command1_Click() {
  if (document_->ShownFirstSight()) {
    document_->DeferSeparation();  // split the exact picture when it comes
    return;
  }
  const PictureView& source = document_->Source();
  const SeparationOptions options{.countHistograms = viewState_->ShowsHistograms(),
                                  .model = viewState_->Model()};
  if (std::int64_t{source.ContentWidth()} * source.ContentHeight() > kQuickSeparationPixels) {
    SeparateInBackground(source, options);
    return;
  }
  RunGrowing(this, kWhat, [&] {
    const BusyCursor busy;
    // Everything the separation needs is allocated before the document changes.
    ViewRenditions::ChannelLevels levels =
        renditions_->ChannelLevelsOf(source, document_->PictureNumber(), options.model);
    // Histograms shown now are counted with the planes; otherwise when first shown.
    document_->Separate(options);
    renditions_->SetChannelLevels(std::move(levels), document_->SeparatedPicture());
  });
}

void Form1::SeparateInBackground(const PictureView& from, SeparationOptions options) {
  // What the worker reads is its own: a copy of the view sharing the picture's pixels,
  // and the source's zoom levels, shared.
  const int picture = document_->PictureNumber();
  auto colour = renditions_->SourceLevelsOf(picture);
  work_->Start(
      BackgroundWork::Lane::Separate,
      [this, from, options, picture, colour = std::move(colour), origin = document_->Origin()](
          const BackgroundWork::Context& context) -> BackgroundWork::Finish {
        try {
          auto separation = std::make_shared<Separation>(SeparateChannels(from, options));
          if (context.Cancelled()) {
            return {};
          }
          auto levels = std::make_shared<ViewRenditions::ChannelLevels>(
              ViewRenditions::ChannelLevelsFrom(colour.get(), from, options.model));
          return [this, from, picture, origin, separation, levels] {
            document_->ShowSeparation(std::move(*separation), from, picture, origin);
            renditions_->SetChannelLevels(std::move(*levels), picture);
          };
        } catch (const std::bad_alloc&) {
          return
              [this] { ShowLoadError(this, MakeRunTimeError(error_number::kOutOfMemory), kWhat); };
        }
      });
}

}  // namespace irobunkai
