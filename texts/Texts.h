// The texts the program shows, in Japanese and in English, as UTF-8.
//
// To add a text: add its name to TextId in the group where it is shown, and
// a row with the same name at the same place in the table of Texts.cpp, with
// both languages. Both must use the same placeholders (%1 to %9, numbered
// from %1 without gaps; a percent sign is written %%), the same number of
// line breaks ("\r"), and an access key ("&") in English wherever the
// Japanese has one. The table is checked against the order of TextId when it
// compiles, and the rest by the unit tests.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace qob {

enum class Language { Japanese, English };

// The language of the program's texts for a Windows user interface language
// (a LANGID): Japanese for any Japanese, English for all others.
Language LanguageForUiLanguage(unsigned short langId);

// The one choice of language of the process, made at start before any window
// or thread exists; Japanese until then. Safe to read from any thread.
void SelectLanguage(Language language);
Language SelectedLanguage();

enum class TextId {
    // The program's name: the main window's title, the wait panel, the
    // caption of message boxes without a kind.
    AppTitle,

    // The main menu; the shortcut's name ("F3", "Del") is added by the code.
    MenuRegistry,
    MenuFind,
    MenuDelete,
    MenuUndo,
    MenuOtherBroken,
    MenuRestartAsAdministrator,
    MenuRegistryEditorAt,
    MenuSaveReport,
    MenuClose,
    MenuHelp,
    MenuTutorial,
    MenuAbout,

    // The hints of the toolbar buttons.
    HintFind,
    HintRegedit,
    HintDelete,
    HintAbout,

    // The wait panel during the scan.
    WaitMessage,

    // The status bar.
    StatusBackupFolder,
    StatusNotAdministrator,
    RestartAsAdministratorFailed,

    // The captions of the message dialog by kind.
    DialogCaptionWarning,
    DialogCaptionError,
    DialogCaptionInformation,
    DialogCaptionConfirm,

    // The buttons of the message dialog; Cancel and OK also elsewhere.
    ButtonYes,
    ButtonNo,
    ButtonOk,
    ButtonCancel,
    ButtonAbort,
    ButtonRetry,
    ButtonIgnore,
    ButtonAll,
    ButtonNoToAll,
    ButtonYesToAll,
    ButtonHelp,

    // The removal's questions and messages.
    RemovalSubkey,
    RemovalSystemKey,
    RemovalFaultFree,
    RemovalConfirmDeleteKey,
    RemovalConfirmDeleteUserKey,
    RemovalConfirmDeleteFile,
    RemovalFileSharedOne,
    RemovalFileShared,
    RemovalFileInWindowsFolder,
    RemovalFileToDelete,
    RemovalFileAbsent,
    RemovalFileNotExamined,
    RemovalKeyUnreadable,
    RemovalUserRegistration,
    RemovalClassSharedOne,
    RemovalClassShared,
    RemovalTypeLibSharedOne,
    RemovalTypeLibShared,
    RemovalProgIdNotBackedUp,
    RemovalProgIdNotDeleted,
    RemovalFailuresHeading,
    RemovalKeyFailed,
    RemovalFileFailed,
    RemovalKeyNotBackedUp,
    RemovalFileNotBackedUp,
    RemovalSameNameRemains,
    RemovalKeyPartlyDeleted,
    RemovalProtectedKey,
    RemovalRestartOffer,

    // The reasons a backup could not be made, and a system error without a
    // description.
    SystemErrorNumber,
    BackupNoLocalAppData,
    BackupBaseFolderFailed,
    BackupRunFolderFailed,
    BackupWholeRoot,
    BackupKeyUnreadable,
    BackupKeyNameWithLineBreak,
    BackupKeyNotWritten,
    BackupFileUnreadable,
    BackupFileNotCopied,

    // The console program: its usage and the restore's lines.
    ScanUsage,
    RestoreUsage,
    RestoreNoBackup,
    RestoreRegNotStarted,
    RestoreRegImportFailed,
    RestoreKeyRestored,
    RestoreKeyNotRestored,
    RestoreKeyPartsRestored,
    RestoreFileExists,
    RestoreFileRestored,
    RestoreFileNotRestored,
    RestoreRefused,
    RestoreReasonUnreadable,
    RestoreReasonNotBackupFormat,
    RestoreReasonDeletion,
    RestoreReasonKeyOutsideClasses,
    RestoreReasonWholeKey,
    RestoreReasonCopyName,
    RestoreReasonTarget,
    RestoreMarkNotWritten,

