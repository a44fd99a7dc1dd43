#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "document/document.h"
#include "io/channel_files.h"
#include "io/picture_loader.h"
#include "render/view_renditions.h"
#include "views/view_state.h"
#include "window/commands.h"

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

/// The program's one window: the controls and their wiring to the document, which
/// holds the picture and everything worked out from it.
class Form1 : public QWidget {
  Q_OBJECT

 public:
  explicit Form1(PictureChooser chooser = ChooseWithFileDialog, QWidget* parent = nullptr);
  ~Form1() override;
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  /// Loads `path` into the source view, or tells the user why it can't.
  /// Returns whether the picture was loaded.
  bool LoadIntoPicture1(const QString& path);

  /// The document the window shows.
  [[nodiscard]] const Document& Shown() const { return *document_; }
  /// What the views keep to draw fast.
  [[nodiscard]] const ViewRenditions& Renditions() const { return *renditions_; }
  /// The window's commands: the table and the actions, menu and keys built from it.
  [[nodiscard]] const CommandActions& Commands() const { return *commands_; }

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
  void Picture1_ToggleMosaic();
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
  void AddCommands();
  [[nodiscard]] std::vector<Command> CommandTable();
  [[nodiscard]] std::vector<Command> PictureControls();
  [[nodiscard]] std::vector<Command> ChannelControls();
  [[nodiscard]] std::vector<Command> ModelControls();
  void ShowSamplePicture();
  bool ShowLoadedPicture(LoadResult result, PictureSource source, const QString& name);
  void ShowSourcePicture(Image picture, bool mosaic);
  void ShowReadout(float x, float y);
  void CountShownHistograms();
  void ShowChannelMenu(Channel channel, QPoint at);
  void ShowFocusedChannelMenu();
  void ChooseModel(ColourModel model);
  [[nodiscard]] PlaneModel SeparatedModel() const;
  void SaveChannel(Channel channel);
  void SaveAllChannels();
  void CopyChannel(Channel channel);

  PictureChooser CommonDialog1;
  // Shared with the four views, which Qt deletes after this object's members.
  std::shared_ptr<Document> document_;
  std::shared_ptr<ViewState> viewState_;
  std::shared_ptr<ViewRenditions> renditions_;
  int stateSubscription_ = -1;
  int documentSubscription_ = -1;
  std::unique_ptr<CommandActions> commands_;
  // The channel view whose menu was opened last: what its entries act on.
  Channel menuChannel_ = Channel::Red;
  HelpWindow* help_ = nullptr;
};

}  // namespace irobunkai
