// The fifteen voices and the rules every format shares: the default state, clears, the alias, the duplicate-file
// refusal, "Save" by file type, the reload of copies, and saves that fail.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <optional>

#include "VoiceTests.h"

namespace {

using Rules = VoiceTests;

// A clear restores the state a voice starts in, store and names too; bank 13 is not one the window can select. The
// alias keeps the 19 bytes the MXV header holds, never half a character ("ü" is two bytes).
TEST_F(Rules, ClearsAndTheAlias) {
  auto state = [](KPcmFiles& v) { return std::make_tuple(StateOf(v), v.Storage->Size()); };
  const auto initial = state(Voice(1));
  GiveVoice(Voice(1), 2, 16, 100, 8000);
  std::tie(Voice(1).FileName, Voice(1).FileType) = std::make_tuple("/x/y.wav"s, KFileType::Wav);
  ASSERT_TRUE(Voice(1).SaveUndo("Undo : Echo") && banks_.ClearCurrentBank());
  EXPECT_EQ(state(Voice(1)), initial);
  banks_.SelectBank(13);
  EXPECT_EQ(banks_.CurrentVoice, &Voice(1));
  for (auto [alias, kept] : {std::pair{"abcdefghijklmnopqr\xC3\xBCz", "abcdefghijklmnopqr"},
                             {"abcdefghijklmnopq\xC3\xBCz", "abcdefghijklmnopq\xC3\xBC"}}) {
    Voice(1).SetAlias(alias);
    EXPECT_EQ(Voice(1).AliasName, kept);
  }
}

// The first bank holding the file is named, before the file is opened; a bank may reload its own file; names compare
// exactly. Voices 13 and 14 check only against each other, and reload a file saved from banks 1..12 under its exact
// name, each in its own file type.
TEST_F(Rules, DuplicateFilesAndTheReloadOfCopies) {
  const std::string wav = PathOf("shared.wav"), pcm = PathOf("shared.pcm");
  Voice(7).FileName = Voice(5).FileName = wav;
  GiveVoice(Voice(3), 1, 8, 20);
  ASSERT_TRUE(Voice(3).SaveUndo("Undo : Echo"));
  const auto before = StateOf(Voice(3));
  EXPECT_FALSE(Voice(3).LoadWavFile(wav));
  EXPECT_EQ(LastMessage(), Text(kInBank, {wav, "5"}));
  EXPECT_EQ(StateOf(Voice(3)), before);  // undo snapshots included
  Voice(7).FileName = Voice(5).FileName = PathOf("SHARED.wav");
  GiveVoice(Voice(0), 1, 8, 40);
  ASSERT_TRUE(Voice(0).SaveWavFile(wav) && Voice(0).SaveRawPcmFile(pcm));
  ASSERT_TRUE(Voice(3).LoadWavFile(wav) && Voice(3).LoadWavFile(wav));
  EXPECT_FALSE(Voice(5).LoadWavFile(wav));
  EXPECT_EQ(LastMessage(), Text(kInBank, {wav, "3"}));
  ASSERT_TRUE(Voice(13).LoadWavFile(wav) && Voice(14).LoadRawPcmFile(pcm, 1, 16));
  EXPECT_FALSE(Voice(14).LoadWavFile(wav));
  EXPECT_EQ(LastMessage(), Text(kInBank, {wav, "13"}));
  GiveVoice(Voice(3), 2, 16, 30);
  ASSERT_TRUE(Voice(3).SaveWavFile(wav) && Voice(3).SaveRawPcmFile(pcm));
  EXPECT_EQ(std::make_tuple(Voice(13).Channels, Voice(14).Channels, Voice(14).BitsPerSample, Bytes(Voice(13))),
            std::make_tuple(2, 1, 16, Bytes(Voice(3))));
  EXPECT_EQ(Bytes(Voice(14)), Bytes(Voice(3)));
  GiveVoice(Voice(0), 1, 8, 12);
  ASSERT_TRUE(Voice(0).SaveWavFile(wav) && Voice(5).SaveWavFile(PathOf("SHARED.wav")));
  EXPECT_FALSE(Voice(5).ReloadCopiesOfFile());
  EXPECT_EQ(Voice(13).END, 30);
}

// "Save" writes the format of the file type to the own file name and drops the undo snapshots; a replaced file keeps
// its permissions and its link.
TEST_F(Rules, SaveByFileType) {
  KPcmFiles& v = Voice(1);
  const std::string voc = PathOf("own.voc"), target = PathOf("target");
  WriteBytes(target, {1});
  std::filesystem::permissions(target, std::filesystem::perms(0640));
  std::filesystem::create_symlink(target, voc);
  GiveVoice(v, 1, 8, 100);
  ASSERT_TRUE(v.SaveVocFile(voc) && v.SaveUndo("Undo : Echo"));
  GiveVoice(v, 2, 16, 50);
  ASSERT_TRUE(v.SaveToOwnFile());
  EXPECT_EQ(ReadBytes(target).size(), 42u + 200);
  EXPECT_EQ(std::make_tuple(std::filesystem::is_symlink(voc), std::filesystem::status(target).permissions()),
            std::make_tuple(true, std::filesystem::perms(0640)));
  EXPECT_EQ(std::make_pair(v.UndoDepth(), v.OverviewStale), std::make_pair(0, false));
}

// A save that fails part-way (at the file-size limit, as on a full disk) or cannot start keeps the old file and the
// voice, undo included, and leaves no temporary file behind. Nor does it replace or write into what is no regular file:
// a FIFO (with a reader, so that a writer would not wait), a folder, a device node and a loop of links stay as they
// were.
TEST_F(Rules, FailedSaveKeepsTheOldFileAndTheVoice) {
  const std::string path = PathOf("old.wav"), fifo = PathOf("fifo"), node = PathOf("null"), loop = PathOf("loop");
  WriteBytes(path, Pattern(300, 7));
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  std::filesystem::create_directory(PathOf("folder"));
  std::filesystem::create_symlink(PathOf("loop2"), loop);
  std::filesystem::create_symlink(loop, PathOf("loop2"));
  const bool ownNode = mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;  // where the system lets us
  KPcmFiles& v = Voice(1);
  GiveVoice(v, 2, 16, 5000);
  ASSERT_TRUE(v.SaveUndo("Undo : Echo"));
  const auto before = std::make_tuple(StateOf(v), ReadBytes(path), FilesIn(dir_.Path()));
  for (const std::string& target : {path, PathOf("missing/a.wav"), fifo, PathOf("folder"), loop, ownNode ? node : fifo})
    for (Kind kind : kKinds) {
      SCOPED_TRACE(target + " " + kName[int(kind)]);
      std::optional<FileSizeLimit> limit;
      if (target == path) limit.emplace(8192);
      EXPECT_FALSE(SaveAs(v, kind, target));
      limit.reset();
      EXPECT_EQ(LastMessage(), Text(kCannotCreate, {target}));
      EXPECT_EQ(std::make_tuple(StateOf(v), ReadBytes(path), FilesIn(dir_.Path())), before);
    }
  char byte;
  EXPECT_LE(read(reader, &byte, 1), 0);  // nothing was written into the FIFO
  close(reader);
  EXPECT_TRUE(std::filesystem::is_fifo(fifo) && std::filesystem::is_directory(PathOf("folder")));
  EXPECT_TRUE(std::filesystem::is_symlink(loop) && std::filesystem::is_symlink(PathOf("loop2")));
  EXPECT_TRUE(!ownNode || std::filesystem::is_character_file(node));
}

// Without a device: a play of a range within 1..END + 1 shows error 6 (an empty voice or range plays nothing), one
// outside it is refused without a word; a recording shows error 9 once (bad arguments none) and leaves the voice.
TEST_F(Rules, PlayAndRecordWithoutADevice) {
  EXPECT_TRUE(Current().PlayRange(1, 1));
  FillMono8(Current(), Pattern(100));
  ASSERT_TRUE(Current().SaveUndo("Undo : Echo"));
  const auto before = StateOf(Current());
  EXPECT_FALSE(Current().RecordVoice(2, 16, 16000, 16000) || Current().RecordVoice(3, 16, 100, 16000));
  EXPECT_EQ(StateOf(Current()), before);
  EXPECT_TRUE(Current().PlayRange(5, 5));
  for (auto [from, to] : {std::pair{6, 5}, {0, 5}, {5, 0}, {-3, 10}, {1, 102}, {101, 200}, {1, 101}, {60, 101}})
    EXPECT_EQ(Current().PlayRange(from, to), false) << from << ".." << to;
  ASSERT_EQ(messages_.size(), 3u);
  EXPECT_EQ(messages_[0].rfind("Error 009 \n\n", 0), 0u);
  EXPECT_EQ(messages_[1], KLoadMessageText(msg::kWaveOutOpen));
  EXPECT_EQ(messages_[2], KLoadMessageText(msg::kWaveOutOpen));
}

}  // namespace
