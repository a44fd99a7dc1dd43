#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace irobunkai {

/// One line of the help window: the input, what it does in Japanese, and in English.
struct HelpLine {
  QString input;
  QString japanese;
  QString english;
};

/// Where a command's keys are taken.
enum class KeyScope {
  Window,        ///< wherever the focus is in the window, but not in its dialogs
  SourceView,    ///< only while the source view has the focus
  ChannelViews,  ///< only while a channel view has the focus
};

/// Where a command stands in the channel views' menu, in this order.
enum class MenuPlace {
  None,
  Looks,       ///< at the top
  Models,      ///< the 色空間 submenu, one of them checked
  Components,  ///< the same submenu, below the models
  Press,       ///< the same submenu, below the components: the press CMYK is made for
  Intents,     ///< the same submenu, below the press, one of them checked
  InkLimits,   ///< its submenu 総インキ量の上限, one of them checked
  Files,       ///< at the bottom
};

/// One entry of the window's table of controls. An entry with an operation is a
/// command: one action, made once, that takes its keys and stands in the menu. An
/// entry without one is a control the views handle themselves (the mouse, the
/// arrows), listed for the help.
struct Command {
  QString name{};                   ///< its action's object name
  std::function<QString()> text{};  ///< its menu text, read again as the state changes
  QList<QKeySequence> keys{};       ///< the first is the one the menu shows
  KeyScope scope = KeyScope::Window;
  MenuPlace menu = MenuPlace::None;
  std::function<bool()> checked{};  ///< set for a checkable command: whether it is on now
  std::function<bool()> enabled{};  ///< when set: whether it can run now
  std::function<void()> run{};      ///< the operation
  std::optional<HelpLine> help{};   ///< none: the line above covers this entry too
};

/// A help line from UTF-8 texts.
HelpLine Help(const char* input, const char* japanese, const char* english);
/// A menu text that never changes.
std::function<QString()> Fixed(const char* text);

/// Where the keys of each scope are taken.
struct KeyTargets {
  QWidget* window;
  QWidget* source;
  std::vector<QWidget*> channels;
};

/// The actions of a table of commands, made once and owned by the window: bound to
/// their keys, gathered into the channel views' menu, and kept in step with the state
/// they show by Refresh.
class CommandActions {
 public:
  CommandActions(std::vector<Command> table, const KeyTargets& targets);
  CommandActions(const CommandActions&) = delete;
  CommandActions& operator=(const CommandActions&) = delete;

  [[nodiscard]] const std::vector<Command>& Table() const { return table_; }
  /// The channel views' menu, object name "ChannelMenu".
  [[nodiscard]] QMenu* ChannelMenu() const { return menu_; }
  /// Reads every action's text, checked and enabled state again from the state.
  void Refresh() const;
  /// The help window's lines, in the table's order.
  [[nodiscard]] std::vector<HelpLine> HelpLines() const;

 private:
  QAction* MakeAction(const Command& command, const KeyTargets& targets) const;
  void MakeMenus(QWidget* owner);
  void FillMenu();

  std::vector<Command> table_;
  std::vector<QAction*> actions_;  // one per entry; null for an entry without an operation
  QMenu* menu_ = nullptr;
  QMenu* models_ = nullptr;
  QMenu* inkLimits_ = nullptr;
};

}  // namespace irobunkai
