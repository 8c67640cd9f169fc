// The chat control's commands: the image buttons (where a press or the mouse lands, their tips)
// and the context menu of its three panes (items, which are enabled, what a choice does).
#pragma once
#include <vector>

#include "chat_layout.h"

namespace chat {

enum ChatCommand {
  kCommandNone = 0,
  kCommandSend = 228,
  kCommandFace = 229,
  kCommandFont = 230,
  kCommandPhrases = 232,
  kCommandClear = 233,
  kCommandSwitch = 237,
  kCommandTargetHint = 239,
  kCommandChannel = 240,
  kCommandBlockList = 310,
};

struct CommandButton {
  int command = kCommandNone;
  Box box;
};

// The buttons the mouse can hover, in the order they are tried (the switch and the channel
// tabs only in whisper mode).
std::vector<CommandButton> HoverButtons(const ChatLayout& layout, bool whisper_mode);
// The command of a press at x, y on the control's surface: font, face, send, phrases, clear,
// block list, then in whisper mode the switch and the tabs; kCommandNone elsewhere.
int PressedCommand(const ChatLayout& layout, bool whisper_mode, int x, int y);
// The tip of a hovered button (GBK); null for a command without one.
const char* CommandTip(int command);
// Whether the input pane takes the focus after the command ran.
bool FocusesInputAfter(int command);

// The context menu of the panes.
enum MenuCommand {
  kMenuCopy = 33771,
  kMenuPaste = 33772,
  kMenuCut = 33773,
  kMenuFont = 33775,
  kMenuUndo = 33776,
  kMenuDelete = 33777,
  kMenuSelectAll = 33778,
  kMenuSave = 33779,
  kMenuClear = 33780,
};

struct MenuEntry {
  int id = 0;              // 0: a separator
  const char* text = "";   // GBK
  bool enabled = false;
};

struct PaneEditState {
  bool canUndo = false;
  bool hasSelection = false;
  bool canPaste = false;
};

// The menu of the input pane (input true) or of an output pane, in order with its separators.
std::vector<MenuEntry> PaneMenu(bool input, const PaneEditState& state);

}  // namespace chat
