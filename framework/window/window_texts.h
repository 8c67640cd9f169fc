// The GBK texts of the window kit: tips, captions and notices its windows show. Sources stay
// UTF-8; each text is written here as its GBK bytes, with the UTF-8 text in the comment above
// it. Made once with python3: text.encode('gbk').
#pragma once

// 商城
inline constexpr char kTipShop[] = "\xc9\xcc\xb3\xc7";
// 帮助
inline constexpr char kTipHelp[] = "\xb0\xef\xd6\xfa";
// 设置
inline constexpr char kTipSettings[] = "\xc9\xe8\xd6\xc3";
// 退出
inline constexpr char kTipExit[] = "\xcd\xcb\xb3\xf6";
// 上一页
inline constexpr char kTipPageBack[] = "\xc9\xcf\xd2\xbb\xd2\xb3";
// 下一页
inline constexpr char kTipPageForward[] = "\xcf\xc2\xd2\xbb\xd2\xb3";
// √
inline constexpr char kCheckMark[] = "\xa1\xcc";
// √  %s
inline constexpr char kCheckedFormat[] = "\xa1\xcc  %s";
// 宋体
inline constexpr char kFontSong[] = "\xcb\xce\xcc\xe5";
// 设置
inline constexpr char kTextSetup[] = "\xc9\xe8\xd6\xc3";
// 退出
inline constexpr char kTextExit[] = "\xcd\xcb\xb3\xf6";
