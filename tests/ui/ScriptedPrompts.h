#pragma once

// Boxes and dialogs for tests: every text shown is recorded, every answer comes from a plan.
// An answer that was not planned is recorded as a failure and refuses, so no test hangs.

#include "Prompts.h"

#include <QList>
#include <QStringList>
#include <functional>

class TScriptedPrompts : public TPrompts
{
public:
    struct TShown
    {
        QString Kind; // Information, Error, Confirm, StandardError, Input, Open, Save, PickFiles, PickFolders
        QString Text;
    };

    QList<TShown> Shown;
    QList<TFileRequest> FileRequests;
    QStringList Unplanned;

    // Runs while the next box is open, as anything may run in a real box's event loop: the
    // digest queue switching folders, the user clicking in the list.
    void DuringNextBox(std::function<void()> action) { m_during << std::move(action); }

    void PlanAnswer(TAnswer answer) { m_answers << answer; }
    void PlanYes() { PlanAnswer(TAnswer::Yes); }
    void PlanNo() { PlanAnswer(TAnswer::No); }
    void PlanInput(std::optional<QString> text) { m_inputs << text; }
    void PlanFile(std::optional<TFileChoice> choice) { m_files << choice; }
    // What the next PickFiles or PickFolders returns.
    void PlanPick(const QStringList &paths) { m_picks << paths; }

    // The texts of the boxes of one kind, in order.
    QStringList Texts(const QString &kind) const
    {
        QStringList texts;
        for (const TShown &shown : Shown) {
            if (shown.Kind == kind)
                texts << shown.Text;
        }
        return texts;
    }
    QString LastText() const { return Shown.isEmpty() ? QString() : Shown.last().Text; }
    bool AllAnswersUsed() const
    {
        return m_answers.isEmpty() && m_inputs.isEmpty() && m_files.isEmpty() && m_picks.isEmpty() &&
               m_during.isEmpty();
    }
    void Clear()
    {
        Shown.clear();
        FileRequests.clear();
    }

    void Information(const QString &text) override
    {
        Shown << TShown{QStringLiteral("Information"), text};
        whileOpen();
    }
    void Error(const QString &text) override
    {
        Shown << TShown{QStringLiteral("Error"), text};
        whileOpen();
    }
    bool ConfirmYesNo(const QString &text) override { return confirm(text) == TAnswer::Yes; }
    TAnswer ConfirmYesNoCancel(const QString &text) override { return confirm(text); }
    void StandardError(const QString &text, const QString &file = QString()) override
    {
        Shown << TShown{QStringLiteral("StandardError"), StandardErrorText(text, file)};
    }
    std::optional<QString> InputBox(const QString &caption, const QString &prompt,
                                    const QString &initial) override
    {
        Shown << TShown{QStringLiteral("Input"), caption + u'|' + prompt + u'|' + initial};
        whileOpen();
        if (m_inputs.isEmpty()) {
            Unplanned << prompt;
            return std::nullopt;
        }
        return m_inputs.takeFirst();
    }
    std::optional<TFileChoice> OpenFile(const TFileRequest &request) override
    {
        return file(QStringLiteral("Open"), request);
    }
    std::optional<TFileChoice> SaveFile(const TFileRequest &request) override
    {
        return file(QStringLiteral("Save"), request);
    }

    QStringList PickFiles(const QString &root) override { return pick(QStringLiteral("PickFiles"), root); }
    QStringList PickFolders(const QString &root) override
    {
        return pick(QStringLiteral("PickFolders"), root);
    }

private:
    void whileOpen()
    {
        if (!m_during.isEmpty())
            m_during.takeFirst()();
    }
    QStringList pick(const QString &kind, const QString &root)
    {
        Shown << TShown{kind, root};
        whileOpen();
        if (m_picks.isEmpty()) {
            Unplanned << kind;
            return {};
        }
        return m_picks.takeFirst();
    }
    TAnswer confirm(const QString &text)
    {
        Shown << TShown{QStringLiteral("Confirm"), text};
        whileOpen();
        if (m_answers.isEmpty()) {
            Unplanned << text;
            return TAnswer::Cancel;
        }
        return m_answers.takeFirst();
    }
    std::optional<TFileChoice> file(const QString &kind, const TFileRequest &request)
    {
        Shown << TShown{kind, request.ProposedName};
        FileRequests << request;
        if (m_files.isEmpty()) {
            Unplanned << kind;
            return std::nullopt;
        }
        return m_files.takeFirst();
    }

    QList<std::function<void()>> m_during;
    QList<TAnswer> m_answers;
    QList<std::optional<QString>> m_inputs;
    QList<std::optional<TFileChoice>> m_files;
    QList<QStringList> m_picks;
};

// The shell for tests: remembers what it was asked to open and the clipboard's text.
class TRecordingShell : public TShell
{
public:
    QStringList Opened;
    QString Clipboard;

    void Open(const QString &target) override { Opened << target; }
    void SetClipboardText(const QString &text) override { Clipboard = text; }
};
