// The main window's menu bar as data: every menu and item in order, with
// its object name, caption, separators, submenus, shortcut, check group and
// what it runs (a row of the command map, or one of the window's own
// actions). The window builds its menu bar from this table in one loop.
#pragma once

#include <span>

#include "commands/CommandIds.h"
#include "display/ColourScheme.h"
#include "display/DisplayOptions.h"

// What an item does that is not a row of the command map.
enum class KWindowAction {
  None,          // a menu or submenu title, a separator
  Command,       // the row `Command` of the command map
  Colour,        // the colour dialog for `Slot`, then a redraw of its box
  ResetColours,  // the default colours, then Refresh
  Exit,          // closes the main window
  Disabled,      // present, greyed, does nothing
};

// Items whose check marks follow the display options.
enum class KCheckGroup { None, ScaleText, LocationIndicator, DrawingMode };

struct KMenuItem {
  int Depth;         // 0 a menu of the bar, 1 its item, 2 an item of a submenu
  const char* Name;  // the object name; null for a separator
  const char* Caption;
  KWindowAction Action = KWindowAction::None;
  KCommandId Command = KCommandId::Count;
  KColourSlot Slot = KColourSlot::ZI_BackGnd;
  const char* Shortcut = nullptr;  // a key sequence such as "F1"
  KCheckGroup Group = KCheckGroup::None;

  bool Separator() const { return Name == nullptr; }
};

std::span<const KMenuItem> MenuItems();

// Whether a checkable item is checked under `options`.
bool MenuItemChecked(const KMenuItem& item, const KDisplayOptions& options);
