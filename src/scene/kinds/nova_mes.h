// SPDX-License-Identifier: MIT
// The message box: tagged text laid out into pages and revealed character by character, with
// links, inline events, read marks and the message history.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "scene/message_history.h"
#include "scene/nova_control.h"
#include "text/zpword.h"

namespace nova {

class TMessageRecords;
class TMesImageHost;

// What the box's text came from: read tracking.
enum TMesReadTracking : uint8_t {
  rtOff = 0,     // text given through PR_TEXT
  rtCommand = 1, // a text insert command whose page and index are known
  rtHistory = 2, // recalled history
};

class TNovaMes : public TNovaControl {
public:
  explicit TNovaMes(TNovaBaseList* owner);
  ~TNovaMes() override;
  uint8_t GetKind() const override { return LT_MES; }

  // ---- operations of the text commands and the history ----
  // PR_TEXT: replaces the text with markup; the shown text becomes history.
  void SetText(const std::string& markup);
  // PR_INDEX: shows page i (ignored outside the pages or when it is shown already).
  void SetIndex(int32_t i);
  // Rebuilds the pages from the message data; the caller shows page 0 afterwards.
  void Rebuild(bool start_event, bool from_history);
  // After a game load: the pages are built again and take back their reveal state.
  void AfterLoad();
  // The text insert command: the box shows the text of command `command` of `page`.
  void InsertCommandText(const std::string& page, int32_t command, bool record_history);
  // The text clear command.
  void ClearText();

  // The markup last given through PR_TEXT (kept also while no page is built).
  const std::string& Markup() const { return text_; }
  int32_t PageCount() const { return static_cast<int32_t>(pages_.size()); }
  int32_t PageIndex() const { return index_; }
  TWdPage* CurrentPage() const;
  // 0 while the current page is revealing, 2 otherwise (the waiting commands ask).
  int32_t PlayState() const;
  bool Playing() const;

  TZpWord& Engine() { return *engine_; }
  const TZpWord& Engine() const { return *engine_; }
  TNovaNewMesData& MesData() { return mes_data_; }
  uint8_t ReadTracking() const { return read_tracking_; }
  void SetReadTracking(uint8_t t) { read_tracking_ = t; }
  const std::string& SourcePage() const { return source_page_; }
  int32_t CommandIndex() const { return command_index_; }
  void SetSource(const std::string& page, int32_t command) {
    source_page_ = page;
    command_index_ = command;
  }
  void SetHistoryRecall(bool on) { history_recall_ = on ? 1 : 0; }
  void SetHistoryOffset(int32_t offset) { history_offset_ = offset; }
  int32_t HistoryOffset() const { return history_offset_; }
  // Forgets the shown page without touching the pages (history recall shows page 0 anew).
  void ForgetIndex() { index_ = -1; }

  // ---- scene behaviour ----
  bool Update() override;
  void Draw() override;
  TNovaControl* HitTest(int32_t x, int32_t y, uint32_t accept_set) override;
  void LButtonDown() override;
  void MouseMove() override;
  void MouseOut(TNovaControl* next) override;
  void SetWidth(int32_t v) override;
  void SetHeight(int32_t v) override;
  bool IsPaused() const override { return paused_ != 0; }
  const std::string& IdleHandler() const override { return idle_handler_; }
  void ReleaseSurfaces() override;
  void RestoreSurfaces() override;

protected:
  const TPropTable& PropTable() const override { return Props(); }
  static const TPropTable& Props();
  template <class F, class V> void ChangeSetting(F& field, V value);
  void SyncKind(TSerializer& s) override;
  const std::string& PlayEndHandler() const override { return handlers_mes_[hPlayEnd]; }

private:
  enum MesHandler { hPlaying, hPlayStart, hPlayEnd, hLink, hNotify, kMesHandlerCount };

  TMessageRecords* Records() const;
  ITextCommandSource* TextSource() const;
  void PlayStart();
  // An event of this box and type is queued and its handler has not begun.
  bool EventWaiting(uint8_t type) const;
  void CommitHistory();
  void RecordShownPage();
  void FreePages();
  // A setting of the layout engine changed: the page starts again at the next update.
  void SettingChanged();
  void SetPausedState(uint8_t& field, bool v);
  void SetScrollY(int32_t v);
  void StartPage(TWdPage& page, int mode);
  void AddDirty(const std::vector<TextRect>& rects);
  void OnInlineEvent(const std::string& text);
  std::string PageText(TWdPage& page) const;

  std::unique_ptr<TMesImageHost> images_;
  std::unique_ptr<TZpWord> engine_;
  PageList pages_;
  int32_t index_ = -1;
  int32_t scroll_y_ = 0;
  int32_t stored_int_ = 0;
  std::string stored_strings_[3];
  std::string handlers_mes_[kMesHandlerCount];
  uint8_t paused_ = 0, text_paused_ = 0;
  int32_t text_delay_ = 256;
  uint8_t read_tracking_ = rtOff;
  int32_t command_index_ = 0;
  std::string source_page_;
  TNovaNewMesData mes_data_;
  std::string text_;
  int32_t start_delay_ = 0;
  std::string idle_handler_;
  uint8_t history_recall_ = 0;
  uint8_t restart_ = 0, restart_mode_ = 0;
  int32_t history_offset_ = 0;
  uint8_t capture_link_ = 0;
  // Kept with the box only: the save form of the layout engine has no place for it.
  bool font_changeable_ = true;
  std::vector<uint8_t> pending_page_states_;
};

// After a game load every message box of the scene rebuilds its text.
void RefreshMessageBoxes(TNovaBaseList& scene);

} // namespace nova
