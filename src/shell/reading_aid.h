// SPDX-License-Identifier: MIT
// The reading aid: every page a message box reveals, as UTF-8, on standard output
// (--text-log), on the clipboard ([Player] CopyText=1) and spoken ([Player] Speak=1).
#pragma once
#include <cstdio>
#include <memory>
#include <string>

#include "scene/message_text_observer.h"

namespace nova {

class ISpeech;
class IWindow;

struct TReadingAidOptions {
  std::FILE* text_log = nullptr;   // one line per page
  IWindow* clipboard = nullptr;    // the window whose clipboard takes the page
  std::unique_ptr<ISpeech> speech; // speaks the page
};

class TReadingAid final : public IMessageTextObserver {
public:
  explicit TReadingAid(TReadingAidOptions options);
  ~TReadingAid() override;
  // Something is switched on: the scene should report its pages.
  bool Active() const;
  // Empty pages are skipped.
  void PageRevealed(const std::string& sjis_text) override;

private:
  TReadingAidOptions options_;
};

} // namespace nova
