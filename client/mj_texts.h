// The GBK texts of the mahjong play table. Sources stay UTF-8; each text is written here as its
// GBK bytes, with the UTF-8 text in the comment above it (made with python3: text.encode('gbk')).
#pragma once

// The hand record's "保存成功", "保存失败" and "牌局记录无法读取" are the framework's.
#include "play_table_texts.h"

// 游戏结束
inline constexpr char kTextGameOver[] = "\xd3\xce\xcf\xb7\xbd\xe1\xca\xf8";
// 荒牌了,本局结束
inline constexpr char kTextWallEmpty[] = "\xbb\xc4\xc5\xc6\xc1\xcb,\xb1\xbe\xbe\xd6\xbd\xe1\xca\xf8";
// 假和
inline constexpr char kTextFalseHu[] = "\xbc\xd9\xba\xcd";
// %s(%s)版本不对，请下载新版本，游戏结束
inline constexpr char kTextVersionRefusedChat[] = "%s(%s)\xb0\xe6\xb1\xbe\xb2\xbb\xb6\xd4\xa3\xac\xc7\xeb\xcf\xc2\xd4\xd8\xd0\xc2\xb0\xe6\xb1\xbe\xa3\xac\xd3\xce\xcf\xb7\xbd\xe1\xca\xf8";
// %s(%s)版本不对，游戏结束
inline constexpr char kTextVersionRefused[] = "%s(%s)\xb0\xe6\xb1\xbe\xb2\xbb\xb6\xd4\xa3\xac\xd3\xce\xcf\xb7\xbd\xe1\xca\xf8";
// 对不起，这段时间你被剥夺聊天的权利
inline constexpr char kTextChatForbidden[] = "\xb6\xd4\xb2\xbb\xc6\xf0\xa3\xac\xd5\xe2\xb6\xce\xca\xb1\xbc\xe4\xc4\xe3\xb1\xbb\xb0\xfe\xb6\xe1\xc1\xc4\xcc\xec\xb5\xc4\xc8\xa8\xc0\xfb";
// FromCharsToCards:无效字符：%d
inline constexpr char kTextBadCodeDecode[] = "FromCharsToCards:\xce\xde\xd0\xa7\xd7\xd6\xb7\xfb\xa3\xba%d";
// FromCardsToChars:无效字符：%d
inline constexpr char kTextBadCodeEncode[] = "FromCardsToChars:\xce\xde\xd0\xa7\xd7\xd6\xb7\xfb\xa3\xba%d";
// 没有可保存的牌局
inline constexpr char kTextNoRecordToSave[] =
    "\xc3\xbb\xd3\xd0\xbf\xc9\xb1\xa3\xb4\xe6\xb5\xc4\xc5\xc6\xbe\xd6";
