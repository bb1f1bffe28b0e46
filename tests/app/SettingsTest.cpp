#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <array>

#include "XdgFolders.h"
#include "app/Settings.h"
#include "app/Title.h"

namespace {

using S = KColourSlot;
constexpr KColour kFace = 0xC0C0C0;

std::array<KColour, KColourScheme::kSlots> Colours(const KColourScheme& scheme) {
  std::array<KColour, KColourScheme::kSlots> colours{};
  for (size_t i = 0; i < colours.size(); ++i) colours[i] = scheme.Get(KColourScheme::Slots()[i].Slot);
  return colours;
}

const std::array<KColour, KColourScheme::kSlots> kDefaults = Colours(KColourScheme(kFace));

void WriteFile(const QString& path, const QByteArray& text) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text);
}

// A settings file with the right version and every colour key set to 0x010203.
QByteArray AllColours(const QByteArray& extraColourLines = {}) {
  QByteArray text = "[System]\nVersion 6 ID=536875043\n[Color]\n" + extraColourLines;
  for (const KColourSlotInfo& slot : KColourScheme::Slots()) text += QByteArray(slot.Key) + "=66051\n";
  return text;
}

class SettingsTest : public testing::Test {
 protected:
  KXdgFolders xdg_;
  QString path_ = SettingsFilePath();
};

TEST_F(SettingsTest, FilesLiveInTheDrnFolderOfTheConfigHome) {
  EXPECT_EQ(SettingsFilePath(), xdg_.Config() + "/DRN/Melotrix.INI");
  EXPECT_EQ(OemFilePath(), xdg_.Config() + "/DRN/RkmSeries.INI");
  TempDir home;
  KEnvironmentValue homeValue("HOME", home.Path());
  KEnvironmentValue unset("XDG_CONFIG_HOME", "");
  EXPECT_EQ(SettingsFilePath(), QString::fromStdString(home.Path()) + "/.config/DRN/Melotrix.INI");
}

TEST_F(SettingsTest, SavedColoursComeBackAfterARestart) {
  KColourScheme before(kFace);
  for (size_t i = 0; i < KColourScheme::kSlots; ++i)
    before.Set(KColourScheme::Slots()[i].Slot, KColour(0x100000 + 0x010101 * i));
  ASSERT_TRUE(SaveColours(before).Ok);

  KColourScheme after(0x123456);
  LoadColours(after);
  EXPECT_EQ(Colours(after), Colours(before));

  QSettings written(path_, QSettings::IniFormat);
  EXPECT_EQ(written.value("System/Version 6 ID").toString(), "536875043");
  EXPECT_EQ(written.value("Color/ZI_BackGnd").toString(), QString::number(0x100000));
  EXPECT_EQ(written.value("Color/ZO_RCursor").toString(), QString::number(0x100000 + 0x010101 * 19));
}

TEST_F(SettingsTest, NoFileOrAnotherVersionGivesTheDefaults) {
  KColourScheme scheme(kFace);
  scheme.Set(S::ZI_Border, 0x00FF00);
  LoadColours(scheme);
  EXPECT_EQ(Colours(scheme), kDefaults);

  QByteArray text = AllColours();
  text.replace("536875043", "536875042");
  WriteFile(path_, text);
  scheme.Set(S::ZO_MuteLine, 0x00FF00);
  LoadColours(scheme);
  EXPECT_EQ(Colours(scheme), kDefaults);
}

TEST_F(SettingsTest, AVersionThatIsNoNumberGivesTheDefaults) {
  QByteArray text = AllColours();
  text.replace("536875043", "0x20001023");
  WriteFile(path_, text);
  KColourScheme scheme(kFace);
  LoadColours(scheme);
  EXPECT_EQ(Colours(scheme), kDefaults);
}

TEST_F(SettingsTest, TheNextSaveOverwritesAnotherVersion) {
  QByteArray text = AllColours();
  text.replace("536875043", "7");
  WriteFile(path_, text);
  KColourScheme scheme(kFace);
  LoadColours(scheme);
  scheme.Set(S::ZI_LMarked, 0x00AA00);
  ASSERT_TRUE(SaveColours(scheme).Ok);

  KColourScheme again(kFace);
  LoadColours(again);
  EXPECT_EQ(again.Get(S::ZI_LMarked), 0x00AA00u);
  EXPECT_EQ(again.Get(S::ZO_LMarked), kDefaults[size_t(S::ZO_LMarked)]);
}

TEST_F(SettingsTest, AMissingKeyUnderTheRightVersionIsBlack) {
  QByteArray text = AllColours();
  text.replace("ZI_BackGnd=66051\n", "");
  text.replace("ZO_LUnmark=66051\n", "");
  WriteFile(path_, text);
  KColourScheme scheme(kFace);
  LoadColours(scheme);
  for (size_t i = 0; i < KColourScheme::kSlots; ++i) {
    const S slot = KColourScheme::Slots()[i].Slot;
    const KColour expected = slot == S::ZI_BackGnd || slot == S::ZO_LUnmark ? 0x000000 : 0x010203;
    EXPECT_EQ(scheme.Get(slot), expected) << KColourScheme::Slots()[i].Key;
  }
}

