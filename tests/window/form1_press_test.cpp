// The press's four plates in the window: the black plate's view and the window's growth,
// the plates and their readout against littleCMS, the ink limit marked over the picture, proof
// colours, and choosing the press's profile and intent.
#include <lcms2.h>

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QSettings>
#include <array>
#include <memory>

#include "colour/model_text.h"
#include "form1_views_fixture.h"
#include "io/remembered_choices.h"
#include "render/ink_warning.h"

namespace irobunkai {
namespace {

using test::Child;
using test::GrabbedColor;

const QString kSwop = QStringLiteral("/usr/share/color/icc/ghostscript/default_cmyk.icc");
const QString kPs = QStringLiteral("/usr/share/color/icc/ghostscript/ps_cmyk.icc");
const QString kSrgb = QStringLiteral("/usr/share/color/icc/colord/sRGB.icc");

constexpr ColorValue kOrange = RGB(230, 120, 30);
constexpr ColorValue kNavy = RGB(10, 20, 60);

// What littleCMS's own floating-point transform makes of sRGB `colour` on the press at
// `path`, as 8-bit levels.
InkLevels Reference(const QString& path, ColorValue colour, cmsUInt32Number intent) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray icc = file.readAll();
  cmsHPROFILE press =
      cmsOpenProfileFromMem(icc.constData(), static_cast<cmsUInt32Number>(icc.size()));
  cmsHPROFILE srgb = cmsCreate_sRGBProfile();
  const cmsUInt32Number flags =
      intent == INTENT_RELATIVE_COLORIMETRIC ? cmsFLAGS_BLACKPOINTCOMPENSATION : 0;
  cmsHTRANSFORM transform = cmsCreateTransform(srgb, TYPE_RGB_DBL, press, TYPE_CMYK_DBL, intent,
                                               flags | cmsFLAGS_NOCACHE);
  const std::array<double, 3> in = {RedOf(colour) / 255.0, GreenOf(colour) / 255.0,
                                    BlueOf(colour) / 255.0};
  std::array<double, 4> ink{};
  cmsDoTransform(transform, in.data(), ink.data(), 1);
  cmsDeleteTransform(transform);
  cmsCloseProfile(srgb);
  cmsCloseProfile(press);
  InkLevels levels{};
  for (std::size_t i = 0; i < 4; ++i) {
    levels[i] = static_cast<std::uint8_t>(std::lround(std::clamp(ink[i], 0.0, 100.0) * 2.55));
  }
  return levels;
}

class Form1Press : public test::Form1Views {
 protected:
  // Orange on the left half, navy on the right, one white pixel at (0, 0).
  void LoadTwoColours() {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(QColor(RedOf(kOrange), GreenOf(kOrange), BlueOf(kOrange)));
    for (int y = 0; y < 30; ++y) {
      for (int x = 20; x < 40; ++x) {
        image.setPixel(x, y, qRgb(RedOf(kNavy), GreenOf(kNavy), BlueOf(kNavy)));
      }
    }
    image.setPixel(0, 0, qRgb(255, 255, 255));
    Load(image);
  }
  // The plates' levels at (x, y), C, M, Y, K.
  InkLevels Plates(int x, int y) {
    InkLevels levels{};
    const std::array views = {"Picture2", "Picture3", "Picture4", "Picture5"};
    for (std::size_t i = 0; i < views.size(); ++i) {
      levels[i] = View(views[i])->View().Plane()->At(x, y);
    }
    return levels;
  }
  void Click(int x, int y) {
    QTest::mouseClick(View("Picture1"), Qt::LeftButton, {},
                      {PictureBox::kBorder + x, PictureBox::kBorder + y});
  }
  void Trigger(const char* name) {
    auto* action = form.findChild<QAction*>(QString::fromLatin1(name));
    ASSERT_NE(action, nullptr) << name;
    action->trigger();
    test::WaitIdle(form);
  }
};

void ExpectNear(const InkLevels& shown, const InkLevels& reference) {
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_NEAR(shown[i], reference[i], 1) << "ink " << i;
  }
}

