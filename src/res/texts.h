#pragma once
// Every text the user sees, in one place. The source is UTF-8; the compiler turns these
// literals into code page 932, the program's only character set.

namespace texts {
constexpr char kAppName[] = "お気に入り設定アプリケーション";
constexpr char kAlreadyRunning[] = "お気に入り設定アプリケーションはすでに実行しています。";
constexpr char kTrayTip[] = "お気に入り設定";
constexpr char kLinkInfoCaption[] = "リンク情報設定";

// The question when a file is dropped on a key button: key number, file path.
constexpr char kDropQuestion[] = "%dのキーに%sを設定しますか？";
// The question when a favourite key is pressed in the settings dialog: caption or key
// number, then the address the browser shows.
constexpr char kCaptureQuestionCaption[] = "%sのキーにアドレス[%s]を設定しますか？";
constexpr char kCaptureQuestionNumber[] = "%dのキーにアドレス[%s]を設定しますか？";
// A link, typed or dropped, that does not fit the 1024 bytes a key's link may have.
constexpr char kLinkTooLong[] =
    "リンク先が長すぎます。1024バイト（全角512文字）以内で指定してください。";
// A file name or path with characters code page 932 cannot hold, and no short name that does:
// the name as given, then the characters.
constexpr char kPathCannotBeStored[] =
    "「%s」は、名前に日本語の Windows で使えない文字（%s）が含まれているため、リンク先に設定できません。\r\n\r\n"
    "ファイルやフォルダーの名前を変えるか、設定できる名前のショートカットを作成して、そのショートカットを設定してください。";
// A caption with characters code page 932 cannot hold: the characters.
constexpr char kCaptionCannotBeStored[] =
    "キャプションに日本語の Windows で使えない文字（%s）が含まれています。この文字を除いて入力してください。";
// The program's folder has a name code page 932 cannot hold, and no short name that does.
constexpr char kProgramFolderUnusable[] =
    "このプログラムのフォルダー「%s」は、名前に日本語の Windows で使えない文字が含まれているため使用できません。\r\n\r\n"
    "名前に日本語の Windows で使える文字だけを含むフォルダー（Program Files など）にインストールするか、コピーしてください。";
// Vorlund.ini saved as UTF-8 holds characters code page 932 cannot hold: the characters.
constexpr char kSettingsFileNotConvertible[] =
    "設定ファイル Vorlund.ini は UTF-8 で保存されていて、日本語の Windows で使えない文字（%s）を含んでいるため、"
    "読み込めません。\r\n\r\nファイルは変更せずにそのまま残し、今回は設定を保存しません。"
    "メモ帳でこれらの文字を除き、文字コード「ANSI」で保存し直してから、もう一度起動してください。";
// Vorlund.ini saved as UTF-8 could not be converted (no room, no right to write there).
constexpr char kSettingsFileNotConverted[] =
    "設定ファイル Vorlund.ini は UTF-8 で保存されていますが、変換できませんでした。\r\n\r\n"
    "ファイルは変更せずにそのまま残し、今回は設定を保存しません。メモ帳で文字コード「ANSI」で保存し直してから、"
    "もう一度起動してください。";
constexpr char kSaveFailed[] =
    "設定ファイルに保存できませんでした。ファイルが読み取り専用でないか確認してください。";
// On a Windows whose ANSI code page would change the file's Japanese bytes (Chinese, Korean,
// UTF-8), nothing but plain ASCII is written.
// This run keeps its hands off a UTF-8 settings file it could not convert.
constexpr char kSaveRefusedUtf8File[] =
    "設定ファイル Vorlund.ini は UTF-8 のまま変換できなかったため、今回は設定を保存しません。"
    "「中　止」で閉じてください。";
constexpr char kSaveFailedCodePage[] =
    "設定ファイルに保存できませんでした。この Windows の文字コード（ANSI コード ページ）では、"
    "日本語を含む設定ファイルを正しく書き込めないため、ファイルは変更していません。";

// The tray menu's start-at-sign-in item could not change the sign-in task.
constexpr char kSignInTaskNotRegistered[] =
    "ログオン時に起動するよう設定できませんでした。タスク スケジューラを確認してください。";
constexpr char kSignInTaskNotDeleted[] =
    "ログオン時の起動を解除できませんでした。タスク スケジューラを確認してください。";
// Start at sign-in runs the program with administrator rights without asking: refused where
// anyone but administrators could change the program's files.
constexpr char kSignInNeedsProtectedFolder[] =
    "ログオン時に起動するには、セットアップで管理者だけが変更できるフォルダー（Program Files など）に"
    "インストールしてください。\r\n\r\nこのフォルダーは管理者以外のユーザーやプログラムも変更できるため、"
    "ここから管理者の権限で自動的に起動すると、置き換えられたプログラムが実行されるおそれがあります。";
// The scheduler would expand the user's environment variables in such a path.
constexpr char kSignInPathHasPercent[] =
    "プログラムのフォルダー名に「%」が含まれているため、ログオン時に起動するよう設定できません。"
    "「%」を含まないフォルダー（Program Files など）にインストールしてください。";
// This copy's task, but its folder can now be changed by others than administrators.
constexpr char kSignInOfferRemoval[] =
    "ログオン時に起動するタスクがありますが、このプログラムのフォルダーは管理者以外のユーザーや"
    "プログラムも変更できます。このままでは、置き換えられたプログラムがログオン時に管理者の権限で"
    "実行されるおそれがあります。\r\n\r\nこのタスクを削除しますか？";
constexpr char kSignInSchedulerUnreachable[] =
    "タスク スケジューラに接続できないため、ログオン時の起動を確認・変更できません。"
    "しばらくしてからもう一度お試しください。";

// A key's link could not be opened; the link follows on the next line.
constexpr char kLinkShellUnavailable[] =
    "デスクトップのシェル（エクスプローラー）が利用できないため、リンクを開けませんでした。\r\n";
constexpr char kLinkNotOpened[] = "リンクを開けませんでした。リンク先があるか確認してください。\r\n";

// A key's combination: its conflicts (each a warning; %s the other key's number, or the
// layout's name and the character typed), and the hint while a combination is being pressed.
constexpr char kConflictSameCombination[] =
    "キー%sと同じ組み合わせです。番号の小さいキーだけが開きます。";
constexpr char kConflictTypesCharacter[] =
    "キーボード配列「%s」では、この組み合わせで「%s」が入力されます（文字の入力中にも開きます）。";
constexpr char kConflictHotkeyTaken[] = "この組み合わせは、ほかのプログラムがホットキーとして使っています。";
constexpr char kComboPressNow[] = "組み合わせを押してください（Esc で中止）";
constexpr char kComboNeedsTwoModifiers[] =
    "Ctrl、Alt、Shift、Win のうち 2 つ以上と一緒にキーを押してください"
    "（F13 から F24 やメール、ブラウザー用などの専用キーは単独でも設定できます）。";
constexpr char kComboDefaultNote[] = "（既定）";
constexpr char kComboInTip[] = "キー: ";
// Names of a keyboard's dedicated keys, for which Windows gives none (F13 to F24 are named
// by their number).
constexpr char kKeyNameBrowserBack[] = "ブラウザー: 戻る";
constexpr char kKeyNameBrowserForward[] = "ブラウザー: 進む";
constexpr char kKeyNameBrowserRefresh[] = "ブラウザー: 更新";
constexpr char kKeyNameBrowserStop[] = "ブラウザー: 中止";
constexpr char kKeyNameBrowserSearch[] = "ブラウザー: 検索";
constexpr char kKeyNameBrowserFavorites[] = "ブラウザー: お気に入り";
constexpr char kKeyNameBrowserHome[] = "ブラウザー: ホーム";
constexpr char kKeyNameMail[] = "メール";
constexpr char kKeyNameMediaSelect[] = "メディア";
constexpr char kKeyNameApp1[] = "マイ コンピューター";
constexpr char kKeyNameApp2[] = "電卓";

// What a screen reader says of a key button: its number, then its caption, or without one
// whether it has a link. Its description: the link, then the combination.
constexpr char kKeyButtonNameFormat[] = "キー %d: %s";
constexpr char kKeySet[] = "設定済み";
constexpr char kKeyNotSet[] = "未設定";
constexpr char kKeyDescriptionLink[] = "リンク先: %s";
constexpr char kKeyDescriptionSeparator[] = "、";

// Column headings of the key-set list.
constexpr char kListNumberHeading[] = "番号";
constexpr char kListKeyHeading[] = "キー";
// After a key's combination in the list: a press switches to the running program.
constexpr char kListSwitchMark[] = "（切替）";
constexpr char kListCaptionHeading[] = "キャプション";
constexpr char kListLinkHeading[] = "リンク先";

// The browser did not answer the page-address query.
constexpr char kBrowserNotFound[] = "InternetExplorerがみつかりませんでした。";
// A browser window is there, but its page's address could not be read.
constexpr char kBrowserAddressUnreadable[] =
    "ブラウザーは見つかりましたが、表示中のページのアドレスを読み取れませんでした。\r\n"
    "リンク先は、キーをクリックして入力するか、ファイルをキーにドロップして設定してください。";
}  // namespace texts
