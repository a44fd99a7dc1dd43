#include "window/commands.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QWidget>

namespace irobunkai {

CommandActions::CommandActions(std::vector<Command> table, const KeyTargets& targets)
    : table_(std::move(table)) {
  MakeMenus(targets.window);
  actions_.reserve(table_.size());
  for (std::size_t i = 0; i < table_.size(); ++i) {
    QAction* action = table_[i].run ? MakeAction(table_[i], targets) : nullptr;
    if (action != nullptr) {
      // Whatever the operation did or failed to do, the action shows the state after it.
      QObject::connect(action, &QAction::triggered, action, [this, i] {
        table_[i].run();
        Refresh();
      });
    }
    actions_.push_back(action);
  }
  FillMenu();
  Refresh();
}

void CommandActions::MakeMenus(QWidget* owner) {
  menu_ = new QMenu(owner);
  menu_->setObjectName(QStringLiteral("ChannelMenu"));
  models_ = new QMenu(QStringLiteral("色空間"), menu_);
  models_->setObjectName(QStringLiteral("ModelMenu"));
  inkLimits_ = new QMenu(QStringLiteral("総インキ量の上限"), models_);
  inkLimits_->setObjectName(QStringLiteral("InkLimitMenu"));
}

void CommandActions::FillMenu() {
  // The menu's order is its places', then the table's.
  const auto add = [this](QMenu& menu, MenuPlace place, QActionGroup* group = nullptr) {
    for (std::size_t i = 0; i < table_.size(); ++i) {
      if (table_[i].menu == place && actions_[i] != nullptr) {
        if (group != nullptr) {
          actions_[i]->setActionGroup(group);
        }
        menu.addAction(actions_[i]);
      }
    }
  };
  add(*menu_, MenuPlace::Looks);
  menu_->addSeparator();
  menu_->addMenu(models_);
  add(*models_, MenuPlace::Models, new QActionGroup(models_));
  models_->addSeparator();
  add(*models_, MenuPlace::Components);
  models_->addSeparator();
  add(*models_, MenuPlace::Press);
  add(*models_, MenuPlace::Intents, new QActionGroup(models_));
  models_->addMenu(inkLimits_);
  add(*inkLimits_, MenuPlace::InkLimits, new QActionGroup(inkLimits_));
  menu_->addSeparator();
  add(*menu_, MenuPlace::Files);
}

QAction* CommandActions::MakeAction(const Command& command, const KeyTargets& targets) const {
  // A menu's entries are its children, as QMenu::addAction would make them.
  QObject* parent = targets.window;
  if (command.menu == MenuPlace::Models || command.menu == MenuPlace::Components ||
      command.menu == MenuPlace::Press || command.menu == MenuPlace::Intents) {
    parent = models_;
  } else if (command.menu == MenuPlace::InkLimits) {
    parent = inkLimits_;
  } else if (command.menu != MenuPlace::None) {
    parent = menu_;
  }
  auto* action = new QAction(parent);
  action->setObjectName(command.name);
  action->setCheckable(static_cast<bool>(command.checked));
  action->setShortcuts(command.keys);
  if (command.keys.isEmpty()) {
    return action;
  }
  // A window-wide key yields to a widget that wants it (Ctrl+C in a text field) and
  // never reaches the window's dialogs, which are windows of their own.
  if (command.scope == KeyScope::Window) {
    action->setShortcutContext(Qt::WindowShortcut);
    targets.window->addAction(action);
    return action;
  }
  action->setShortcutContext(Qt::WidgetShortcut);
  if (command.scope == KeyScope::SourceView) {
    targets.source->addAction(action);
  } else {
    for (QWidget* channel : targets.channels) {
      channel->addAction(action);
    }
  }
  return action;
}

void CommandActions::Refresh() const {
  for (std::size_t i = 0; i < table_.size(); ++i) {
    QAction* action = actions_[i];
    if (action == nullptr) {
      continue;
    }
    const Command& command = table_[i];
    if (command.text) {
      action->setText(command.text());
    }
    if (command.checked) {
      action->setChecked(command.checked());
    }
    if (command.enabled) {
      action->setEnabled(command.enabled());
    }
  }
}

HelpLine Help(const char* input, const char* japanese, const char* english) {
  return {QString::fromUtf8(input), QString::fromUtf8(japanese), QString::fromUtf8(english)};
}

std::function<QString()> Fixed(const char* text) {
  return [text = QString::fromUtf8(text)] { return text; };
}

std::vector<HelpLine> CommandActions::HelpLines() const {
  std::vector<HelpLine> lines;
  for (const Command& command : table_) {
    if (command.help) {
      lines.push_back(*command.help);
    }
  }
  return lines;
}

}  // namespace irobunkai
