#pragma once

// TSearchFilesForm, "Search file name": finds records anywhere in the catalog by name while the
// user types. Top to bottom: the pattern, "Only in the selected folder" (the folder current when
// the window opened, and everything below it), the results with the columns of the duplicates
// window (sortable by a click on a column), and a line that counts what was found.
//
// Every change of the pattern searches again on a thread of its own (TBackgroundSearch): letter
// case never counts; a word without * or ? is found anywhere in a name, one with them must match
// the whole name; several words must all match. A new keystroke abandons the running search at
// once, so the window never waits for one. Enter or a double-click on a result, or "Show in the
// registry", closes the window and hands the record to the main window (showInRegistry); Escape
// closes it.
//
// Shown modally over the main window, so the catalog keeps its folders and records while it is
// open and the results may hold them; a digest that arrives meanwhile shows at once. Deletes
// itself when closed. User-interface thread only.
//
// The same window lists the findings of a verification instead (ShowResults): no pattern, a
// "Result" column, and "Accept new MD5 code" for the records the verification allows it for.

#include <QDialog>
#include <functional>
#include <utility>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class TBackgroundSearch;
class TDupFilesView;
class TFolderNode;
class TImageBt;
class TMainServices;
class TMenuStyler;
class TSearchResultsModel;
class TTitleBand;
struct TFileDat;

class TSearchFilesForm : public QDialog
{
    Q_OBJECT

public:
    // currentFolder: the folder "Only in the selected folder" means; none disables the choice.
    TSearchFilesForm(TMainServices &main, const TFolderNode *currentFolder, QWidget *owner);
    ~TSearchFilesForm() override;

    // ---- Handlers
    void PatternEditChange();
    void InFolderCheckClick();
    void ShowInRegistryClick();
    void ShellOpenClick();
    void OpenFolderClick();
    void CopyMd5Click();
    void CloseBtClick();

    // The count of what was found, and whether the search still runs.
    QString StatusText() const;
    bool Searching() const;
    // The record of the current row (the first selected one), or nullptr.
    TFileDat *CurrentRecord() const;

    // ---- Listing a verification's findings instead of searching
    // The window shows these records, in this order, each with its finding, under the title.
    void ShowResults(const QString &title, const std::vector<std::pair<TFileDat *, QString>> &rows);
    // "Accept new MD5 code": accept tells whether the record's new content was taken (false: it is
    // not a record whose digest may be replaced); its finding then reads "Accepted".
    void SetAcceptNewDigest(std::function<bool(TFileDat *)> accept);
    void AcceptNewMd5Click();

Q_SIGNALS:
    // The user chose to see the record in the main window; the window closes right after.
    void showInRegistry(TFileDat *record);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildMenu();
    void search();
    void showStatus();
    // Runs a menu command when the main window's gate lets it; an error the command does not
    // handle goes to the standard error box.
    void runCommand(void (TSearchFilesForm::*command)());

    TMainServices &m_main;
    const TFolderNode *m_folder;
    TBackgroundSearch *m_search = nullptr;
    TSearchResultsModel *m_results = nullptr;
    std::function<bool(TFileDat *)> m_acceptNewDigest;
    bool m_listing = false; // a verification's findings, not a search

    TTitleBand *TopPanel = nullptr;
    TImageBt *CloseBt = nullptr;
    QWidget *ClientPanel = nullptr;
    QLineEdit *PatternEdit = nullptr;
    QCheckBox *InFolderCheck = nullptr;
    TDupFilesView *ResultsList = nullptr;
    QLabel *StatusLabel = nullptr;
    QMenu *ResultsMenu = nullptr;
    TMenuStyler *MenuStyler1 = nullptr;
};
