; Vorlund installer: Japanese texts (UTF-8). Every string here has its English twin in
; English.nsh, with the same name.
LangString SecProgramName ${LANG_JAPANESE} "Vorlund（必須）"
LangString SecProgramDesc ${LANG_JAPANESE} "Vorlund.exe、キーボード フック ライブラリ VelComn.dll と README.txt を Program Files にインストールし、スタート メニューにショートカットを作ります。"
LangString SecSignInName ${LANG_JAPANESE} "ログオン時に起動"
LangString SecSignInDesc ${LANG_JAPANESE} "Windows にログオンしたときに Vorlund を自動的に起動します。あとからトレイ メニューの「ログオン時に起動」で切り替えることもできます。"
LangString ClosingProgram ${LANG_JAPANESE} "実行中の Vorlund を終了しています..."
LangString CloseFailed ${LANG_JAPANESE} "実行中の Vorlund を終了できませんでした。$\r$\n通知領域のアイコンを右クリックして「終了」を選んでから、[再試行] を押してください。"
LangString RegisteringSignIn ${LANG_JAPANESE} "ログオン時の起動を登録しています..."
LangString SignInFailed ${LANG_JAPANESE} "ログオン時の起動を登録できませんでした（schtasks の終了コード: $0）。$\r$\nVorlund 自体はインストールされました。あとからトレイ メニューの「ログオン時に起動」で登録できます。"
LangString SignInRemoveFailed ${LANG_JAPANESE} "ログオン時の起動の登録（タスク「$1」）を削除できませんでした。タスク スケジューラで削除してください。"
LangString RunProgram ${LANG_JAPANESE} "Vorlund を起動する"
LangString UnDeleteSettings ${LANG_JAPANESE} "設定ファイル Vorlund.ini も削除しますか?$\r$\n$\r$\n[いいえ] を選ぶと、お気に入りキーの設定は残り、もう一度インストールしたときに使われます。"
LangString WelcomeText ${LANG_JAPANESE} "Vorlund ${VERSION} をこのコンピューターにインストールします。$\r$\n$\r$\nVorlund は、キーボードの 30 個のお気に入りキーにリンクを割り当てる常駐プログラムです。$\r$\n$\r$\nVorlund が実行中のときは、いったん終了してから更新し、終わったら起動し直します。お気に入りキーの設定（Vorlund.ini）はそのまま残ります。$\r$\n$\r$\n[次へ] をクリックして続けてください。"
