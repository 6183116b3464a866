#pragma once

// Every message box, input box and file dialog of the windows goes through this interface,
// so commands can be driven by tests: the program passes TQtPrompts, a test passes a scripted
// implementation that records each text and returns planned answers.

#include <QString>
#include <QStringList>
#include <optional>

class TPrompts
{
public:
    enum class TAnswer
    {
        Yes,
        No,
        Cancel
    };

    // A file dialog's request and the user's choice. Filters are in the "Dravik files
    // (*.dat)|*.dat|All files (*.*)|*.*" form: description and pattern pairs.
    struct TFileRequest
    {
        QString Filter;
        QString DefaultExtension; // without the dot
        QString ProposedName;
        QString InitialFolder;
    };
    struct TFileChoice
    {
        QString Path;
        int FilterIndex = 0; // which filter pair was chosen, from 0
    };

    virtual ~TPrompts() = default;

    // Boxes titled "Information", "Error" and "Confirm", each with its icon.
    virtual void Information(const QString &text) = 0;
    virtual void Error(const QString &text) = 0;
    virtual bool ConfirmYesNo(const QString &text) = 0; // true only for Yes
    virtual TAnswer ConfirmYesNoCancel(const QString &text) = 0;

    // The application's box for an error a command did not handle: the application title as
    // caption, the error icon, the text with "." appended when its last character sorts after ".",
    // and, for an error that concerns a file, a line break and the file's path.
    virtual void StandardError(const QString &text, const QString &file = QString()) = 0;

    // An input box; nullopt when cancelled.
    virtual std::optional<QString> InputBox(const QString &caption, const QString &prompt,
                                            const QString &initial) = 0;

    virtual std::optional<TFileChoice> OpenFile(const TFileRequest &request) = 0;
    virtual std::optional<TFileChoice> SaveFile(const TFileRequest &request) = 0;

    // The program's own pickers: full paths of the chosen files or disk folders, in the list's
    // order; empty when nothing was picked. root: the folder tree's root; empty for the whole
    // file system.
    virtual QStringList PickFiles(const QString &root) = 0;
    virtual QStringList PickFolders(const QString &root) = 0;

    // The text the standard error box shows for an error text.
    static QString StandardErrorText(const QString &text, const QString &file = QString());
};

// The desktop around the windows: the shell's "open" and the clipboard. Tests record the calls.
class TShell
{
public:
    virtual ~TShell() = default;
    // Opens a file, a folder, a web address or a mail address with its default program.
    virtual void Open(const QString &target) = 0;
    virtual void SetClipboardText(const QString &text) = 0;
};
