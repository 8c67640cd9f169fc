#include "chat_commands.h"

#include "chat_texts.h"

namespace chat {
namespace {

bool Inside(const Box& b, int x, int y) {
  return x >= b.left && x < b.right && y >= b.top && y < b.bottom;
}

}  // namespace

std::vector<CommandButton> HoverButtons(const ChatLayout& l, bool whisper_mode) {
  // The block-list button and its tip answer in every mode; the switch and the tabs only in
  // whisper mode, and so does the target box's hint (outside whisper mode the box is hidden
  // and the hint's place is the font button's).
  std::vector<CommandButton> buttons = {
      {kCommandTargetHint, l.targetHint}, {kCommandFont, l.font},   {kCommandSend, l.send},
      {kCommandFace, l.face},             {kCommandPhrases, l.word}, {kCommandClear, l.clear},
      {kCommandBlockList, l.prevent},
  };
  if (whisper_mode) {
    buttons.push_back({kCommandSwitch, l.setSwitch});
    buttons.push_back({kCommandChannel, l.tabs});
  } else {
    buttons.erase(buttons.begin());
  }
  return buttons;
}

int PressedCommand(const ChatLayout& l, bool whisper_mode, int x, int y) {
  const CommandButton order[] = {
      {kCommandFont, l.font},    {kCommandFace, l.face},   {kCommandSend, l.send},
      {kCommandPhrases, l.word}, {kCommandClear, l.clear}, {kCommandBlockList, l.prevent},
  };
  for (const CommandButton& b : order)
    if (Inside(b.box, x, y)) return b.command;
  if (whisper_mode) {
    for (const CommandButton& b : {CommandButton{kCommandSwitch, l.setSwitch},
                                   CommandButton{kCommandChannel, l.tabs}})
      if (Inside(b.box, x, y)) return b.command;
  }
  return kCommandNone;
}

const char* CommandTip(int command) {
  switch (command) {
    case kCommandTargetHint: return kTextTipTargetHint;
    case kCommandFont: return kTextTipFont;
    case kCommandSend: return kTextTipSend;
    case kCommandFace: return kTextTipFace;
    case kCommandPhrases: return kTextTipPhrases;
    case kCommandClear: return kTextTipClear;
    case kCommandBlockList: return kTextTipBlockList;
    case kCommandSwitch: return kTextTipSwitch;
    case kCommandChannel: return kTextTipChannel;
    default: return nullptr;
  }
}

bool FocusesInputAfter(int command) {
  return command == kCommandSend || command == kCommandClear || command == kCommandTargetHint ||
         command == kCommandChannel;
}

std::vector<MenuEntry> PaneMenu(bool input, const PaneEditState& s) {
  const bool selected_input = input && s.hasSelection;
  return {
      {kMenuUndo, kTextMenuUndo, input && s.canUndo},
      {},
      {kMenuCut, kTextMenuCut, selected_input},
      {kMenuCopy, kTextMenuCopy, s.hasSelection},
      {kMenuPaste, kTextMenuPaste, input && s.canPaste},
      {kMenuDelete, kTextMenuDelete, selected_input},
      {},
      {kMenuSave, kTextMenuSave, !input},
      {},
      {kMenuSelectAll, kTextMenuSelectAll, true},
      {kMenuClear, kTextMenuClear, true},
      {},
      {kMenuFont, kTextMenuFont, input},
  };
}

}  // namespace chat
