#include "window/picture_box.h"

#include <QPainter>
#include <new>

#include "colour/model_formulas.h"
#include "colour/model_text.h"
#include "render/first_sight_frame.h"
#include "render/frame_renderer.h"
#include "render/histogram_overlay.h"
#include "render/ink_warning.h"
#include "render/qt_colour.h"
#include "render/rebuilt_frame.h"
#include "render/view_overlays.h"

namespace irobunkai {
namespace {

QString ComponentText(const char* name, ColorValue value) {
  return QStringLiteral("%1 %2").arg(QLatin1String(name)).arg(value);
}

// The widest value a component's pixels may have to hold.
QString WidestValue(ColourModel model, int component) {
  switch (model) {
    case ColourModel::HSV:
    case ColourModel::HSL:
      return component == 0 ? QStringLiteral("360\u00B0") : QStringLiteral("100%");
    case ColourModel::Lab:
      return QStringLiteral("+100.00");
    case ColourModel::CMYK:
      return QStringLiteral("100%");
    case ColourModel::RGB:
    case ColourModel::CMY:
    case ColourModel::YCbCr:
      break;
  }
  return QStringLiteral("255");
}

}  // namespace

PictureBox::PictureBox(std::shared_ptr<Document> document, std::optional<Channel> channel,
                       QWidget* parent)
    : QFrame(parent), document_(std::move(document)), channel_(channel) {
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  setLineWidth(kBorder);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(View().LayoutWidth() + 2 * kBorder, View().LayoutHeight() + 2 * kBorder);
  // The document is shared with the window, which Qt may tear down before its child
  // boxes: the boxes keep it alive until they leave.
  documentSubscription_ = document_->Subscribe([this](Document::Change) { update(); });
  stateSubscription_ = document_->Views().Subscribe([this] { update(); });
}

PictureBox::~PictureBox() {
  document_->Unsubscribe(documentSubscription_);
  document_->Views().Unsubscribe(stateSubscription_);
}

const PictureView& PictureBox::View() const {
  return channel_ ? document_->ChannelView(*channel_) : document_->Source();
}

bool PictureBox::ShowsOneToOne() const {
  const PictureView& view = View();
  return view.AreaWidth() <= view.LayoutWidth() && view.AreaHeight() <= view.LayoutHeight();
}

double PictureBox::DisplayScale() const {
  const PictureView& view = View();
  return FitScale(view.LayoutWidth(), view.LayoutHeight(), view.AreaWidth(), view.AreaHeight());
}

ViewMapping PictureBox::Mapping() const {
  if (const FirstSight* sight = ShownFirstSight()) {
    // Whole, as a new picture is first shown, in the exact picture's own pixels.
    return {FitScale(View().LayoutWidth(), View().LayoutHeight(), sight->exactWidth,
                     sight->exactHeight),
            0.0, 0.0};
  }
  return document_->Views().MappingFor(View().AreaWidth(), View().AreaHeight());
}

const FirstSight* PictureBox::ShownFirstSight() const {
  const auto& sight = document_->ShownFirstSight();
  return IsSource() && sight ? &*sight : nullptr;
}

ChannelLook PictureBox::Look() const {
  // Only separated pixels change their look; a view's background stays as it is.
  return channel_ && View().Plane() != nullptr ? document_->Views().Look() : ChannelLook::Tinted;
}

void PictureBox::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const QRect place = contentsRect();
  painter.fillRect(place, ToQColor(View().BackColor()));
  painter.setClipRect(place);
  painter.translate(place.topLeft());
  const ViewMapping mapping = Mapping();
  try {
    if (const FirstSight* sight = ShownFirstSight()) {
      PaintFirstSight(painter, *sight, mapping);
    } else {
      PaintPicture(painter, mapping);
      PaintOverlays(painter, mapping);
    }
  } catch (const std::bad_alloc&) {
    // A frame needs only what the place shows; without even that, the place stays plain.
  }
  painter.resetTransform();
  painter.setClipping(false);
  drawFrame(&painter);
}

void PictureBox::PaintPicture(QPainter& painter, const ViewMapping& mapping) const {
  const PictureView& view = View();
  const FrameSources sources{document_->LevelsFor(channel_),
                             channel_ ? document_->HueLevels() : nullptr, Look()};
  const QSize place(view.LayoutWidth(), view.LayoutHeight());
  Frame frame = IsSource()
                    ? RenderSourceFrame(view, mapping, place, devicePixelRatioF(), sources,
                                        document_->Views().Model(), document_->Views().Kept())
                    : RenderFrame(view, mapping, place, devicePixelRatioF(), sources);
  ConvertForDisplay(frame, Conversion());
  PaintFrame(painter, frame);
}

const FrameConversion* PictureBox::Conversion() const {
  const auto& press = document_->Press().Profile();
  if (IsSource() && document_->Views().ShowsProof() && press) {
    // The picture as the press will print it: only what is painted changes.
    if (const FrameConversion* proof =
            display_->ProofFrom(document_->Colours().profile, press, document_->Press().Intent())) {
      return proof;
    }
  }
  return display_->From(FrameSpace());
}

