#include "QtPrompts.h"

#include "FilesDialog.h"
#include "FocusReturn.h"
#include "FoldersDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QUrl>

namespace {

QMessageBox::StandardButton showBox(QWidget *owner, QMessageBox::Icon icon, const QString &title,
                                    const QString &text, QMessageBox::StandardButtons buttons)
{
    const TFocusReturn focus;
    QMessageBox box(icon, title, text, buttons, owner);
    return QMessageBox::StandardButton(box.exec());
}

} // namespace

void TQtPrompts::Information(const QString &text)
{
    showBox(m_owner, QMessageBox::Information, QStringLiteral("Information"), text, QMessageBox::Ok);
}

void TQtPrompts::Error(const QString &text)
{
    showBox(m_owner, QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Ok);
}

bool TQtPrompts::ConfirmYesNo(const QString &text)
{
    return showBox(m_owner, QMessageBox::Question, QStringLiteral("Confirm"), text,
                   QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

TPrompts::TAnswer TQtPrompts::ConfirmYesNoCancel(const QString &text)
{
    switch (showBox(m_owner, QMessageBox::Question, QStringLiteral("Confirm"), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return TAnswer::Yes;
    case QMessageBox::No:
        return TAnswer::No;
    default:
        return TAnswer::Cancel;
    }
}

void TQtPrompts::StandardError(const QString &text, const QString &file)
{
    showBox(m_owner, QMessageBox::Critical, QApplication::applicationName(), StandardErrorText(text, file),
            QMessageBox::Ok);
}

std::optional<QString> TQtPrompts::InputBox(const QString &caption, const QString &prompt,
                                            const QString &initial)
{
    const TFocusReturn focus;
    bool accepted = false;
    const QString text =
        QInputDialog::getText(m_owner, caption, prompt, QLineEdit::Normal, initial, &accepted);
    if (!accepted)
        return std::nullopt;
    return text;
}

QStringList TQtPrompts::NameFilters(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        patterns.replace(u';', u' ');
        // Qt reads the patterns from the parentheses of the description.
        const qsizetype open = description.lastIndexOf(u'(');
        if (open >= 0)
            description.truncate(open);
        filters << description.trimmed() + QStringLiteral(" (") + patterns + u')';
    }
    return filters;
}

std::optional<TPrompts::TFileChoice> TQtPrompts::runFileDialog(const TFileRequest &request, bool saving)
{
    const TFocusReturn focus;
    QFileDialog dialog(m_owner);
    const QStringList filters = NameFilters(request.Filter);
    dialog.setNameFilters(filters);
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Open accepts names of files that do not exist; save replaces without asking.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    // Added to a typed name that has no extension.
    if (!request.DefaultExtension.isEmpty())
        dialog.setDefaultSuffix(request.DefaultExtension);
    if (!request.InitialFolder.isEmpty())
        dialog.setDirectory(request.InitialFolder);
    if (!request.ProposedName.isEmpty())
        dialog.selectFile(request.ProposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return TFileChoice{dialog.selectedFiles().constFirst(),
                       int(filters.indexOf(dialog.selectedNameFilter()))};
}

std::optional<TPrompts::TFileChoice> TQtPrompts::OpenFile(const TFileRequest &request)
{
    return runFileDialog(request, false);
}

std::optional<TPrompts::TFileChoice> TQtPrompts::SaveFile(const TFileRequest &request)
{
    return runFileDialog(request, true);
}

QStringList TQtPrompts::PickFiles(const QString &root)
{
    const TFocusReturn focus;
    QStringList files;
    ShowFileDialog(files, root, m_owner);
    return files;
}

QStringList TQtPrompts::PickFolders(const QString &root)
{
    const TFocusReturn focus;
    QStringList folders;
    ShowFoldersDialog(folders, root, m_owner);
    return folders;
}

void TQtShell::Open(const QString &target)
{
    const QUrl url = QFileInfo::exists(target) ? QUrl::fromLocalFile(target) : QUrl(target);
    QDesktopServices::openUrl(url);
}

void TQtShell::SetClipboardText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}
