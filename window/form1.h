#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "analysis/channel_separation.h"
#include "views/view_state.h"
#include "window/picture_loader.h"

class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QPushButton;

namespace irobunkai {

class HelpWindow;
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
  void Picture1_KeyDown(int dx, int dy);
  void Form1_Copy();
  void Form1_Paste();
  void Form1_Help();
  void Picture2_ContextMenu(QPoint at);
  void Picture3_ContextMenu(QPoint at);
  void Picture4_ContextMenu(QPoint at);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateControls();
  void ConnectEvents();
  void SetTabOrder();
  void AddShortcuts();
  void ShowSamplePicture();
  bool ShowLoadedPicture(LoadResult result, const QString& name);
  void ShowReadout(float x, float y);
  void ShowChannelMenu(Channel channel, const PictureBox& view, QPoint at);
  void SaveChannel(Channel channel);
  void SaveAllChannels();
  void CopyChannel(Channel channel);
  [[nodiscard]] const ChannelPlane& PlaneOf(Channel channel) const;

  /// The last readout: where it was read (which may lie beyond the area) and what.
  struct Readout {
    Cell cell;
    ColorValue color = 0;
  };

  PictureChooser CommonDialog1;
  ChannelPlanes planes_;
  // Shared with the four views, which may outlive this object's members while Qt
  // deletes its children.
  std::shared_ptr<ViewState> viewState_;
  std::optional<Readout> lastReadout_;
  // The file of the picture shown, and of the one last separated; empty for the
  // built-in sample and pasted pictures.
  QString picturePath_;
  QString separatedPath_;
  std::optional<Cell> readCell_;
  HelpWindow* help_ = nullptr;
};

}  // namespace irobunkai
