// The four named stores of the macro language: values (numbers), words (short texts), rndsets
// (lists of short texts to draw from) and macros (blocks of route text), 64 fixed slots each.
// A slot is free exactly when its name is empty; names are case-sensitive, at most 30
// characters, and stay in their slot until the stores are reset at the start of a macro run.
#pragma once

constexpr int storeSlots = 64;
constexpr int maxNameLength = 30;
constexpr int maxRndsetItems = 32;
constexpr int maxMacroBody = 8190;

struct ValueSlot {
  char name[32];
  float value;
};

struct WordSlot {
  char name[32];
  char text[32];
};

struct RndsetSlot {
  char name[32];
  char items[maxRndsetItems][16];
  int count;
};

struct MacroSlot {
  char name[32];
  char body[8192];
};

struct SymbolStores {
  ValueSlot values[storeSlots];
  WordSlot words[storeSlots];
  RndsetSlot rndsets[storeSlots];
  MacroSlot macros[storeSlots];
};

extern SymbolStores symbolStores;

// Forgets every name and clears every slot.
void resetSymbolStores();

// The lowest slot whose name equals `name` (an empty name finds the lowest free slot), or -1.
// The name of a slot is its first member, so every store is searched alike.
template <typename Slot>
int findSlot(const Slot (&store)[storeSlots], const char* name);

// findSlot's slot, or else the lowest free slot, which takes the name; -1 when none is free or
// the name is longer than 30 characters.
template <typename Slot>
int findOrClaimSlot(Slot (&store)[storeSlots], const char* name);