TEST_F(SettingsTest, AValueThatIsNoColourKeepsTheDefault) {
  QByteArray text = AllColours();
  text.replace("ZI_Border=66051", "ZI_Border=12a");
  text.replace("ZI_LUnmark=66051", "ZI_LUnmark=-1");
  text.replace("ZI_RUnmark=66051", "ZI_RUnmark=16777216");
  text.replace("ZO_ScaleGrid=66051", "ZO_ScaleGrid=1,2");
  text.replace("ZO_RCursor=66051", "ZO_RCursor=");
  text.replace("ZO_BackGnd=66051", "ZO_BackGnd=16777215");
  text.replace("ZO_Border=66051", "ZO_Border= 77 ");
  WriteFile(path_, text);
  KColourScheme scheme(kFace);
  LoadColours(scheme);
  for (S slot : {S::ZI_Border, S::ZI_LUnmark, S::ZI_RUnmark, S::ZO_ScaleGrid, S::ZO_RCursor})
    EXPECT_EQ(scheme.Get(slot), kDefaults[size_t(slot)]) << int(slot);
  EXPECT_EQ(scheme.Get(S::ZO_BackGnd), 0xFFFFFFu);
  EXPECT_EQ(scheme.Get(S::ZO_Border), 77u);
  EXPECT_EQ(scheme.Get(S::ZI_MuteLine), 0x010203u);
}

TEST_F(SettingsTest, SavingCreatesTheFolderAndReportsAFileItCannotWrite) {
  ASSERT_FALSE(QFileInfo::exists(SettingsFolder()));
  EXPECT_TRUE(SaveColours(KColourScheme(kFace)).Ok);
  EXPECT_TRUE(QFileInfo(path_).isFile());

  WriteFile(xdg_.Config() + "/plain", "not a folder");
  const KStatus status = SaveColours(KColourScheme(kFace), xdg_.Config() + "/plain/Melotrix.INI");
  EXPECT_FALSE(status.Ok);
  EXPECT_NE(status.Message.find("plain/Melotrix.INI"), std::string::npos);
}

class AgentNameTest : public testing::Test {
 protected:
  QString ReadStored(const QByteArray& value) {
    WriteFile(OemFilePath(), "[OemInfo]\nAgentName=" + value + "\n");
    return ReadAgentName();
  }
  KXdgFolders xdg_;
};

TEST_F(AgentNameTest, WithoutAStoreOrKeyTheNameIsDrn) {
  EXPECT_EQ(ReadAgentName(), "DRN");
  EXPECT_EQ(MainWindowTitle(ReadAgentName()), "DRN Melotrix 7E (R7)");
  WriteFile(OemFilePath(), "[Other]\nAgentName=DrnRkmSeriesAgentName_ACME\n[OemInfo]\nAgent=1\n");
  EXPECT_EQ(ReadAgentName(), "DRN");
  QDir().mkpath(OemFilePath() + "/folder");  // a store that cannot be read
  EXPECT_EQ(ReadAgentName(OemFilePath() + "/folder"), "DRN");
}

TEST_F(AgentNameTest, ANameAfterThePrefixMakesTheTitle) {
  EXPECT_EQ(ReadStored("DrnRkmSeriesAgentName_ACME"), "ACME");
  EXPECT_EQ(MainWindowTitle("ACME"), "ACME Melotrix 7E (R7)");
  EXPECT_EQ(ReadStored("ACME"), "DRN");
  EXPECT_EQ(ReadStored("  DrnRkmSeriesAgentName_ACME*****"), "ACME");
  EXPECT_EQ(ReadStored("DrnRkmSeriesAgentName_"), "DRN");
  EXPECT_EQ(ReadStored("DrnRkmSeriesAgentName_*ACME"), "DRN");
  EXPECT_EQ(ReadStored("drnrkmseriesagentname_ACME"), "DRN");
}

TEST_F(AgentNameTest, ALongNameIsCutTo31Characters) {
  EXPECT_EQ(ReadStored("DrnRkmSeriesAgentName_" + QByteArray(40, 'x')), QString(31, u'x'));
  const QString umlauts(40, QChar(0x00C4));
  EXPECT_EQ(ReadStored("DrnRkmSeriesAgentName_" + umlauts.toUtf8()), umlauts.left(31));
  const QString clef = QString::fromUcs4(U"\U0001D11E");
  EXPECT_EQ(ReadStored("DrnRkmSeriesAgentName_" + clef.repeated(40).toUtf8()), clef.repeated(31));
}

TEST_F(AgentNameTest, ANameWithACommaStaysWhole) {
  EXPECT_EQ(ReadStored("DrnRkmSeriesAgentName_Smith, Jones & Co"), "Smith, Jones & Co");
  // As QSettings itself stores such a text: in quotes.
  {
    QSettings store(OemFilePath(), QSettings::IniFormat);
    store.setValue("OemInfo/AgentName", "DrnRkmSeriesAgentName_A,B");
  }
  EXPECT_EQ(ReadAgentName(), "A,B");
}

TEST(AgentNameScan, FollowsTheScanPattern) {
  EXPECT_EQ(ScanAgentName(""), "DRN");
  EXPECT_EQ(ScanAgentName("DrnRkmSeriesAgentName_DRN*****************************"), "DRN");
  EXPECT_EQ(ScanAgentName("\t DrnRkmSeriesAgentName_Name with blanks *"), "Name with blanks ");
  EXPECT_EQ(ScanAgentName("x DrnRkmSeriesAgentName_ACME"), "DRN");
}

}  // namespace
