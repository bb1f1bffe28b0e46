#include "app/CommandRunner.h"

#include <QApplication>
#include <QFileDialog>

#include "app/FileNames.h"
#include "commands/PromptChecks.h"
#include "commands/TextReading.h"
#include "commands/WindowCommands.h"
#include "display/PcmGui.h"
#include "display/PointerClicks.h"
#include "sound/SoundLoad.h"

namespace {

// "MXV file (*.MXV)| *.MXV; *.mxv | All file (*.*)| *.*" as Qt's name filters.
QStringList NameFilters(const std::string& filter) {
  QStringList parts = QString::fromStdString(filter).split('|');
  QStringList filters;
  for (int k = 0; k + 1 < parts.size(); k += 2)
    filters << parts[k].trimmed() + " (" + parts[k + 1].trimmed().replace(';', ' ') + ")";
  return filters;
}

}  // namespace

std::optional<std::string> KCommandRunner::AskFile(const KFileDialogSetup& setup) {
  if (ChooseFile) return ChooseFile(setup);
  QFileDialog dialog(&window_, QString::fromStdString(setup.Title));
  dialog.setObjectName(setup.Save ? "DlgSaveFile" : "DlgOpenFile");
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setNameFilters(NameFilters(setup.Filter));
  dialog.setAcceptMode(setup.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(setup.Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (setup.Save) dialog.setDefaultSuffix(QString::fromStdString(setup.DefaultSuffix));
  dialog.selectFile(ShownFileName(setup.FileName));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  return files.isEmpty() ? std::string() : ChosenFileName(files.front());
}

bool KCommandRunner::GatherLength(KCommandId id, KCommandInput& input) {
  KCommandContext& c = *context_;
  const bool hex = c.Options.LocationHex != 0;
  const KLengthCommand command =
      id == KCommandId::MenuAutoMarkClick ? KLengthCommand::AutoMark : KLengthCommand::InsertMute;
  const std::string& remembered = c.Prompts.Text(LengthPromptFor(c, command));
  std::optional<std::string> text;
  if (command == KLengthCommand::AutoMark) {
    const std::string label =
        std::string("Please enter the length for Auto-Mark (Unit is ") + (hex ? "Hex.)" : "Sec.)");
    text = dialogs_.String1.Ask("Auto-Mark", label, 7, remembered);
  } else {
    text = dialogs_.ChannelSelB.Ask(
        "Insert mute", {"Please enter the length for inserting mute", hex ? "Hex." : "Sec.", 7, remembered});
  }
  if (!text) return false;
  input.Frames = AcceptLengthText(c, command, *text);
  return true;
}

bool KCommandRunner::GatherImport(KCommandInput& input) {
  KSoundFile source(input.Path);
  // A file that cannot be read goes to the command, which says why.
  if (!source.IsOpen()) return true;
  const KConversion plan = PlanConversion(source.Shape(), {});
  KImportChoice proposed;
  proposed.Rate = plan.Target.SampleRate;
  proposed.Channels = plan.Target.Channels;
  proposed.Bits = plan.Target.BitsPerSample;
  const std::optional<KImportChoice> choice = dialogs_.Import.Ask({input.Path, DescribeSound(source)}, proposed);
  if (!choice) return false;
  KConvertRequest& request = input.Import;
  request.Rate = choice->Rate;
  request.Channels = choice->Channels;
  request.Bits = choice->Bits;
  request.Dither = choice->Dither;
  if (choice->Trim) request.TrimDb = choice->TrimDb;
  if (choice->Normalize) request.NormalizeDb = choice->NormalizeDb;
  request.FadeInMs = choice->FadeIn ? choice->FadeInMs : 0;
  request.FadeOutMs = choice->FadeOut ? choice->FadeOutMs : 0;
  return true;
}

bool KCommandRunner::Gather(KCommandId id, KCommandInput& input) {
  KCommandContext& c = *context_;
  KPcmFiles& voice = c.Voice();
  switch (WindowCommand(id).Gathers) {
    case KGathers::ImportDialog:
      if (input.Path.empty()) {
        const std::optional<std::string> path = AskFile(*FileDialogFor(id, voice));
        if (!path) return false;
        input.Path = *path;
      }
      return GatherImport(input);
    case KGathers::OpenFile:
    case KGathers::SaveFile: {
      const std::optional<std::string> path = AskFile(*FileDialogFor(id, voice));
      if (!path) return false;
      input.Path = *path;
      return true;
    }
    case KGathers::LengthPrompt:
      return GatherLength(id, input);
    case KGathers::AmplifierPrompt: {
      const auto text = dialogs_.ChannelSelB.Ask(
          "Mathematical amplifier", {"Please enter the percentage for mathematical amplifier ( 1 - 999)", "%", 3,
                                     c.Prompts.Text(KPrompt::Amplifier)});
      if (text) input.AmplifierPercent = *text;
      return text.has_value();
    }
    case KGathers::EchoPrompt: {
      const auto texts = dialogs_.ChannelSelC.Ask(
          "Echo", {"Attenuation rate of voice magnitude (1 - 99)", "%", 2, c.Prompts.Text(KPrompt::EchoAttenuation)},
          {"Reflect delay time (100 - 2000)", "mS", 4, c.Prompts.Text(KPrompt::EchoDelay)});
      if (!texts) return false;
      input.EchoAttenuation = (*texts)[0];
      input.EchoDelay = (*texts)[1];
      return true;
    }
    case KGathers::NormalizePrompt: {
      const auto text = dialogs_.ChannelSelB.Ask(
          "Normalize", {"Please enter the peak level of the marked area (0 or less)", "dBFS",
                        int(KPromptTexts::Limit(KPrompt::Normalize)), c.Prompts.Text(KPrompt::Normalize)});
      if (text) input.NormalizeLevel = *text;
      return text.has_value();
    }
    case KGathers::MarkSoundPrompt: {
      const auto texts = dialogs_.ChannelSelC.Ask(
          "Mark sound",
          {"Threshold of sound (0 or less)", "dBFS", int(KPromptTexts::Limit(KPrompt::SoundThreshold)),
           c.Prompts.Text(KPrompt::SoundThreshold)},
          {"Margin before and after the sound", "mS", int(KPromptTexts::Limit(KPrompt::SoundMargin)),
           c.Prompts.Text(KPrompt::SoundMargin)});
      if (!texts) return false;
      input.SoundThreshold = (*texts)[0];
      input.SoundMargin = (*texts)[1];
      return true;
    }
    case KGathers::MixerDialog: {
      const auto sources = dialogs_.Mixer.Ask();
      if (!sources) return false;
      for (size_t k = 0; k < input.Banks.size(); ++k) input.Banks[k] = (*sources)[k];
      return true;
    }
    case KGathers::SplitDialog:
    case KGathers::MergeDialog: {
      // Split checks the voice before its dialog opens.
      if (id == KCommandId::MenuSpiltChannelClick && !CheckSplit(c, input)) return false;
      const auto banks = id == KCommandId::MenuSpiltChannelClick ? dialogs_.Split.Ask() : dialogs_.Merge.Ask();
      if (!banks) return false;
      input.Banks[0] = banks->channel1;
      input.Banks[1] = banks->channel2;
      return true;
    }
    case KGathers::FormatDialog: {
      const auto format = dialogs_.Format.Ask(voice.Channels, voice.BitsPerSample);
      if (!format) return false;
      input.Channels = format->channels;
      input.Bits = format->bitsPerSample;
      return true;
    }
    case KGathers::AliasPrompt: {
      const auto alias =
          dialogs_.String1.Ask("Melotrix ", std::string(kAliasPromptLabel), int(kAliasLimit), voice.AliasName);
      if (alias) input.Alias = *alias;
      return alias.has_value();
    }
    case KGathers::RatePrompt: {
      const auto text = dialogs_.ChannelSelB.Ask(
          "Translate the Sample-Rate",
          {"Please enter the new sample rate (2100 - 44100)", "Hz", 5, std::to_string(voice.SampleRate)});
      if (text) input.ScrollPosition = TruncateToInt32(ReadReal(*text));
      return text.has_value();
    }
    case KGathers::Nothing:
    case KGathers::RecordDialog:
    case KGathers::ScrollBar:
    case KGathers::ZoomInClick:
      return true;
  }
  return true;
}

namespace {

// Counts a command as running for the life of the scope.
class KBusyScope {
 public:
  explicit KBusyScope(int& depth) : depth_(depth) { ++depth_; }
  ~KBusyScope() { --depth_; }
  KBusyScope(const KBusyScope&) = delete;
  KBusyScope& operator=(const KBusyScope&) = delete;

 private:
  int& depth_;
};

}  // namespace

bool KCommandRunner::Run(KCommandId id) {
  return Outermost([this, id] { return GatherAndRun(id); });
}

bool KCommandRunner::Run(KCommandId id, const KCommandInput& input) {
  return Outermost([this, id, &input] { return RunGathered(id, input); });
}

bool KCommandRunner::Import(const std::string& path) {
  return Outermost([this, &path] { return GatherAndRun(KCommandId::MenuImportSoundClick, path); });
}

bool KCommandRunner::Outermost(const std::function<bool()>& command) {
  if (!context_ || !context_->Banks.CurrentVoice || quitting_) return false;
  bool ok = false;
  {
    KBusyScope busy(depth_);
    ok = command();
  }
  RunQueued();
  return ok;
}

bool KCommandRunner::GatherAndRun(KCommandId id, const std::string& path) {
  if (WindowCommand(id).Gathers == KGathers::RecordDialog) {
    // The dialog runs the row from its own button, with its own rate bar.
    KPcmFiles& voice = context_->Voice();
    bool ok = false;
    dialogs_.Record.Ask(voice.Channels, voice.BitsPerSample, voice.SampleRate,
                        [this, id, &ok](const KCommandInput& input) { ok = RunGathered(id, input); });
    return ok;
  }
  KCommandInput input;
  input.Path = path;
  if (!Gather(id, input)) return false;
  return RunGathered(id, input);
}

bool KCommandRunner::RunGathered(KCommandId id, const KCommandInput& input) {
  const bool loop = id == KCommandId::MenuPlayAllClick || id == KCommandId::MenuPlayMarkedClick ||
                    id == KCommandId::MenuPlayFLGClick || id == KCommandId::MenuRecordClick ||
                    id == KCommandId::MenuTranslateVoiceSRClick || id == KCommandId::MenuImportSoundClick;
  if (loop && Guard) Guard->Begin();
  const bool ok = RunWindowCommand(*context_, WindowCommand(id), input);
  if (loop && Guard) Guard->End();
  auto& voice = static_cast<KPcmGui&>(context_->Voice());
  // The controls' commands rewrite only their own readouts.
  if (id == KCommandId::ScrollBarSRChange || id == KCommandId::MenuTranslateVoiceSRClick) voice.ShowRate();
  if (id == KCommandId::StatusBarMouseDown) voice.ShowAlias();
  if (AfterCommand) AfterCommand();
  return ok;
}

void KCommandRunner::WhenIdle(std::function<void()> action) {
  if (quitting_) return;
  queued_.push_back(std::move(action));
  RunQueued();
}

void KCommandRunner::RunQueued() {
  // Work queued by the queued work runs after it, in order.
  while (!Busy() && !quitting_ && !queued_.empty()) {
    std::function<void()> action = std::move(queued_.front());
    queued_.pop_front();
    action();
  }
}

void KCommandRunner::RequestQuit() {
  quitting_ = true;
  queued_.clear();
  if (Guard) Guard->RequestStop();
  // Ends every event loop running, modal dialogs' included, and makes any
  // dialog opened from here on return at once: nothing can hold the program.
  QCoreApplication::exit(0);
}

void KCommandRunner::RepaintNow() { window_.repaint(); }
void KCommandRunner::ShowProgress() { dialogs_.Progress.ShowNow(); }
void KCommandRunner::HideProgress() { dialogs_.Progress.HideNow(); }
void KCommandRunner::Beep() { QApplication::beep(); }

void KCommandRunner::RedrawZoomIn() {
  if (context_ && context_->Banks.CurrentVoice) static_cast<KPcmGui&>(context_->Voice()).PaintZoomIn();
}
