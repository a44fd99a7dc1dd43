// The separate button and the choice of model: small pictures are split at once, large ones
// off the GUI thread.
#include "window/busy_cursor.h"
#include "window/error_reports.h"
#include "window/form1.h"

namespace irobunkai {
namespace {

// Split at once below this: the window would not be felt to wait.
constexpr std::int64_t kQuickSeparationPixels = 2'000'000;

bool IsQuick(const PictureView& from) {
  return std::int64_t{from.ContentWidth()} * from.ContentHeight() <= kQuickSeparationPixels;
}

const QString kWhat = QStringLiteral("色分解 (separation)");

}  // namespace

void Form1::Command1_Click() {
  if (document_->ShownFirstSight()) {
    document_->DeferSeparation();  // split the exact picture when it comes
    return;
  }
  // Histograms shown now are counted with the planes; otherwise when first shown.
  const SeparationOptions options{.countHistograms = document_->Views().ShowsHistograms(),
                                  .model = document_->Views().Model()};
  if (!IsQuick(document_->Source())) {
    SeparateInBackground(document_->SeparationOfSource(options));
    return;
  }
  RunGrowing(this, kWhat, [&] {
    const BusyCursor busy;
    document_->Separate(options);
  });
}

void Form1::ChooseModel(ColourModel model) {
  if (model == ColourModel::CMYK && !document_->Press().Profile()) {
    WarnNoPress();
    return;
  }
  if (document_->IsSeparated() && document_->Separated().model != model &&
      !IsQuick(document_->SeparatedSource())) {
    SplitSeparatedInto(model);  // the model is shown with its planes, when they come
    return;
  }
  if (document_->IsSeparated() && document_->Separated().model != model) {
    SplitSeparatedInto(model);
  }
  if (model != document_->Views().Model()) {
    document_->Views().SetModel(model);
  }
}

void Form1::SplitSeparatedInto(ColourModel model) {
  const SeparationOptions options{.countHistograms = document_->Views().ShowsHistograms(),
                                  .model = model};
  if (!IsQuick(document_->SeparatedSource())) {
    SeparateInBackground(document_->SeparationOfSeparated(options), model);
    return;
  }
  RunGrowing(this, QStringLiteral("色空間 (colour model)"), [&] {
    const BusyCursor busy;
    document_->SeparateAgain(options);
  });
}

void Form1::SplitPlatesAgain() {
  // Another press or intent makes other plates; the other models don't use the press.
  if (document_->IsSeparated() && document_->Separated().model == ColourModel::CMYK) {
    SplitSeparatedInto(ColourModel::CMYK);
  }
}

void Form1::SeparateInBackground(SeparationWork work, std::optional<ColourModel> chosen) {
  work_->Start(BackgroundWork::Lane::Separate,
               [this, work = std::move(work),
                chosen](const BackgroundWork::Context& /*context*/) -> BackgroundWork::Finish {
                 try {
                   auto made = std::make_shared<MadeSeparation>(work.Make());
                   return [this, made, chosen] {
                     document_->ShowSeparation(std::move(*made));
                     if (chosen && *chosen != document_->Views().Model()) {
                       document_->Views().SetModel(*chosen);
                     }
                   };
                 } catch (const std::bad_alloc&) {
                   return [this] {
                     ShowLoadError(this, MakeRunTimeError(error_number::kOutOfMemory), kWhat);
                   };
                 }
               });
}

}  // namespace irobunkai
