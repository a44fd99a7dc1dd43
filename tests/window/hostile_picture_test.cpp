// Every file a user might open ends in a loaded picture or the error box, in
// bounded time, with the previous picture intact. The corpus is made here.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <array>

#include "form1_waiting.h"
#include "gif_bytes.h"
#include "gui_test_support.h"
#include "tests/formats/dng_writer.h"
#include "tests/formats/lying_files.h"
#include "tests/formats/picture_writers.h"
#include "window/form1.h"
#include "window/picture_box.h"

namespace irobunkai {
namespace {

using test::WriteBytes;

enum class Outcome { Loads, Refused, Either };

struct Entry {
  QString path;
  Outcome outcome;
  int error = 0;         // the number expected when refused; 0 for any
  bool damaged = false;  // cut short or with bytes flipped
};

std::uint32_t Crc32(const QByteArray& bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const char byte : bytes) {
    crc ^= static_cast<std::uint8_t>(byte);
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
  }
  return ~crc;
}

QByteArray BigEndian(std::uint32_t value) {
  QByteArray out;
  for (int shift = 24; shift >= 0; shift -= 8) {
    out.append(static_cast<char>((value >> shift) & 0xFF));
  }
  return out;
}

// A PNG that declares a size and carries almost no data: a decompression bomb's header.
QByteArray PngDeclaring(std::uint32_t width, std::uint32_t height) {
  const QByteArray ihdr = QByteArray("IHDR") + BigEndian(width) + BigEndian(height) +
                          QByteArray("\x08\x02\x00\x00\x00", 5);
  const QByteArray idat = QByteArray("IDAT") + QByteArray::fromHex("789c030000000001");
  const QByteArray iend("IEND");
  const auto chunk = [](const QByteArray& body) {
    return BigEndian(static_cast<std::uint32_t>(body.size() - 4)) + body + BigEndian(Crc32(body));
  };
  return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk(ihdr) + chunk(idat) + chunk(iend);
}

class HostileCorpus : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    ASSERT_NO_FATAL_FAILURE(test::Show(form));
  }

  QByteArray Encode(const QImage& image, const char* format, bool progressive = false) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    EXPECT_TRUE(writer.write(image)) << format;
    return bytes;
  }

  void Add(const QString& name, const QByteArray& bytes, Outcome outcome, int error = 0,
           bool damaged = false) {
    corpus.push_back({WriteBytes(dir, name, bytes), outcome, error, damaged});
  }

  // Damaged copies of a valid file: cut short at many lengths and with flipped bytes.
  void AddDamaged(const QString& stem, const QByteArray& whole) {
    for (int step = 0; step < 24; ++step) {
      const auto length = whole.size() * step / 24;
      Add(QStringLiteral("%1-cut-%2").arg(stem).arg(length), whole.left(length), Outcome::Either, 0,
          true);
    }
    for (qsizetype at = 0; at < whole.size(); at += std::max<qsizetype>(1, whole.size() / 20)) {
      QByteArray flipped = whole;
      flipped[at] = static_cast<char>(~flipped[at]);
      Add(QStringLiteral("%1-flip-%2").arg(stem).arg(at), flipped, Outcome::Either, 0, true);
    }
  }

  // Made by ImageMagick, which writes what Qt can't: interlaced PNG, CMYK JPEG.
  void AddConverted(const QString& name, const QStringList& arguments) {
    const QString convert = QStandardPaths::findExecutable(QStringLiteral("convert"));
    ASSERT_FALSE(convert.isEmpty()) << "ImageMagick's convert is needed (scripts/install-deps.sh)";
    const QString path = dir.filePath(name);
    QProcess process;
    process.start(convert, QStringList(arguments) << path);
    ASSERT_TRUE(process.waitForFinished(30000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    corpus.push_back({path, Outcome::Loads});
  }

  // Made by Debian's encoders of the formats Qt has no reader for, from a PNG of `seed`.
  QByteArray AddEncoded(const QString& name, const QString& encoder, const QImage& seed) {
    const QString program = QStandardPaths::findExecutable(encoder);
    EXPECT_FALSE(program.isEmpty())
        << encoder.toStdString() << " is needed (scripts/install-deps.sh)";
    const QString png = WriteBytes(dir, name + ".png", Encode(seed, "png"));
    const QString path = dir.filePath(name);
    QProcess process;
    process.start(program,
                  encoder == "heif-enc" ? QStringList{png, "-o", path} : QStringList{png, path});
    EXPECT_TRUE(process.waitForFinished(30000) && process.exitCode() == 0) << name.toStdString();
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    const QByteArray bytes = file.readAll();
    corpus.push_back({path, Outcome::Loads});
    AddDamaged("damaged." + name, bytes);
    return bytes;
  }

  void AddFromBytes(const QString& name, const std::vector<std::uint8_t>& bytes, Outcome outcome,
                    int error = 0) {
    Add(name, QByteArray(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes)), outcome,
        error);
  }

  // Written by libjpeg-turbo and libpng in the forms Qt doesn't write, whole and damaged.
  void AddWritten(const QString& name, const std::vector<std::uint8_t>& bytes) {
    AddFromBytes(name, bytes, Outcome::Loads);
    AddDamaged("damaged." + name,
               QByteArray(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes)));
  }

  void BuildCorpus() {
    const QImage seed = test::CoordinateImage(64, 48);
    for (const char* format : {"png", "jpeg", "bmp", "webp"}) {
      const QByteArray whole = Encode(seed, format);
      Add(QStringLiteral("seed.") + format, whole, Outcome::Loads);
      AddDamaged(QStringLiteral("damaged.") + format, whole);
    }
    const std::array<QRgb, 4> palette = {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0),
                                         qRgb(0, 0, 255)};
    const test::GifFrame frame{4, 2, {0, 1, 2, 3, 3, 2, 1, 0}};
    const QByteArray gif = test::EncodeGif(palette, {frame, frame});
    Add("seed.gif", gif, Outcome::Loads);
    AddDamaged("damaged.gif", gif);
    Add("many-frames.gif", test::EncodeGif(palette, std::vector<test::GifFrame>(5000, frame)),
        Outcome::Loads);

    Add("zero.png", {}, Outcome::Refused, 481);
    Add("text.png", "Hello, I am only text.\n", Outcome::Refused, 481);
    Add("png-named.jpg", Encode(seed, "png"), Outcome::Loads);
    Add("bomb-65535.png", PngDeclaring(65535, 65535), Outcome::Refused, 7);
    Add("bomb-wide.png", PngDeclaring(900000, 200), Outcome::Refused, 7);
    Add("bomb-beyond-libpng.png", PngDeclaring(200000000, 1), Outcome::Refused);
    Add("wide-100000x1.png", Encode(QImage(100000, 1, QImage::Format_RGB32), "png"),
        Outcome::Loads);
    for (const QSize size :
         {QSize(1, 1), QSize(1, 10000), QSize(10000, 1), QSize(188, 179), QSize(189, 180)}) {
      QImage image(size, QImage::Format_RGB32);
      image.fill(qRgb(3, 2, 1));
      Add(QStringLiteral("size-%1x%2.png").arg(size.width()).arg(size.height()),
          Encode(image, "png"), Outcome::Loads);
    }
    Add("progressive.jpg", Encode(seed, "jpeg", true), Outcome::Loads);
    Add("grey.jpg", Encode(seed.convertToFormat(QImage::Format_Grayscale8), "jpeg"),
        Outcome::Loads);
    Add("deep.png", Encode(seed.convertToFormat(QImage::Format_RGBA64), "png"), Outcome::Loads);
    QImage indexed = seed.convertToFormat(QImage::Format_Indexed8);
    indexed.setColor(0, qRgba(0, 0, 0, 0));
    Add("palette-transparent.png", Encode(indexed, "png"), Outcome::Loads);
    AddConverted("interlaced.png", {"-size", "40x30", "gradient:red-blue", "-interlace", "PNG"});
    AddConverted("cmyk.jpg", {"-size", "40x30", "gradient:yellow-cyan", "-colorspace", "CMYK"});
    using Colours = test::JpegLayout::Colours;
    AddWritten("progressive-written.jpg", test::EncodeJpeg({.progressive = true}));
    AddWritten("arithmetic.jpg", test::EncodeJpeg({.arithmetic = true}));
    AddWritten("progressive-arithmetic.jpg",
               test::EncodeJpeg({.progressive = true, .arithmetic = true}));
    AddWritten("adobe-cmyk.jpg", test::EncodeJpeg({.colours = Colours::Cmyk}));
    AddWritten("turned.jpg", test::EncodeJpeg({.app1 = {test::ExifSegment({.orientation = 7})}}));
    AddWritten("interlaced-written.png",
               test::EncodePng({.colourType = 6, .interlaced = true}, test::PatternSample));
    AddWritten("deep-grey.png", test::EncodePng({.colourType = 0, .bitDepth = 16},
                                                [](int x, int y, int) { return x * 999 + y; }));

    corpus.push_back({dir.path(), Outcome::Refused, 75});
    const QString dangling = dir.filePath("dangling.png");
    EXPECT_TRUE(QFile::link(dir.filePath("nothing-here.png"), dangling));
    corpus.push_back({dangling, Outcome::Refused, 53});
    Add(QStringLiteral("夜空 の 星.png"), Encode(seed, "png"), Outcome::Loads);
    Add(QString(200, QChar(u'n')) + QStringLiteral(" long.png"), Encode(seed, "png"),
        Outcome::Loads);

    AddEncoded("seed.avif", "avifenc", seed);
    AddEncoded("seed.jxl", "cjxl", seed);
    const QByteArray heic = AddEncoded("seed.heic", "heif-enc", seed);
    Add("heic-named.png", heic, Outcome::Loads);
    test::Dng dng;
    dng.width = 64;
    dng.height = 48;
    test::Expose(dng, [&seed](int x, int y) {
      const QRgb p = seed.pixel(x, y);
      return std::array{qRed(p), qGreen(p), qBlue(p)};
    });
    const std::vector<std::uint8_t> dngBytes = test::EncodeDng(dng);
    AddFromBytes("seed.dng", dngBytes, Outcome::Loads);
    AddDamaged("damaged.dng",
               QByteArray(reinterpret_cast<const char*>(dngBytes.data()), std::ssize(dngBytes)));
    AddFromBytes("bomb.jxl", test::JxlDeclaring(20000, 10000), Outcome::Refused, 7);
    AddFromBytes("bomb.heic", test::HeifDeclaring({heic.begin(), heic.end()}, 20000, 20000),
                 Outcome::Refused, 7);
    AddFromBytes("bomb.dng", test::DngDeclaring(20000, 10000), Outcome::Refused);
  }

  QTemporaryDir dir;
  Form1 form{[](QWidget*) { return QString(); }};
  std::vector<Entry> corpus;
};

