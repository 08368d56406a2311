#include "core/Texts.h"

#include <new>

#include "core/LinkList.h"
#include "core/Version.h"

const char kAppTitle[] = "Orvelle";
const char kVersion[] = ORVELLE_VERSION_TEXT;
const char kHomePageUrl[] = "http://www.orvelle.example";
const char kHomePageNotice[] = "ホームページ:";

std::string TooManyLinksText() {
    return "お気に入りが多すぎます。最初の" + std::to_string(kMaxLinks) + "件だけを取り込みました。";
}

const char kBookmarksUnreadableText[] = "ブックマークを読み込めませんでした。";
const char kBookmarksTooLargeText[] = "フォルダーの階層が深すぎるか、名前が長すぎます。";
const char kImportFailedText[] = "取り込みを完了できませんでした。";
const char kOutOfMemoryText[] = "メモリが足りません。";
const char kUnknownErrorText[] = "原因の分からないエラーです。";

std::string ErrorText(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        return kOutOfMemoryText;
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
    }
    return kUnknownErrorText;
}
const char kFavoritesSourceText[] = "お気に入り フォルダー";
const char kHtmlSourcePrefix[] = "HTML - ";
const char kChooseHtmlSourceText[] = "HTML ファイルを選ぶ...";

const char kEmptyListText[] = "出力する内容がありません";
const char kInvalidNameText[] = "フォルダ名かファイル名が不正です。確認してください。";
const char kCompletedText[] = "ファイルへの出力が完了しました。";
const char kWriteFailedText[] = "ファイルへの出力に失敗しました。";

const char kFailedWriteText[] = "レジストリを開けません。設定をクリアします。";
const char kFailedWriteCaption[] = "情報設定エラー";

const char kCommandUsageText[] =
    "使い方: Orvelle.exe [/write [N] | /check [N]] [/log ファイル]\n"
    "\n"
    "  引数なし        いつもの画面を開きます。\n"
    "  /write [N]      設定 N（1～4、省略すると 1）の取り込み元から取り込み、\n"
    "                  その設定でページを書き込みます。画面は出しません。\n"
    "  /check [N]      設定 N の取り込み元から取り込み、リンク先を確認して\n"
    "                  結果を記録します。画面は出しません。\n"
    "  /log ファイル   結果をファイルに 1 行追記します（UTF-8）。\n"
    "  /?              この説明を表示します。\n"
    "\n"
    "終了コード: 0 書き込み（確認）が完了した、1 書き込めなかった（確認できな\n"
    "かった）、2 引数の誤り\n";
const char kBadArgumentText[] = "引数が正しくありません: ";

const char kCheckDoneText[] = "リンクの確認が完了しました。";
const char kCheckStoppedText[] = "リンクの確認を中止しました。確認できた分の結果は記録しました。";
const char kCheckOfflineText[] =
    "ネットワークに接続できないため、リンクの確認を中止しました。結果は記録していません。";
const char kCheckNothingText[] = "確認できるリンク（http、https のアドレス）がありません。";
const char kCheckNotStoredText[] = "リンクの確認結果を保存できませんでした。";
const char kCheckSetAsideText[] = "前回の確認結果を読み込めなかったため、次の名前で残して最初から確認しました。";
const char kCheckFailedText[] = "リンクの確認を完了できませんでした。";
const char kCheckResultsText[] = "確認結果: ";
const char kCheckReportText[] = "結果のページ: ";
const char kCheckNotCheckedText[] = "確認しないリンク";
const char kCheckCountUnit[] = " 件";
