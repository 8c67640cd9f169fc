#include "chat_layout.h"

namespace chat {
namespace {

Box ButtonBox(const SkinPoint& p, const SkinSize& s, int width, int height) {
  const int x = p[0] < 0 ? p[0] + width : p[0];
  return {x, height - p[1], x + s[0], height - p[1] + s[1]};
}

}  // namespace

void ApplyLayoutDefaults(CSkinManager& skin) {
  skin.chatbtnsetpoint = {-40, 49};
  skin.chatbtnsetsize = {35, 20};
  skin.chatbtnfontpoint = {4, 49};
  skin.chatbtnfontsize = {25, 20};
  skin.chatbtnfacepoint = {32, 49};
  skin.chatbtnfacesize = {25, 20};
  skin.chatbtnwordpoint = {61, 49};
  skin.chatbtnwordsize = {30, 20};
  skin.chatbtnclearpoint = {213, 49};
  skin.chatbtnclearsize = {25, 20};
  skin.chatbtnsendpoint = {-55, 29};
  skin.chatbtnsendsize = {45, 25};
  skin.chatinputleft = 1;
  skin.chatinputright = 60;
  skin.chatinputbottom = 2;
  skin.chatinputheigh = 25;
  skin.chatoutputleft = 1;
  skin.chatoutputright = 1;
  skin.chatoutputbottom = 50;
}

ButtonPoints CopyButtonPoints(const CSkinManager& skin) {
  return {skin.chatbtnfontpoint, skin.chatbtnfacepoint, skin.chatbtnwordpoint,
          skin.chatbtnclearpoint};
}

void ShiftButtonPoints(ButtonPoints& points, int dx) {
  for (SkinPoint* p : {&points.font, &points.face, &points.word, &points.clear}) (*p)[0] += dx;
}

ChatLayout ComputeLayout(const CSkinManager& skin, int width, int height, int pane_top,
                         bool whisper_mode, const ButtonPoints* points) {
  const ButtonPoints copied = points ? *points : CopyButtonPoints(skin);
  ChatLayout l;
  l.font = ButtonBox(copied.font, skin.chatbtnfontsize, width, height);
  l.face = ButtonBox(copied.face, skin.chatbtnfacesize, width, height);
  l.word = ButtonBox(copied.word, skin.chatbtnwordsize, width, height);
  l.clear = ButtonBox(copied.clear, skin.chatbtnclearsize, width, height);
  l.send = ButtonBox(skin.chatbtnsendpoint, skin.chatbtnsendsize, width, height);
  l.prevent = ButtonBox(skin.chatbtnpreventpoint, skin.chatbtnpreventsize, width, height);
  const int sx = skin.chatbtnsetpoint[0] < 0 ? skin.chatbtnsetpoint[0] + width
                                             : skin.chatbtnsetpoint[0];
  l.setSwitch = {sx, skin.chatbtnsetpoint[1], sx + skin.chatbtnsetsize[0],
                 skin.chatbtnsetpoint[1] + skin.chatbtnsetsize[1]};
  l.showCombo = whisper_mode;
  l.combo = {skin.chatcombopoint[0] + 20, height - skin.chatcombopoint[1] - 2,
             skin.chatcombopoint[0] + skin.chatcombosize[0],
             height - skin.chatcombopoint[1] - 2 + skin.chatcombosize[1]};
  l.targetHint = {skin.chatcombopoint[0], l.prevent.top,
                  skin.chatcombopoint[0] + l.prevent.Width(), l.prevent.bottom};
  l.tabs = {0, skin.m_nChannelBarHeight, 2 * skin.chatchannelsize[0],
            skin.m_nChannelBarHeight + skin.chatchannelsize[1]};
  l.output = {skin.chatoutputleft, pane_top, width - skin.chatoutputright,
              height - skin.chatoutputbottom};
  const int input_top = height - skin.chatinputheigh - skin.chatinputbottom;
  l.input = {skin.chatinputleft, input_top, width - skin.chatinputright,
             input_top + skin.chatinputheigh};
  return l;
}

}  // namespace chat
