// SPDX-License-Identifier: MIT
#include <libspeechd.h>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/speech.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/lsan_interface.h>
#define NOVA_LSAN 1
#endif
#endif

namespace nova {

namespace {

// libspeechd loses its error text when no server answers; that is the library's, not ours.
SPDConnection* OpenConnection() {
#ifdef NOVA_LSAN
  __lsan::ScopedDisabler library_leaks;
#endif
  return spd_open("novaplay", "reading", nullptr, SPD_MODE_SINGLE);
}

// One worker owns the connection: it opens it, speaks the latest text and closes it. Only the
// newest text waits; older ones are stale by the time a reader would hear them.
class TSpeechDispatcher final : public ISpeech {
public:
  TSpeechDispatcher() : worker_([this] { Run(); }) {}

  ~TSpeechDispatcher() override {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
    worker_.join();
  }

  void Say(const std::string& utf8) override {
    {
      std::lock_guard lock(mutex_);
      pending_ = utf8;
    }
    changed_.notify_all();
  }

private:
  void Run() {
    SPDConnection* connection = nullptr;
    bool tried = false;
    for (;;) {
      std::string text;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stopping_ || pending_; });
        if (stopping_)
          break;
        text = std::move(*pending_);
        pending_.reset();
      }
      if (!tried) {
        tried = true;
        connection = OpenConnection();
      }
      if (!connection)
        continue;
      spd_cancel(connection);
      if (!text.empty())
        spd_say(connection, SPD_TEXT, text.c_str());
    }
    if (connection)
      spd_close(connection);
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<std::string> pending_;
  bool stopping_ = false;
  std::thread worker_; // last: it starts once everything above exists
};

} // namespace

std::unique_ptr<ISpeech> CreateSpeechDispatcher() { return std::make_unique<TSpeechDispatcher>(); }

} // namespace nova