// Keeps a copy of the corpus where the fuzzer can take it as seeds.
void ExportCorpus(const std::vector<Entry>& corpus) {
  const QString target = qEnvironmentVariable("IROBUNKAI_CORPUS_OUT");
  if (target.isEmpty() || !QDir().mkpath(target)) {
    return;
  }
  for (const Entry& entry : corpus) {
    const QFileInfo info(entry.path);
    if (info.isFile() && !info.isSymLink()) {
      QFile::copy(entry.path, QDir(target).filePath(info.fileName().right(100)));
    }
  }
}

TEST_F(HostileCorpus, EveryFileLoadsOrIsRefusedAndARefusalLosesNothing) {
  BuildCorpus();
  ExportCorpus(corpus);
  ASSERT_GT(corpus.size(), 150U);
  auto* source = test::Child<PictureBox>(form, "Picture1");
  int loaded = 0;
  for (const Entry& entry : corpus) {
    const std::string name = entry.path.toStdString();
    const QImage before = source->grab().toImage();
    const RgbaPixel* pixels = source->View().Picture().Data();
    const test::ModalAnswerer answerer;
    QElapsedTimer clock;
    clock.start();
    const bool ok = test::Open(form, entry.path);
    // A bound on a hang, not a speed target: the slowest case takes well under a second.
    EXPECT_LT(clock.elapsed(), 5000) << name;
    if (entry.outcome != Outcome::Either) {
      EXPECT_EQ(ok, entry.outcome == Outcome::Loads) << name;
    }
    if (ok) {
      ++loaded;
      EXPECT_FALSE(source->View().Picture().IsEmpty()) << name;
      // A whole file loads silently; a damaged one at most says that it ends early.
      if (!entry.damaged) {
        EXPECT_TRUE(answerer.Texts().isEmpty()) << name;
      } else {
        EXPECT_LE(answerer.Texts().size(), 1) << name;
        for (const QString& text : answerer.Texts()) {
          EXPECT_TRUE(text.contains(QStringLiteral("The file ends early"))) << name;
        }
      }
      continue;
    }
    ASSERT_EQ(answerer.Texts().size(), 1) << name;
    if (entry.error != 0) {
      EXPECT_TRUE(answerer.Texts().front().contains(QStringLiteral("エラー %1:").arg(entry.error)))
          << name << ": " << answerer.Texts().front().toStdString();
    }
    EXPECT_EQ(source->View().Picture().Data(), pixels) << name;
    EXPECT_EQ(source->grab().toImage(), before) << name;
  }
  EXPECT_GT(loaded, 20);
  std::cout << corpus.size() << " files, " << loaded << " loaded\n";
}

}  // namespace
}  // namespace irobunkai

