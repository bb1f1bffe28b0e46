// The user's files: an input cut short or removed during its load, names of
// every odd kind and length, FIFOs, folders, devices and symbolic link loops
// named as input or output, and an MXV alias field without its NUL.
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "FaultFixture.h"

namespace {

using FaultFile = FaultFixture;

TEST_F(FaultFile, AnInputCutShortOrRemovedDuringItsLoad) {
  auto set = MakeSet(swap_);
  const std::string path = PathOf("in.wav");
  // Long enough to be read ahead (4 MB, 16 blocks), so the cut after the first
  // block is met by a read still to come.
  GiveVoice(Voice(0), 2, 16, 1000000);
  ASSERT_TRUE(Voice(0).SaveWavFile(path));
  const std::vector<uint8_t> file = ReadBytes(path);
  GiveVoice(set->Bank(1), 1, 8, 300);
  const auto before = StateOf(set->Bank(1));
  const size_t files = FilesIn(swap_);
  ui_.Arm("Load WAV file", [&] { std::filesystem::resize_file(path, 1000); });
  EXPECT_FALSE(set->Bank(1).LoadWavFile(path));
  EXPECT_EQ(LastMessage(), Text(kNotValid, {path, "WAV"}));
  EXPECT_EQ(StateOf(set->Bank(1)), before);
  EXPECT_EQ(FilesIn(swap_), files);
  // Removed: the open file still holds every byte, so the load completes.
  WriteBytes(path, file);
  ui_.Arm("Load WAV file", [&] { std::filesystem::remove(path); });
  ASSERT_TRUE(set->Bank(1).LoadWavFile(path));
  EXPECT_EQ(Bytes(set->Bank(1)), std::vector<uint8_t>(file.begin() + 44, file.end()));
}

// Each name saves and loads back in every format under exactly that name.
TEST_F(FaultFile, NamesOfEveryKind) {
  std::string deep = dir_.Path();
  for (int k = 0; k < 12; ++k) deep += "/folder-with-a-name-of-thirty-bytes" + std::to_string(k);
  std::filesystem::create_directories(deep);
  const std::vector<std::string> names = {PathOf("with blanks  and\ttab"),
                                          PathOf("\"quoted\" 'single'"),
                                          PathOf("semi;colon;"),
                                          PathOf("new\nline"),
                                          PathOf("-leading-dash"),
                                          PathOf("Stimme \xC3\xA4\xE2\x99\xAB"),
                                          PathOf("bad \xFF\xFE utf-8 \xC3"),
                                          deep + "/voice",
                                          PathOf(std::string(240, 'n'))};
  ASSERT_GT(names[7].size(), 255u);
  // Saved from the copy buffer, whose name the duplicate-file check leaves out.
  GiveVoice(Voice(0), 2, 16, 333);
  for (const std::string& name : names) {
    for (Kind kind : kKinds) {
      SCOPED_TRACE(name + " " + kName[int(kind)]);
      ASSERT_TRUE(SaveAs(Voice(0), kind, name));
      ASSERT_TRUE(LoadAs(Voice(2), kind, name, 2, 16));
      EXPECT_EQ(Voice(2).FileName, name);
      EXPECT_EQ(Bytes(Voice(2)), Bytes(Voice(0)));
    }
  }
  EXPECT_EQ(FilesIn(dir_.Path()), 1u + 1 + names.size() - 1);  // the swap folder, the folders, the files
  // A name longer than a name may be: refused with the message that names it, nothing made.
  const std::string tooLong = PathOf(std::string(300, 'x') + ".wav");
  GiveVoice(Voice(1), 1, 8, 10);
  const auto before = StateOf(Voice(1));
  EXPECT_FALSE(Voice(1).SaveWavFile(tooLong));
  EXPECT_EQ(LastMessage(), Text(kCannotCreate, {tooLong}));
  EXPECT_FALSE(Voice(3).LoadWavFile(tooLong));
  EXPECT_EQ(LastMessage(), Text(kNotValid, {tooLong, "WAV"}));
  EXPECT_EQ(StateOf(Voice(1)), before);
  EXPECT_EQ(FilesIn(dir_.Path()), 1u + 1 + names.size() - 1);
}

// Neither read nor replaced: a FIFO (a load must not wait for a writer), a
// folder, a device and a loop of symbolic links. Each stays what it was.
TEST_F(FaultFile, FifosFoldersDevicesAndLinkLoops) {
  const std::string fifo = PathOf("fifo"), folder = PathOf("folder"), loop = PathOf("loop"), node = PathOf("null");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::create_directory(folder);
  std::filesystem::create_symlink(PathOf("loop2"), loop);
  std::filesystem::create_symlink(loop, PathOf("loop2"));
  // A device node of our own where the system lets us make one, else the system's.
  const bool ownNode = mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  std::vector<std::string> inputs = {fifo, folder, loop, ownNode ? node : "/dev/zero"};
  GiveVoice(Voice(1), 1, 8, 100);
  const auto before = StateOf(Voice(1));
  for (const std::string& path : inputs) {
    for (const KFileFormat& format : FileFormats()) {
      SCOPED_TRACE(path + " " + format.Kind->Name);
      EXPECT_FALSE(format.Load(Voice(2), path));
      EXPECT_EQ(LastMessage(), Text(kNotValid, {path, format.Kind->Name}));
    }
  }
  std::vector<std::string> outputs = {fifo, folder, loop};
  if (ownNode) outputs.push_back(node);
  for (const std::string& path : outputs) {
    for (Kind kind : kKinds) {
      SCOPED_TRACE(path + " " + kName[int(kind)]);
      EXPECT_FALSE(SaveAs(Voice(1), kind, path));
      EXPECT_EQ(LastMessage(), Text(kCannotCreate, {path}));
      EXPECT_EQ(StateOf(Voice(1)), before);
    }
  }
  EXPECT_TRUE(std::filesystem::is_fifo(fifo) && std::filesystem::is_directory(folder));
  EXPECT_TRUE(std::filesystem::is_symlink(loop) && std::filesystem::is_symlink(PathOf("loop2")));
  EXPECT_TRUE(!ownNode || std::filesystem::is_character_file(node));
  EXPECT_EQ(FilesIn(dir_.Path()), 5u + ownNode);  // the swap folder and the four; no temporary file
}

// A 20-byte alias with no NUL ends at the field; the voice keeps 19 characters
// and the samples right after the field are samples, not alias.
TEST_F(FaultFile, AnMxvAliasWithoutItsNul) {
  const std::string path = PathOf("alias.mxv");
  GiveVoice(Voice(0), 1, 8, 64);
  ASSERT_TRUE(Voice(0).SaveMxvFile(path));
  std::vector<uint8_t> file = ReadBytes(path);
  const std::string alias = "ABCDEFGHIJKLMNOPQRST";
  std::copy(alias.begin(), alias.end(), file.begin() + 0x6C);
  WriteBytes(path, file);
  ASSERT_TRUE(Voice(1).LoadMxvFile(path));
  EXPECT_EQ(Voice(1).AliasName, alias.substr(0, 19));
  EXPECT_EQ(Bytes(Voice(1)), Bytes(Voice(0)));
}

}  // namespace
