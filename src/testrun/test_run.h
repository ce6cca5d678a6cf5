#pragma once
// The dry run of a saved plug-in file: reads the file back from disk, evaluates
// the actions of every enabled group against the registry and the disk, and
// writes the test log with its frame and totals. Reads only.

#include <filesystem>
#include <string>

#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/system_info.h"
#include "testrun/run_stop.h"
#include "testrun/test_results.h"

namespace kestrel {

// Where a test run looks.
struct TestWorld {
  const Registry& registry;
  const FileSystem& files;
  const SystemInfo& system;
};

// Buffers the run reads the plug-in file with, in characters.
constexpr int kGroupLineChars = 1024;
constexpr int kActionChars = 1024;
constexpr int kPathSettingChars = 260;

// Resets `results`, adds the heading, everything EvaluatePlugin adds and the
// totals, then notifies the end of the run. Runs on the calling thread; a stop
// request ends the evaluation early with "Error: Test run stopped", and the log
// still gets its closing ruler and totals.
void RunTest(CTestResults& results, const std::filesystem::path& plugin_path, const TestWorld& world,
             TestLogSink* sink, RunStop stop = {});

// Reads the plug-in file and evaluates its enabled actions, registry groups
// first, then file/folder groups.
void EvaluatePlugin(CTestResults& results, const std::filesystem::path& plugin_path,
                    const TestWorld& world, RunStop stop = {});

// The totals entry of the log: five lines, an empty one before the registry counts.
std::u16string TotalsText(const CTestResults& results);

}  // namespace kestrel
