// The table of the program's texts. This file is UTF-8 and compiled with a
// UTF-8 execution character set: the texts are UTF-8 as they stand here.
#include "texts/Texts.h"

#include <atomic>
#include <cstddef>
#include <iterator>

namespace qob {

namespace {

struct Row {
    TextId id;
    std::string_view japanese;
    std::string_view english;
};

constexpr Row kRows[] = {
    // The program's name.
    {TextId::AppTitle, "Qob Tessavin", "Qob Tessavin"},

    // The main menu.
    {TextId::MenuRegistry, "レジストリ(&R)", "&Registry"},
    {TextId::MenuFind, "検索(&S)...", "&Find..."},
    {TextId::MenuDelete, "削除(&D)", "&Delete"},
    {TextId::MenuUndo, "元に戻す(&U)...", "&Undo a removal..."},
    {TextId::MenuOtherBroken, "その他の壊れた登録(&O)...", "&Other broken registrations..."},
    // Shown only to a user who is not running as administrator, with the
    // system's shield beside it.
    {TextId::MenuRestartAsAdministrator, "管理者として再起動(&A)", "Restart as &administrator"},
    {TextId::MenuRegistryEditorAt, "レジストリ エディターで開く(&E)", "Open in Registry &Editor"},
    {TextId::MenuSaveReport, "壊れた登録のレポートを保存...", "Save report of broken registrations..."},
    {TextId::MenuClose, "Qob Tessavinの終了(&X)", "E&xit"},
    {TextId::MenuHelp, "ヘルプ(&H)", "&Help"},
    {TextId::MenuTutorial, "使い方(&T)...", "&Tutorial..."},
    {TextId::MenuAbout, "バージョン情報(&A)...", "&About Qob Tessavin..."},

    // The toolbar's hints.
    {TextId::HintFind, "検索", "Find"},
    {TextId::HintRegedit, "RegEditの起動", "Start Registry Editor"},
    {TextId::HintDelete, "キーの削除", "Delete key"},
    {TextId::HintAbout, "バージョン情報", "About Qob Tessavin"},

    // The wait panel over the tree while the scan runs.
    {TextId::WaitMessage, "Please Wait . . .", "Please Wait . . ."},

    // The status bar after a removal: the run's backup folder.
    {TextId::StatusBackupFolder, "バックアップ: %1", "Backup: %1"},
    // The status bar after the scan, once, for a user who is not running as
    // administrator; and the restart that failed (%1 the system's reason).
    {TextId::StatusNotAdministrator, "管理者として実行していないため、コンピューター全体の登録は削除できません。",
     "Not running as administrator: registrations of the whole computer cannot be removed."},
    {TextId::RestartAsAdministratorFailed, "管理者として再起動できませんでした。\r%1",
     "The program could not be restarted as administrator.\r%1"},

    // The message dialog's title by kind.
    {TextId::DialogCaptionWarning, "警告", "Warning"},
    {TextId::DialogCaptionError, "ｴﾗｰ", "Error"},
    {TextId::DialogCaptionInformation, "情報", "Information"},
    {TextId::DialogCaptionConfirm, "確認", "Confirm"},

    // The message dialog's buttons; Cancel also on the search's progress
    // window, OK also in the About box.
    {TextId::ButtonYes, "はい(&Y)", "&Yes"},
    {TextId::ButtonNo, "いいえ(&N)", "&No"},
    {TextId::ButtonOk, "OK", "OK"},
    {TextId::ButtonCancel, "ｷｬﾝｾﾙ", "Cancel"},
    {TextId::ButtonAbort, "中止(&A)", "&Abort"},
    {TextId::ButtonRetry, "再試行(&R)", "&Retry"},
    {TextId::ButtonIgnore, "無視(&I)", "&Ignore"},
    {TextId::ButtonAll, "すべて", "&All"},
    {TextId::ButtonNoToAll, "すべていいえ(&O)", "N&o to All"},
    {TextId::ButtonYesToAll, "すべてはい(&E)", "Yes to &All"},
    {TextId::ButtonHelp, "ﾍﾙﾌﾟ(&H)", "&Help"},

    // The removal's refusals and questions. %1 after HKEY_CLASSES_ROOT\ is
    // the key below it ("Some.ProgId", "CLSID\{...}"); %1 after the word
    // "file" is the server path as the tree shows it.
    {TextId::RemovalSubkey, "サブキーは削除できません。", "Subkeys cannot be deleted."},
    {TextId::RemovalSystemKey, "HKEY_CLASSES_ROOT\\%1\rはレジストリのシステム キーのため削除できません。",
     "HKEY_CLASSES_ROOT\\%1\ris a key of the registry itself and cannot be deleted."},
    {TextId::RemovalFaultFree, "このキーにエラーはありません。削除しますか？",
     "This key has no errors. Delete it anyway?"},
    {TextId::RemovalConfirmDeleteKey, "HKEY_CLASSES_ROOT\\%1\rを削除しますか",
     "HKEY_CLASSES_ROOT\\%1\rDelete this key?"},
    // The same question when the user's own copy of the key is the one to go.
    {TextId::RemovalConfirmDeleteUserKey, "HKEY_CURRENT_USER\\Software\\Classes\\%1\rを削除しますか",
     "HKEY_CURRENT_USER\\Software\\Classes\\%1\rDelete this key?"},
    {TextId::RemovalConfirmDeleteFile, "ファイル %1\rを削除しますか", "File %1\rDelete this file?"},
    // Further lines of the question about a file, each after a line break.
    {TextId::RemovalFileSharedOne, "このファイルは他の 1 個の登録でも使われています。",
     "This file is also used by one other registration."},
    {TextId::RemovalFileShared, "このファイルは他の %1 個の登録でも使われています。",
     "This file is also used by %1 other registrations."},
    {TextId::RemovalFileInWindowsFolder, "このファイルは Windows フォルダーにあるシステムのファイルです。",
     "This is a system file in the Windows folder."},
    {TextId::RemovalFileToDelete, "削除するファイル: %1", "File to delete: %1"},
    {TextId::RemovalFileAbsent, "ファイルはありません。", "The file does not exist."},
    {TextId::RemovalFileNotExamined, "ファイルを確認できません。", "The file cannot be examined."},
    // Further lines of the question about a class key or a type library key.
    {TextId::RemovalKeyUnreadable, "キーを読み取れません。", "The key cannot be read."},
    {TextId::RemovalUserRegistration, "ユーザーごとの登録", "This user's registration"},
    {TextId::RemovalClassSharedOne, "他の 1 個の登録もこのクラスを使っています。",
     "1 other registration uses this class."},
    {TextId::RemovalClassShared, "他の %1 個の登録もこのクラスを使っています。",
     "%1 other registrations use this class."},
    {TextId::RemovalTypeLibSharedOne, "他の 1 個の登録もこのタイプ ライブラリを使っています。",
     "1 other registration uses this type library."},
    {TextId::RemovalTypeLibShared, "他の %1 個の登録もこのタイプ ライブラリを使っています。",
     "%1 other registrations use this type library."},

    // The removal's messages when the ProgID key stays: %2 is the backup's
    // reason or the system's description of the error.
    {TextId::RemovalProgIdNotBackedUp,
     "HKEY_CLASSES_ROOT\\%1\rは削除しませんでした。バックアップを作成できません。\r%2",
     "HKEY_CLASSES_ROOT\\%1\rwas not deleted. Its backup cannot be made.\r%2"},
    {TextId::RemovalProgIdNotDeleted, "HKEY_CLASSES_ROOT\\%1\rを削除できませんでした。\r%2",
     "HKEY_CLASSES_ROOT\\%1\rcould not be deleted.\r%2"},

    // The removal's message at the end: the heading, then one line per
    // failure, each after a line break.
    {TextId::RemovalFailuresHeading, "次の削除はできませんでした。", "The following could not be deleted."},
    {TextId::RemovalKeyFailed, "HKEY_CLASSES_ROOT\\%1: %2", "HKEY_CLASSES_ROOT\\%1: %2"},
    {TextId::RemovalFileFailed, "ファイル %1: %2", "File %1: %2"},
    {TextId::RemovalKeyNotBackedUp, "HKEY_CLASSES_ROOT\\%1: バックアップを作成できないため削除しませんでした (%2)",
     "HKEY_CLASSES_ROOT\\%1: not deleted because its backup cannot be made (%2)"},
    {TextId::RemovalFileNotBackedUp, "ファイル %1: バックアップを作成できないため削除しませんでした (%2)",
     "File %1: not deleted because its backup cannot be made (%2)"},
    {TextId::RemovalSameNameRemains, "%1を削除しましたが、同じ名前の別の登録が残っています。",
     "%1 was deleted, but another registration of the same name remains."},
    // A deletion that stopped half way: %2 the system's reason, %3 the keys
    // still there, %4 the backup folder.
    {TextId::RemovalKeyPartlyDeleted,
     "HKEY_CLASSES_ROOT\\%1 は一部だけ削除されました (%2)。残っているキー: %3。バックアップ: %4",
     "HKEY_CLASSES_ROOT\\%1 was deleted only in part (%2). Still there: %3. Backup: %4"},
    // A key owned by TrustedInstaller, never asked about (%1 the key); and
    // the question after a key of the whole computer that this user may not
    // delete.
    {TextId::RemovalProtectedKey, "Windows が保護しているため削除できません: %1",
     "Protected by Windows, cannot be removed: %1"},
    {TextId::RemovalRestartOffer, "管理者として実行すれば削除できます。管理者として再起動しますか?",
     "Running as administrator would let it go. Restart as administrator?"},

    // The system's error without a description (%1 the number), and the
    // reasons a backup cannot be made, inside the removal's messages.
    {TextId::SystemErrorNumber, "エラー %1", "Error %1"},
    {TextId::BackupNoLocalAppData, "ローカル アプリケーション データのフォルダが見つかりません",
     "The local application data folder cannot be found"},
    {TextId::BackupBaseFolderFailed, "バックアップ フォルダ %1 を作成できません (%2)",
     "Cannot create the backup folder %1 (%2)"},
    {TextId::BackupRunFolderFailed, "バックアップ フォルダを %1 に作成できません (%2)",
     "Cannot create a backup folder in %1 (%2)"},
    {TextId::BackupWholeRoot, "HKEY_CLASSES_ROOT 全体は保存できません", "The whole of HKEY_CLASSES_ROOT cannot be saved"},
    {TextId::BackupKeyUnreadable, "HKEY_CLASSES_ROOT\\%1 を読み取れません (%2)", "Cannot read HKEY_CLASSES_ROOT\\%1 (%2)"},
    {TextId::BackupKeyNameWithLineBreak, "HKEY_CLASSES_ROOT\\%1 に改行を含む名前があるため保存できません",
     "Cannot save HKEY_CLASSES_ROOT\\%1: a name in it contains a line break"},
    {TextId::BackupKeyNotWritten, "HKEY_CLASSES_ROOT\\%1 をバックアップに書き込めません (%2)",
     "Cannot write HKEY_CLASSES_ROOT\\%1 to the backup (%2)"},
    {TextId::BackupFileUnreadable, "ファイル %1 を読み取れません (%2)", "Cannot read the file %1 (%2)"},
    {TextId::BackupFileNotCopied, "ファイル %1 をバックアップにコピーできません (%2)",
     "Cannot copy the file %1 to the backup (%2)"},

    // The console program: its usage on a bad command line, and the lines
    // of a restore (the code ends each with a new line).
    {TextId::ScanUsage,
     "usage: QobTessavinScan [--utf8] [--csv] [--faulty | --sections [--fix [--dry-run]]] [--threads N] | [--utf8] "
     "--restore <folder>",
     "usage: QobTessavinScan [--utf8] [--csv] [--faulty | --sections [--fix [--dry-run]]] [--threads N] | [--utf8] "
     "--restore <folder>"},
    {TextId::RestoreUsage, "usage: QobTessavinScan [--utf8] --restore <folder>",
     "usage: QobTessavinScan [--utf8] --restore <folder>"},
    {TextId::RestoreNoBackup, "バックアップが見つかりません: %1", "No backup found: %1"},
    {TextId::RestoreRegNotStarted, "reg を起動できません: %1", "Cannot start reg: %1"},
    {TextId::RestoreRegImportFailed, "reg import が失敗しました: %1", "reg import failed: %1"},
    {TextId::RestoreKeyRestored, "キーを戻しました: %1", "Key restored: %1"},
    {TextId::RestoreKeyNotRestored, "キーを戻せませんでした: %1", "Key not restored: %1"},
    // A key that was there, below which the restore put back what had gone:
    // %2 keys (made again) and %3 values (of keys that were there).
    {TextId::RestoreKeyPartsRestored, "既にあるキーの下に、なくなっていたキー %2 個と値 %3 個を戻しました: %1",
     "Put back below a key that was there: %2 keys and %3 values that had gone: %1"},
    {TextId::RestoreFileExists, "既にあるため上書きしません: %1", "Already exists, not overwritten: %1"},
    {TextId::RestoreFileRestored, "ファイルを戻しました: %1", "File restored: %1"},
    {TextId::RestoreFileNotRestored, "ファイルを戻せませんでした (%1): %2", "File not restored (%1): %2"},
    // Why a backup folder is not restored at all: the line, then its reason
    // (%1 the backup's file, keys.reg or files.txt; %2 a line number of it,
    // or the copy name or target path found in it).
    {TextId::RestoreRefused, "このバックアップは戻せません: %1", "This backup cannot be restored: %1"},
    {TextId::RestoreReasonUnreadable, "%1 を読み取れません", "%1 cannot be read"},
    {TextId::RestoreReasonNotBackupFormat, "%1 の %2 行目がバックアップの書式ではありません",
     "line %2 of %1 is not in the backup's format"},
    {TextId::RestoreReasonDeletion, "%1 の %2 行目は削除の指示です", "line %2 of %1 deletes from the registry"},
    {TextId::RestoreReasonKeyOutsideClasses, "キー %1 はクラスの登録の外にあります",
     "the key %1 lies outside the class registrations"},
    {TextId::RestoreReasonWholeKey, "キー %1 はレジストリのシステム キー全体です",
     "the key %1 is a whole key of the registry itself"},
    {TextId::RestoreReasonCopyName, "%1 のコピー名 %2 はバックアップ内のファイル名ではありません",
     "the copy name %2 in %1 is not a file name inside the backup"},
    {TextId::RestoreReasonTarget, "%1 の戻し先 %2 は . や .. を含まない完全なパスではありません",
     "the target %2 in %1 is not a full path without . or .. parts"},
    // The restore could not leave its mark in the folder (%1), for the
    // reason %2.
    {TextId::RestoreMarkNotWritten, "戻したことを %1 に記録できません (%2)", "Cannot record the restore in %1 (%2)"},

    // The search: %1 is the text searched for.
    {TextId::SearchBusy, "%1を検索中です。", "Already searching for %1."},
    {TextId::SearchNotFound, "%1は見つかりませんでした。", "%1 was not found."},
    {TextId::SearchProgressCaption, "検索中・・・", "Searching..."},
    {TextId::SearchProgressLabel, "%1を検索中です。", "Searching for %1."},
    {TextId::SearchStopQuestion, "検索を中止しますか？", "Stop the search?"},

    // The About box: its title, and the version under the logo.
    {TextId::AboutCaption, "バージョン情報", "About Qob Tessavin"},
    {TextId::AboutVersion, "Version %1", "Version %1"},

    // The undo window: its title and buttons.
    {TextId::UndoCaption, "元に戻す", "Undo a removal"},
    {TextId::UndoRestore, "戻す", "&Restore"},
    {TextId::UndoOpenFolder, "フォルダーを開く", "&Open folder"},
    {TextId::UndoDeleteBackup, "バックアップを削除", "&Delete backup"},
    {TextId::ButtonClose, "閉じる", "Close"},
    // Its list: the column headers, the states (%1 the date of the restore,
    // or why the folder cannot be restored), the line of an empty list; the
    // question before a folder (%1) goes to the recycle bin, its failure,
    // and the status bar after a restore (%1 the folder).
    {TextId::UndoColumnTime, "日時", "Date"},
    {TextId::UndoColumnKey, "ProgID", "ProgID"},
    {TextId::UndoColumnKeys, "キー", "Keys"},
    {TextId::UndoColumnFiles, "ファイル", "Files"},
    {TextId::UndoColumnState, "状態", "State"},
    {TextId::UndoStateNotRestored, "戻していません", "Not restored"},
    {TextId::UndoStateRestored, "戻しました (%1)", "Restored (%1)"},
    {TextId::UndoStatePartlyRestored, "一部を戻しました (%1)", "Partly restored (%1)"},
    {TextId::UndoStateDamaged, "壊れています: %1", "Damaged: %1"},
    {TextId::UndoStateInUse, "使用中", "In use"},
    {TextId::UndoNoBackups, "バックアップはありません。", "There are no backups."},
    {TextId::UndoConfirmDelete, "バックアップ %1 をごみ箱に移しますか？", "Move the backup %1 to the recycle bin?"},
    {TextId::UndoDeleteFailed, "バックアップ %1 を削除できませんでした。", "The backup %1 could not be deleted."},
    {TextId::UndoStatusRestored, "戻しました: %1", "Restored: %1"},

    // The window of the other broken registrations: its title, the kinds of
    // its list, its buttons and its question.
    {TextId::OtherBrokenCaption, "その他の壊れた登録", "Other broken registrations"},
    {TextId::OtherBrokenKindClass, "クラス", "Class"},
    {TextId::OtherBrokenKindTypeLibrary, "タイプ ライブラリ", "Type library"},
    {TextId::OtherBrokenKindInterface, "インターフェイス", "Interface"},
    {TextId::OtherBrokenKindShellExtension, "シェル拡張", "Shell extension"},
    {TextId::OtherBrokenKindFileType, "ファイルの種類", "File type"},
    {TextId::OtherBrokenCheckAll, "すべてチェック", "Check &all"},
    {TextId::OtherBrokenUncheckAll, "チェックを外す", "&Uncheck all"},
    {TextId::OtherBrokenDeleteChecked, "チェックしたキーを削除...", "&Delete checked keys..."},
    {TextId::OtherBrokenConfirmDeleteOne, "チェックした 1 個のキーを削除しますか？", "Delete the checked key?"},
    {TextId::OtherBrokenConfirmDelete, "チェックした %1 個のキーを削除しますか？", "Delete the %1 checked keys?"},
    // Its columns, and the reasons in words (%1 what is missing).
    {TextId::OtherBrokenColumnKind, "種類", "Kind"},
    {TextId::OtherBrokenColumnKey, "キー", "Key"},
    {TextId::OtherBrokenColumnDescription, "説明", "Description"},
    {TextId::OtherBrokenColumnReason, "理由", "Reason"},
    {TextId::OtherBrokenColumnProgId, "ProgID", "ProgID"},
    // Where the key lives: the user's classes, the computer's, or both.
    {TextId::OtherBrokenColumnWhere, "場所", "Where"},
    {TextId::OtherBrokenWhereUser, "ユーザー", "User"},
    {TextId::OtherBrokenWhereComputer, "コンピューター", "Computer"},
    {TextId::OtherBrokenWhereBoth, "両方", "Both"},
    {TextId::OtherBrokenReasonMissingServer, "サーバーのファイルがありません: %1", "Server file missing: %1"},
    {TextId::OtherBrokenReasonMissingFile, "ファイルがありません: %1", "File missing: %1"},
    {TextId::OtherBrokenReasonUnregisteredTypeLib, "タイプ ライブラリが登録されていません: %1",
     "Type library not registered: %1"},
    {TextId::OtherBrokenReasonUnregisteredClass, "クラスが登録されていません: %1", "Class not registered: %1"},
    // The state of a key owned by TrustedInstaller, before its reason.
    {TextId::OtherBrokenProtected, "Windows が保護", "Protected by Windows"},
    {TextId::OtherBrokenReasonMissingClass, "ハンドラーのクラスが登録されていません: %1",
     "Handler class not registered: %1"},
    {TextId::OtherBrokenReasonMissingProgId, "ProgID がありません: %1", "ProgID missing: %1"},
    // Its status line: the examination's progress (%1 keys examined of %2),
    // what it found (%1 keys), a read error (%1 the error), the deletion's
    // progress (%1 of %2).
    {TextId::OtherBrokenExamining, "調べています... %1 / %2", "Examining... %1 of %2"},
    {TextId::OtherBrokenFound, "壊れたキー: %1 個", "Broken keys: %1"},
    {TextId::OtherBrokenStopped, "中止しました。それまでに見つかった壊れたキー: %1 個",
     "Stopped. Broken keys found so far: %1"},
    {TextId::OtherBrokenReadError, "レジストリを読み取れませんでした。それまでに見つかったキーを表示します。\r%1",
     "The registry could not be read. The keys found before the error are listed.\r%1"},
    {TextId::OtherBrokenDeleting, "削除しています... %1 / %2", "Deleting... %1 of %2"},
    // Lines of the deletion's message at the end (%1 the key, %2 how many
    // more lines there are).
    {TextId::OtherBrokenNoLongerBroken, "HKEY_CLASSES_ROOT\\%1: 壊れていないため削除しませんでした",
     "HKEY_CLASSES_ROOT\\%1: not deleted because it is no longer broken"},
    {TextId::OtherBrokenNotOneKey, "HKEY_CLASSES_ROOT\\%1: 1 個の登録のキーではないため削除しませんでした",
     "HKEY_CLASSES_ROOT\\%1: not deleted because it is not the key of one registration"},
    {TextId::OtherBrokenMoreProblems, "ほか %1 件", "and %1 more"},
    {TextId::OtherBrokenSaveReport, "レポートを保存(&S)...", "&Save report..."},

    // The right-click menu.
    {TextId::ContextDelete, "削除", "Delete"},
    {TextId::ContextRegistryEditor, "レジストリ エディターで開く", "Open in Registry Editor"},
    {TextId::ContextCopy, "コピー", "Copy"},
    {TextId::ContextCopyKeyPath, "キーのパスをコピー", "Copy key path"},

    // The first part of a key's name in the registry editor's address bar.
    {TextId::RegistryEditorComputer, "コンピューター", "Computer"},

    // The report: the save dialog's filter, the columns beyond the window's,
    // a faulty ProgID entry (%1 its faulty groups), a save that failed (%1
    // the file, %2 the reason).
    {TextId::ReportFilter, "CSV (*.csv)", "CSV (*.csv)"},
    {TextId::ReportColumnToken, "理由コード", "Reason token"},
    {TextId::ReportColumnFiles, "ファイル", "Files"},
    {TextId::ReportKindProgId, "ProgID", "ProgID"},
    {TextId::ReportReasonFaultyGroups, "不正なグループ: %1", "Faulty groups: %1"},
    {TextId::ReportNotSaved, "レポートを保存できませんでした: %1\r%2", "The report could not be saved: %1\r%2"},

    // Errors that end a command, in the error report (which adds the full
    // stop): the windows, the tree and the registry's values (%1 the value's
    // name).
    {TextId::ErrorNoTimer, "ﾀｲﾏｰを取得できません", "Cannot get a timer"},
    {TextId::ErrorNoWindow, "ｳｨﾝﾄﾞｳを作成できません", "Cannot create a window"},
    {TextId::ErrorNoMessageWindow, "ウィンドウを作成できません", "Cannot create the message window"},
    {TextId::ErrorNoMessageWindowClass, "ウィンドウクラスを登録できません", "Cannot register the message window class"},
    {TextId::ErrorNoDialog, "ﾀﾞｲｱﾛｸﾞを作成できません", "Cannot create a dialog"},
    {TextId::ErrorItemNotInserted, "ｱｲﾃﾑの挿入ができません", "Cannot insert an item"},
    {TextId::ErrorBadIndex, "不正なｲﾝﾃﾞｯｸｽ", "Invalid index"},
    {TextId::ErrorValueUnreadable, "'%1' の取得に失敗しました", "The value '%1' cannot be read"},
    {TextId::ErrorValueBadType, "'%1' のﾃﾞｰﾀ型が不正です", "The value '%1' has an invalid data type"},
};

constexpr std::size_t kCount = static_cast<std::size_t>(TextId::Count);

// Row i holds the text of TextId i, so that a look-up is an index.
constexpr bool InEnumOrder()
{
    for (std::size_t i = 0; i < std::size(kRows); ++i) {
        if (kRows[i].id != static_cast<TextId>(i))
            return false;
    }
    return true;
}

static_assert(std::size(kRows) == kCount, "every TextId has one row");
static_assert(InEnumOrder(), "the rows are in the order of TextId");

std::atomic<Language> g_language{Language::Japanese};

}  // namespace

Language LanguageForUiLanguage(unsigned short langId)
{
    constexpr unsigned short kPrimaryMask = 0x3FF;
    constexpr unsigned short kJapanese = 0x11;  // LANG_JAPANESE
    return (langId & kPrimaryMask) == kJapanese ? Language::Japanese : Language::English;
}

void SelectLanguage(Language language) { g_language.store(language, std::memory_order_relaxed); }

Language SelectedLanguage() { return g_language.load(std::memory_order_relaxed); }

std::string_view TextIn(Language language, TextId id)
{
    const auto index = static_cast<std::size_t>(id);
    if (index >= kCount)
        return {};
    return language == Language::English ? kRows[index].english : kRows[index].japanese;
}

std::string_view Text(TextId id) { return TextIn(SelectedLanguage(), id); }

std::string Text(TextId id, std::initializer_list<std::string_view> values)
{
    return FillPlaceholders(Text(id), values);
}

std::string FillPlaceholders(std::string_view pattern, std::initializer_list<std::string_view> values)
{
    std::string text;
    text.reserve(pattern.size());
    std::size_t i = 0;
    while (i < pattern.size()) {
        const std::size_t percent = pattern.find('%', i);
        if (percent == std::string_view::npos || percent + 1 == pattern.size()) {
            text += pattern.substr(i);
            break;
        }
        text += pattern.substr(i, percent - i);
        const char next = pattern[percent + 1];
        const auto number = static_cast<std::size_t>(next - '0');
        if (next == '%') {
            text += '%';
        } else if (next >= '1' && next <= '9' && number <= values.size()) {
            text += values.begin()[number - 1];
        } else {
            text += pattern.substr(percent, 2);  // not a placeholder, or one without a value
        }
        i = percent + 2;
    }
    return text;
}

}  // namespace qob
