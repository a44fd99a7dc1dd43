#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "document/document.h"
#include "io/channel_files.h"
#include "io/picture_loader.h"
#include "io/remembered_choices.h"
#include "views/view_state.h"
#include "window/background_work.h"
#include "window/channel_save_dialogs.h"
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

/// The open-file dialog for a press's output profile: .icc and .icm files.
QString ChooseProfileWithDialog(QWidget* parent);

/// The open-file dialog as the platform's own remembers where it was last used: it opens
/// in the folder of the picture last chosen, and keeps the folder of the next.
PictureChooser FileDialogChooser(std::shared_ptr<RememberedChoices> choices);

/// The program's one window: the controls and their wiring to the document, which
/// holds the picture and everything worked out from it.
class Form1 : public QWidget {
  Q_OBJECT

 public:
  /// A window that keeps the user's choices in `choices` when given, else forgets them.
  explicit Form1(PictureChooser chooser = ChooseWithFileDialog,
                 std::shared_ptr<RememberedChoices> choices = nullptr, QWidget* parent = nullptr);
  ~Form1() override;
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  /// Starts loading `path` into the source view, off the GUI thread; the picture
  /// replaces the one shown when it is decoded, or the user is told why it can't.
  void LoadIntoPicture1(const QString& path);

  /// Whether work runs in the background: a picture being opened, separated or saved.
  [[nodiscard]] bool IsBusy() const { return work_->IsBusy(); }

  /// The document the window shows.
  [[nodiscard]] const Document& Shown() const { return *document_; }
  /// The window's commands: the table and the actions, menu and keys built from it.
  [[nodiscard]] const CommandActions& Commands() const { return *commands_; }

  /// Asks for press profiles with `chooser` in place of the file dialog.
  void UseProfileChooser(PictureChooser chooser) { ProfileChooser = std::move(chooser); }

 private:
  PictureBox* Picture1;
  PictureBox* Picture2;
  PictureBox* Picture3;
  PictureBox* Picture4;
  PictureBox* Picture5;
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
  void Form1_Cancel();
  void Picture2_ContextMenu(QPoint at);
  void Picture3_ContextMenu(QPoint at);
  void Picture4_ContextMenu(QPoint at);
  void Picture5_ContextMenu(QPoint at);
  void Picture1_ToggleInkWarning();
  void Picture1_ToggleProof();

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
  [[nodiscard]] std::vector<Command> PressControls();
  // Grows the window by the black plate's view while CMYK is chosen.
  void LayOutForModel();
  void RestorePress();
  // Makes `path` the press profile, kept for the next run; says why not when `tell`.
  bool UsePressProfile(const QString& path, PressIntent intent, bool tell);
  void ChoosePressProfile();
  void ChoosePressIntent(PressIntent intent);
  void WarnNoPress();
  // Splits the separated picture into the press's plates again, when they are shown.
  void SplitPlatesAgain();
  void SplitSeparatedInto(ColourModel model);
  void SaveCmykTiff();
  void ShowSamplePicture();
  bool ShowLoadedPicture(LoadResult result, PictureSource source, const QString& name);
  using Decode = std::function<LoadResult(const Progress&)>;
  // A decoded picture with its zoom levels, made off the GUI thread; the levels are
  // shared so that the continuation that shows them can be copied.
  struct Opened {
    Image picture;
    std::shared_ptr<std::optional<MipPyramid>> levels;
    /// What a file that ended early lacks; empty when it was whole.
    QString cutShort;
    ColourDescription colour;
    PictureColours colours;
  };
  using OpenResult = std::variant<Opened, RunTimeError>;
  // Runs on the worker: reads nothing of the window's.
  static OpenResult DecodeWithLevels(const Decode& decode, const Progress& progress,
                                     const PictureView& blank);
  void OpenInBackground(Decode decode, PictureSource source, const QString& name);
  void ShowOpened(const Opened& opened, PictureSource source, const QString& name);
  void WarnIfCutShort(const QString& cutShort, const QString& name);
  void ShowNoMosaic();
  void ReturnToDeveloped();
  void ShowReadout(float x, float y);
  void FillValueBoxes();
  void NameProfile();
  // `chosen`: the model to show once the planes are there, when one was chosen.
  void SeparateInBackground(SeparationWork work, std::optional<ColourModel> chosen = {});
  void CountShownHistograms();
  void ShowChannelMenu(Channel channel, QPoint at);
  void ShowFocusedChannelMenu();
  void ChooseModel(ColourModel model);
  SaveDialogHooks SaveInBackground();
  // The separated picture's profile, for the channels saved or copied in its colours.
  [[nodiscard]] IccBytes SeparatedIcc() const;
  void SaveChannel(Channel channel);
  void SaveAllChannels();
  void CopyChannel(Channel channel);

  PictureChooser CommonDialog1;
  PictureChooser ProfileChooser = ChooseProfileWithDialog;
  QString pressPath_;
  // Shared with the four views, which Qt deletes after this object's members.
  std::shared_ptr<Document> document_;
  int stateSubscription_ = -1;
  int documentSubscription_ = -1;
  std::shared_ptr<RememberedChoices> choices_;
  std::unique_ptr<CommandActions> commands_;
  // The channel view whose menu was opened last: what its entries act on.
  Channel menuChannel_ = Channel::Red;
  HelpWindow* help_ = nullptr;
  BackgroundWork* work_ = nullptr;
};

}  // namespace irobunkai
