#pragma once

// The real boxes and dialogs (Qt's and the program's own pickers), and the real desktop services.

#include "Prompts.h"

class QWidget;

class TQtPrompts : public TPrompts
{
public:
    // Boxes are owned by the given window (may be null).
    explicit TQtPrompts(QWidget *owner = nullptr) : m_owner(owner) {}
    void SetOwner(QWidget *owner) { m_owner = owner; }

    void Information(const QString &text) override;
    void Error(const QString &text) override;
    bool ConfirmYesNo(const QString &text) override;
    TAnswer ConfirmYesNoCancel(const QString &text) override;
    void StandardError(const QString &text, const QString &file = QString()) override;
    std::optional<QString> InputBox(const QString &caption, const QString &prompt,
                                    const QString &initial) override;
    std::optional<TFileChoice> OpenFile(const TFileRequest &request) override;
    std::optional<TFileChoice> SaveFile(const TFileRequest &request) override;
    QStringList PickFiles(const QString &root) override;
    QStringList PickFolders(const QString &root) override;

    // "Desc (*.x)|*.x|All files (*.*)|*.*" as Qt name filters; "*.*" means every file here.
    static QStringList NameFilters(const QString &filter);

private:
    std::optional<TFileChoice> runFileDialog(const TFileRequest &request, bool saving);

    QWidget *m_owner;
};

class TQtShell : public TShell
{
public:
    void Open(const QString &target) override;
    void SetClipboardText(const QString &text) override;
};
