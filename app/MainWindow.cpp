#include "app/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolButton>

#include "app/FileNames.h"
#include "app/GlyphButton.h"
#include "app/Title.h"
#include "commands/WindowCommands.h"
#include "display/MxVoc.h"
#include "display/paint/Artwork.h"
#include "display/paint/ImageCanvas.h"
#include "sound/SoundLoad.h"
#include "voice/FileFormats.h"

namespace {

constexpr KColour kSilver = 0xC0C0C0;

// A push button of the window at its designed place, its glyph above the
// caption (`above`) or before it.
QPushButton* Button(QWidget* parent, const char* name, const char* caption, const char* hint, QRect at, KGlyph glyph,
                    bool above = true) {
  QPushButton* button = above ? new KGlyphButton(caption, parent) : new QPushButton(caption, parent);
  button->setIcon(GlyphIcon(glyph));
  button->setIconSize(GlyphSize(glyph));
  button->setObjectName(name);
  button->setToolTip(hint);
  button->setGeometry(at);
  button->setFocusPolicy(Qt::TabFocus);
  return button;
}

// A read-only readout field, white on teal.
QLineEdit* Field(QWidget* parent, const char* name, const char* text, const char* hint, QRect at) {
  auto* edit = new QLineEdit(text, parent);
  edit->setObjectName(name);
  edit->setReadOnly(true);
  edit->setToolTip(hint);
  edit->setGeometry(at);
  edit->setAlignment(Qt::AlignCenter);
  edit->setStyleSheet("QLineEdit { color: white; background: teal; }");
  edit->setFocusPolicy(Qt::NoFocus);
  return edit;
}

// The bank button's caption "B3", or "B3*" while the bank holds unsaved
// work (bank 1's is padded as designed, but not beyond what the button
// shows), and its hint.
void NameBankButton(QAbstractButton* button, int bank, bool unsaved) {
  if (unsaved) {
    button->setText(QString("B%1*").arg(bank));
    button->setToolTip(QString("Bank %1: changed since it was loaded or saved").arg(bank));
    return;
  }
  button->setText(bank == 1 ? QString("  B1  ") : QString("B%1").arg(bank));
  button->setToolTip(bank > 1 ? QString("Bank %1").arg(bank) : QString());
}

QWidget* Panel(QWidget* parent, const char* name, QRect at) {
  auto* panel = new QWidget(parent);
  panel->setObjectName(name);
  panel->setGeometry(at);
  return panel;
}

}  // namespace

TFormMain::TFormMain(const std::string& swapFolder, KWaveAudio& audio, QWidget* parent)
    // A window of fixed size: title, system menu, minimise and close, no maximise.
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      dialogs_(this),
      guard_(this),
      hooks_(dialogs_.Progress),
      display_(FromQRgb(QApplication::palette().color(QPalette::Button).rgb())) {
  setObjectName("TFormMain");
  banks_ = std::make_unique<KBankSet>(swapFolder, KMxVoc::Factory(display_), &hooks_, &audio);
  runner_ = std::make_unique<KCommandRunner>(*this, dialogs_);
  context_ = std::make_unique<KCommandContext>(*banks_, *runner_, display_.Options);
  runner_->Attach(*context_);
  runner_->AfterCommand = [this] {
    SyncChecks();
    ShowBankContents();
  };
  runner_->Guard = &guard_;
  hooks_.StopPoll = [this] { return guard_.PollEscape(); };
  hooks_.Notice = [this](const std::string& text) {
    QMessageBox::information(this, kMessageTitle, QString::fromStdString(text));
  };

  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor(ToQRgb(kSilver)));
  setPalette(palette);
  auto* client = new QWidget(this);
  client->setObjectName("ClientArea");
  client->setFixedSize(kClientWidth, kClientHeight - 22);
  BuildBankStrip(client);
  BuildCommandColumn(client);
  BuildWaveformColumn(client);
  setCentralWidget(client);
  BuildStatusBar();
  BuildMenuBar();

  view_ = std::make_unique<KWindowView>(controls_, dialogs_.Message);
  view_->RecordProgress = [this](int percent) { dialogs_.Record.SetProgress(percent); };
  display_.View = view_.get();
  display_.ZoomIn = &zoomIn_->Surface();
  display_.Overview = &overview_->Surface();
  ConnectBoxes();
  SyncChecks();
  setAcceptDrops(true);
  setFixedSize(sizeHint());
}

TFormMain::~TFormMain() {
  // The voices go before the display and the widgets they draw into.
  display_.View = nullptr;
  display_.ZoomIn = display_.Overview = nullptr;
  context_.reset();
  banks_.reset();
}

