// How a sound file comes into a voice, for both front ends: a file that its
// voice loader takes as it is goes to that loader; any other sound file is
// read through libsndfile and converted to the voice format asked for.
#pragma once

#include <string>

#include "sound/SoundConvert.h"
#include "voice/FileFormats.h"
#include "voice/PcmFiles.h"

// The format of a file by its extension (".raw" is raw PCM as well), or null.
const KFileFormat* FormatOf(const std::string& path);

// The voice format whose loader takes `path` as it is, or null. Raw and MXV
// files always go to their loaders, whose message is then the verdict.
const KFileFormat* OwnLoader(const std::string& path);

// "48000 Hz 24-bit 2 channels, 3.210 s, peak -6.0 dBFS": what the import
// dialog shows of a file. Reads `sound` to its end.
std::string DescribeSound(KSoundFile& sound);

// MeasureConversion, with a failure said on `voice`; false then.
bool MeasureForLoad(KPcmFiles& voice, const std::string& path, KSoundFile& source, KConversion& plan);

// Gives `voice` the frames of `source` converted by `plan` (no source: none)
// as a load of `path` would, bound to `type` with `alias`; false after a
// message on the voice.
bool LoadConverted(KPcmFiles& voice, const std::string& path, KSoundFile* source, const KConversion& plan,
                   KFileType type, const std::string& alias);

// The window's import of `path` (which no voice loader takes as it is) into
// `voice` by `request`: planned, measured and loaded as a load would, named
// `path` and bound to its voice format, or, for a file of no voice format,
// named after it with ".mxv" so that a Save never writes over the recording.
bool ImportSound(KPcmFiles& voice, const std::string& path, const KConvertRequest& request);
