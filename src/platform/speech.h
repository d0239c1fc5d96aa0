// SPDX-License-Identifier: MIT
// Speaking text aloud for the reading aid.
#pragma once
#include <memory>
#include <string>

namespace nova {

class ISpeech {
public:
  virtual ~ISpeech() = default;
  // Speaks `utf8`, cutting off what is still being spoken. Never blocks; text said while no
  // speech server answers is dropped.
  virtual void Say(const std::string& utf8) = 0;
};

// Speech through speech-dispatcher. The connection opens on a worker thread at the first Say
// (opening may start the server and take seconds); without a server nothing is spoken and
// nothing is reported.
std::unique_ptr<ISpeech> CreateSpeechDispatcher();

} // namespace nova
