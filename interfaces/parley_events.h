// The chat control's events: the dispatch ids of its outgoing interface _IGChatEvents, shared
// by the control that fires them and the table window that hears them.
#pragma once

enum GChatEvent : long {
  kChatSendMyText = 1,
  kChatClickSetup = 2,
  kChatClickCommand = 3,
  kChatAddCommand = 4,
  kChatSave = 5,
  kChatLine = 6,
  kChatClickHotRegion = 7,
};
