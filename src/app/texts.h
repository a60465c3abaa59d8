#pragma once
// Every text the user sees, in one place. The source is UTF-8; the compiler turns these
// literals into code page 932, the program's only character set.

namespace texts {
constexpr char kAppName[] = "お気に入り設定アプリケーション";
constexpr char kAlreadyRunning[] = "お気に入り設定アプリケーションはすでに実行しています。";
constexpr char kTrayTip[] = "お気に入り設定";
constexpr char kLinkInfoCaption[] = "リンク情報設定";
}  // namespace texts
