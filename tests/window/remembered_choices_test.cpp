#include "io/remembered_choices.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "form1_views_fixture.h"

namespace irobunkai {
namespace {

class RememberedChoicesTest : public ::testing::Test {
 protected:
  [[nodiscard]] QString File() const { return dir.filePath(QStringLiteral("irobunkai.conf")); }
  [[nodiscard]] std::shared_ptr<RememberedChoices> Open() const {
    return std::make_shared<RememberedChoices>(
        std::make_unique<QSettings>(File(), QSettings::IniFormat));
  }
  void WriteFile(const QByteArray& bytes) const {
    QFile file(File());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }

  QTemporaryDir dir;
};

TEST_F(RememberedChoicesTest, ModelLooksAndFolderSurviveARestart) {
  {
    ViewState state(188, 179);
    state.SetModel(ColourModel::Lab);
    state.SetLook(ChannelLook::Grey);
    state.ShowHistograms(true);
    state.SetLogarithmicHistograms(true);
    auto choices = Open();
    choices->KeepFrom(state);
    choices->KeepFolderOf(dir.filePath(QStringLiteral("photo.jpg")));
  }
  ViewState restored(188, 179);
  const auto choices = Open();
  choices->RestoreInto(restored);
  EXPECT_EQ(restored.Model(), ColourModel::Lab);
  EXPECT_EQ(restored.Look(), ChannelLook::Grey);
  EXPECT_TRUE(restored.ShowsHistograms());
  EXPECT_TRUE(restored.LogarithmicHistograms());
  EXPECT_EQ(choices->Folder(), dir.path());

  choices->Forget();
  ViewState forgotten(188, 179);
  Open()->RestoreInto(forgotten);
  EXPECT_EQ(forgotten.Model(), ColourModel::RGB);
  EXPECT_EQ(forgotten.Look(), ChannelLook::Tinted);
  EXPECT_FALSE(forgotten.ShowsHistograms());
  EXPECT_TRUE(Open()->Folder().isEmpty());
}

TEST_F(RememberedChoicesTest, NonsenseIsPassedOverAndWhatMakesSenseApplies) {
  WriteFile(
      "[channels]\nmodel=Purple\ngrey=true\nhistograms=perhaps\n"
      "[files]\nlastFolder=/no/such/folder\n");
  ViewState state(188, 179);
  const auto choices = Open();
  choices->RestoreInto(state);
  EXPECT_EQ(state.Model(), ColourModel::RGB);
  EXPECT_EQ(state.Look(), ChannelLook::Grey);
  EXPECT_FALSE(state.ShowsHistograms());
  EXPECT_TRUE(choices->Folder().isEmpty()) << "a folder that is gone is no suggestion";
}

TEST_F(RememberedChoicesTest, AFileThatCannotBeReadIsIgnored) {
  QByteArray junk(4096, '\0');
  for (int i = 0; i < junk.size(); ++i) {
    junk[i] = static_cast<char>((i * 131) % 251);
  }
  junk.prepend("[channels]\nmodel=HSV\n\xff\xfe[");
  WriteFile(junk);
  ViewState state(188, 179);
  EXPECT_NO_THROW(Open()->RestoreInto(state));
  // Whatever a damaged file yields, it is a valid state and the window can start from it.
  EXPECT_TRUE(state.Model() == ColourModel::RGB || state.Model() == ColourModel::HSV);
}

TEST_F(RememberedChoicesTest, TheWindowStartsAsAlwaysAndSeparatesInTheRememberedModel) {
  QSettings(File(), QSettings::IniFormat).setValue(QStringLiteral("channels/model"), "HSV");
  Form1 plain([](QWidget*) { return QString(); });
  Form1 remembering([](QWidget*) { return QString(); }, Open());
  ASSERT_NO_FATAL_FAILURE(test::Show(plain));
  ASSERT_NO_FATAL_FAILURE(test::Show(remembering));
  for (const char* name : {"Picture1", "Picture2", "Picture3", "Picture4"}) {
    EXPECT_EQ(test::Child<QWidget>(remembering, name)->grab().toImage(),
              test::Child<QWidget>(plain, name)->grab().toImage())
        << name;
  }
  QTest::mouseClick(test::Child<QWidget>(remembering, "Command1"), Qt::LeftButton);
  test::WaitIdle(remembering);
  EXPECT_EQ(remembering.Shown().Separated().model, ColourModel::HSV);
}

}  // namespace
}  // namespace irobunkai
