// A bank set with a command context whose host writes down what the
// window would have done: repaints, the progress window, beeps, redraws.
#pragma once

#include <string>
#include <vector>

#include "commands/WindowCommands.h"
#include "support/VoiceFixture.h"

class RecordingHost : public KCommandHost {
 public:
  void RepaintNow() override { Log.push_back("repaint"); }
  void ShowProgress() override { Log.push_back("show"); }
  void HideProgress() override { Log.push_back("hide"); }
  void Beep() override { Log.push_back("beep"); }
  void RedrawZoomIn() override { Log.push_back("redraw-zi"); }
  std::vector<std::string> Log;
};

class CommandFixture : public VoiceFixture {
 protected:
  bool Run(const char* handler, const KCommandInput& input = {}) {
    const KWindowCommand* command = FindWindowCommand(handler);
    EXPECT_NE(command, nullptr) << handler;
    return command && RunWindowCommand(context_, *command, input);
  }
  static KCommandInput Texts(const std::string& text1, const std::string& text2 = {}) {
    KCommandInput input;
    input.Text1 = text1;
    input.Text2 = text2;
    return input;
  }
  using Log = std::vector<std::string>;

  RecordingHost host_;
  KCommandContext context_{banks_, host_};
};