namespace irobunkai {
namespace {

TEST_F(HostileCorpus, AFileCutShortOpensWithWhatItHoldsAndSaysWhatIsMissing) {
  auto* source = test::Child<PictureBox>(form, "Picture1");
  struct Case {
    const char* name;
    std::vector<std::uint8_t> whole;
    const char* says;
  };
  const std::vector<Case> cases = {
      {"cut.jpg", test::EncodeJpeg({.width = 64, .height = 320}), "of the picture's 320 rows"},
      {"cut.png", test::EncodePng({.width = 64, .height = 320}, test::PatternSample),
       "of the picture's 320 rows"},
      {"cut-progressive.jpg", test::EncodeJpeg({.width = 64, .height = 320, .progressive = true}),
       "final passes that refine the picture"}};
  for (const auto& [name, whole, says] : cases) {
    const QByteArray bytes(reinterpret_cast<const char*>(whole.data()), std::ssize(whole));
    const QString path = WriteBytes(dir, name, bytes.left(bytes.size() * 8 / 10));
    const test::ModalAnswerer answerer;
    ASSERT_TRUE(test::Open(form, path)) << name;
    ASSERT_EQ(answerer.Texts().size(), 1) << name;
    const QString& text = answerer.Texts().front();
    EXPECT_TRUE(text.contains(QStringLiteral("ファイルが途中で切れています"))) << name;
    EXPECT_TRUE(text.contains(QStringLiteral("The file ends early"))) << name;
    EXPECT_TRUE(text.contains(QLatin1String(says))) << text.toStdString();
    EXPECT_TRUE(text.contains(QDir::toNativeSeparators(path))) << name;
    const Image& shown = source->View().Picture();
    ASSERT_EQ(shown.Height(), 320) << name;
    if (std::string(name) != "cut-progressive.jpg") {
      EXPECT_EQ(shown.At(10, 319), MakeRgba(RGB(128, 128, 128))) << name;  // the missing rows
    }
    // The whole file opens without a word.
    const test::ModalAnswerer quiet;
    ASSERT_TRUE(test::Open(form, WriteBytes(dir, QStringLiteral("whole-") + name, bytes)));
    EXPECT_TRUE(quiet.Texts().isEmpty()) << name;
  }
}

}  // namespace
}  // namespace irobunkai
