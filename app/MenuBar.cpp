// The menu bar of the main window, built from the menu table in one loop,
// and what its items run.
#include <QColorDialog>
#include <QMenuBar>
#include <vector>

#include "app/MainWindow.h"
#include "display/paint/ImageCanvas.h"

void TFormMain::BuildMenuBar() {
  QMenuBar* bar = menuBar();
  bar->setObjectName("MainMenu");
  // The menu that receives the items of each depth.
  std::vector<QMenu*> open(4, nullptr);
  for (const KMenuItem& item : MenuItems()) {
    if (item.Separator()) {
      open[size_t(item.Depth - 1)]->addSeparator();
      continue;
    }
    const bool hasItems = &item + 1 < MenuItems().data() + MenuItems().size() && (&item + 1)->Depth > item.Depth;
    if (item.Depth == 0 || hasItems) {
      QMenu* menu = item.Depth == 0 ? bar->addMenu(item.Caption) : open[size_t(item.Depth - 1)]->addMenu(item.Caption);
      menu->setObjectName(item.Name);
      menu->menuAction()->setObjectName(item.Name);
      actions_[item.Name] = menu->menuAction();
      open[size_t(item.Depth)] = menu;
      continue;
    }
    QAction* action = open[size_t(item.Depth - 1)]->addAction(item.Caption);
    action->setObjectName(item.Name);
    if (item.Shortcut) action->setShortcut(QKeySequence(item.Shortcut));
    if (item.Group != KCheckGroup::None) action->setCheckable(true);
    if (item.Action == KWindowAction::Disabled) action->setEnabled(false);
    connect(action, &QAction::triggered, this, [this, &item] { RunMenuItem(item); });
    actions_[item.Name] = action;
    if (std::string(item.Name) == "MenuUndo") controls_.Undo = action;
  }
}

void TFormMain::RunMenuItem(const KMenuItem& item) {
  switch (item.Action) {
    case KWindowAction::Command:
      runner_->Run(item.Command);
      break;
    case KWindowAction::Colour: {
      const KColour now = display_.Colours.Get(item.Slot);
      std::optional<KColour> chosen;
      if (ChooseColour) {
        chosen = ChooseColour(now);
      } else {
        const QColor picked = QColorDialog::getColor(QColor(ToQRgb(now)), this);
        if (picked.isValid()) chosen = FromQRgb(picked.rgb());
      }
      if (!chosen) break;
      display_.Colours.Set(item.Slot, *chosen);
      if (!banks_->CurrentVoice) break;
      // A colour changes only its own box.
      if (int(item.Slot) < int(KColourSlot::ZO_BackGnd))
        Current().PaintZoomIn();
      else
        Current().PaintOverview();
      break;
    }
    case KWindowAction::ResetColours:
      display_.Colours.ResetAll();
      if (banks_->CurrentVoice) Current().Refresh();
      break;
    case KWindowAction::Exit:
      close();
      break;
    case KWindowAction::Disabled:
    case KWindowAction::None:
      break;
  }
  SyncChecks();
}

void TFormMain::SyncChecks() {
  for (const KMenuItem& item : MenuItems())
    if (item.Group != KCheckGroup::None) actions_[item.Name]->setChecked(MenuItemChecked(item, display_.Options));
}
