// SPDX-License-Identifier: MIT
#include "platform/speech.h"

#include <gtest/gtest.h>
#include <stdlib.h>

namespace nova {
namespace {

// Without a speech server, speaking is skipped: nothing fails, nothing waits for ever.
TEST(Speech, WithoutAServerSayingIsDropped) {
  setenv("SPEECHD_ADDRESS", "unix_socket:/nonexistent/novaplay-test/speechd.sock", 1);
  std::unique_ptr<ISpeech> speech = CreateSpeechDispatcher();
  speech->Say("吾輩は猫である。");
  speech->Say("");
  speech->Say("名前はまだ無い。");
  speech.reset();
  unsetenv("SPEECHD_ADDRESS");
}

} // namespace
} // namespace nova
