// The File menu's dialogs: titles, filters, the first name shown (the
// proposed name of a save after the voice's own file name) and extensions.
#include <gtest/gtest.h>

#include "commands/FileDialogs.h"
#include "support/VoiceFixture.h"

namespace {

class Dialogs : public VoiceFixture {};

TEST_F(Dialogs, LoadAndSaveDialogsOfEachFormat) {
  Voice(1).FileName = "/v/a.mxv";
  const auto load = FileDialogFor(KCommandId::MenuLoadCh2Bit16PCMClick, Voice(1));
  ASSERT_TRUE(load);
  EXPECT_FALSE(load->Save);
  EXPECT_EQ(load->Title, "Load Stereo 16 bit raw PCM");
  EXPECT_EQ(load->Filter, "PCM file (*.PCM)| *.PCM; *.pcm | All file (*.*)| *.*");
  EXPECT_EQ(load->FileName, "*.PCM");
  EXPECT_EQ(load->DefaultSuffix, "");
  const auto save = FileDialogFor(KCommandId::MenuSaveWAVClick, Voice(1));
  ASSERT_TRUE(save);
  EXPECT_TRUE(save->Save);
  EXPECT_EQ(save->Title, "Save WAV");
  EXPECT_EQ(save->Filter, "WAV file (*.WAV)| *.WAV; *.wav | All file (*.*)| *.*");
  EXPECT_EQ(save->FileName, "/v/a.WAV");
  EXPECT_EQ(save->DefaultSuffix, "WAV");
  EXPECT_EQ(FileDialogFor(KCommandId::MenuLoadMXVClick, Voice(1))->Title, "Load MXV");
  EXPECT_FALSE(FileDialogFor(KCommandId::MenuSaveFileClick, Voice(1)));
  EXPECT_FALSE(FileDialogFor(KCommandId::MenuCopyClick, Voice(1)));
}

}  // namespace
