// Tagged pictures in the window: the file's own numbers are read out, while their L*a*b* and
// the frames painted go through the picture's profile, with littleCMS as the reference.
#include <lcms2.h>

#include <QClipboard>
#include <QColorSpace>
#include <QFile>
#include <QGuiApplication>
#include <memory>

#include "form1_views_fixture.h"

namespace irobunkai {
namespace {

using test::Child;
using test::GrabbedColor;

const QString kAdobeRgb = QStringLiteral("/usr/share/color/icc/colord/AdobeRGB1998.icc");

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct ProfileCloser {
  void operator()(void* profile) const { cmsCloseProfile(profile); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;

Profile Open(const QByteArray& icc) {
  return Profile(cmsOpenProfileFromMem(icc.constData(), static_cast<cmsUInt32Number>(icc.size())));
}

// `colour` taken from one profile to another by littleCMS, relative colorimetric.
ColorValue Converted(void* from, void* to, ColorValue colour) {
  const std::unique_ptr<void, void (*)(cmsHTRANSFORM)> transform(
      cmsCreateTransform(from, TYPE_RGB_8, to, TYPE_RGB_8, INTENT_RELATIVE_COLORIMETRIC, 0),
      cmsDeleteTransform);
  const std::array<std::uint8_t, 3> in = {static_cast<std::uint8_t>(RedOf(colour)),
                                          static_cast<std::uint8_t>(GreenOf(colour)),
                                          static_cast<std::uint8_t>(BlueOf(colour))};
  std::array<std::uint8_t, 3> out{};
  cmsDoTransform(transform.get(), in.data(), out.data(), 1);
  return RGB(out[0], out[1], out[2]);
}

// L*a*b* of `colour` through `profile`: to XYZ at D50, adapted to D65 by Bradford.
cmsCIELab LabThrough(void* profile, ColorValue colour) {
  const Profile xyz(cmsCreateXYZProfile());
  const std::unique_ptr<void, void (*)(cmsHTRANSFORM)> transform(
      cmsCreateTransform(profile, TYPE_RGB_8, xyz.get(), TYPE_XYZ_DBL, INTENT_RELATIVE_COLORIMETRIC,
                         0),
      cmsDeleteTransform);
  const std::array<std::uint8_t, 3> in = {static_cast<std::uint8_t>(RedOf(colour)),
                                          static_cast<std::uint8_t>(GreenOf(colour)),
                                          static_cast<std::uint8_t>(BlueOf(colour))};
  cmsCIEXYZ d50{};
  cmsDoTransform(transform.get(), in.data(), &d50, 1);
  const cmsCIEXYZ d65White{0.95047, 1.0, 1.08883};
  cmsCIEXYZ d65{};
  cmsAdaptToIlluminant(&d65, cmsD50_XYZ(), &d65White, &d50);
  cmsCIELab lab{};
  cmsXYZ2Lab(&d65White, &lab, &d65);
  return lab;
}

std::string DescriptionOf(void* profile) {
  std::array<char, 256> text{};
  cmsGetProfileInfoASCII(profile, cmsInfoDescription, "en", "US", text.data(), text.size());
  return text.data();
}

void ExpectNear(ColorValue painted, ColorValue expected, int tolerance, const char* what) {
  EXPECT_NEAR(RedOf(painted), RedOf(expected), tolerance) << what;
  EXPECT_NEAR(GreenOf(painted), GreenOf(expected), tolerance) << what;
  EXPECT_NEAR(BlueOf(painted), BlueOf(expected), tolerance) << what;
}

constexpr ColorValue kBrick = RGB(200, 40, 40);

class Form1Colour : public test::Form1Views {
 protected:
  void SetUp() override {
    test::Form1Views::SetUp();
    ASSERT_FALSE(adobe_.isEmpty()) << "colord-data's Adobe RGB profile";
  }
  void LoadTagged(ColorValue colour) {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(QColor(RedOf(colour), GreenOf(colour), BlueOf(colour)));
    image.setColorSpace(QColorSpace::fromIccProfile(adobe_));
    Load(image, QStringLiteral("tagged.png"));
  }
  ColorValue Painted(const char* view) {
    return GrabbedColor(*View(view), {PictureBox::kBorder + 20, PictureBox::kBorder + 15});
  }
  void Click() {
    QTest::mouseClick(View("Picture1"), Qt::LeftButton, {},
                      {PictureBox::kBorder + 5, PictureBox::kBorder + 5});
  }
  QString Copied() {
    QTest::keyClick(&form, Qt::Key_C, Qt::ControlModifier);
    return QGuiApplication::clipboard()->text();
  }

  QByteArray adobe_ = FileBytes(kAdobeRgb);
  Profile adobeProfile_ = Open(adobe_);
  Profile srgb_{cmsCreate_sRGBProfile()};
};

TEST_F(Form1Colour, ATaggedPictureIsReadAsItsNumbersAndPaintedAsItsColours) {
  LoadTagged(kBrick);
  Click();
  EXPECT_EQ(Readout()[2], QStringLiteral("200"));
  EXPECT_EQ(Readout()[3], QStringLiteral("40"));
  EXPECT_EQ(form.Shown().LastReadout()->color, kBrick);
  // On an sRGB display: what a colour-managed program shows, (233, 35, 35) or so.
  const ColorValue brick = Converted(adobeProfile_.get(), srgb_.get(), kBrick);
  ExpectNear(Painted("Picture1"), brick, 2, "the source");
  EXPECT_GT(RedOf(brick), 225);
  Separate();
  ExpectNear(Painted("Picture2"), Converted(adobeProfile_.get(), srgb_.get(), RGB(200, 0, 0)), 2,
             "R alone is Adobe RGB's red");
  EXPECT_EQ(View("Picture2")->View().Plane()->At(5, 5), 200) << "the plane keeps the numbers";
  Key("Picture1", Qt::Key_G);
  EXPECT_EQ(Painted("Picture2"), RGB(200, 200, 200)) << "a grey is sRGB's";
  EXPECT_TRUE(View("Picture1")
                  ->toolTip()
                  .contains(QString::fromStdString(DescriptionOf(adobeProfile_.get()))));
}

TEST_F(Form1Colour, CopyMeasuresLabThroughTheProfileAndNamesIt) {
  LoadTagged(kBrick);
  Click();
  auto* lab = form.findChild<QAction*>(QStringLiteral("ModelActionL*a*b*"));
  ASSERT_NE(lab, nullptr);
  lab->trigger();
  const QString line = Copied();
  const QString name = QString::fromStdString(DescriptionOf(adobeProfile_.get()));
  EXPECT_TRUE(line.endsWith(QStringLiteral(" profile=") + name)) << line.toStdString();
  const qsizetype at = line.indexOf(QStringLiteral("Lab="));
  ASSERT_GE(at, 0) << line.toStdString();
  const QStringList values = line.mid(at + 4).section(QLatin1Char(' '), 0, 0).split(',');
  ASSERT_EQ(values.size(), 3);
  const cmsCIELab expected = LabThrough(adobeProfile_.get(), kBrick);
  EXPECT_NEAR(values[0].toDouble(), expected.L, 0.3);
  EXPECT_NEAR(values[1].toDouble(), expected.a, 0.3);
  EXPECT_NEAR(values[2].toDouble(), expected.b, 0.3);
  EXPECT_NEAR(expected.a, 70.92, 0.3) << "the colour of the example, not sRGB's a* of 60.87";
}

TEST_F(Form1Colour, AnUntaggedPictureIsNamedNothingAndPaintedForTheDisplay) {
  QImage image(40, 30, QImage::Format_RGB32);
  image.fill(QColor(200, 40, 40));
  Load(image);
  Click();
  EXPECT_TRUE(View("Picture1")->toolTip().isEmpty());
  EXPECT_FALSE(Copied().contains(QStringLiteral("profile=")));
  EXPECT_EQ(Painted("Picture1"), kBrick) << "sRGB on an sRGB display: as it is";
  // A display of Adobe RGB's gamut is sent the sRGB colour's numbers in its own space.
  View("Picture1")
      ->SetDisplay(std::make_shared<const DisplayColours>(
          ColourProfile::OfDisplay({reinterpret_cast<const std::uint8_t*>(adobe_.constData()),
                                    static_cast<std::size_t>(adobe_.size())})));
  ExpectNear(Painted("Picture1"), Converted(srgb_.get(), adobeProfile_.get(), kBrick), 2,
             "on an Adobe RGB display");
}

}  // namespace
}  // namespace irobunkai
