// The user's own files: colour settings, the OEM store, the file types.
#include <QImage>
#include <QStandardPaths>
#include <array>
#include <map>

#include "AppFixture.h"
#include "app/FileTypes.h"
#include "app/Settings.h"

namespace {

using S = KColourSlot;
constexpr KColour kFace = 0xC0C0C0;

std::array<KColour, KColourScheme::kSlots> Colours(const KColourScheme& scheme) {
  std::array<KColour, KColourScheme::kSlots> colours{};
  for (size_t i = 0; i < colours.size(); ++i) colours[i] = scheme.Get(KColourScheme::Slots()[i].Slot);
  return colours;
}

void WriteFile(const QString& path, const QByteArray& text) {
  QDir().mkpath(QFileInfo(path).path());
  std::ofstream(path.toStdString()) << text.toStdString();
}

QByteArray ReadFile(const QString& path) { return QByteArray::fromStdString(Contents(path.toStdString())); }

// The files' folders follow the XDG variables; saved colours come back; the
// folder is made when missing, and a file that cannot be written is reported.
TEST(Settings, SavedColoursComeBackFromTheXdgFolder) {
  KDesktop desktop;
  EXPECT_EQ(SettingsFilePath(), desktop.Path("config/DRN/Melotrix.INI"));
  EXPECT_EQ(OemFilePath(), desktop.Path("config/DRN/RkmSeries.INI"));
  EXPECT_EQ(DataHome(), desktop.Path("data"));
  for (const char* value : {"", "relative/folder"}) {
    KEnvironmentValue config("XDG_CONFIG_HOME", value), data("XDG_DATA_HOME", value), dirs("XDG_DATA_DIRS", value);
    EXPECT_EQ(SettingsFilePath(), desktop.Path("home/.config/DRN/Melotrix.INI")) << value;
    EXPECT_EQ(DataHome(), desktop.Path("home/.local/share")) << value;
    EXPECT_EQ(DataDirs(), QStringList({"/usr/local/share", "/usr/share"})) << value;
  }
  KEnvironmentValue dirs("XDG_DATA_DIRS", "/opt/a/:relative::/usr/share");
  EXPECT_EQ(DataDirs(), QStringList({"/opt/a", "/usr/share"}));
  ASSERT_FALSE(QFileInfo::exists(SettingsFolder()));
  KColourScheme before(kFace);
  for (size_t i = 0; i < KColourScheme::kSlots; ++i)
    before.Set(KColourScheme::Slots()[i].Slot, KColour(0x100000 + 0x010101 * i));
  ASSERT_TRUE(SaveColours(before).Ok);
  KColourScheme after(0x123456);
  LoadColours(after);
  EXPECT_EQ(Colours(after), Colours(before));
  EXPECT_TRUE(ReadFile(SettingsFilePath()).startsWith("[System]\nVersion 6 ID=536875043\n\n[Color]\nZI_BackGnd="));
  // Another program's keys stay; the key as earlier versions escaped it gives way to the plain one.
  WriteFile(SettingsFilePath(), "; note\n[System]\nVersion%206%20ID=1\nOther=x\n[Mine]\nA B=1\n");
  ASSERT_TRUE(SaveColours(before).Ok);
  EXPECT_TRUE(
      ReadFile(SettingsFilePath())
          .startsWith("; note\n[System]\nOther=x\nVersion 6 ID=536875043\n[Mine]\nA B=1\n\n[Color]\nZI_BackGnd="));
  WriteFile(desktop.Path("plain"), "not a folder");
  const KStatus status = SaveColours(before, desktop.Path("plain/Melotrix.INI"));
  EXPECT_FALSE(status.Ok);
  EXPECT_NE(status.Message.find("plain/Melotrix.INI"), std::string::npos);
}

// Only under this version: a missing key is black, a value that is no colour
// from 0 to 0xFFFFFF keeps the default.
TEST(Settings, LoadingTakesOnlyColoursOfThisVersion) {
  constexpr KColour kDefault = 0xFFFFFFFF;
  const std::map<std::string, std::pair<const char*, KColour>> special = {
      {"ZI_BackGnd", {nullptr, 0}},     {"ZO_LUnmark", {nullptr, 0}},           {"ZI_Border", {"12a", kDefault}},
      {"ZI_LUnmark", {"-1", kDefault}}, {"ZI_RUnmark", {"16777216", kDefault}}, {"ZO_ScaleGrid", {"1,2", kDefault}},
      {"ZO_RCursor", {"", kDefault}},   {"ZO_BackGnd", {"16777215", 0xFFFFFF}}, {"ZO_Border", {" 77 ", 77}}};
  const KColourScheme fresh(kFace);
  // The version key as written by hand, and with its blanks escaped as earlier versions wrote it.
  for (const auto& [key, version] : {std::pair<QByteArray, QByteArray>{"Version 6 ID", "536875043"},
                                     {"Version%206%20ID", "536875043"},
                                     {"Version 6 ID", "536875042"},
                                     {"Version 6 ID", "0x20001023"},
                                     {"Version6ID", "536875043"},
                                     {"", ""}}) {
    KDesktop desktop;
    QByteArray text = "[System]\n" + key + "=" + version + "\n[Color]\n";
    KColourScheme scheme(kFace), expected(kFace);
    for (const KColourSlotInfo& slot : KColourScheme::Slots()) {
      const auto found = special.find(slot.Key);
      const auto [stored, colour] = found == special.end() ? std::pair{"66051", KColour(0x010203)} : found->second;
      if (stored) text += QByteArray(slot.Key) + "=" + stored + "\n";
      if (version == "536875043" && key != "Version6ID")
        expected.Set(slot.Slot, colour == kDefault ? fresh.Get(slot.Slot) : colour);
      scheme.Set(slot.Slot, 0x00FF00);
    }
    if (!version.isEmpty()) WriteFile(SettingsFilePath(), text);
    LoadColours(scheme);
    EXPECT_EQ(Colours(scheme), Colours(expected)) << key.toStdString() << "=" << version.toStdString();
  }
}

// The agent name follows the prefix in the OEM store's key, up to a "*", cut
// to 31 characters; "DRN" without a name, the key or a readable store.
TEST(AgentName, FollowsThePrefixUpToAStar) {
  const QString clef = QString::fromUcs4(U"\U0001D11E"), umlaut(1, QChar(0x00C4));
  const std::pair<QString, QString> cases[] = {
      {"", "DRN"},
      {"DrnRkmSeriesAgentName_DRN*****************************", "DRN"},
      {"\t DrnRkmSeriesAgentName_Name with blanks *", "Name with blanks "},
      {"x DrnRkmSeriesAgentName_ACME", "DRN"},
      {"DrnRkmSeriesAgentName_", "DRN"},
      {"DrnRkmSeriesAgentName_*ACME", "DRN"},
      {"drnrkmseriesagentname_ACME", "DRN"},
      {"DrnRkmSeriesAgentName_" + QString(40, u'x'), QString(31, u'x')},
      {"DrnRkmSeriesAgentName_" + umlaut.repeated(40), umlaut.repeated(31)},
      {"DrnRkmSeriesAgentName_" + clef.repeated(40), clef.repeated(31)},
  };
  for (const auto& [text, name] : cases) EXPECT_EQ(ScanAgentName(text), name) << text.toStdString();
  // The store is read as the raw text of the line, so that a comma stays in the name.
  KDesktop desktop;
  EXPECT_EQ(ReadAgentName(), "DRN");
  for (auto [stored, name] :
       {std::pair{"[Other]\nAgentName=DrnRkmSeriesAgentName_ACME\n[OemInfo]\nAgent=1\n", "DRN"},
        {"[OemInfo]\nAgentName=  DrnRkmSeriesAgentName_ACME*\n", "ACME"},
        {"[OemInfo]\nAgentName=DrnRkmSeriesAgentName_Smith, Jones & Co\n", "Smith, Jones & Co"},
        {"[OemInfo]\nAgentName=\"DrnRkmSeriesAgentName_A,B\"\n", "A,B"}}) {  // quoted, as QSettings writes it
    WriteFile(OemFilePath(), stored);
    EXPECT_EQ(ReadAgentName(), name) << stored;
  }
  QDir().mkpath(OemFilePath() + "/folder");
  EXPECT_EQ(ReadAgentName(OemFilePath() + "/folder"), "DRN");
}

QByteArray EntryValue(const QByteArray& entry, const QByteArray& key) {
  for (const QByteArray& line : entry.split('\n'))
    if (line.startsWith(key + "=")) return line.mid(key.size() + 1);
  return QByteArray();
}

// A failure is reported but the rest is done; the MIME database is rebuilt;
// a later registration rewrites the entry that changed.
TEST(FileTypes, RegistrationWritesTheTypeTheEntryAndTheIcon) {
  KDesktop desktop;
  const KFileTypeFiles files = FileTypeFiles(DataHome());
  {
    KEnvironmentValue path("PATH", "");  // without the tool
    EXPECT_FALSE(KAddToWin32RegKey("/opt/new\nline/melotrix").Ok);
    EXPECT_EQ(std::make_tuple(QFileInfo::exists(files.MimePackage), QFileInfo::exists(files.Icon),
                              QFileInfo::exists(files.DesktopEntry)),
              std::make_tuple(true, true, false));
  }
  // Exec holds the path as one quoted argument, escaped as an entry string.
  ASSERT_TRUE(KAddToWin32RegKey("/opt/Melotrix Apps/a$b/\"q\"/back\\slash/100%/`x`/melotrix").Ok);
  const QByteArray entry = ReadFile(files.DesktopEntry);
  EXPECT_EQ(EntryValue(entry, "Exec"),
            "\"/opt/Melotrix Apps/a\\\\$b/\\\\\"q\\\\\"/back\\\\\\\\slash/100%%/\\\\`x\\\\`/melotrix\" %f");
  EXPECT_EQ(EntryValue(entry, "TryExec"), "/opt/Melotrix Apps/a$b/\"q\"/back\\\\slash/100%/`x`/melotrix");
  // Every type the entry opens is defined once: by the package where the
  // system's database lacks it (as it lacks MXV), else by the database.
  const QByteArray system = ReadFile("/usr/share/mime/packages/freedesktop.org.xml");
  const QByteArray package = ReadFile(files.MimePackage);
  const QByteArray type = "application/x-melotrix-mxv";
  EXPECT_TRUE(EntryValue(entry, "MimeType").startsWith(type + ";"));
  for (const QByteArray& listed : EntryValue(entry, "MimeType").chopped(1).split(';')) {
    const QByteArray defined = "<mime-type type=\"" + listed + "\"";
    EXPECT_NE(package.contains(defined), system.contains(defined)) << listed.toStdString();
  }
  const QImage icon(files.Icon);
  EXPECT_EQ(icon.size(), QSize(256, 256));
  EXPECT_EQ(std::make_pair(icon.pixelColor(0, 0).alpha(), icon.pixelColor(128, 40).alpha()), std::make_pair(0, 255));
  if (!QStandardPaths::findExecutable("update-mime-database").isEmpty()) {
    EXPECT_TRUE(ReadFile(desktop.Path("data/mime/globs2")).contains(":" + type + ":*.mxv"));
    EXPECT_TRUE(ReadFile(desktop.Path("data/mime/magic")).contains("Melotrix Format"));
  }
  WriteFile(files.DesktopEntry, "[Desktop Entry]\nExec=/somewhere/else\n");
  ASSERT_TRUE(KAddToWin32RegKey("/usr/local/bin/melotrix").Ok);
  EXPECT_EQ(EntryValue(ReadFile(files.DesktopEntry), "Exec"), "\"/usr/local/bin/melotrix\" %f");
  WriteFile(desktop.Path("plain"), "");
  EXPECT_FALSE(KAddToWin32RegKey("/usr/bin/melotrix", desktop.Path("plain")).Ok);
}

// Registration leaves the user's files alone when the system's data folders
// installed this program with its entry and MIME package, or hold an entry
// of another program that a per-user one would hide, or when the per-user
// entry starts another program. An entry of a program that is gone counts
// for nothing; our own per-user entry is rewritten. "@" is the test's folder;
// a per-user Exec "=name" is the entry registration writes for program "name".
TEST(FileTypes, RegistrationLeavesOtherProgramsAndInstalledEntriesAlone) {
  struct Row {
    const char* System;  // the installed entry's Exec, "" for none
    bool Package;        // the MIME package beside it
    const char* User;    // the per-user entry's Exec, "" for none
    const char* Program;
    bool Written;
  };
  const Row rows[] = {
      {"", false, "", "build", true},
      {"melotrix %f", true, "", "bin", false},
      {"melotrix %f", false, "", "bin", true},
      {"melotrix %f", true, "", "build", false},
      {"@/gone/melotrix %f", true, "", "build", true},
      {"", false, "=bin", "build", false},
      {"", false, "=odd $\"q\"\\ 100%`x`", "build", false},
      {"", false, "melotrix", "build", false},
      {"", false, "=build", "build", true},
      {"", false, "\"@/linked/melotrix\" %f", "bin", true},
      {"", false, "=odd $\"q\"\\ 100%`x`", "odd $\"q\"\\ 100%`x`", true},
      {"", false, "\"@/gone/melotrix\" %f", "build", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.System) + "|" + row.User);
    KDesktop desktop;
    const QString root = desktop.Path("");
    auto at = [&root](const char* text) { return QString(text).replace("@", root.chopped(1)); };
    auto program = [&root](const char* folder) { return root + folder + "/melotrix"; };
    for (const char* folder : {"bin", "build", "odd $\"q\"\\ 100%`x`"}) {
      WriteFile(program(folder), "#!/bin/sh\n");
      QFile::setPermissions(program(folder), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QFile::link(root + "bin", root + "linked");
    KEnvironmentValue path("PATH", (root + "bin").toStdString());
    KEnvironmentValue dirs("XDG_DATA_DIRS", (root + "none:" + root + "share").toStdString());
    auto entry = [&at](const char* exec) { return "[Desktop Entry]\nExec=" + at(exec).toUtf8() + "\n"; };
    if (*row.System) WriteFile(root + "share/applications/melotrix.desktop", entry(row.System));
    if (row.Package) WriteFile(root + "share/mime/packages/melotrix-mxv.xml", MimePackageText());
    const KFileTypeFiles files = FileTypeFiles(DataHome());
    const QByteArray before = *row.User == '=' ? DesktopEntryText(program(row.User + 1))
                              : *row.User      ? entry(row.User)
                                               : QByteArray();
    if (!before.isEmpty()) WriteFile(files.DesktopEntry, before);

    EXPECT_TRUE(KAddToWin32RegKey(program(row.Program)).Ok);
    const QByteArray after = ReadFile(files.DesktopEntry);
    EXPECT_EQ(after, row.Written ? DesktopEntryText(program(row.Program)) : before);
    EXPECT_EQ(QFileInfo::exists(files.MimePackage), row.Written);
  }
}

}  // namespace