void PictureBox::PaintInkWarning(QPainter& painter, const ViewMapping& mapping) const {
  if (!IsSource() || !document_->Views().ShowsInkWarning()) {
    return;
  }
  const auto press = document_->Press().For(document_->Colours());
  const auto over = document_->CountOverInk(document_->Views().InkLimit());
  if (!press || !over) {
    return;
  }
  const QSize place(View().LayoutWidth(), View().LayoutHeight());
  painter.drawImage(QPoint(0, 0),
                    InkWarningMask(View(), mapping, place, *press, document_->Views().InkLimit()));
  PaintInkWarningCaption(painter, place, InkWarningCaption(document_->Views().InkLimit(), *over));
}

void PictureBox::PaintOverlays(QPainter& painter, const ViewMapping& mapping) const {
  const PictureView& view = View();
  const CellRange cells = mapping.VisibleCells(view.LayoutWidth(), view.LayoutHeight(),
                                               view.AreaWidth(), view.AreaHeight());
  if (mapping.scale >= kGridScale) {
    PaintPixelGrid(painter, mapping, cells);
  }
  const auto colourAt = [&view](Cell cell) {
    return view.Point(static_cast<float>(cell.column), static_cast<float>(cell.row));
  };
  if (IsSource() && mapping.scale >= ValueScale(QStringLiteral("R 255"), 3)) {
    PaintCellValues(painter, mapping, cells, [&](Cell cell) {
      const ColorValue c = colourAt(cell);
      return CellText{{ComponentText("R", RedOf(c)), ComponentText("G", GreenOf(c)),
                       ComponentText("B", BlueOf(c))},
                      c};
    });
  } else if (!IsSource() && view.Plane() != nullptr &&
             mapping.scale >= ValueScale(WidestValue(view.Look().Model(), Component()), 1)) {
    PaintCellValues(painter, mapping, cells, [&](Cell cell) {
      return CellText{{ValueText(cell)}, colourAt(cell)};
    });
  }
  PaintInkWarning(painter, mapping);
  PaintHistogramBand(painter);
  if (const QString caption = CornerCaption(); !caption.isEmpty()) {
    PaintCornerCaption(painter, caption);
  }
  const auto mark = document_->MarkOn(document_->PictureShownBy(channel_));
  if (mark && mark->column < view.AreaWidth() && mark->row < view.AreaHeight()) {
    PaintMark(painter, mapping, *mark);
  }
}

void PictureBox::SetDisplay(std::shared_ptr<const DisplayColours> display) {
  display_ = std::move(display);
  update();
}

std::shared_ptr<const ColourProfile> PictureBox::FrameSpace() const {
  if (IsSource()) {
    return document_->Colours().profile;  // the rebuilt source too
  }
  // R alone, G alone, B alone are the picture's colours; greys and the other models' tints
  // are sRGB's.
  const bool own = View().Look().Model() == ColourModel::RGB && Look() == ChannelLook::Tinted;
  return own ? document_->SeparatedColours().profile : nullptr;
}

int PictureBox::Component() const { return channel_ ? ComponentIndex(*channel_) : 0; }

double PictureBox::SeparatedValueAt(Cell cell) const {
  // Exact, from the separated picture's own colour rather than the plane's grey level.
  const ColorValue c = document_->SeparatedSource().Point(static_cast<float>(cell.column),
                                                          static_cast<float>(cell.row));
  return ToModel(View().Look().Model(), c,
                 document_->SeparatedColours().Lab())[static_cast<std::size_t>(Component())];
}

QString PictureBox::ValueText(Cell cell) const {
  const ColourModel model = View().Look().Model();
  if (model == ColourModel::RGB) {
    return QString::number(View().Plane()->At(cell.column, cell.row));
  }
  if (model == ColourModel::CMYK) {
    return QStringLiteral("%1%").arg(InkPercent(View().Plane()->At(cell.column, cell.row)));
  }
  return QString::fromStdString(ComponentValueText(model, Component(), SeparatedValueAt(cell)));
}

QString PictureBox::CornerCaption() const {
  if (IsSource()) {
    return document_->Views().KeepsAll()
               ? QString()
               : QString::fromStdString(
                     ShownCaption(document_->Views().Model(), document_->Views().Kept()));
  }
  const ColourModel model = View().Look().Model();
  if (View().Plane() == nullptr || model == ColourModel::RGB) {
    return {};
  }
  const auto& readout = document_->LastReadout();
  if (!readout || readout->picture != document_->SeparatedPicture() ||
      (model == ColourModel::CMYK && !readout->inArea)) {
    return QString::fromUtf8(ComponentName(model, Component()));
  }
  if (model == ColourModel::CMYK) {
    // The plate's own ink at the read pixel, as the values show it.
    const int level = View().Plane()->At(readout->cell.column, readout->cell.row);
    return QString::fromStdString(ComponentCaption(model, Component(), InkPercent(level)));
  }
  const double value =
      ToModel(model, readout->color,
              document_->SeparatedColours().Lab())[static_cast<std::size_t>(Component())];
  return QString::fromStdString(ComponentCaption(model, Component(), value));
}

void PictureBox::PaintHistogramBand(QPainter& painter) const {
  if (!channel_ || View().Plane() == nullptr || !document_->Views().ShowsHistograms()) {
    return;
  }
  // Counted by the window when histograms are turned on, never here.
  if (const ChannelHistogram* histogram = document_->Histogram(*channel_)) {
    PaintHistogram(painter, QRectF(0, 0, View().LayoutWidth(), View().LayoutHeight()), *histogram,
                   *channel_,
                   document_->Views().LogarithmicHistograms() ? HistogramScale::Logarithmic
                                                              : HistogramScale::Linear,
                   View().Look().Model());
  }
}

}  // namespace irobunkai
