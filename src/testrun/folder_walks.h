#pragma once
// The three folder walks of file/folder actions. They only list folders and
// report; nothing on disk changes.
//
// A link to a folder is listed and reported like any folder entry but never
// descended into, so no walk can loop or leave the tree it was given. The walks
// keep their own stack of open listings: a deep tree costs heap, not call
// stack, and gives the lines a depth-first recursion would give, in the same
// order.

#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "testrun/run_stop.h"
#include "testrun/test_results.h"

namespace kestrel {

// Everything below the folder, depth first: each file, and each subfolder
// after its contents. A folder that cannot be listed gives
// "\tError: Unable to access <folder>\*.*".
void EvaluateEmptyPath(CTestResults& results, const FileSystem& files, std::u16string_view folder,
                       RunStop stop = {});

// Files whose names match a pattern and no exclusion, never *.dll or *.exe;
// with `subfolders`, each subfolder is walked where the listing meets it.
void EvaluateFiles(CTestResults& results, const FileSystem& files, std::u16string_view folder,
                   bool subfolders, const std::vector<std::u16string>& patterns,
                   const std::vector<std::u16string>& exclusions, RunStop stop = {});

// Subfolders that hold no file (subfolders of their own do not count), each
// after the subfolders below it, except those whose path matches "*\Low". A
// subfolder that cannot be listed counts as empty. The folder itself is
// reported only when `is_top` is false.
void EvaluateEmptySubfolders(CTestResults& results, const FileSystem& files,
                             std::u16string_view folder, bool is_top, RunStop stop = {});

// True for the names "*.dll" and "*.exe", which no pattern action reports.
bool IsProtectedFileName(std::u16string_view name);

}  // namespace kestrel
