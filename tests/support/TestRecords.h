#pragma once

// Records as the tests make them: the fields a test cares about given by name, everything else as
// a new record has it.
//
//   MakeTestRecord({.Name = "a.txt", .Size = 12, .RealPath = "/data/", .Md5 = digest})
//   AppendTestRecord(catalog, folder, MakeTestRecord(...))   // as a loaded catalog: not queued
//   catalog.AddRecord(folder, MakeTestRecord(...))           // as an added file: queued when pending

#include "Catalog.h"

#include <memory>
#include <optional>

struct TTestRecordFields
{
    QString Name;
    qint64 Size = 0;
    QString RealPath;
    QString Md5;
    QString Comment;
    double DateTime = 0;
    // Unless given: fsDigested with a digest, fsPending without.
    std::optional<TFileState> State;
};

inline std::unique_ptr<TFileDat> MakeTestRecord(const TTestRecordFields &fields)
{
    auto record = std::make_unique<TFileDat>();
    record->FileName = fields.Name;
    record->Size = fields.Size;
    record->DateTime = fields.DateTime;
    record->RealPath = fields.RealPath;
    record->Md5 = fields.Md5;
    record->Comment = fields.Comment;
    record->State = fields.State.value_or(fields.Md5.isEmpty() ? fsPending : fsDigested);
    return record;
}

inline TFileDat *AppendTestRecord(TCatalog &catalog, TFolderNode *folder, std::unique_ptr<TFileDat> record)
{
    TFileDat *appended = record.get();
    std::vector<std::unique_ptr<TFileDat>> one;
    one.push_back(std::move(record));
    catalog.AppendRecords(folder, std::move(one));
    return appended;
}
