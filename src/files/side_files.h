// The files a model keeps beside itself: the backup copy made when it is opened (".~maa"),
// the change log of its settings (".log"), and the linked model files that receive its
// wires whenever it is saved.
#pragma once

#include "file_io.h"
#include "model/wire_list.h"

#include <functional>
#include <string>
#include <vector>

namespace velomast {

// How the change log writes numbers and time: the user's locale.
struct TLogLocale {
    char DecimalMark = ',';
    // The current date and time as the locale's short date and long time; when empty,
    // "dd.mm.yyyy h:mm:ss" of the local clock.
    std::function<std::string()> Timestamp;

    std::string Now() const;
};

// ".~maa" beside the model file.
std::string BackupFileName(const std::string& modelFileName);
// Saves the file FileName, just opened, as its backup, in the file's own encoding with
// CR LF line ends, replacing an earlier backup.
TFileResult WriteBackup(const TWireList& list);

// ".log" beside the model file.
std::string LogFileName(const std::string& modelFileName);
// Appends a line for each of frequency, base height, ground type and standard R that
// differs from its value at the last read. Does nothing without a FileName. The log keeps
// its own encoding; a new log takes the model's.
TFileResult WriteLogEntry(const TWireList& list, const TLogLocale& locale);

enum class TSyncStatus { Updated, Skipped, Failed };

struct TSyncResult {
    TSyncStatus Status = TSyncStatus::Skipped;
    std::string FileName; // the linked file as resolved
    std::string Message;  // why it failed
};

// Replaces the wire section of the linked model file `name` with all wires of the list
// (scene wires too), keeping everything else of that file. A bare or relative name is
// taken relative to the folder of the model's FileName. Files that do not exist, do not
// have "*" as their second line, or are the model's own file are skipped.
TSyncResult SyncLinkedFile(const TWireList& list, const std::string& name);

// The file a linked name stands for: a name with a drive or an absolute path as it is,
// any other in the folder of the model's FileName.
std::string ResolveLinkedFile(const TWireList& list, const std::string& name);

// Every linked file of the list in list order, each file once: names that resolve to the
// same file (a bare name and its full path, the same name twice) and the model's own file
// are synchronised at most once. One result per file tried.
std::vector<TSyncResult> SyncLinkedFiles(const TWireList& list);

} // namespace velomast
