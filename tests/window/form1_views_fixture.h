#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "form1_waiting.h"
#include "gui_test_support.h"
#include "window/form1.h"
#include "window/picture_box.h"

namespace irobunkai::test {

/// A shown window whose four picture views are driven with real events; its open
/// dialog answers with `chosen`.
class Form1Views : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    ASSERT_NO_FATAL_FAILURE(Show(form));
  }

  PictureBox* View(const char* name) { return Child<PictureBox>(form, name); }
  void Load(const QImage& image, const QString& name = QStringLiteral("picture.png")) {
    ASSERT_TRUE(test::Open(form, WriteImage(dir, name, image, "png")));
  }
  void Separate() {
    QTest::mouseClick(Child<QWidget>(form, "Command1"), Qt::LeftButton);
    WaitIdle(form);
  }
  // Keys go to the focus of the active window, which a window manager makes the window
  // again after a menu or a dialog closes; Qt's offscreen platform leaves that to us.
  // (The platform window may count as active while the closed menu still has the focus.)
  void Activate() {
    if (!form.isActiveWindow()) {
      form.activateWindow();
      ASSERT_TRUE(QTest::qWaitFor([this] { return form.isActiveWindow(); }));
    }
  }
  void Key(const char* view, int key, Qt::KeyboardModifiers modifiers = {}) {
    Activate();
    View(view)->setFocus();
    QTest::keyClick(View(view), static_cast<Qt::Key>(key), modifiers);
    WaitIdle(form);  // what the key started in the background
  }
  // Zooms in with the + key, around the views' centre.
  void ZoomTo(double scale) {
    while (View("Picture1")->Mapping().scale < scale) {
      Key("Picture1", Qt::Key_Plus);
    }
    ASSERT_DOUBLE_EQ(View("Picture1")->Mapping().scale, scale);
  }
  // Picks `entry` of the 色空間 submenu of a channel view's menu.
  void ChooseInModelMenu(const char* view, const char* entry) {
    Activate();  // before the menu's timer starts
    bool chosen = false;
    QTimer::singleShot(50, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      auto* models =
          menu != nullptr ? menu->findChild<QMenu*>(QStringLiteral("ModelMenu")) : nullptr;
      if (models == nullptr) {
        return;
      }
      menu->setActiveAction(models->menuAction());
      QTest::keyClick(menu, Qt::Key_Right);
      QTimer::singleShot(50, [&, models] {
        auto* action = models->findChild<QAction*>(QString::fromLatin1(entry));
        if (action == nullptr || QApplication::activePopupWidget() != models) {
          QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
          return;
        }
        models->setActiveAction(action);
        QTest::keyClick(models, Qt::Key_Return);
        chosen = true;
      });
    });
    Key(view, Qt::Key_F10, Qt::ShiftModifier);
    QTest::qWait(150);
    // A menu left open would take the next test's events.
    while (QWidget* popup = QApplication::activePopupWidget()) {
      popup->close();
    }
    ASSERT_TRUE(chosen) << entry << " was not in the submenu";
  }
  [[nodiscard]] QStringList Readout() const {
    QStringList texts;
    for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label5"}) {
      texts << Child<QLabel>(form, name)->text();
    }
    return texts;
  }

  QTemporaryDir dir;
  QString chosen;
  Form1 form{[this](QWidget*) { return chosen; }};
};

}  // namespace irobunkai::test
