#pragma once

#include <QWidget>
#include <functional>

#include "analysis/channel_separation.h"

class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QPushButton;

namespace irobunkai {

class PictureBox;

/// Asks the user for a picture file; an empty name means the user cancelled.
using PictureChooser = std::function<QString(QWidget* parent)>;

/// The open-file dialog with all its defaults: no title of ours, no filter, no folder.
QString ChooseWithFileDialog(QWidget* parent);

/// The program's one window.
class Form1 : public QWidget {
  Q_OBJECT

 public:
  explicit Form1(PictureChooser chooser = ChooseWithFileDialog, QWidget* parent = nullptr);

  /// Loads `path` into the source view, or tells the user why it can't.
  /// Returns whether the picture was loaded.
  bool LoadIntoPicture1(const QString& path);

 private:
  PictureBox* Picture1;
  PictureBox* Picture2;
  PictureBox* Picture3;
  PictureBox* Picture4;
  QPushButton* Command1;
  QPushButton* Command2;
  QPushButton* Command3;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label5;
  QLabel* Label6;

  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Picture1_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, float x, float y);
  void Form1_DragDrop(const QString& path);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateControls();
  void ConnectEvents();
  void SetTabOrder();
  void ShowSamplePicture();

  PictureChooser CommonDialog1;
  ChannelPlanes planes_;
};

}  // namespace irobunkai
