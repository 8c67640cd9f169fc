// The GBK texts of the client shell. Sources stay UTF-8; each text is written here as its GBK
// bytes, with the UTF-8 text in the comment above it (made with python3: text.encode('gbk')).
#pragma once

// 宋体
inline constexpr char kTextDefaultFontFace[] = "\xcb\xce\xcc\xe5";
// %s 邀请你加入他的团队，你同意吗？
inline constexpr char kTextJoinTeamInvitation[] =
    "%s \xd1\xfb\xc7\xeb\xc4\xe3\xbc\xd3\xc8\xeb\xcb\xfb\xb5\xc4\xcd\xc5\xb6\xd3\xa3\xac\xc4\xe3"
    "\xcd\xac\xd2\xe2\xc2\xf0\xa3\xbf";