TEST_F(Form1Press, CmykSplitsIntoFourPlatesInAGrownWindowThatReturnsToItsLayout) {
  const QRect start = form.geometry();
  const QRect picture4 = View("Picture4")->geometry();
  EXPECT_FALSE(View("Picture5")->isVisible());
  LoadTwoColours();
  Separate();
  ChooseInModelMenu("Picture2", "ModelActionCMYK");

  // The black plate stands right of Picture4, the same size, and the window grows by it.
  ASSERT_TRUE(View("Picture5")->isVisible());
  EXPECT_EQ(View("Picture5")->size(), View("Picture4")->size());
  EXPECT_EQ(View("Picture5")->x() - picture4.x(), picture4.x() - View("Picture3")->x());
  EXPECT_EQ(form.width(), start.width() + View("Picture5")->x() - picture4.x());
  EXPECT_GE(form.width(), View("Picture5")->geometry().right());

  ExpectNear(Plates(5, 5), Reference(kSwop, kOrange, INTENT_RELATIVE_COLORIMETRIC));
  ExpectNear(Plates(30, 5), Reference(kSwop, kNavy, INTENT_RELATIVE_COLORIMETRIC));
  EXPECT_EQ(Plates(0, 0), (InkLevels{0, 0, 0, 0}));  // paper white takes no ink
  // Grey shows ink as darkness, as a film does.
  Key("Picture5", Qt::Key_G);
  const int k = Plates(30, 5)[3];
  EXPECT_EQ(GrabbedColor(*View("Picture5"), {PictureBox::kBorder + 30, PictureBox::kBorder + 5}),
            RGB(255 - k, 255 - k, 255 - k));
  Key("Picture5", Qt::Key_G);

  // The read pixel's ink, in the captions and the copied line.
  Click(30, 5);
  const InkLevels navy = Plates(30, 5);
  EXPECT_EQ(View("Picture5")->CornerCaption(), QStringLiteral("K %1%").arg(InkPercent(navy[3])));
  EXPECT_EQ(View("Picture2")->CornerCaption(), QStringLiteral("C %1%").arg(InkPercent(navy[0])));
  Key("Picture1", Qt::Key_C, Qt::ControlModifier);
  const QString line = QGuiApplication::clipboard()->text();
  EXPECT_TRUE(line.endsWith(QString::fromStdString(InkField(navy)))) << line.toStdString();
  // The readout itself is the picture's own colour, as in every model.
  EXPECT_EQ(Readout()[0], QString::number(kNavy));

  ChooseInModelMenu("Picture2", "ModelActionRGB");
  EXPECT_FALSE(View("Picture5")->isVisible());
  EXPECT_EQ(form.size(), start.size());
  EXPECT_EQ(View("Picture4")->geometry(), picture4);
}

TEST_F(Form1Press, TheIntentAndAnotherPressMakeOtherPlatesAndABadProfileChangesNothing) {
  LoadTwoColours();
  Separate();
  ChooseInModelMenu("Picture2", "ModelActionCMYK");
  Trigger("IntentAction1");  // perceptual
  ExpectNear(Plates(30, 5), Reference(kSwop, kNavy, INTENT_PERCEPTUAL));

  form.UseProfileChooser([](QWidget*) { return kPs; });
  Trigger("PressProfileAction");
  ExpectNear(Plates(5, 5), Reference(kPs, kOrange, INTENT_PERCEPTUAL));
  const InkLevels before = Plates(5, 5);

  for (const QString& bad : {kSrgb, test::WriteBytes(dir, "broken.icc", "not a profile")}) {
    const test::ModalAnswerer answerer;
    form.UseProfileChooser([bad](QWidget*) { return bad; });
    Trigger("PressProfileAction");
    ASSERT_EQ(answerer.Texts().size(), 1) << bad.toStdString();
    EXPECT_TRUE(answerer.Texts().front().contains(bad)) << answerer.Texts().front().toStdString();
    EXPECT_EQ(Plates(5, 5), before);
  }
}

