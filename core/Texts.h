// The program's own texts: the messages it shows, their captions, the About
// box notice and the home page. Dialog labels live in the resource script;
// page fragments beside the page writers.
#pragma once
#include <exception>
#include <string>

extern const char kAppTitle[];        // "Orvelle": caption of the command messages
extern const char kVersion[];         // "4.00"
extern const char kHomePageUrl[];     // no trailing slash; the About box adds one
extern const char kHomePageNotice[];  // "ホームページ:"

// Import.
// "お気に入りが多すぎます。最初の30000件だけを取り込みました。", the count
// being kMaxLinks.
std::string TooManyLinksText();

// A bookmark file that cannot be read: this line, a line break, its path.
extern const char kBookmarksUnreadableText[];  // "ブックマークを読み込めませんでした。"
// The third line after it for a source no list can hold.
extern const char kBookmarksTooLargeText[];  // "フォルダーの階層が深すぎるか、名前が長すぎます。"
// An Import ended by an error: this line, a line break, what the error was.
extern const char kImportFailedText[];  // "取り込みを完了できませんでした。"
extern const char kOutOfMemoryText[];   // "メモリが足りません。"
extern const char kUnknownErrorText[];  // "原因の分からないエラーです。"
// What the caught error |error| was, for the person who reads the log: the
// memory text, an exception's own description, else the unknown one.
std::string ErrorText(const std::exception_ptr& error);

// Items of the source drop-down.
extern const char kFavoritesSourceText[];   // "お気に入り フォルダー"
extern const char kHtmlSourcePrefix[];      // "HTML - ", before the file name
extern const char kChooseHtmlSourceText[];  // "HTML ファイルを選ぶ..."

// Write.
extern const char kEmptyListText[];    // "出力する内容がありません"
extern const char kInvalidNameText[];  // "フォルダ名かファイル名が不正です。確認してください。"
extern const char kCompletedText[];    // "ファイルへの出力が完了しました。"
extern const char kWriteFailedText[];  // "ファイルへの出力に失敗しました。"

// A settings value that could not be written at shutdown.
extern const char kFailedWriteText[];     // "レジストリを開けません。設定をクリアします。"
extern const char kFailedWriteCaption[];  // "情報設定エラー"

// The command line: the usage text of /? and the start of the text for an
// argument Orvelle does not know (the argument follows).
extern const char kCommandUsageText[];
extern const char kBadArgumentText[];  // "引数が正しくありません: "

// The link check. How it ended: one of these lines first.
extern const char kCheckDoneText[];       // "リンクの確認が完了しました。"
extern const char kCheckStoppedText[];    // "リンクの確認を中止しました。確認できた分の結果は記録しました。"
extern const char kCheckOfflineText[];    // "ネットワークに接続できないため、…結果は記録していません。"
extern const char kCheckNothingText[];    // "確認できるリンク（http、https のアドレス）がありません。"
// Then a line break and the results file's path.
extern const char kCheckNotStoredText[];  // "リンクの確認結果を保存できませんでした。"
// A results file set aside: a line of its own, then the new name's path.
extern const char kCheckSetAsideText[];
// An error: this line, a line break, what the error was.
extern const char kCheckFailedText[];  // "リンクの確認を完了できませんでした。"
// Before the paths of the results file and of the report page.
extern const char kCheckResultsText[];  // "確認結果: "
extern const char kCheckReportText[];   // "結果のページ: "
// The count of links not checked (other schemes), after the states' words.
extern const char kCheckNotCheckedText[];  // "確認しないリンク"
extern const char kCheckCountUnit[];       // " 件"