QAction* TFormMain::Action(const std::string& name) const {
  auto at = actions_.find(name);
  return at == actions_.end() ? nullptr : at->second;
}

QWidget* TFormMain::BuildBankStrip(QWidget* parent) {
  QWidget* strip = Panel(parent, "Panel_W_L", QRect(0, 0, 46, 504));
  QWidget* toolbar = Panel(strip, "ToolBarBank", QRect(0, 0, 46, 504));
  QFont bold = font();
  bold.setBold(true);
  bold.setPointSize(10);
  for (int bank = 1; bank <= 12; ++bank) {
    auto* button = new QToolButton(toolbar);
    button->setObjectName(QString("ToolBtnBank%1").arg(bank));
    NameBankButton(button, bank, false);
    button->setGeometry(2, 2 + (bank - 1) * 39, 41, 39);
    button->setFont(bold);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setIconSize(kBankImageSize);
    button->setIcon(bankIcons_[0]);
    button->setProperty("HoldsVoice", false);
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setProperty("ImageIndex", 0);
    const KCommandId id = BankCommandId(bank);
    connect(button, &QToolButton::clicked, this, [this, id, button] {
      button->setChecked(button->property("ImageIndex").toInt() == 1);
      runner_->Run(id);
    });
    controls_.Banks[size_t(bank - 1)] = button;
  }
  return strip;
}

void TFormMain::ShowBankContents() {
  for (int bank = 1; bank <= 12; ++bank) {
    const bool holds = banks_->Bank(bank).END != 0, unsaved = banks_->Bank(bank).Unsaved();
    QAbstractButton* button = controls_.Banks[size_t(bank - 1)];
    if (button->property("Unsaved").toBool() != unsaved) {
      // A star after the bank's name: work that only the next start would bring back.
      button->setProperty("Unsaved", unsaved);
      NameBankButton(button, bank, unsaved);
    }
    if (button->property("HoldsVoice").toBool() == holds) continue;
    button->setProperty("HoldsVoice", holds);
    button->setIcon(bankIcons_[holds ? 1 : 0]);
  }
}

QWidget* TFormMain::BuildCommandColumn(QWidget* parent) {
  QWidget* column = Panel(parent, "Panel_W_C", QRect(46, 0, 104, 504));
  struct Row {
    const char* Name;
    const char* Caption;
    const char* Hint;
    QRect At;
    KCommandId Runs;
    KGlyph Glyph;
  };
  using C = KCommandId;
  using G = KGlyph;
  const Row rows[] = {
      {"BitBtnCopyMarked", "Copy", "Copy marked area", {4, 6, 96, 33}, C::MenuCopyClick, G::Copy},
      {"BitBtnPasteByInsert",
       "Paste",
       "Paste by insert mode",
       {4, 40, 48, 44},
       C::MenuPasteByInsertClick,
       G::PasteByInsert},
      {"BitBtnPasteByMix", "Paste", "Paste by mix mode", {52, 40, 48, 44}, C::MenuPasteByMixClick, G::PasteByMix},
      {"BitBtnCutMarked", "Cut", "Cut marked area", {4, 94, 48, 44}, C::MenuCutMarkedClick, G::CutMarked},
      {"BitBtnCutUnmarked", "Cut", "Cut unmarked area", {52, 94, 48, 44}, C::MenuCutUnmarkClick, G::CutUnmarked},
      {"BitBtnPlayAll", "Play", "Play entire area", {4, 146, 48, 44}, C::MenuPlayAllClick, G::PlayAll},
      {"BitBtnPlayFLAG", "Play", "Play from FLG position", {52, 146, 48, 44}, C::MenuPlayFLGClick, G::PlayFlg},
      {"BitBtnWaveformResolution",
       "Res",
       "Waveform Resolution",
       {4, 190, 48, 44},
       C::BitBtnWaveformResolutionClick,
       G::Resolution},
      {"BitBtnWaveformMode", "Mode", "Waveform Drawing Mode", {52, 190, 48, 44}, C::BitBtnWaveformModeClick, G::Mode},
      {"BitBtnRecord", "Record", "Record from Line-In or MIC", {4, 240, 95, 38}, C::MenuRecordClick, G::Record},
      {"BitBtnEND", "0.0000 Sec", "The length of entire voice", {4, 364, 96, 34}, C::MenuGotoENDClick, G::End},
      {"BitBtnMKL", "0.0000 Sec", "The position of marked-left", {4, 398, 96, 34}, C::MenuGotoMKLClick, G::Mkl},
      {"BitBtnMKR", "0.0000 Sec", "The position of marked-right", {4, 432, 96, 34}, C::MenuGotoMKRClick, G::Mkr},
      {"BitBtnFLG", "0.0000 Sec", "The position of FLG", {4, 466, 96, 34}, C::MenuGotoFLGClick, G::Flg},
  };
  for (const Row& row : rows) {
    QPushButton* button = Button(column, row.Name, row.Caption, row.Hint, row.At, row.Glyph);
    connect(button, &QPushButton::clicked, this, [this, id = row.Runs] { runner_->Run(id); });
    const std::string name = row.Name;
    if (name == "BitBtnEND") controls_.End = button;
    if (name == "BitBtnMKL") controls_.Mkl = button;
    if (name == "BitBtnMKR") controls_.Mkr = button;
    if (name == "BitBtnFLG") controls_.Flg = button;
  }
  controls_.VoiceInfo = Field(column, "EditVoiceInfo", "Ch 1 :: Bit 8", "Channel and bits", QRect(8, 284, 88, 21));
  controls_.VoiceInfo->setCursor(Qt::PointingHandCursor);
  controls_.VoiceInfo->installEventFilter(this);
  voiceInfo_ = controls_.VoiceInfo;
  controls_.SampleRate = Field(column, "EditSR", "16000 Hz", "Sample Rate (Hz)", QRect(8, 304, 88, 21));
  rateBar_ = new QScrollBar(Qt::Horizontal, column);
  rateBar_->setObjectName("ScrollBarSR");
  rateBar_->setToolTip("Sample Rate adjuster");
  rateBar_->setGeometry(8, 326, 88, 17);
  rateBar_->setRange(2100, 44100);
  rateBar_->setSingleStep(25);
  rateBar_->setPageStep(1000);
  rateBar_->setValue(16000);
  connect(rateBar_, &QScrollBar::valueChanged, this, [this](int position) {
    KCommandInput input;
    input.ScrollPosition = position;
    runner_->Run(KCommandId::ScrollBarSRChange, input);
  });
  return column;
}

