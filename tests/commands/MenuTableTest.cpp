// The menu table: the menus in order, each command item's handler named
// after it and captioned as its command, the colour items covering every
// slot but the scale texts, the bank shortcuts and the check marks at start.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "commands/MenuTable.h"
#include "commands/WindowCommands.h"

namespace {

TEST(MenuTable, TheMenusOfTheBarInOrder) {
  std::vector<std::string> menus;
  for (const KMenuItem& item : MenuItems())
    if (item.Depth == 0) menus.push_back(item.Caption);
  EXPECT_EQ(menus, (std::vector<std::string>{"&File", "&Edit", "&Mark", "&Bank", "&Play", "&Record", "&Tool", "&Option",
                                             "&View"}));
  EXPECT_EQ(MenuItems().front().Depth, 0);
  // A depth never grows by more than one from an item to the next.
  int depth = 0;
  for (const KMenuItem& item : MenuItems()) {
    EXPECT_LE(item.Depth, depth + 1) << (item.Name ? item.Name : "-");
    depth = item.Depth;
  }
}

TEST(MenuTable, CommandItemsRunTheRowNamedAfterThem) {
  int commands = 0;
  for (const KMenuItem& item : MenuItems()) {
    if (item.Action != KWindowAction::Command) continue;
    ++commands;
    const KWindowCommand& row = WindowCommand(item.Command);
    EXPECT_EQ(std::string(item.Name) + "Click", row.Handler);
    EXPECT_STREQ(item.Caption, row.Caption) << item.Name;
  }
  EXPECT_EQ(commands, 67);
}

TEST(MenuTable, SeparatorsStandWhereTheMenusShowThem) {
  auto separatorsOf = [](const char* menu) {
    int count = 0;
    bool inside = false;
    for (const KMenuItem& item : MenuItems()) {
      if (item.Depth == 0) inside = std::string(item.Name) == menu;
      if (inside && item.Depth == 1 && item.Separator()) ++count;
    }
    return count;
  };
  EXPECT_EQ(separatorsOf("FileMenu"), 5);
  EXPECT_EQ(separatorsOf("EditMenu"), 5);
  EXPECT_EQ(separatorsOf("MarkMenu"), 2);
  EXPECT_EQ(separatorsOf("BankMenu"), 2);
  EXPECT_EQ(separatorsOf("ToolMenu"), 4);
  EXPECT_EQ(separatorsOf("ViewMenu"), 2);
}

TEST(MenuTable, ColourItemsBankKeysAndChecks) {
  std::set<KColourSlot> slots;
  std::vector<std::string> keys;
  std::vector<std::string> checked;
  const KDisplayOptions start;
  for (const KMenuItem& item : MenuItems()) {
    if (item.Action == KWindowAction::Colour) {
      EXPECT_TRUE(slots.insert(item.Slot).second) << item.Name;
    }
    if (item.Shortcut) keys.push_back(std::string(item.Name) + "=" + item.Shortcut);
    if (item.Group != KCheckGroup::None && MenuItemChecked(item, start)) checked.push_back(item.Name);
  }
  EXPECT_EQ(slots.size(), 18u);
  EXPECT_EQ(std::count_if(MenuItems().begin(), MenuItems().end(),
                          [](const KMenuItem& i) { return i.Name && std::string(i.Name) == "MenuZoColorMuteLine"; }),
            1);
  EXPECT_EQ(slots.count(KColourSlot::ZI_ScaleText) + slots.count(KColourSlot::ZO_ScaleText), 0u);
  ASSERT_EQ(keys.size(), 12u);
  EXPECT_EQ(keys.front(), "MenuBank1=F1");
  EXPECT_EQ(keys.back(), "MenuBank12=F12");
  EXPECT_EQ(checked, (std::vector<std::string>{"MenuHexScaleText", "MenuSecLocationIndicator", "MenuCurveWaveform"}));
  KDisplayOptions changed;
  changed.ZiScaleHex = changed.ZoScaleHex = 0;
  changed.LocationHex = 1;
  changed.WaveformMode = 1;
  checked.clear();
  for (const KMenuItem& item : MenuItems())
    if (item.Group != KCheckGroup::None && MenuItemChecked(item, changed)) checked.push_back(item.Name);
  EXPECT_EQ(checked,
            (std::vector<std::string>{"MenuDecScaleText", "MenuHexLocationIndicator", "MenuRectangleWaveform"}));
}

}  // namespace
