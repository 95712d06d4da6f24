#include "macro/symbol_stores.h"

#include <cstring>

SymbolStores symbolStores;

void resetSymbolStores() { std::memset(&symbolStores, 0, sizeof symbolStores); }

template <typename Slot>
int findSlot(const Slot (&store)[storeSlots], const char* name) {
  if (std::strlen(name) > maxNameLength) return -1;  // no slot holds a longer name
  for (int i = 0; i < storeSlots; ++i) {
    if (std::strcmp(store[i].name, name) == 0) return i;
  }
  return -1;
}

template <typename Slot>
int findOrClaimSlot(Slot (&store)[storeSlots], const char* name) {
  int slot = findSlot(store, name);
  if (slot >= 0) return slot;
  if (std::strlen(name) > maxNameLength) return -1;  // never placed: a slot holds at most 30 characters
  slot = findSlot(store, "");
  if (slot < 0) return -1;
  std::strcpy(store[slot].name, name);
  return slot;
}

template int findSlot(const ValueSlot (&)[storeSlots], const char*);
template int findSlot(const WordSlot (&)[storeSlots], const char*);
template int findSlot(const RndsetSlot (&)[storeSlots], const char*);
template int findSlot(const MacroSlot (&)[storeSlots], const char*);
template int findOrClaimSlot(ValueSlot (&)[storeSlots], const char*);
template int findOrClaimSlot(WordSlot (&)[storeSlots], const char*);
template int findOrClaimSlot(RndsetSlot (&)[storeSlots], const char*);
template int findOrClaimSlot(MacroSlot (&)[storeSlots], const char*);
