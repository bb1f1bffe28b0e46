// How the info and convert modes bring a file into the current voice: a
// file of the four formats that its voice loader takes as it is goes
// through that loader unchanged; any other sound file is read through
// libsndfile and converted to the voice format asked for.
#pragma once

#include <string>

#include "cli/Script.h"
#include "sound/SoundConvert.h"
#include "sound/SoundLoad.h"
#include "voice/FileFormats.h"

class KCliSession;

struct KImportOptions {
  KWords Raw{"1", "8"};  // the sample format of a raw file
  KConvertRequest Request;
};

// Makes the command that loads or saves `path` in `format`. Empty on
// success, else what is wrong.
std::string FileCommand(const std::string& path, const KFileFormat& format, bool load, const KWords& raw,
                        KScriptCommand& out);


// Loads `path` through the load command of `format`; false when it showed a message.
bool RunOwnLoader(KCliSession& session, const std::string& path, const KFileFormat& format, const KWords& raw);

// False, after a message on the current voice that says why, when `path`
// is not a file that can be read.
bool CheckReadable(KCliSession& session, const std::string& path);

// False, after a message on the current voice, when `sound` did not open.
bool CheckOpened(KCliSession& session, const std::string& path, const KSoundFile& sound);

// Loads `path` into the session's current voice as `options` ask; a voice
// that was converted is bound to the type of `output`. A conversion that
// changes anything but the rate's rounding says so on stderr in one line.
// False after a message.
bool ImportFile(KCliSession& session, const std::string& path, const KImportOptions& options,
                const KFileFormat& output);
