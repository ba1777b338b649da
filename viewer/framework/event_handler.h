// Response tables: each class that handles events lists, in one table, which member handles a
// window message (Ev...), a command (Cm...) and the enabling of a command (Ce...). A lookup
// searches the class's own table first, then its base class's.
#pragma once

#include <windows.h>

#include <span>

namespace scrivora {

class EventHandler;

// What a command enabler decides for one command id.
class CommandEnabler {
 public:
  explicit CommandEnabler(UINT id) : id_(id) {}
  UINT Id() const { return id_; }
  void Enable(bool enabled) { enabled_ = enabled; }
  bool Enabled() const { return enabled_; }

 private:
  UINT id_;
  bool enabled_ = true;
};

using MessageHandler = LRESULT (EventHandler::*)(WPARAM, LPARAM);
using CommandHandler = void (EventHandler::*)();
using EnablerHandler = void (EventHandler::*)(CommandEnabler&);

struct MessageEntry {
  UINT message;
  MessageHandler handler;
};
struct CommandEntry {
  UINT id;
  CommandHandler handler;
};
struct EnablerEntry {
  UINT id;
  EnablerHandler handler;
};

struct ResponseTable {
  const ResponseTable* base = nullptr;
  std::span<const MessageEntry> messages;
  std::span<const CommandEntry> commands;
  std::span<const EnablerEntry> enablers;

  const MessageEntry* FindMessage(UINT message) const;
  const CommandEntry* FindCommand(UINT id) const;
  const EnablerEntry* FindEnabler(UINT id) const;
};

// Table rows from members of a derived class T.
template <class T>
constexpr MessageEntry Ev(UINT message, LRESULT (T::*handler)(WPARAM, LPARAM)) {
  return {message, static_cast<MessageHandler>(handler)};
}
template <class T>
constexpr CommandEntry Cm(UINT id, void (T::*handler)()) {
  return {id, static_cast<CommandHandler>(handler)};
}
template <class T>
constexpr EnablerEntry Ce(UINT id, void (T::*handler)(CommandEnabler&)) {
  return {id, static_cast<EnablerHandler>(handler)};
}

class EventHandler {
 public:
  virtual ~EventHandler() = default;

  // The class's response table; overrides chain to their base's.
  virtual const ResponseTable& Responses() const;

  bool HasCommand(UINT id) const { return Responses().FindCommand(id) != nullptr; }
  // Runs the enabler for `id` if the table has one; false when it has none.
  bool RunEnabler(CommandEnabler& enabler);
  // Runs the handler for `id` if the table has one; false when it has none.
  bool RunCommand(UINT id);
};

}  // namespace scrivora
