#pragma once

// TMainServices: what a secondary window (the duplicates window) may ask of the main window,
// so that no secondary window needs main.h. Records change only through the record commands of
// the core (RecordCommands.h) on Catalog(), so the main window's views follow by themselves;
// whether a command may run is the main window's command gate's to say.
// User-interface thread only.

#include "CommandStates.h"
#include "LongOperation.h"
#include "RecordCommands.h"

class TCatalog;
class TPrompts;
class TShell;

class TMainServices : public TLongOperationHost
{
public:
    virtual TCatalog &Catalog() = 0;
    virtual TPrompts &Prompts() = 0;
    virtual TShell &Shell() = 0;
    // How files are deleted from disk (tests make it fail).
    virtual const TFileRemover &FileRemover() const = 0;

    virtual const TCommandStates &Commands() const = 0;
    // The catalog has unsaved changes ("Save registry" enabled).
    virtual void MarkModified() = 0;
    // The main file list emptied, or filled again with the folder selected in the tree.
    virtual void ClearFileList() = 0;
    virtual void RefillCurrentFolder() = 0;
    // The caption of the main file list's date column.
    virtual QString DateColumnCaption() const = 0;
};
