// Texts of the magic-action picker and send box (GBK; the UTF-8 text beside each).
#pragma once

// 全部
inline constexpr char kTextMagicEveryone[] = "\xc8\xab\xb2\xbf";
// %s(%s)(旁观)
inline constexpr char kTextPersonWatching[] = "%s(%s)(\xc5\xd4\xb9\xdb)";
// %s(%s)
inline constexpr char kTextPersonEntry[] = "%s(%s)";
// 名称:%s 价格:%s
inline constexpr char kTextItemHeading[] = "\xc3\xfb\xb3\xc6:%s \xbc\xdb\xb8\xf1:%s";
// 接收者:
inline constexpr char kTextRecipient[] = "\xbd\xd3\xca\xd5\xd5\xdf:";
// 在动画中要显示的留言(最多150个字符):
inline constexpr char kTextWordsPrompt[] = "\xd4\xda\xb6\xaf\xbb\xad\xd6\xd0\xd2\xaa\xcf\xd4\xca\xbe\xb5\xc4\xc1\xf4\xd1\xd4(\xd7\xee\xb6\xe0" "150\xb8\xf6\xd7\xd6\xb7\xfb):";
// 上一页
inline constexpr char kTextPrevPage[] = "\xc9\xcf\xd2\xbb\xd2\xb3";
// 下一页
inline constexpr char kTextNextPage[] = "\xcf\xc2\xd2\xbb\xd2\xb3";
