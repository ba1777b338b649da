#include "viewer/framework/event_handler.h"

namespace scrivora {

const MessageEntry* ResponseTable::FindMessage(UINT message) const {
  for (const ResponseTable* table = this; table; table = table->base)
    for (const MessageEntry& entry : table->messages)
      if (entry.message == message) return &entry;
  return nullptr;
}

const CommandEntry* ResponseTable::FindCommand(UINT id) const {
  for (const ResponseTable* table = this; table; table = table->base)
    for (const CommandEntry& entry : table->commands)
      if (entry.id == id) return &entry;
  return nullptr;
}

const EnablerEntry* ResponseTable::FindEnabler(UINT id) const {
  for (const ResponseTable* table = this; table; table = table->base)
    for (const EnablerEntry& entry : table->enablers)
      if (entry.id == id) return &entry;
  return nullptr;
}

const ResponseTable& EventHandler::Responses() const {
  static const ResponseTable table{};
  return table;
}

bool EventHandler::RunEnabler(CommandEnabler& enabler) {
  const EnablerEntry* entry = Responses().FindEnabler(enabler.Id());
  if (!entry) return false;
  (this->*entry->handler)(enabler);
  return true;
}

bool EventHandler::RunCommand(UINT id) {
  const CommandEntry* entry = Responses().FindCommand(id);
  if (!entry) return false;
  (this->*entry->handler)();
  return true;
}

}  // namespace scrivora