TEST_F(Form1Press, TheInkLimitIsMarkedAndCountedOverThePictureAndProofOnlyChangesWhatIsShown) {
  LoadTwoColours();
  const InkLevels navy = Reference(kSwop, kNavy, INTENT_RELATIVE_COLORIMETRIC);
  const int total = TotalInkPercent(navy);
  ASSERT_GT(total, 240) << "the navy must be over the lowest limit";
  Trigger("InkLimitAction240");
  Key("Picture1", Qt::Key_T);
  EXPECT_EQ(GrabbedColor(*View("Picture1"), {PictureBox::kBorder + 30, PictureBox::kBorder + 10}),
            RGB(qRed(kInkWarningColour), qGreen(kInkWarningColour), qBlue(kInkWarningColour)));
  EXPECT_EQ(GrabbedColor(*View("Picture1"), {PictureBox::kBorder + 5, PictureBox::kBorder + 10}),
            kOrange);
  EXPECT_EQ(form.Shown().CountOverInk(240), 20 * 30);
  // Above the navy's total nothing is marked.
  EXPECT_EQ(form.Shown().CountOverInk(400), 0);
  Key("Picture1", Qt::Key_T);
  EXPECT_EQ(GrabbedColor(*View("Picture1"), {PictureBox::kBorder + 30, PictureBox::kBorder + 10}),
            kNavy);

  // Proof: the saturated orange prints duller, white stays white, and a click still reads the
  // picture's own colour.
  Key("Picture1", Qt::Key_P);
  const ColorValue proofed =
      GrabbedColor(*View("Picture1"), {PictureBox::kBorder + 5, PictureBox::kBorder + 10});
  EXPECT_NE(proofed, kOrange);
  EXPECT_LT(RedOf(proofed) - BlueOf(proofed), RedOf(kOrange) - BlueOf(kOrange));
  Click(5, 10);
  EXPECT_EQ(Readout()[0], QString::number(kOrange));
  Key("Picture1", Qt::Key_P);
  EXPECT_EQ(GrabbedColor(*View("Picture1"), {PictureBox::kBorder + 5, PictureBox::kBorder + 10}),
            kOrange);
}

TEST(Form1PressChoices, TheProfileIntentAndLimitAreKeptButCmykIsNotTakenUpAtStart) {
  QTemporaryDir dir;
  const auto open = [&dir] {
    return std::make_shared<RememberedChoices>(std::make_unique<QSettings>(
        dir.filePath(QStringLiteral("irobunkai.conf")), QSettings::IniFormat));
  };
  QRect laidOut;
  {
    Form1 first([](QWidget*) { return QString(); }, open());
    test::Show(first);
    laidOut = first.geometry();
    first.UseProfileChooser([](QWidget*) { return kPs; });
    for (const char* name :
         {"PressProfileAction", "IntentAction1", "InkLimitAction260", "ModelActionCMYK"}) {
      first.findChild<QAction*>(QString::fromLatin1(name))->trigger();
    }
    EXPECT_EQ(first.Shown().Views().Model(), ColourModel::CMYK);
  }
  Form1 second([](QWidget*) { return QString(); }, open());
  test::Show(second);
  EXPECT_EQ(second.geometry().size(), laidOut.size());
  EXPECT_EQ(second.Shown().Views().Model(), ColourModel::RGB);
  EXPECT_EQ(second.Shown().Press().Intent(), PressIntent::Perceptual);
  EXPECT_EQ(second.Shown().Views().InkLimit(), 260);
  ASSERT_NE(second.Shown().Press().Profile(), nullptr);
  QFile ps(kPs);
  ASSERT_TRUE(ps.open(QIODevice::ReadOnly));
  const QByteArray bytes = ps.readAll();
  EXPECT_EQ(second.Shown().Press().Profile()->Icc(),
            std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

}  // namespace
}  // namespace irobunkai
