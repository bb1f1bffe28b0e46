// The manual of melotrix, the window program.
#include "resources/Manual.h"

KManual WindowManual() {
  return {
      "melotrix",
      "edit PCM voices for voice-synthesis chips",
      {"[FILE]", "--help | --version"},
      {
          {"Description",
           {R"(Opens the voice editor's window with twelve empty banks, bank 1 selected.
FILE (an MXV, WAV, VOC or other sound file) is loaded into bank 1; when a
window is already open, FILE is handed to it instead. Unsaved banks of a run
that ended abnormally are offered back at the next start. Batch work and
scripting without a window: melotrix-cli --help.)"},
           {{"--help, -h", "print this help and exit"}, {"--version", "print the version and exit"}},
           {}},
          {"Keys",
           {},
           {{"F1 .. F12", "select bank 1 to 12"},
            {"Escape", "stop a play or a take; while either runs, no other key, click or menu reaches the window"}},
           {}},
          {"Exit status",
           {},
           {{"0", "the window was closed, or a window was open already (FILE, if any, was handed to it)"},
            {"1", "--help or --version could not be written to standard output"},
            {"128+N", "signal N (SIGINT, SIGTERM or SIGHUP) ended the run; its unsaved banks are kept"}},
           {}},
          {"Environment",
           {},
           {{"MELOTRIX_SYSTEM_DIR", "the system folder, instead of $XDG_CACHE_HOME/melotrix"},
            {"MELOTRIX_PCM", "the ALSA PCM for play and record, instead of \"default\""},
            {"XDG_CONFIG_HOME", "where the settings folder DRN is, instead of ~/.config"},
            {"XDG_DATA_HOME", "where a copy run from its build folder registers MXV files, instead of ~/.local/share"},
            {"XDG_RUNTIME_DIR", "where the socket that finds an open window is"}},
           {}},
          {"Files",
           {},
           {{"~/.config/DRN/Melotrix.INI", "the settings: the waveform colours"},
            {"~/.cache/melotrix/SYS_DATA/win-*",
             "a run's swap files and journal, removed when it ends with nothing unsaved"},
            {"~/BankNNN.MXV", "the file name an empty bank N proposes"}},
           {}},
      },
  };
}
