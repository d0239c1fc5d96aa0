// SPDX-License-Identifier: MIT
// Ripped CD tracks in a folder, found by the common rip namings of track n: "CD_02", "Track02",
// "Track 02", "02" (and the same with one digit), with the extensions ".ogg", ".flac", ".wav",
// ".mp3"; names compare without regard to case.
#pragma once
#include <string>

namespace nova {

// The track number of a "CD_n" name; -1 when the name is not one.
int CdTrackNumber(const std::string& name);
// The native path of track `track` in `folder`; empty when there is none.
std::string FindCdTrackFile(const std::string& folder, int track);

} // namespace nova
