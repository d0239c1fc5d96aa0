// SPDX-License-Identifier: MIT
#pragma once
#include <string>

namespace nova {

class TNovaObject;
class TTimerList;

// What the call manager needs from the rest of the player: the scene's event queue, the
// project's page look-up and the resets of things the interpreter does not own.
class ICallManHost {
public:
  virtual ~ICallManHost() = default;
  // The scene's event queue (the base list owns it).
  virtual TTimerList& Events() = 0;
  // Name of a sender that is still in the scene; empty once it is gone. Never dereferences a
  // sender that is no longer registered.
  virtual std::string SenderName(const TNovaObject* sender) = 0;
  // The component of that name in the scene, for a saved game's senders; null when absent.
  virtual TNovaObject* FindComponent(const std::string&) { return nullptr; }
  // True when the page exists, possibly after asking for the disk that holds it.
  virtual bool PageExists(const std::string& name) = 0;
  // The `Reset` command, before the variables go: every component and queued event, the
  // in-game tables and the message-history formats.
  virtual void ResetWorld() = 0;
  // The `Terminate` command: Terminating is already set; ask the main window to close.
  virtual void CloseMainWindow() = 0;
};

} // namespace nova
