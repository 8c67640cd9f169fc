#include "magic_receive.h"

ReceivedMagicAction DescribeMagicAction(
    CVyrMessage_MagicAction action, CAction_Manager& catalogue,
    const std::function<const TablePerson*(int32_t userId)>& findPerson) {
  action.BoundText();
  ReceivedMagicAction out;
  out.item = catalogue.FindItem(action.actionType, action.itemId);
  out.senderId = static_cast<int32_t>(action.senderId);
  out.receiverId = action.receiverId;
  out.value = static_cast<int16_t>(action.value);
  out.words.assign(action.text, action.textLength);
  for (size_t i = 0; i < catalogue.Items().size(); ++i) {
    if (catalogue.Items()[i].get() == out.item) out.itemIndex = static_cast<uint32_t>(i);
  }
  const TablePerson* sender = findPerson(out.senderId);
  const TablePerson* receiver = out.receiverId >= 1 ? findPerson(out.receiverId) : nullptr;
  out.line = FormatMagicActionLine(sender, receiver, out.item, out.words, out.itemIndex);
  return out;
}
