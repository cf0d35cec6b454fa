#pragma once

#include <memory>
#include <string>
#include <vector>

struct SAMPLE;

namespace orvel {

typedef std::shared_ptr<SAMPLE> SampleDataPtr;

// The game-library sample of a resource: the datafile's sample object when
// the datafile holds one under that name, else the WAV file of that name.
// Anything that cannot be a sample (a missing file, a file that is no 8- or
// 16-bit PCM WAV, a datafile object of another type) gives null: a sound
// without data plays nothing, whichever way it was looked for.
SampleDataPtr LoadSampleResource(const std::string& name);

// A sample parsed from the bytes of a WAV file, or null when the file is
// damaged or of a form the library does not read (see IsSoundWav).
SampleDataPtr LoadWavFromMemory(const std::vector<char>& bytes);

}  // namespace orvel
