#pragma once

// The commands every list of records offers on its first selected record: open the file or its
// folder with the shell, copy its digest. Each says in the list's own boxes what stops it: no
// record chosen, no real path, a file or folder that is gone, no digest. User-interface thread.

class TPrompts;
class TShell;
struct TFileDat;

// record: the first selected row's record, or nullptr when no row is selected.
void ShellOpenRecord(const TFileDat *record, TPrompts &prompts, TShell &shell);
void OpenRecordFolder(const TFileDat *record, TPrompts &prompts, TShell &shell);
void CopyRecordDigest(const TFileDat *record, TPrompts &prompts, TShell &shell);