QWidget* TFormMain::BuildWaveformColumn(QWidget* parent) {
  QWidget* column = Panel(parent, "Panel_W_R", QRect(150, 0, 643, 504));
  const KColour panel = FromQRgb(QApplication::palette().color(QPalette::Window).rgb());
  QWidget* upper = Panel(column, "Panel_W_R_U", QRect(0, 0, 643, 292));
  zoomIn_ = new KPaintBox("PaintBoxZI", KDisplay::kBoxWidth, KDisplay::kZoomInHeight, panel, upper);
  QWidget* middle = Panel(column, "Panel_W_R_M", QRect(0, 292, 643, 32));
  QPushButton* play =
      Button(middle, "BitBtnPlayMarked", "Play", "Play marked area", QRect(4, 2, 131, 28), KGlyph::PlayMarked, false);
  connect(play, &QPushButton::clicked, this, [this] { runner_->Run(KCommandId::MenuPlayMarkedClick); });
  play->setFocus();
  QWidget* shifter = Panel(middle, "UpDownWaveformShifter", QRect(178, 2, 261, 28));
  shifter->setToolTip("Waveform Shifter");
  for (int direction : {-1, +1}) {
    auto* arrow = new QToolButton(shifter);
    arrow->setObjectName(direction < 0 ? "UpDownWaveformShifterPrevious" : "UpDownWaveformShifterNext");
    arrow->setArrowType(direction < 0 ? Qt::LeftArrow : Qt::RightArrow);
    arrow->setGeometry(direction < 0 ? 0 : 131, 0, 130, 28);
    arrow->setFocusPolicy(Qt::NoFocus);
    connect(arrow, &QToolButton::clicked, this, [this, direction] {
      // The up-down wraps at both ends, so it never blocks.
      shifterPosition_ = direction < 0 ? (shifterPosition_ == 0 ? 32767 : shifterPosition_ - 1)
                                       : (shifterPosition_ == 32767 ? 0 : shifterPosition_ + 1);
      if (banks_->CurrentVoice && Current().ShiftWaveform(direction)) banks_->JournalChanges();
    });
  }
  QPushButton* marked = Button(middle, "BitBtnMRK", "0.0000 Sec", "The length of marked area", QRect(476, 2, 165, 28),
                               KGlyph::Marked, false);
  connect(marked, &QPushButton::clicked, this, [this] { runner_->Run(KCommandId::MenuMarkAllClick); });
  controls_.Mrk = marked;
  QWidget* lower = Panel(column, "Panel_W_R_D", QRect(0, 324, 643, 180));
  overview_ = new KPaintBox("PaintBoxZO", KDisplay::kBoxWidth, KDisplay::kOverviewHeight, panel, lower);
  return column;
}

