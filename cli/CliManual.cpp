#include "cli/CliManual.h"

#include "cli/CliCommands.h"

namespace {

std::vector<KManualItem> CommandItems() {
  std::vector<KManualItem> items;
  for (const KCliCommand& command : CliCommands())
    items.push_back({std::string(command.Name) + (*command.Usage ? " " : "") + command.Usage, command.Help});
  return items;
}

}  // namespace

KManual CliManual() {
  return {
      "melotrix-cli",
      "the voice banks and window commands of Melotrix without a window",
      {R"([--trace] [--keep-going] -e "COMMAND; COMMAND; ...")", "[--trace] [--keep-going] SCRIPT_FILE",
       "info [--raw CH BITS] [--stats] FILE...",
       R"(convert [--raw CH BITS] [--alias TEXT] [--rate HZ] [--channels 1|2]
                       [--bits 8|16] [--dither] [--trim DBFS] [--fade-in MS]
                       [--fade-out MS] [--normalize DBFS] IN OUT)",
       "convert [the same options] IN... --to DIR --format mxv|wav|voc|pcm",
       "recover FOLDER [--save DIR [--format mxv|wav] [--force]]", "--help | --version"},
      {
          {"Scripts",
           {R"(Commands are separated by newlines or ";"; blank lines and lines starting
with "#" are ignored; words are separated by blanks, and a word holding
blanks is written in double quotes. The whole script is checked first: a
mistake prints "line N: ..." and exits 2 without running anything. The run
starts as the window does: fifteen empty voices, bank 1 selected, a fresh
swap folder. Each command acts on the current bank's voice exactly as the
window command of the same role. Messages go to stderr, each followed by an
empty line; the run stops after the first command that showed one (exit 1).
The play and record commands use the ALSA PCM "default", or the one that
$MELOTRIX_PCM names, and return once the sound was heard or the take is
complete. Ctrl+C while one of them runs stops it as Escape does in the
window (a take keeps what was captured) and the script goes on.)"},
           {{"-e SCRIPT", "run the script given as this one word"},
            {"SCRIPT_FILE", "run the script in this file; \"-\" reads it from standard input"},
            {"--keep-going", "run every command, and exit 1 if any showed a message"},
            {"--trace", "print each command after it ran as \"COMMAND -> true|false\""},
            {"--help, -h", "print this help and exit"},
            {"--version", "print the version and exit"}},
           {}},
          {"Commands",
           {},
           CommandItems(),
           {R"(state prints one key=value per line: bank, channels, bits, rate, end, mkl,
mkr, flg, zistart, filetype, file, alias, undo (the Undo item's caption) and
undo_depth (the number of undo snapshots, 0..4).)"}},
          {"Sound files",
           {R"(info and convert read the four formats' files (.mxv, .wav, .voc; .pcm and
.raw as mono 8-bit unless --raw CH BITS is given) through the loaders of the
window, unchanged, and every other sound file that libsndfile reads (WAV of
any depth and rate, AIFF, FLAC, Ogg Vorbis, ...). A file that does not exist,
cannot be read or is no sound file is reported as such (exit 1).)",
            R"(info prints "FILE: channels=... bits=... rate=... end=... alias=..." (another
sound file adds its format=); --stats adds one line per channel with its peak
and RMS level in dBFS ("silent" for a channel of zeros), the samples at full
scale and the DC offset. A file that stops before the length it announces (a
partial download) is reported as "FILE is cut short after N frames".)",
            R"(convert loads IN into bank 1 and saves it as OUT by OUT's extension; with
--to DIR --format F each IN becomes DIR/NAME.F, every file is reported on one
line, the rest go on after a failure, and the exit status is 1 if any failed;
when an output would be one of the inputs, nothing is converted at all.
A sound file becomes a voice of --rate HZ (2100..44100, rounded down to a
multiple of 25), --channels 1|2 and --bits 8|16; each defaults to the file's
own value where a voice holds it, else 44100 Hz, two channels (more are mixed
down) and 16 bits; a file of the four formats is converted only when an
option asks for another value. The rate changes through libsoxr at very high
quality, from 1000 Hz up; the samples are rounded, with triangular dither when
--dither is given. Before the rate, channels and depth change, --trim DBFS
drops the frames before the first and after the last whose level in any
channel exceeds DBFS, --fade-in MS and --fade-out MS fade the start and the
end linearly, and --normalize DBFS scales the result, as mixed down to the
voice's channels, so that its peak is at DBFS (levels -120..0 dBFS, fades
up to 60000 ms), in that order. A file cut short is not converted. A
conversion says so on stderr in one line; on a terminal, a file that takes
more than a second shows its progress. --alias sets the alias before saving.
A loader's or saver's message is shown as in scripts.)"},
           {},
           {}},
          {"Crash recovery",
           {R"(recover lists what the run folder FOLDER of a copy that crashed holds: each
voice (the copy buffer, bank N, working voice 13 and 14) with its format,
length, markers, names and undo labels. It says so when FOLDER is not a run
folder, is in use by a running copy or holds no voice (exit 1). With --save
it writes each bank that holds samples to DIR/BankNNN.MXV, or with --format
wav to DIR/BankNNN.WAV; DIR is made when missing. An MXV file holds whole
groups of four bytes, so up to three bytes at the end of a voice are lost;
the WAV file keeps every frame. Without --force an existing file is never
replaced: finding one, recover writes nothing at all. A voice whose swap
files are missing, cut short or links is reported and left out, the others
are saved (exit 1). FOLDER stays as it is.)"},
           {},
           {}},
          {"Exit status",
           {},
           {{"0", "every command ran without a message, every file was read or converted"},
            {"1", "a command showed a message, a file failed, or memory or standard output failed"},
            {"2", "the command line or the script is wrong; nothing ran"},
            {"128+N", "signal N (SIGINT, SIGTERM or SIGHUP) ended the run; its run folder is removed"}},
           {}},
          {"Environment",
           {},
           {{"MELOTRIX_PCM", "the ALSA PCM for play and record, instead of \"default\""},
            {"MELOTRIX_SYSTEM_DIR", "the system folder, instead of $XDG_CACHE_HOME/melotrix (~/.cache/melotrix)"}},
           {}},
          {"Files",
           {},
           {{"~/.cache/melotrix/SYS_DATA/cli-*", "a run's swap files and journal, removed when the run ends"},
            {"~/.cache/melotrix/SYS_DATA/win-*", "the run folders of the window, which recover reads"}},
           {}},
      },
  };
}
