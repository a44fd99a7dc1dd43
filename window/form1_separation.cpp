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
  // Histograms shown now are counted with the planes; otherwise when first shown.
  const SeparationOptions options{.countHistograms = document_->Views().ShowsHistograms(),
                                  .model = document_->Views().Model()};
  if (std::int64_t{source.ContentWidth()} * source.ContentHeight() > kQuickSeparationPixels) {
    SeparateInBackground(document_->SeparationOfSource(options));
    return;
  }
  RunGrowing(this, kWhat, [&] {
    const BusyCursor busy;
    document_->Separate(options);
  });
}

void Form1::SeparateInBackground(SeparationWork work) {
  work_->Start(BackgroundWork::Lane::Separate,
               [this, work = std::move(work)](
                   const BackgroundWork::Context& /*context*/) -> BackgroundWork::Finish {
                 try {
                   auto made = std::make_shared<MadeSeparation>(work.Make());
                   return [this, made] { document_->ShowSeparation(std::move(*made)); };
                 } catch (const std::bad_alloc&) {
                   return [this] {
                     ShowLoadError(this, MakeRunTimeError(error_number::kOutOfMemory), kWhat);
                   };
                 }
               });
}

}  // namespace irobunkai