void TFormMain::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName("StatusBar");
  bar->setSizeGripEnabled(false);
  bar->setFixedHeight(22);
  bar->setCursor(Qt::PointingHandCursor);
  bar->setToolTip("Filename and Aliasname and Voice length");
  const char* texts[] = {"File = ", "Alias = ", "Byte = "};
  const int widths[] = {kFilePanelWidth, kAliasPanelWidth, kLengthPanelWidth};
  for (int k = 0; k < 3; ++k) {
    auto* panel = new QLabel(texts[k], bar);
    panel->setObjectName(QString("StatusBarPanel%1").arg(k));
    panel->setTextFormat(Qt::PlainText);
    // The last panel takes the rest of the bar, as wide as its text needs.
    if (k < 2)
      panel->setFixedWidth(widths[k]);
    else
      panel->setMinimumWidth(widths[k]);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->installEventFilter(this);
    bar->addWidget(panel, k == 2 ? 1 : 0);
    controls_.Panels[size_t(k)] = panel;
  }
  bar->installEventFilter(this);
}

void TFormMain::ConnectBoxes() {
  zoomIn_->Redraw = [this] {
    if (banks_->CurrentVoice) Current().PaintZoomIn();
  };
  overview_->Redraw = [this] {
    if (banks_->CurrentVoice) Current().PaintOverview();
  };
  zoomIn_->Pressed = [this](Qt::MouseButton button, int x, int y) {
    if (!banks_->CurrentVoice) return;
    const KCommandId ids[] = {KCommandId::PaintBoxZIMouseDownLeft, KCommandId::PaintBoxZIMouseDownRight,
                              KCommandId::PaintBoxZIMouseDownMiddle};
    const int index = button == Qt::LeftButton     ? 0
                      : button == Qt::RightButton  ? 1
                      : button == Qt::MiddleButton ? 2
                                                   : -1;
    const std::optional<int32_t> position = Current().ZoomInPositionAt(x, y);
    if (index < 0 || !position) return;
    KCommandInput input;
    input.SamplePosition = *position;
    runner_->Run(ids[index], input);
  };
  overview_->Pressed = [this](Qt::MouseButton button, int x, int y) {
    if (banks_->CurrentVoice &&
        Current().OverviewClick(button == Qt::LeftButton ? KPointerButton::Left : KPointerButton::Right, x, y))
      banks_->JournalChanges();
  };
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    const auto* press = static_cast<QMouseEvent*>(event);
    if (watched == voiceInfo_) {
      runner_->Run(KCommandId::MenuTranslateVoiceFormatClick);
      return true;
    }
    if (auto* widget = qobject_cast<QWidget*>(watched);
        widget && (widget == statusBar() || widget->parent() == statusBar())) {
      // X counts from the left edge of the first panel, as the panel widths do.
      const int x = widget->mapTo(statusBar(), press->position().toPoint()).x() - controls_.Panels[0]->x();
      if (InAliasPanel(x)) runner_->Run(KCommandId::StatusBarMouseDown);
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TFormMain::closeEvent(QCloseEvent* event) {
  // A close while a command runs ends the program once the command has returned.
  if (runner_->Busy()) {
    event->ignore();
    runner_->RequestQuit();
    return;
  }
  event->accept();
}

bool TFormMain::LoadFile(const std::string& path) {
  if (!banks_->CurrentVoice) return false;
  // A file no voice loader takes as it is goes to the import: a sound file
  // libsndfile reads opens its dialog, any other is told why it cannot be
  // read. Only a file of a voice format that neither reads gets the loader's message.
  if (!OwnLoader(path) && (!FormatOf(path) || KSoundFile(path).IsOpen())) return runner_->Import(path);
  const size_t dot = path.rfind('.');
  const KFileFormat* format =
      dot == std::string::npos ? nullptr : FileFormatByExtension(std::string_view(path).substr(dot + 1));
  if (!format || format->Raw()) return false;
  const KCommandId ids[] = {KCommandId::MenuLoadMXVClick, KCommandId::MenuLoadWAVClick, KCommandId::MenuLoadVOCClick};
  const KCommandId id = format->Type == KFileType::Mxv ? ids[0] : format->Type == KFileType::Wav ? ids[1] : ids[2];
  KCommandInput input;
  input.Path = path;
  return runner_->Run(id, input);
}

void TFormMain::OpenFile(const std::string& path) {
  runner_->WhenIdle([this, path] { LoadFile(path); });
}

void TFormMain::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TFormMain::dropEvent(QDropEvent* event) {
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) OpenFile(UrlFileName(url));
  event->acceptProposedAction();
}