    // The search: its messages and its progress window.
    SearchBusy,
    SearchNotFound,
    SearchProgressCaption,
    SearchProgressLabel,
    SearchStopQuestion,

    // The About box.
    AboutCaption,
    AboutVersion,

    // The undo window.
    UndoCaption,
    UndoRestore,
    UndoOpenFolder,
    UndoDeleteBackup,
    ButtonClose,
    UndoColumnTime,
    UndoColumnKey,
    UndoColumnKeys,
    UndoColumnFiles,
    UndoColumnState,
    UndoStateNotRestored,
    UndoStateRestored,
    UndoStatePartlyRestored,
    UndoStateDamaged,
    UndoStateInUse,
    UndoNoBackups,
    UndoConfirmDelete,
    UndoDeleteFailed,
    UndoStatusRestored,

    // The window of the other broken registrations.
    OtherBrokenCaption,
    OtherBrokenKindClass,
    OtherBrokenKindTypeLibrary,
    OtherBrokenKindInterface,
    OtherBrokenKindShellExtension,
    OtherBrokenKindFileType,
    OtherBrokenCheckAll,
    OtherBrokenUncheckAll,
    OtherBrokenDeleteChecked,
    OtherBrokenConfirmDeleteOne,
    OtherBrokenConfirmDelete,
    OtherBrokenColumnKind,
    OtherBrokenColumnKey,
    OtherBrokenColumnDescription,
    OtherBrokenColumnReason,
    OtherBrokenColumnProgId,
    OtherBrokenColumnWhere,
    OtherBrokenWhereUser,
    OtherBrokenWhereComputer,
    OtherBrokenWhereBoth,
    OtherBrokenReasonMissingServer,
    OtherBrokenReasonMissingFile,
    OtherBrokenReasonUnregisteredTypeLib,
    OtherBrokenReasonUnregisteredClass,
    OtherBrokenProtected,
    OtherBrokenReasonMissingClass,
    OtherBrokenReasonMissingProgId,
    OtherBrokenExamining,
    OtherBrokenFound,
    OtherBrokenStopped,
    OtherBrokenReadError,
    OtherBrokenDeleting,
    OtherBrokenNoLongerBroken,
    OtherBrokenNotOneKey,
    OtherBrokenMoreProblems,
    OtherBrokenSaveReport,

    // The right-click menu of the tree and of the other broken keys.
    ContextDelete,
    ContextRegistryEditor,
    ContextCopy,
    ContextCopyKeyPath,

    // The registry editor's name of the computer, before the root key.
    RegistryEditorComputer,

    // The report of broken registrations: its save dialog, its own columns,
    // the kind and reason of a faulty ProgID entry, and a failed save.
    ReportFilter,
    ReportColumnToken,
    ReportColumnFiles,
    ReportKindProgId,
    ReportReasonFaultyGroups,
    ReportNotSaved,

    // Errors that end a command, shown by the error report.
    ErrorNoTimer,
    ErrorNoWindow,
    ErrorNoMessageWindow,
    ErrorNoMessageWindowClass,
    ErrorNoDialog,
    ErrorItemNotInserted,
    ErrorBadIndex,
    ErrorValueUnreadable,
    ErrorValueBadType,

    Count
};

// The text in the given language, or in the selected one.
std::string_view TextIn(Language language, TextId id);
std::string_view Text(TextId id);

// The selected language's text with its placeholders %1 to %9 replaced by
// the values in that order. "%%" gives one "%"; a placeholder without a value
// stays as it is written; values are inserted as they are, never scanned for
// placeholders themselves.
std::string Text(TextId id, std::initializer_list<std::string_view> values);

// The same filling for any pattern.
std::string FillPlaceholders(std::string_view pattern, std::initializer_list<std::string_view> values);

}  // namespace qob
