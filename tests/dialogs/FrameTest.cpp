// What every dialog shares: its title, fixed client size, frame without
// title-bar buttons, logo and product name, plain-text labels, the places of
// its named controls, and the move to the centre of the screen at each show.
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <functional>
#include <memory>
#include <vector>

#include "DialogDriver.h"
#include "dialogs/Dchselb.h"
#include "dialogs/Dchselc.h"
#include "dialogs/Dformat.h"
#include "dialogs/Dlgmsg.h"
#include "dialogs/Dlgstr1.h"
#include "dialogs/Dmergech.h"
#include "dialogs/Dmixer.h"
#include "dialogs/Dprogess.h"
#include "dialogs/Dsplitch.h"

namespace {

struct Place {
  const char* name;
  QRect rect;  // within the control's parent
};

struct DialogCase {
  const char* name;
  std::function<std::unique_ptr<QDialog>()> make;
  QString title;
  QSize size;
  std::vector<Place> places;
};

void PrintTo(const DialogCase& c, std::ostream* os) { *os << c.name; }

template <typename T>
std::function<std::unique_ptr<QDialog>()> Maker() {
  return [] { return std::make_unique<T>(); };
}

std::vector<DialogCase> Cases() {
  return {
      {"TDlgMessage",
       Maker<TDlgMessage>(),
       "Melotrix Message",
       {312, 193},
       {{"MemoMsg", {6, 42, 299, 110}}, {"BitBtnOK", {84, 158, 135, 31}}}},
      {"TDlgString1",
       Maker<TDlgString1>(),
       "Melotrix ",
       {436, 193},
       {{"PanelString", {6, 46, 427, 101}},
        {"EditString", {4, 52, 417, 28}},
        {"BitBtnOK", {32, 158, 135, 31}},
        {"BitBtnCancel", {266, 158, 135, 31}}}},
      {"TDlgChannelSelB",
       Maker<TDlgChannelSelB>(),
       "Dialog channel select (B)",
       {469, 261},
       {{"PanelLines", {4, 46, 461, 83}},
        {"EditLine1", {4, 38, 123, 28}},
        {"PanelSpare", {4, 132, 461, 81}},
        {"BitBtnOK", {60, 220, 136, 33}},
        {"BitBtnCancel", {266, 224, 136, 33}}}},
      {"TDlgChannelSelC",
       Maker<TDlgChannelSelC>(),
       "Dialog channel select C",
       {469, 341},
       {{"PanelLines", {4, 46, 461, 155}},
        {"EditLine1", {6, 38, 123, 28}},
        {"EditLine2", {6, 118, 123, 28}},
        {"PanelSpare", {4, 210, 461, 81}},
        {"BitBtnOK", {62, 300, 136, 33}},
        {"BitBtnCancel", {260, 302, 136, 33}}}},
      {"TDlgMixer",
       Maker<TDlgMixer>(),
       "Mixer",
       {284, 312},
       {{"PanelSources", {6, 44, 269, 213}}, {"BitBtnOK", {6, 266, 121, 33}}, {"BitBtnCancel", {158, 266, 119, 33}}}},
      {"TDlgSplitChannel",
       Maker<TDlgSplitChannel>(),
       "Split channel",
       {341, 271},
       {{"PanelBanks", {4, 42, 329, 177}}, {"BitBtnOK", {4, 228, 136, 33}}, {"BitBtnCancel", {196, 226, 136, 33}}}},
      {"TDlgMergeChannel",
       Maker<TDlgMergeChannel>(),
       "Merge channel",
       {372, 270},
       {{"PanelBanks", {4, 42, 363, 177}}, {"BitBtnOK", {4, 228, 136, 33}}, {"BitBtnCancel", {230, 228, 136, 33}}}},
      {"TDlgVoiceFormat",
       Maker<TDlgVoiceFormat>(),
       "Modify the format of voice",
       {253, 241},
       {{"PanelFormat", {4, 50, 245, 137}}, {"BitBtnOK", {12, 200, 77, 33}}, {"BitBtnCancel", {160, 200, 77, 33}}}},
      {"TDlgProgress",
       Maker<TDlgProgress>(),
       "Progess",
       {297, 160},
       {{"Memo", {8, 56, 281, 49}}, {"ProgressBar", {8, 112, 281, 25}}}},
  };
}

QPoint ScreenCentre(QSize size) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  return {area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2};
}

class DialogFrameTest : public testing::TestWithParam<DialogCase> {};

TEST_P(DialogFrameTest, TitleSizeAndFrame) {
  const DialogCase& c = GetParam();
  const auto dialog = c.make();
  EXPECT_EQ(dialog->objectName(), c.name);
  EXPECT_EQ(dialog->windowTitle(), c.title);
  EXPECT_EQ(dialog->size(), c.size);
  EXPECT_EQ(dialog->minimumSize(), c.size);
  EXPECT_EQ(dialog->maximumSize(), c.size);
  const Qt::WindowFlags flags = dialog->windowFlags();
  EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
  EXPECT_TRUE(flags & Qt::WindowTitleHint);
  EXPECT_FALSE(flags & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint | Qt::WindowSystemMenuHint));
}

TEST_P(DialogFrameTest, LogoAndProductName) {
  const auto dialog = GetParam().make();
  if (auto* logo = Find<QLabel>(*dialog, "ImageLogo")) {
    EXPECT_EQ(logo->geometry(), QRect(4, 4, 32, 32));
    EXPECT_EQ(logo->pixmap().deviceIndependentSize().toSize(), QSize(32, 32));
  }
  if (auto* name = Find<QLabel>(*dialog, "LabelMelotrix")) {
    EXPECT_EQ(name->text(), "Melotrix");
    EXPECT_EQ(name->pos(), QPoint(38, 8));
    EXPECT_EQ(name->font().pixelSize(), 24);
    EXPECT_TRUE(name->font().bold());
    EXPECT_TRUE(name->font().italic());
    EXPECT_EQ(name->palette().color(QPalette::WindowText), QColor(0, 128, 128));
  }
}

TEST_P(DialogFrameTest, EveryLabelIsPlainText) {
  const auto dialog = GetParam().make();
  for (const QLabel* label : dialog->findChildren<QLabel*>())
    EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
}

TEST_P(DialogFrameTest, NamedControlsInPlace) {
  const auto dialog = GetParam().make();
  for (const Place& place : GetParam().places) {
    if (auto* control = Find<QWidget>(*dialog, place.name)) {
      EXPECT_EQ(control->geometry(), place.rect) << place.name;
    }
  }
}

TEST_P(DialogFrameTest, CentredOnEveryShow) {
  const auto dialog = GetParam().make();
  const QPoint centre = ScreenCentre(GetParam().size);
  dialog->show();
  EXPECT_EQ(dialog->pos(), centre);
  dialog->hide();
  dialog->move(3, 5);
  dialog->show();
  EXPECT_EQ(dialog->pos(), centre);
  dialog->hide();
}

INSTANTIATE_TEST_SUITE_P(Dialogs, DialogFrameTest, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<DialogCase>& info) { return std::string(info.param.name); });

}  // namespace
