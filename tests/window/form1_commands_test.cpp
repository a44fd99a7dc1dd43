// The one table of commands: the menu, the keys and the help built from it, keys that
// work wherever the focus is in the window, and a help window that fits small screens.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalSpy>
#include <QVBoxLayout>

#include "form1_views_fixture.h"

namespace irobunkai {
namespace {

using test::Child;

QString Compact(QString text) { return text.remove(QLatin1Char(' ')); }

class Form1Commands : public test::Form1Views {
 protected:
  void SetUp() override {
    Form1Views::SetUp();
    Activate();
  }
  const std::vector<Command>& Table() { return form.Commands().Table(); }
  QAction* Action(const QString& name) { return Child<QAction>(form, name.toLatin1().constData()); }
  QPushButton* Button(const char* name) { return Child<QPushButton>(form, name); }
  static void Press(QWidget* on, const QKeySequence& keys) {
    on->setFocus();
    QTest::keyClick(on, keys[0].key(), keys[0].keyboardModifiers());
  }
  double Scale(const char* view) { return View(view)->Mapping().scale; }
};

TEST_F(Form1Commands, TheMenuHoldsTheTablesEntriesWithTheirTextKeyAndCheckMark) {
  const QMenu* menu = form.Commands().ChannelMenu();
  const QMenu* models = menu->findChild<QMenu*>(QStringLiteral("ModelMenu"));
  ASSERT_NE(models, nullptr);
  int inMenu = 0;
  for (const Command& command : Table()) {
    if (command.menu == MenuPlace::None) {
      continue;
    }
    ++inMenu;
    const QAction* action = Action(command.name);
    ASSERT_NE(action, nullptr) << command.name.toStdString();
    const bool inModels = command.menu == MenuPlace::Models ||
                          command.menu == MenuPlace::Components ||
                          command.menu == MenuPlace::Press || command.menu == MenuPlace::Intents;
    const QMenu* limits = models->findChild<QMenu*>(QStringLiteral("InkLimitMenu"));
    ASSERT_NE(limits, nullptr);
    const QMenu* holder =
        command.menu == MenuPlace::InkLimits ? limits : (inModels ? models : menu);
    EXPECT_TRUE(holder->actions().contains(action)) << command.name.toStdString();
    EXPECT_EQ(action->text(), command.text()) << command.name.toStdString();
    EXPECT_EQ(action->isCheckable(), static_cast<bool>(command.checked))
        << command.name.toStdString();
    EXPECT_EQ(action->shortcut(), command.keys.value(0)) << command.name.toStdString();
  }
  // Looks, models, components, the press (profile, ink warning, two intents, eight limits),
  // files.
  EXPECT_EQ(inMenu, 3 + 7 + 3 + 12 + 4);
  // The order the menu has always had, which users and scripts count on.
  QStringList names;
  for (const QAction* action : menu->actions()) {
    names << (action->menu() != nullptr ? action->menu()->objectName() : action->objectName());
  }
  EXPECT_EQ(names,
            QStringList({"GreyAction", "HistogramAction", "LogScaleAction", "", "ModelMenu", "",
                         "SaveCmykTiffAction", "SaveChannelAction", "SaveAllChannelsAction",
                         "CopyChannelAction"}));
}

TEST_F(Form1Commands, EveryKeyIsNamedInTheHelpLineCoveringItAndTheHelpShowsEveryLine) {
  const HelpLine* covering = nullptr;
  int lines = 0;
  for (const Command& command : Table()) {
    if (command.help) {
      covering = &*command.help;
      ++lines;
    }
    ASSERT_NE(covering, nullptr) << "the table starts with an entry no help line covers";
    if (!command.keys.isEmpty()) {
      const QString key = command.keys[0].toString(QKeySequence::PortableText);
      EXPECT_TRUE(Compact(covering->input).contains(Compact(key)))
          << key.toStdString() << " is not in " << covering->input.toStdString();
    }
  }
  EXPECT_EQ(lines, 24);
  QTest::keyClick(View("Picture1"), Qt::Key_F1);
  const auto* help = form.findChild<QWidget*>(QStringLiteral("HelpWindow"));
  ASSERT_NE(help, nullptr);
  const QString text = Child<QLabel>(*help, "HelpText")->text();
  qsizetype from = 0;
  for (const HelpLine& line : form.Commands().HelpLines()) {
    const qsizetype at = text.indexOf(line.english.toHtmlEscaped(), from);
    EXPECT_GT(at, from) << line.english.toStdString() << " is missing or out of order";
    EXPECT_TRUE(text.contains(line.input.toHtmlEscaped())) << line.input.toStdString();
    EXPECT_TRUE(text.contains(line.japanese.toHtmlEscaped())) << line.japanese.toStdString();
    from = std::max(from, at);
  }
}

TEST_F(Form1Commands, EveryKeyReachesItsCommandExactlyWhereItsScopeSays) {
  QWidget* const places[] = {Button("Command3"), View("Picture1"), View("Picture3")};
  for (const Command& command : Table()) {
    if (!command.run) {
      continue;  // a control the views handle themselves: it has no action
    }
    QAction* action = Action(command.name);
    ASSERT_NE(action, nullptr);
    // Only the binding is under test here: the operations stay out of it.
    QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
    const QSignalSpy triggered(action, &QAction::triggered);
    for (const QKeySequence& keys : command.keys) {
      for (QWidget* place : places) {
        const int before = static_cast<int>(triggered.count());
        Press(place, keys);
        // A command that is off (Escape with nothing to cancel) leaves its key alone.
        const bool enabled = !command.enabled || command.enabled();
        const bool expected =
            enabled && (command.scope == KeyScope::Window ||
                        (command.scope == KeyScope::SourceView && place == places[1]) ||
                        (command.scope == KeyScope::ChannelViews && place == places[2]));
        EXPECT_EQ(triggered.count() - before, expected ? 1 : 0)
            << keys.toString().toStdString() << " on " << place->objectName().toStdString();
      }
    }
  }
}

TEST_F(Form1Commands, AfterClickingSeparateTheKeysZoomAndLookAtAllViewsAndAPressStillReadsOut) {
  Load(test::CoordinateImage(100, 80));
  QTest::mouseClick(Button("Command1"), Qt::LeftButton);
  ASSERT_EQ(QApplication::focusWidget(), Button("Command1"));
  QTest::keyClick(Button("Command1"), Qt::Key_Plus);
  for (const char* view : {"Picture1", "Picture2", "Picture3", "Picture4"}) {
    EXPECT_DOUBLE_EQ(Scale(view), 2.0) << view;
  }
  QTest::keyClick(Button("Command1"), Qt::Key_Home);
  EXPECT_DOUBLE_EQ(Scale("Picture4"), 1.0);
  QTest::keyClick(Button("Command1"), Qt::Key_G);
  EXPECT_TRUE(Action("GreyAction")->isChecked());
  const QRgb grey = View("Picture3")->grab().toImage().pixel(2 + 30, 2 + 20);
  EXPECT_EQ(qRed(grey), 20);  // the green of (30, 20), shown as grey
  EXPECT_EQ(qBlue(grey), 20);
  // The source's own keys stay its own: 2 on the button switches no component off.
  QTest::keyClick(Button("Command1"), Qt::Key_2);
  EXPECT_TRUE(Action("ComponentAction2")->isChecked());
  // A press on the source reads out wherever the focus was, and its arrows go on from there.
  QTest::mouseClick(View("Picture1"), Qt::LeftButton, {}, {2 + 7, 2 + 5});
  EXPECT_EQ(Readout().at(2), QStringLiteral("7"));
  QTest::keyClick(View("Picture1"), Qt::Key_Right);
  EXPECT_EQ(Readout().at(2), QStringLiteral("8"));
}

TEST_F(Form1Commands, CheckMarksTextsAndEnabledEntriesFollowTheStateHoweverItChanges) {
  EXPECT_FALSE(Action("SaveChannelAction")->isEnabled());
  EXPECT_FALSE(Action("CopyChannelAction")->isEnabled());
  Separate();
  EXPECT_TRUE(Action("SaveChannelAction")->isEnabled());
  EXPECT_TRUE(Action("SaveAllChannelsAction")->isEnabled());
  Key("Picture2", Qt::Key_H);
  EXPECT_TRUE(Action("HistogramAction")->isChecked());
  Key("Picture1", Qt::Key_L);
  EXPECT_TRUE(Action("LogScaleAction")->isChecked());
  Key("Picture1", Qt::Key_2);
  EXPECT_FALSE(Action("ComponentAction2")->isChecked());
  EXPECT_TRUE(Action("ComponentAction1")->isChecked());
  Load(test::CoordinateImage(30, 20));  // a new picture is shown whole
  EXPECT_TRUE(Action("ComponentAction2")->isChecked());
  Key("Picture1", Qt::Key_2);
  const QMenu* menu = form.Commands().ChannelMenu();
  const int actions = static_cast<int>(form.findChildren<QAction*>().size());
  ChooseInModelMenu("Picture3", "ModelActionHSV");
  ChooseInModelMenu("Picture4", "ModelActionHSL");
  // The same menu and actions each time, renamed for the model chosen.
  EXPECT_EQ(form.Commands().ChannelMenu(), menu);
  EXPECT_EQ(form.findChildren<QAction*>().size(), actions);
  EXPECT_TRUE(Action("ModelActionHSL")->isChecked());
  EXPECT_FALSE(Action("ModelActionRGB")->isChecked());
  EXPECT_FALSE(Action("ModelActionHSV")->isChecked());
  EXPECT_EQ(Action("ComponentAction3")->text(), QStringLiteral("元画像に L"));
  EXPECT_TRUE(Action("ComponentAction2")->isChecked());  // a new model shows every component
  Key("Picture4", Qt::Key_H);
  EXPECT_FALSE(Action("HistogramAction")->isChecked());
}

TEST_F(Form1Commands, KeysTypedIntoADialogStayInItAndWorkAgainInTheWindowAfter) {
  Load(test::CoordinateImage(100, 80));
  QDialog dialog(&form);
  auto* field = new QLineEdit(&dialog);
  (new QVBoxLayout(&dialog))->addWidget(field);
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  field->setFocus();
  QTest::keyClicks(field, QStringLiteral("+0-GHL1m"));
  EXPECT_EQ(field->text(), QStringLiteral("+0-GHL1m"));
  EXPECT_DOUBLE_EQ(Scale("Picture1"), 1.0);
  EXPECT_FALSE(Action("GreyAction")->isChecked());
  EXPECT_FALSE(Action("HistogramAction")->isChecked());
  dialog.close();
  Activate();
  Button("Command3")->setFocus();
  QTest::keyClick(Button("Command3"), Qt::Key_Plus);
  EXPECT_DOUBLE_EQ(Scale("Picture1"), 2.0);
}

TEST_F(Form1Commands, TheHelpFitsAnEightHundredPixelScreenAndWrapsItsLinesAsItNarrows) {
  QTest::keyClick(View("Picture1"), Qt::Key_F1);
  auto* help = form.findChild<QWidget*>(QStringLiteral("HelpWindow"));
  ASSERT_NE(help, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(help));
  const QRect screen = help->screen()->availableGeometry();
  ASSERT_LE(screen.width(), 800);  // Qt's offscreen screen: a small one
  EXPECT_LE(help->frameGeometry().width(), screen.width());
  EXPECT_LE(help->frameGeometry().height(), screen.height());
  EXPECT_LE(help->sizeHint().width(), 800);
  EXPECT_LE(help->minimumSizeHint().width(), 400);
  auto* text = Child<QLabel>(*help, "HelpText");
  const auto* viewport = Child<QScrollArea>(*help, "HelpScroll")->viewport();
  EXPECT_LE(text->width(), viewport->width());  // nothing cut off on the right
  const int tall = text->height();
  help->resize(420, 400);
  QTest::qWait(50);
  EXPECT_EQ(help->width(), 420);
  EXPECT_LE(text->width(), viewport->width());
  EXPECT_GT(text->height(), tall);  // the lines wrapped, and the help scrolls down to them
  EXPECT_GE(text->height(), text->heightForWidth(text->width()));
}

}  // namespace
}  // namespace irobunkai
