#pragma once
// Menu enabling by menu state. A command whose item is grayed is not carried out, whether chosen
// from the menu or by its key.
#include <bitset>

namespace vellora {

enum MenuState : int {
    kMenuNone = 0,
    kMenuOpened = 1,
    kMenuSaved = 2,
    kMenuUndone = 3,
    kMenuModified = 4,
    kMenuTiled = 5,
    kMenuTableShown = 6,
};

// Which command ids (200 … 300) are enabled.
class CommandSet {
  public:
    // Every command enabled, as the menu is before its first update.
    CommandSet() { bits_.set(); }
    bool enabled(int id) const { return inRange(id) && bits_.test(id - 200); }
    void set(int id, bool on) {
        if (inRange(id)) bits_.set(id - 200, on);
    }
    bool operator==(const CommandSet&) const = default;

  private:
    static bool inRange(int id) { return id >= 200 && id <= 300; }
    std::bitset<101> bits_;
};

// The rows of the enabling table for `menuState` (commands not named keep their condition), then
// Save and Undo by `undoCount`, and Exit, Sheet Setup and About always enabled.
void updateMenus(CommandSet& commands, int menuState, int undoCount);

} // namespace vellora
