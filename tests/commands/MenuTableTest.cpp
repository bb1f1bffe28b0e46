// The menu table: the menus in order with their separators, each command
// item's handler named after it and captioned as its command, the colour
// items, the bank shortcuts and the check marks; and the File dialogs'
// titles, filters, first names and extensions.
#include <gtest/gtest.h>

#include <set>

#include "commands/FileDialogs.h"
#include "commands/MenuTable.h"
#include "commands/WindowCommands.h"
#include "support/VoiceFixture.h"

namespace {

std::vector<std::string> Checked(const KDisplayOptions& options) {
  std::vector<std::string> checked;
  for (const KMenuItem& item : MenuItems())
    if (item.Group != KCheckGroup::None && MenuItemChecked(item, options)) checked.push_back(item.Name);
  return checked;
}

TEST(MenuTable, MenusItemsKeysAndChecks) {
  std::vector<std::string> menus, keys;
  std::set<KColourSlot> slots;
  int commands = 0, depth = -1, colours = 0;
  for (const KMenuItem& item : MenuItems()) {
    EXPECT_LE(item.Depth, depth + 1) << (item.Name ? item.Name : "-");  // a depth grows by one at most
    depth = item.Depth;
    if (item.Depth == 0) menus.push_back(std::string(item.Caption) + " 0");
    if (item.Depth == 1 && item.Separator()) menus.back().back() += 1;
    if (item.Shortcut) keys.push_back(std::string(item.Name) + "=" + item.Shortcut);
    if (item.Action == KWindowAction::Colour) slots.insert(item.Slot), ++colours;
    if (item.Action != KWindowAction::Command) continue;
    ++commands;
    const KWindowCommand& row = WindowCommand(item.Command);
    EXPECT_EQ(std::string(item.Name) + "Click", row.Handler);
    EXPECT_STREQ(item.Caption, row.Caption) << item.Name;
  }
  EXPECT_EQ(menus, (std::vector<std::string>{"&File 5", "&Edit 5", "&Mark 2", "&Bank 2", "&Play 0", "&Record 0",
                                             "&Tool 4", "&Option 0", "&View 2"}));
  EXPECT_EQ(commands, 67);
  EXPECT_EQ(colours, 18);  // every slot once, but the scale texts
  EXPECT_EQ(slots.size(), 18u);
  EXPECT_EQ(slots.count(KColourSlot::ZI_ScaleText) + slots.count(KColourSlot::ZO_ScaleText), 0u);
  ASSERT_EQ(keys.size(), 12u);
  EXPECT_EQ(keys.front() + " " + keys.back(), "MenuBank1=F1 MenuBank12=F12");
  EXPECT_EQ(Checked({}),
            (std::vector<std::string>{"MenuHexScaleText", "MenuSecLocationIndicator", "MenuCurveWaveform"}));
  KDisplayOptions changed;
  changed.ZiScaleHex = changed.ZoScaleHex = 0;
  changed.LocationHex = changed.WaveformMode = 1;
  EXPECT_EQ(Checked(changed),
            (std::vector<std::string>{"MenuDecScaleText", "MenuHexLocationIndicator", "MenuRectangleWaveform"}));
}

class FileDialogs : public VoiceFixture {};

TEST_F(FileDialogs, LoadAndSaveDialogsOfEachFormat) {
  Voice(1).FileName = "/v/a.mxv";
  const std::tuple<KCommandId, bool, const char*, const char*, const char*, const char*> cases[] = {
      {KCommandId::MenuLoadCh2Bit16PCMClick, false, "Load Stereo 16 bit raw PCM",
       "PCM file (*.PCM)| *.PCM; *.pcm | All file (*.*)| *.*", "*.PCM", ""},
      {KCommandId::MenuSaveWAVClick, true, "Save WAV", "WAV file (*.WAV)| *.WAV; *.wav | All file (*.*)| *.*",
       "/v/a.WAV", "WAV"},
      {KCommandId::MenuLoadMXVClick, false, "Load MXV", "MXV file (*.MXV)| *.MXV; *.mxv | All file (*.*)| *.*", "*.MXV",
       ""}};
  for (auto [command, save, title, filter, name, suffix] : cases) {
    const auto setup = FileDialogFor(command, Voice(1));
    ASSERT_TRUE(setup) << title;
    EXPECT_EQ(std::tuple(setup->Save, setup->Title, setup->Filter, setup->FileName, setup->DefaultSuffix),
              std::tuple(save, std::string(title), std::string(filter), std::string(name), std::string(suffix)));
  }
  EXPECT_FALSE(FileDialogFor(KCommandId::MenuSaveFileClick, Voice(1)));
  EXPECT_FALSE(FileDialogFor(KCommandId::MenuCopyClick, Voice(1)));
}

}  // namespace
